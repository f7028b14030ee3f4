#include "player/toolkit/qt/button_widget.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/qt_strings.h"

namespace velorra::toolkit::qt {

ButtonWidget::ButtonWidget(Button& control, QWidget* parent, const TwipsScale& scale)
    : QPushButton(parent), control_(control), scale_(scale) {
    setFocusPolicy(Qt::TabFocus);
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
    connect(this, &QPushButton::clicked, this, [this] { control_.click(); });
}

ButtonWidget::~ButtonWidget() { control_.attachView(nullptr); }

void ButtonWidget::controlChanged(Change what) {
    const QSignalBlocker block(this);
    static const ColorRoles roles{QPalette::ButtonText, QPalette::Button, false, QColor(Qt::black)};
    mirrorCommon(*this, control_, what, scale_, roles);
    if (what == Change::Text) setText(toQString(control_.Caption()));
    if (what == Change::Appearance) setDefault(control_.Default());
}

}  // namespace velorra::toolkit::qt
