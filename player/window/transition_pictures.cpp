#include "player/window/transition_pictures.h"

namespace velorra {

toolkit::Picture transitionPicture(int type) {
    constexpr int W = 75, H = 22;
    constexpr int Top = 3, Bottom = H - 4, Mid = W / 2, End = W - 3, Start = 2;
    const toolkit::Color red = toolkit::colors::Red, blue = toolkit::colors::Blue;
    toolkit::Picture p{W, H, {}};
    switch (type) {
        case 0:  // Cross Dissolve: red falls while blue rises, crossing in the middle
            p.strokes = {{red, {{Start, Top}, {End, Bottom}}}, {blue, {{Start, Bottom}, {End, Top}}}};
            break;
        case 1:  // Up Down: blue rises while red stays up, then red falls
            p.strokes = {{red, {{Start, Top}, {Mid, Top}, {End, Bottom}}},
                         {blue, {{Start, Bottom}, {Mid, Top + 2}, {End, Top + 2}}}};
            break;
        case 2:  // Down Up: red falls, a silent gap, then blue rises
            p.strokes = {{red, {{Start, Top}, {Mid - 4, Bottom}}}, {blue, {{Mid + 4, Bottom}, {End, Top}}}};
            break;
        case 3:  // Mix: both at full level until the old song stops
            p.strokes = {{red, {{Start, Top}, {End - 1, Top}, {End - 1, Bottom}}},
                         {blue, {{Start, Bottom}, {Start + 1, Top + 3}, {End, Top + 3}}}};
            break;
        default:  // Cut: red, then blue, with no overlap
            p.strokes = {{red, {{Start, Top}, {Mid, Top}, {Mid, Bottom}}},
                         {blue, {{Mid + 1, Bottom}, {Mid + 1, Top}, {End, Top}}}};
            break;
    }
    return p;
}

}  // namespace velorra
