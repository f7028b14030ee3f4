#include "player/toolkit/qt/check_box_widget.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/qt_strings.h"

namespace velorra::toolkit::qt {

CheckBoxWidget::CheckBoxWidget(CheckBox& control, QWidget* parent, const TwipsScale& scale)
    : QCheckBox(parent), control_(control), scale_(scale) {
    setFocusPolicy(Qt::TabFocus);
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
    connect(this, &QCheckBox::clicked, this, [this] {
        control_.click();
        // Qt toggled the box on its own; show the control's value, whatever it became.
        controlChanged(Change::Value);
    });
}

CheckBoxWidget::~CheckBoxWidget() { control_.attachView(nullptr); }

void CheckBoxWidget::controlChanged(Change what) {
    const QSignalBlocker block(this);
    static const ColorRoles roles{QPalette::WindowText, QPalette::Window, false, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
    if (what == Change::Text) setText(toQString(control_.Caption()));
    if (what == Change::Value) {
        const int v = control_.Value();
        setCheckState(v == 1 ? Qt::Checked : v == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    }
}

}  // namespace velorra::toolkit::qt
