#include "player/toolkit/qt/twips_scale.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace velorra::toolkit::qt {

namespace {
constexpr double TwipsPerInch = 1440.0;
}

double TwipsScale::dpi() const {
    const QScreen* s = window_ ? window_->screen() : QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInch() : 96.0;
}

int TwipsScale::toPx(int32_t twips) const {
    return static_cast<int>(std::lround(twips * dpi() / TwipsPerInch));
}

int32_t TwipsScale::toTwips(int px) const {
    return static_cast<int32_t>(std::lround(px * TwipsPerInch / dpi()));
}

QRect TwipsScale::toPx(int32_t left, int32_t top, int32_t width, int32_t height) const {
    return {toPx(left), toPx(top), toPx(width), toPx(height)};
}

}  // namespace velorra::toolkit::qt
