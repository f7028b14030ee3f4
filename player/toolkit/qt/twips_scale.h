#pragma once
// The one conversion between the controls' twips and the widgets' pixels: 1440 twips to the
// inch at the logical DPI of the screen the window is on (96 dpi gives 15 twips a pixel).
#include <QWidget>

#include <cstdint>

namespace velorra::toolkit::qt {

class TwipsScale {
public:
    // The window whose screen sets the DPI; null means the primary screen.
    explicit TwipsScale(const QWidget* window = nullptr) : window_(window) {}

    double dpi() const;
    int toPx(int32_t twips) const;
    int32_t toTwips(int px) const;
    QRect toPx(int32_t left, int32_t top, int32_t width, int32_t height) const;

private:
    const QWidget* window_;
};

}  // namespace velorra::toolkit::qt
