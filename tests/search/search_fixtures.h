#pragma once
// What the search tests share beyond tests/support: their trees are made in a support/temp_dir.h
// folder, and checks that need another user or another root directory run through
// support/child_process.h, handing back their findings as lines of text.
#include "support/child_process.h"
#include "support/tagged_mp3.h"
#include "support/temp_dir.h"

#include <string>
#include <vector>

namespace velorra::testing {

// The lines, each ended by a newline.
inline std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
}

}  // namespace velorra::testing
