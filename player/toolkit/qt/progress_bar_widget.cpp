#include "player/toolkit/qt/progress_bar_widget.h"

#include "player/toolkit/qt/control_mirror.h"

namespace velorra::toolkit::qt {

ProgressBarWidget::ProgressBarWidget(ProgressBar& control, QWidget* parent, const TwipsScale& scale)
    : QProgressBar(parent), control_(control), scale_(scale) {
    setTextVisible(false);
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
}

ProgressBarWidget::~ProgressBarWidget() { control_.attachView(nullptr); }

void ProgressBarWidget::controlChanged(Change what) {
    static const ColorRoles roles{QPalette::Highlight, QPalette::Base, false, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
    if (what == Change::Range) setRange(control_.Min(), control_.Max());
    if (what == Change::Value) setValue(control_.Value());
}

}  // namespace velorra::toolkit::qt
