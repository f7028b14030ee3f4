#pragma once
#include "player/toolkit/qt/twips_scale.h"
#include "player/toolkit/value_control.h"

#include <QWidget>

namespace velorra::toolkit::qt {

// A level bar without text, drawn flat: the part done in the fore colour on the back colour,
// inside a thin frame. It is a widget of its own rather than Qt's progress bar, whose style drew
// gradients and lines and whose every change of value asked the style for the bar's whole look;
// the channel bars move several times a second in a transition. A move repaints only the columns
// between the old and the new end of the part done, so that the captions the bar overlaps are not
// painted again with it.
class ProgressBarWidget : public QWidget, public ControlView {
public:
    ProgressBarWidget(ProgressBar& control, QWidget* parent, const TwipsScale& scale);
    ~ProgressBarWidget() override;
    void controlChanged(Change what) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect inside() const { return rect().adjusted(1, 1, -1, -1); }
    // The width, in pixels, of the part of the inside that is done at `value`.
    int doneWidth(int32_t value) const;

    ProgressBar& control_;
    const TwipsScale& scale_;
    // The value the bar shows.
    int32_t shown_ = 0;
};

}  // namespace velorra::toolkit::qt
