#pragma once
#include "player/toolkit/qt/twips_scale.h"
#include "player/toolkit/value_control.h"

#include <QAbstractButton>

namespace velorra::toolkit::qt {

// A graphical option button: draws its picture, and shows sunken and highlighted while set.
class OptionButtonWidget : public QAbstractButton, public ControlView {
public:
    OptionButtonWidget(OptionButton& control, QWidget* parent, const TwipsScale& scale);
    ~OptionButtonWidget() override;
    void controlChanged(Change what) override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    OptionButton& control_;
    const TwipsScale& scale_;
};

}  // namespace velorra::toolkit::qt
