#include "player/toolkit/qt/status_bar_widget.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/qt_strings.h"

#include <QEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>

namespace velorra::toolkit::qt {

namespace {
constexpr int32_t MinPanelWidth = 1440;  // twips
constexpr int Gap = 2, Padding = 4;      // pixels
}  // namespace

StatusBarWidget::StatusBarWidget(StatusBar& control, QWidget* parent, const TwipsScale& scale)
    : QWidget(parent), control_(control), scale_(scale) {
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
    lower();
    if (parent) parent->installEventFilter(this);
}

StatusBarWidget::~StatusBarWidget() { control_.attachView(nullptr); }

void StatusBarWidget::controlChanged(Change what) {
    static const ColorRoles roles{QPalette::WindowText, QPalette::Window, true, std::nullopt};
    if (what == Change::Geometry) {
        dock();
        return;
    }
    mirrorCommon(*this, control_, what, scale_, roles);
    if (what == Change::Appearance) dock();
    if (what == Change::Items) update();
}

bool StatusBarWidget::eventFilter(QObject* watched, QEvent* e) {
    if (watched == parent() && e->type() == QEvent::Resize) dock();
    return QWidget::eventFilter(watched, e);
}

void StatusBarWidget::dock() {
    const QWidget* p = parentWidget();
    if (!p) return;
    const int h = control_.Height() > 0 ? scale_.toPx(control_.Height()) : fontMetrics().height() + 2 * Padding;
    setGeometry(0, p->height() - h, p->width(), h);
}

std::vector<QRect> StatusBarWidget::panelRects() const {
    const int n = control_.panelCount();
    std::vector<int> widths(static_cast<size_t>(n));
    int fixed = 0, springs = 0;
    for (int i = 1; i <= n; ++i) {
        const StatusBar::Panel& p = control_.panel(i);
        if (p.spring) {
            ++springs;
            continue;
        }
        const int textWidth = fontMetrics().horizontalAdvance(toQString(p.text)) + 2 * Padding;
        widths[static_cast<size_t>(i - 1)] = std::max(scale_.toPx(MinPanelWidth), textWidth);
        fixed += widths[static_cast<size_t>(i - 1)] + Gap;
    }
    const int rest = std::max(0, width() - fixed - springs * Gap);
    std::vector<QRect> rects;
    int x = 0;
    for (int i = 1; i <= n; ++i) {
        int& w = widths[static_cast<size_t>(i - 1)];
        if (control_.panel(i).spring) w = rest / springs;
        rects.emplace_back(x, Gap, w, height() - Gap);
        x += w + Gap;
    }
    return rects;
}

void StatusBarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const std::vector<QRect> rects = panelRects();
    for (size_t i = 0; i < rects.size(); ++i) {
        const StatusBar::Panel& p = control_.panel(static_cast<int>(i + 1));
        if (p.bevel != StatusBar::Bevel::None)
            qDrawShadePanel(&painter, rects[i], palette(), p.bevel == StatusBar::Bevel::Inset, 1);
        painter.drawText(rects[i].adjusted(Padding, 0, -Padding, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         toQString(p.text));
    }
}

}  // namespace velorra::toolkit::qt
