#pragma once
#include "player/toolkit/button.h"
#include "player/toolkit/qt/twips_scale.h"

#include <QPushButton>

namespace velorra::toolkit::qt {

// A push button in its back colour with a black caption; "&" marks the mnemonic, as in Qt.
class ButtonWidget : public QPushButton, public ControlView {
public:
    ButtonWidget(Button& control, QWidget* parent, const TwipsScale& scale);
    ~ButtonWidget() override;
    void controlChanged(Change what) override;

private:
    Button& control_;
    const TwipsScale& scale_;
};

}  // namespace velorra::toolkit::qt
