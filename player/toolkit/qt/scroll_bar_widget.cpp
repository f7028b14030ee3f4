#include "player/toolkit/qt/scroll_bar_widget.h"

#include "player/toolkit/qt/control_mirror.h"

#include <QApplication>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace velorra::toolkit::qt {

ScrollBarWidget::ScrollBarWidget(ScrollBar& control, QWidget* parent, const TwipsScale& scale)
    : QWidget(parent),
      control_(control),
      scale_(scale),
      bar_(new QScrollBar(control.orientation() == Orientation::Horizontal ? Qt::Horizontal : Qt::Vertical, this)),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
    for (QWidget* part : {static_cast<QWidget*>(bar_), static_cast<QWidget*>(up_), static_cast<QWidget*>(down_)})
        part->installEventFilter(this);

    // Program changes reach the bar with its signals blocked, so these are the user's. The
    // arrows and the trough step by the control's own rules; the bar then shows its value.
    connect(bar_, &QScrollBar::actionTriggered, this, [this](int action) {
        switch (action) {
            case QAbstractSlider::SliderSingleStepAdd: control_.stepTowardsMax(); break;
            case QAbstractSlider::SliderSingleStepSub: control_.stepTowardsMin(); break;
            case QAbstractSlider::SliderPageStepAdd: moveTowardsMax(control_.LargeChange()); break;
            case QAbstractSlider::SliderPageStepSub: moveTowardsMax(-int64_t{control_.LargeChange()}); break;
            default: return;
        }
        const QSignalBlocker block(bar_);
        bar_->setSliderPosition(sign() * control_.Value());
    });
    connect(bar_, &QScrollBar::valueChanged, this, [this](int v) {
        if (bar_->isSliderDown()) return;  // the thumb is dragged: sliderMoved reports it
        if (!control_.setValue(sign() * v)) controlChanged(Change::Value);
    });
    connect(bar_, &QScrollBar::sliderMoved, this, [this](int v) { control_.scrollTo(sign() * v); });
    connect(bar_, &QScrollBar::sliderReleased, this, [this] { control_.endScroll(); });
    connect(up_, &QToolButton::clicked, this, [this] { control_.stepTowardsMin(); });
    connect(down_, &QToolButton::clicked, this, [this] { control_.stepTowardsMax(); });
}

ScrollBarWidget::~ScrollBarWidget() { control_.attachView(nullptr); }

void ScrollBarWidget::controlChanged(Change what) {
    const QSignalBlocker block(bar_);
    static const ColorRoles roles{QPalette::ButtonText, QPalette::Button, false, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
    switch (what) {
        case Change::Range: {
            const int a = sign() * control_.Min(), b = sign() * control_.Max();
            bar_->setRange(std::min(a, b), std::max(a, b));
            bar_->setValue(sign() * control_.Value());
            break;
        }
        // A hidden bar takes its value when it is shown: a control the program moves while
        // nobody sees it (the channel faders, many times a second in a transition) then costs
        // the widget nothing.
        case Change::Visible:
        case Change::Value:
            if (control_.Visible()) bar_->setValue(sign() * control_.Value());
            break;
        case Change::Appearance:
            bar_->setSingleStep(std::max(1, control_.SmallChange()));
            bar_->setPageStep(std::max(1, control_.LargeChange()));
            layoutParts();
            break;
        default: break;
    }
}

void ScrollBarWidget::moveTowardsMax(int64_t amount) {
    const int64_t lo = std::min(control_.Min(), control_.Max()), hi = std::max(control_.Min(), control_.Max());
    const int64_t target = int64_t{control_.Value()} + sign() * amount;
    control_.setValue(static_cast<int32_t>(std::clamp(target, lo, hi)));
}

void ScrollBarWidget::wheelEvent(QWheelEvent* e) {
    e->accept();
    // Wheel-up, or a tilt to the right, counts forwards; a fine-grained wheel adds up to notches.
    const QPoint angle = e->angleDelta();
    wheelAngle_ += std::abs(angle.x()) > std::abs(angle.y()) ? -angle.x() : angle.y();
    const int notches = wheelAngle_ / QWheelEvent::DefaultDeltasPerStep;
    wheelAngle_ %= QWheelEvent::DefaultDeltasPerStep;
    if (control_.spinner()) {
        // The upper arrow steps towards Min.
        for (int i = 0; i < std::abs(notches); ++i) {
            if (notches > 0)
                control_.stepTowardsMin();
            else
                control_.stepTowardsMax();
        }
        return;
    }
    const int towardsMax = control_.orientation() == Orientation::Horizontal ? notches : -notches;
    moveTowardsMax(int64_t{towardsMax} * QApplication::wheelScrollLines() * control_.SmallChange());
}

bool ScrollBarWidget::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::Wheel) return QWidget::eventFilter(watched, e);
    wheelEvent(static_cast<QWheelEvent*>(e));
    return true;
}

void ScrollBarWidget::resizeEvent(QResizeEvent*) { layoutParts(); }

void ScrollBarWidget::layoutParts() {
    const bool spinner = control_.spinner();
    bar_->setVisible(!spinner);
    up_->setVisible(spinner);
    down_->setVisible(spinner);
    bar_->setGeometry(rect());
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

}  // namespace velorra::toolkit::qt
