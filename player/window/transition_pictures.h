#pragma once
#include "player/toolkit/value_control.h"

namespace velorra {

// The picture on transition button `type` (0 to 4), drawn from the curve itself at full level:
// the current song in red and the next song in blue, time running left to right over the
// transition's steps and level upwards, 75 x 22 pixels.
toolkit::Picture transitionPicture(int type);

}  // namespace velorra
