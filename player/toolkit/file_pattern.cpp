#include "player/toolkit/file_pattern.h"

#include <algorithm>
#include <cctype>

namespace velorra::toolkit {

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Wildcard match with backtracking to the last "*"; "?" takes one UTF-8 character.
bool wildcardMatch(const std::string& pattern, const std::string& name) {
    size_t p = 0, n = 0;
    size_t starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            ++n;
            while (n < name.size() && continuationByte(name[n])) ++n;
        } else if (p < pattern.size() && pattern[p] == lower(name[n])) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            do ++starN;
            while (starN < name.size() && continuationByte(name[starN]));
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

std::optional<FilePattern> FilePattern::parse(const std::string& text) {
    if (text.find('/') != std::string::npos || text.find('\0') != std::string::npos) return std::nullopt;
    FilePattern out;
    size_t i = 0;
    while (i <= text.size()) {
        const size_t end = std::min(text.find(';', i), text.size());
        std::string part = trimmed(text.substr(i, end - i));
        if (!part.empty()) {
            for (char& c : part) c = lower(c);
            out.parts_.push_back(part == "*.*" ? "*" : std::move(part));
        }
        i = end + 1;
    }
    if (out.parts_.empty()) return std::nullopt;
    return out;
}

bool FilePattern::matches(const std::string& name) const {
    for (const std::string& part : parts_)
        if (wildcardMatch(part, name)) return true;
    return false;
}

}  // namespace velorra::toolkit
