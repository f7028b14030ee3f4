#pragma once
// The number a text stands for, as the player reads stored settings and the cached durations
// of the play list: decimal, blanks around it and a fraction allowed; empty for anything else.
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

namespace velorra {

inline std::optional<double> decimalNumber(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    // One sign at most: from_chars takes a "-" of its own, so a "+" may not be followed by one.
    if (text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) return std::nullopt;
    }
    double value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || stop != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace velorra
