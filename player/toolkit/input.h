#pragma once
// Keyboard and mouse events as the windows see them.
#include <cstdint>

namespace velorra::toolkit {

namespace keys {
inline constexpr int Back = 8;
inline constexpr int Return = 13;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int Up = 38;
inline constexpr int Down = 40;
inline constexpr int Delete = 46;
}  // namespace keys

namespace shift {
inline constexpr int Shift = 1;
inline constexpr int Ctrl = 2;
inline constexpr int Alt = 4;
}  // namespace shift

namespace buttons {
inline constexpr int Left = 1;
inline constexpr int Right = 2;
inline constexpr int Middle = 4;
}  // namespace buttons

struct KeyEvent {
    int keyCode = 0;  // the key codes above; letters and digits are their upper-case ASCII codes
    int shift = 0;
};

struct MouseEvent {
    int button = 0;
    int shift = 0;
    int32_t x = 0, y = 0;  // twips from the control's top left corner
};

}  // namespace velorra::toolkit
