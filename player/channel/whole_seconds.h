#pragma once
// Whole numbers from the media service's doubles: the nearest integer, a value exactly halfway
// going to the even neighbour (184.5 gives 184, 185.5 gives 186).
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace velorra {

inline double roundHalfEven(double x) {
    const double down = std::floor(x);
    const double diff = x - down;
    if (diff < 0.5) return down;
    if (diff > 0.5) return down + 1.0;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

// Empty when the rounded value is not a number or does not fit 32 bits.
inline std::optional<int32_t> roundToInt32(double x) {
    const double r = roundHalfEven(x);
    if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    return static_cast<int32_t>(r);
}

}  // namespace velorra
