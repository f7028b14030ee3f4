#pragma once
// What every control shares with its widget: place, visibility, enabled state, font, colours
// and tool tip. Each widget kind mirrors its own properties and calls this for the rest.
#include "player/toolkit/control.h"
#include "player/toolkit/qt/twips_scale.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>

#include <optional>

namespace velorra::toolkit::qt {

QColor toQColor(Color c);
// A bold or plain sans-serif of the control's size.
QFont toQFont(const Font& f);

// The palette roles a widget kind draws its text and background with. With `fill` the widget
// paints its background: in the control's back colour, or the system's when it has none.
struct ColorRoles {
    QPalette::ColorRole fore = QPalette::WindowText;
    QPalette::ColorRole back = QPalette::Window;
    bool fill = false;
    // The text colour used on a back colour when the control sets no fore colour.
    std::optional<QColor> foreOnBack;
};

void mirrorGeometry(QWidget& w, const Control& c, const TwipsScale& scale);
void mirrorAppearance(QWidget& w, const Control& c, const ColorRoles& roles);
// Geometry, Visible, Enabled and Appearance; other changes are the widget kind's own.
void mirrorCommon(QWidget& w, const Control& c, Change what, const TwipsScale& scale, const ColorRoles& roles);

// Every kind of change, for a widget's first mirroring of its control.
inline constexpr Change AllChanges[] = {Change::Geometry, Change::Visible, Change::Enabled, Change::Text,
                                        Change::Value,    Change::Range,   Change::Appearance, Change::Items};

}  // namespace velorra::toolkit::qt
