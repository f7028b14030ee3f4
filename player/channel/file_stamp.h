#pragma once
// What tells a file as it is now from the same file changed: its size and modification time.
#include <cstdint>
#include <optional>
#include <string>

namespace velorra {

struct FileStamp {
    int64_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of a regular file as it is now; empty for anything else or a file that cannot be
// looked at.
std::optional<FileStamp> stampOf(const std::string& path);

}  // namespace velorra
