#include "player/toolkit/qt/progress_bar_widget.h"

#include "player/toolkit/qt/control_mirror.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace velorra::toolkit::qt {

ProgressBarWidget::ProgressBarWidget(ProgressBar& control, QWidget* parent, const TwipsScale& scale)
    : QWidget(parent), control_(control), scale_(scale) {
    // It paints every pixel of itself: nothing beneath it is painted first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
}

ProgressBarWidget::~ProgressBarWidget() { control_.attachView(nullptr); }

int ProgressBarWidget::doneWidth(int32_t value) const {
    const int64_t span = int64_t{control_.Max()} - control_.Min();
    const int width = inside().width();
    if (span <= 0 || width <= 0) return 0;
    return static_cast<int>(std::clamp<int64_t>((int64_t{value} - control_.Min()) * width / span, 0, width));
}

void ProgressBarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect in = inside();
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.fillRect(in, palette().color(QPalette::Base));
    painter.fillRect(QRect(in.topLeft(), QSize(doneWidth(shown_), in.height())), palette().color(QPalette::Highlight));
}

void ProgressBarWidget::controlChanged(Change what) {
    static const ColorRoles roles{QPalette::Highlight, QPalette::Base, false, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
    if (what == Change::Range) update();
    if (what == Change::Value) {
        const int before = doneWidth(shown_);
        shown_ = control_.Value();
        const int after = doneWidth(shown_);
        // Painted with the window's next update, in one pass with whatever else changed.
        if (after != before)
            update(QRect(inside().left() + std::min(before, after), inside().top(), std::abs(after - before),
                         inside().height()));
    }
}

}  // namespace velorra::toolkit::qt
