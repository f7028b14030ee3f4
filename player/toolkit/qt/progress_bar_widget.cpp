#include "player/toolkit/qt/progress_bar_widget.h"

#include "player/toolkit/qt/control_mirror.h"

#include <QPainter>

#include <algorithm>

namespace velorra::toolkit::qt {

ProgressBarWidget::ProgressBarWidget(ProgressBar& control, QWidget* parent, const TwipsScale& scale)
    : QProgressBar(parent), control_(control), scale_(scale) {
    setTextVisible(false);
    // It paints every pixel of itself: nothing beneath it is painted first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
}

ProgressBarWidget::~ProgressBarWidget() { control_.attachView(nullptr); }

void ProgressBarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.fillRect(inside, palette().color(QPalette::Base));
    const int64_t span = int64_t{maximum()} - minimum();
    if (span <= 0 || inside.width() <= 0) return;
    const auto done =
        static_cast<int>(std::clamp<int64_t>((int64_t{value()} - minimum()) * inside.width() / span, 0, inside.width()));
    painter.fillRect(QRect(inside.topLeft(), QSize(done, inside.height())), palette().color(QPalette::Highlight));
}

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
