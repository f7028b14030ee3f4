#pragma once
#include "player/toolkit/control.h"

namespace velorra::toolkit {

// A plain area that holds other controls and clips them to its own rectangle.
class Panel : public Container {
public:
    using Container::Container;
};

}  // namespace velorra::toolkit
