#include "player/toolkit/qt/qt_input.h"

namespace velorra::toolkit::qt {

int toShift(Qt::KeyboardModifiers m) {
    int s = 0;
    if (m & Qt::ShiftModifier) s |= shift::Shift;
    if (m & Qt::ControlModifier) s |= shift::Ctrl;
    if (m & Qt::AltModifier) s |= shift::Alt;
    return s;
}

int toButton(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton: return buttons::Left;
        case Qt::RightButton: return buttons::Right;
        case Qt::MiddleButton: return buttons::Middle;
        default: return 0;
    }
}

std::optional<KeyEvent> toKeyEvent(const QKeyEvent& e) {
    const int key = e.key();
    int code = 0;
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        code = key;  // Qt's codes for these are their upper-case ASCII codes
    } else {
        switch (key) {
            case Qt::Key_Backspace: code = keys::Back; break;
            case Qt::Key_Return:
            case Qt::Key_Enter: code = keys::Return; break;
            case Qt::Key_Escape: code = keys::Escape; break;
            case Qt::Key_Space: code = keys::Space; break;
            case Qt::Key_Up: code = keys::Up; break;
            case Qt::Key_Down: code = keys::Down; break;
            case Qt::Key_Delete: code = keys::Delete; break;
            default: return std::nullopt;
        }
    }
    return KeyEvent{code, toShift(e.modifiers())};
}

}  // namespace velorra::toolkit::qt
