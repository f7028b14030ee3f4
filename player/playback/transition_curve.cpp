#include "player/playback/transition_curve.h"

namespace velorra {

FaderPositions transitionFaders(int16_t type, int32_t step, int32_t level, int32_t top) {
    const int32_t s = step;
    // "s <= L/2" with L/2 an exact half: 2s <= L. Past the half the rising or falling fader moves
    // two units a step from where it stood at the half, 2s - L being whole.
    const bool firstHalf = 2 * s <= level;
    switch (static_cast<TransitionCurve>(type)) {
    case TransitionCurve::CrossDissolve:
        return {top - s, s + (top - level)};
    case TransitionCurve::UpDown:  // the new song rises first, then the old one falls
        if (firstHalf) return {top - 2 * s, std::nullopt};
        return {std::nullopt, (2 * s - level) + (top - level)};
    case TransitionCurve::DownUp:  // the old song falls first, then the new one rises
        if (firstHalf) return {std::nullopt, 2 * s + (top - level)};
        return {top - (2 * s - level), std::nullopt};
    case TransitionCurve::Mix:  // the new song at the listening level, the old one plays on
        return {top - level, std::nullopt};
    case TransitionCurve::Cut:
        return {top - level, top};
    }
    return {};
}

}  // namespace velorra
