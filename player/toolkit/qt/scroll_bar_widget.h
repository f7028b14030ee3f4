#pragma once
#include "player/toolkit/qt/twips_scale.h"
#include "player/toolkit/value_control.h"

#include <QScrollBar>
#include <QToolButton>
#include <QWidget>

namespace velorra::toolkit::qt {

// A scroll bar, or (when the control is a spinner) a pair of up and down arrows that step
// towards Min and Max as a vertical bar's arrows do. Qt's bar needs its minimum below its
// maximum; a control whose Min lies above Max is shown negated, so that the bar's left or top
// end is still the control's Min.
class ScrollBarWidget : public QWidget, public ControlView {
public:
    ScrollBarWidget(ScrollBar& control, QWidget* parent, const TwipsScale& scale);
    ~ScrollBarWidget() override;
    void controlChanged(Change what) override;

    QScrollBar& bar() { return *bar_; }
    QToolButton& upArrow() { return *up_; }
    QToolButton& downArrow() { return *down_; }

protected:
    void resizeEvent(QResizeEvent* e) override;
    // The wheel steps a spinner as its arrows do, one step a notch; it moves a bar by Qt's
    // wheel step (wheelScrollLines small changes a notch): a horizontal bar to the right for
    // wheel-up, a vertical one up.
    void wheelEvent(QWheelEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    int sign() const { return control_.Min() <= control_.Max() ? 1 : -1; }
    void layoutParts();
    // Moves the value by `amount` towards Max (towards Min when negative), stopping at the end.
    void moveTowardsMax(int64_t amount);

    ScrollBar& control_;
    const TwipsScale& scale_;
    QScrollBar* bar_;
    QToolButton* up_;
    QToolButton* down_;
    int wheelAngle_ = 0;  // eighths of a degree not yet making a notch
};

}  // namespace velorra::toolkit::qt
