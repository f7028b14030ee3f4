#include "player/window/transition_pictures.h"

#include "player/playback/transition_curve.h"

#include <vector>

namespace velorra {

namespace {

// Where each channel's level stands at each step of a transition at full level: step 0 is
// before the first tick, step L + 1 the tick that stops the old song.
struct Levels {
    std::vector<int32_t> incoming, outgoing;
};

Levels levelsOf(int16_t type, int32_t top) {
    const int32_t level = top;
    int32_t in = top, out = top - level;  // fader positions as the transition starts
    Levels levels;
    for (int32_t s = 0; s <= level + 1; ++s) {
        if (s >= 1 && s <= level) {
            const FaderPositions f = transitionFaders(type, s, level, top);
            in = f.incoming.value_or(in);
            out = f.outgoing.value_or(out);
        }
        const bool stopped = s == level + 1 || (s >= 1 && type == static_cast<int16_t>(TransitionCurve::Cut));
        levels.incoming.push_back(top - in);
        levels.outgoing.push_back(stopped ? 0 : top - out);
    }
    return levels;
}

// One stroke for each stretch in which a channel sounds, from the step before it rises from
// silence to the step at which it falls silent.
void addStrokes(toolkit::Picture& p, toolkit::Color color, const std::vector<int32_t>& levels, int32_t top) {
    constexpr int Top = 3, Start = 2;
    const int bottom = p.height - 4, end = p.width - 3;
    const auto last = static_cast<int>(levels.size()) - 1;
    const auto point = [&](int s) {
        return std::pair{Start + (end - Start) * s / last, bottom - (bottom - Top) * levels[static_cast<size_t>(s)] / top};
    };
    const auto sounds = [&](int s) { return s >= 0 && s <= last && levels[static_cast<size_t>(s)] > 0; };
    toolkit::Stroke stroke{color, {}};
    for (int s = 0; s <= last; ++s) {
        if (sounds(s) || sounds(s - 1) || sounds(s + 1)) {
            stroke.points.push_back(point(s));
        } else if (!stroke.points.empty()) {
            p.strokes.push_back(std::move(stroke));
            stroke = {color, {}};
        }
    }
    if (!stroke.points.empty()) p.strokes.push_back(std::move(stroke));
}

}  // namespace

toolkit::Picture transitionPicture(int type) {
    constexpr int32_t top = 85;
    toolkit::Picture p{75, 22, {}};
    const Levels levels = levelsOf(static_cast<int16_t>(type), top);
    addStrokes(p, toolkit::colors::Red, levels.outgoing, top);
    addStrokes(p, toolkit::colors::Blue, levels.incoming, top);
    return p;
}

}  // namespace velorra
