#pragma once
#include "player/toolkit/window.h"

namespace velorra {

// The search window. It is loaded, hidden, by the player window's first resize and follows the
// player window's right edge from then on.
class WinSeek : public toolkit::Window {
public:
    WinSeek();
};

}  // namespace velorra
