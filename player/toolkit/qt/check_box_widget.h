#pragma once
#include "player/toolkit/qt/twips_scale.h"
#include "player/toolkit/value_control.h"

#include <QCheckBox>

namespace velorra::toolkit::qt {

// 0 unchecked, 1 checked, 2 greyed (partly checked).
class CheckBoxWidget : public QCheckBox, public ControlView {
public:
    CheckBoxWidget(CheckBox& control, QWidget* parent, const TwipsScale& scale);
    ~CheckBoxWidget() override;
    void controlChanged(Change what) override;

private:
    CheckBox& control_;
    const TwipsScale& scale_;
};

}  // namespace velorra::toolkit::qt
