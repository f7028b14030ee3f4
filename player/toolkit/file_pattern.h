#pragma once
// The file list's pattern: one or more wildcard patterns separated by ";", where "*" stands for
// any run of characters and "?" for one character, matched without letter case, so "*.mp3"
// finds SONG.MP3. "*.*" finds every file, with or without a dot.
#include <optional>
#include <string>
#include <vector>

namespace velorra::toolkit {

class FilePattern {
public:
    // Nothing for a pattern with no part, or with a "/" or a NUL in it.
    static std::optional<FilePattern> parse(const std::string& text);
    bool matches(const std::string& name) const;

private:
    std::vector<std::string> parts_;  // lower case
};

}  // namespace velorra::toolkit
