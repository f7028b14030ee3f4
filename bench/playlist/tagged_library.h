#pragma once
// A music library for the play list benchmarks: files with an ID3v1 tag in a private folder,
// and a play list naming every one of them.
#include "support/temp_dir.h"

#include <string>
#include <vector>

namespace velorra::bench {

class TaggedLibrary {
public:
    explicit TaggedLibrary(int files);

    const std::vector<std::string>& files() const { return files_; }
    const std::string& playList() const { return playList_; }

private:
    testing::TempDir folder_{"velorra-bench-playlist"};
    std::vector<std::string> files_;
    std::string playList_;
};

}  // namespace velorra::bench
