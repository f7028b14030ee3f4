#pragma once
// How every command, change action and tick of the windows copes with failure: each step is
// tried on its own; a step that fails (an arithmetic overflow, an absent channel, a file that
// cannot be read) is skipped and the next one runs. A value a control refuses is not a
// failure at all: the setter returns false and the control keeps its value.
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace velorra {

template <class Step>
void attempt(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

// A whole number that must fit a 16-bit field; throws std::overflow_error when it does not.
inline int16_t toInt16(int64_t v) {
    if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
        throw std::overflow_error("value does not fit 16 bits");
    return static_cast<int16_t>(v);
}

// The same for a 32-bit field.
inline int32_t toInt32(int64_t v) {
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw std::overflow_error("value does not fit 32 bits");
    return static_cast<int32_t>(v);
}

}  // namespace velorra
