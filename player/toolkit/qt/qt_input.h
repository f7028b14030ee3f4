#pragma once
// Qt's keyboard and mouse events in the codes the windows use.
#include "player/toolkit/input.h"

#include <QKeyEvent>

#include <optional>

namespace velorra::toolkit::qt {

int toShift(Qt::KeyboardModifiers m);
int toButton(Qt::MouseButton b);
// Nothing for a key the windows have no code for.
std::optional<KeyEvent> toKeyEvent(const QKeyEvent& e);

}  // namespace velorra::toolkit::qt
