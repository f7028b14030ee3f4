#pragma once
// The lengths of songs, read from their files' headers and kept while each file keeps its
// stamp. A song's length is asked for as it starts; finding an MP3's length can mean walking
// every frame of the file, milliseconds on the thread that starts the song, in the middle of a
// transition. So the song that plays next is read ahead, on a thread of its own that yields to
// the player's others, and its start finds the length at hand.
#include "player/channel/file_stamp.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

namespace velorra {

class DurationCache {
public:
    DurationCache();
    ~DurationCache();
    DurationCache(const DurationCache&) = delete;
    DurationCache& operator=(const DurationCache&) = delete;

    // The length of the file in seconds as its headers tell it (empty when they do not): the one
    // kept for the file as it is now, else read now.
    std::optional<double> lengthOf(const std::string& path);
    // Reads the file's length in the background; a later call takes the place of one not begun.
    void readAhead(const std::string& path);

private:
    struct Entry {
        std::string path;
        FileStamp stamp;
        std::optional<double> seconds;
    };
    // The songs kept: the few around the one playing are all that is asked for again.
    static constexpr size_t kKept = 8;

    std::optional<Entry> read(const std::string& path) const;
    const Entry* find(const std::string& path, const FileStamp& stamp) const;
    void keep(Entry entry);
    void readAheadLoop(std::stop_token stop);

    std::mutex lock_;
    std::condition_variable_any wake_;
    std::deque<Entry> kept_;
    std::string pending_;
    std::jthread reader_;
};

}  // namespace velorra
