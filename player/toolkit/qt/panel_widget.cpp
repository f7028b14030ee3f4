#include "player/toolkit/qt/panel_widget.h"

#include "player/toolkit/qt/control_mirror.h"

namespace velorra::toolkit::qt {

PanelWidget::PanelWidget(Panel& control, QWidget* parent, const TwipsScale& scale)
    : QWidget(parent), control_(control), scale_(scale) {
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
}

PanelWidget::~PanelWidget() { control_.attachView(nullptr); }

void PanelWidget::controlChanged(Change what) {
    static const ColorRoles roles{QPalette::WindowText, QPalette::Window, true, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
}

}  // namespace velorra::toolkit::qt
