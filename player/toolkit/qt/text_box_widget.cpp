#include "player/toolkit/qt/text_box_widget.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/qt_input.h"
#include "player/toolkit/qt/qt_strings.h"

namespace velorra::toolkit::qt {

TextBoxWidget::TextBoxWidget(TextBox& control, QWidget* parent, const TwipsScale& scale)
    : QLineEdit(parent), control_(control), scale_(scale) {
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& t) { control_.setText(toUtf8(t)); });
}

TextBoxWidget::~TextBoxWidget() { control_.attachView(nullptr); }

void TextBoxWidget::controlChanged(Change what) {
    const QSignalBlocker block(this);
    static const ColorRoles roles{QPalette::Text, QPalette::Base, false, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
    if (what == Change::Text) {
        const QString t = toQString(control_.Text());
        if (t != text()) setText(t);  // leaves the cursor alone while the user types
    }
}

void TextBoxWidget::keyPressEvent(QKeyEvent* e) {
    if (const auto key = toKeyEvent(*e)) control_.keyDown(*key);
    QLineEdit::keyPressEvent(e);
}

}  // namespace velorra::toolkit::qt
