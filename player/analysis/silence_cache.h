#pragma once
// The measurements kept across runs, one file in the user's cache folder
// ($XDG_CACHE_HOME/Velorra/silence.txt). Each is kept for a path as the file was when it was
// measured (its size and modification time); a file changed since is not known. The cache file
// is read on first use and rewritten whole, atomically, after each new measurement; when it
// cannot be read or written the measurements of this run are still kept in memory.
#include "player/analysis/silence.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace velorra {

class SilenceCache {
public:
    explicit SilenceCache(std::string file);
    // $XDG_CACHE_HOME/Velorra/silence.txt, the environment read at the moment of the call.
    static std::string defaultFile();

    // The measurement of the file as it is now; empty when there is none or the file has changed
    // or cannot be looked at.
    std::optional<Silence> find(const std::string& path);
    // Keeps the measurement of the file as it is now; a file that cannot be looked at is not kept.
    void store(const std::string& path, Silence silence);

private:
    struct Stamp {
        int64_t size = 0;
        int64_t modifiedNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Entry {
        Stamp stamp;
        Silence silence;
    };
    static std::optional<Stamp> stampOf(const std::string& path);
    void load();
    void save() const;

    std::string file_;
    bool loaded_ = false;
    std::map<std::string, Entry> entries_;
};

}  // namespace velorra
