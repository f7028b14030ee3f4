#pragma once
#include "player/toolkit/label.h"
#include "player/toolkit/qt/twips_scale.h"

#include <QLabel>

namespace velorra::toolkit::qt {

// A word-wrapped label painted in its colours, or the system's window colours without them.
class LabelWidget : public QLabel, public ControlView {
public:
    LabelWidget(Label& control, QWidget* parent, const TwipsScale& scale);
    ~LabelWidget() override;
    void controlChanged(Change what) override;

private:
    Label& control_;
    const TwipsScale& scale_;
};

}  // namespace velorra::toolkit::qt
