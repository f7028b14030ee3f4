#pragma once
#include "player/toolkit/qt/twips_scale.h"
#include "player/toolkit/value_control.h"

#include <QProgressBar>

namespace velorra::toolkit::qt {

// A level bar without text, drawn flat: the part done in the fore colour on the back colour,
// inside a thin frame. The style's own bar (gradients, rounded corners, lines) cost the window
// far more to paint, and the channel bars are painted many times a second in a transition.
class ProgressBarWidget : public QProgressBar, public ControlView {
public:
    ProgressBarWidget(ProgressBar& control, QWidget* parent, const TwipsScale& scale);
    ~ProgressBarWidget() override;
    void controlChanged(Change what) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ProgressBar& control_;
    const TwipsScale& scale_;
};

}  // namespace velorra::toolkit::qt
