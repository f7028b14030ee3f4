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
    if (what == Change::Value) {
        // QProgressBar repaints at once when its value moves. Painted with the window's next
        // update instead, it shares one pass with whatever else changed in the same tick (the
        // position labels, once a second).
        setUpdatesEnabled(false);
        setValue(control_.Value());
        setUpdatesEnabled(true);
    }
}

}  // namespace velorra::toolkit::qt
