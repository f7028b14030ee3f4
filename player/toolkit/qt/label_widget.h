#pragma once
#include "player/toolkit/label.h"
#include "player/toolkit/qt/twips_scale.h"

#include <QLabel>

namespace velorra::toolkit::qt {

// A word-wrapped label painted in its colours, or the system's window colours without them,
// with the mouse pointer of its control.
class LabelWidget : public QLabel, public ControlView {
public:
    LabelWidget(Label& control, QWidget* parent, const TwipsScale& scale);
    ~LabelWidget() override;
    void controlChanged(Change what) override;

protected:
    // A press and release of the left button on a label with a click action runs it.
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    Label& control_;
    const TwipsScale& scale_;
};

}  // namespace velorra::toolkit::qt
