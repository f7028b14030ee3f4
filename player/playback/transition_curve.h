#pragma once
// The five transition curves, as pure arithmetic: where the faders of the incoming and the
// outgoing channel stand after step s of a transition at listening level L. A fader runs from
// 0, loudest, to M = 85, silent; a playing song stands at M - L, so a channel's level is M - F.
// A curve names only the faders it moves at a step; the other keeps its position.
#include <cstdint>
#include <optional>

namespace velorra {

// TransitionType, in the order of the option buttons.
enum class TransitionCurve : int16_t { CrossDissolve = 0, UpDown = 1, DownUp = 2, Mix = 3, Cut = 4 };

struct FaderPositions {
    std::optional<int32_t> incoming;
    std::optional<int32_t> outgoing;
};

// The faders after step `step` (1 to `level`) of curve `type` at listening level `level`, with
// faders from 0 to `top`. A type outside the five moves nothing. ("Cut" also stops the old song
// at every step; that is the engine's part, not the faders'.)
FaderPositions transitionFaders(int16_t type, int32_t step, int32_t level, int32_t top);

}  // namespace velorra
