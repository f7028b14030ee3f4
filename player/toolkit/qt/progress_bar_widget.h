#pragma once
#include "player/toolkit/qt/twips_scale.h"
#include "player/toolkit/value_control.h"

#include <QProgressBar>

namespace velorra::toolkit::qt {

// A level bar without text.
class ProgressBarWidget : public QProgressBar, public ControlView {
public:
    ProgressBarWidget(ProgressBar& control, QWidget* parent, const TwipsScale& scale);
    ~ProgressBarWidget() override;
    void controlChanged(Change what) override;

private:
    ProgressBar& control_;
    const TwipsScale& scale_;
};

}  // namespace velorra::toolkit::qt
