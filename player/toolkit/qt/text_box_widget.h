#pragma once
#include "player/toolkit/qt/twips_scale.h"
#include "player/toolkit/text_box.h"

#include <QLineEdit>

namespace velorra::toolkit::qt {

class TextBoxWidget : public QLineEdit, public ControlView {
public:
    TextBoxWidget(TextBox& control, QWidget* parent, const TwipsScale& scale);
    ~TextBoxWidget() override;
    void controlChanged(Change what) override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    // The control's selection, from bytes of its UTF-8 text to the box's characters.
    void showSelection();
    void userSelectionChanged();

    TextBox& control_;
    const TwipsScale& scale_;
};

}  // namespace velorra::toolkit::qt
