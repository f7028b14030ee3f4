#include "player/toolkit/qt/text_box_widget.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/qt_input.h"
#include "player/toolkit/qt/qt_strings.h"

#include <QFocusEvent>
#include <QTimer>

namespace velorra::toolkit::qt {

TextBoxWidget::TextBoxWidget(TextBox& control, QWidget* parent, const TwipsScale& scale)
    : QLineEdit(parent), control_(control), scale_(scale) {
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& t) { control_.setText(toUtf8(t)); });
    connect(this, &QLineEdit::selectionChanged, this, [this] { userSelectionChanged(); });
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
    if (what == Change::Selection) showSelection();
    if (what == Change::Focus) setFocus(Qt::OtherFocusReason);
}

void TextBoxWidget::showSelection() {
    const QSignalBlocker block(this);
    const std::string& bytes = control_.Text();
    const auto chars = [&](int32_t n) {
        return static_cast<int>(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(n)).size());
    };
    const int start = chars(control_.SelStart());
    const int end = chars(control_.SelStart() + control_.SelLength());
    if (end > start)
        setSelection(start, end - start);
    else
        deselect();
}

void TextBoxWidget::userSelectionChanged() {
    const QString shown = text();
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const auto bytes = [&](int from, int n) { return static_cast<int32_t>(shown.mid(from, n).toUtf8().size()); };
    control_.setSelection(bytes(0, start), hasSelectedText() ? bytes(start, static_cast<int>(selectedText().size())) : 0);
}

void TextBoxWidget::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    control_.gotFocus();
    // A click that brought the focus places the cursor after this event: show the selection the
    // got-focus action made once the click is done.
    if (control_.SelLength() > 0) QTimer::singleShot(0, this, [this] { showSelection(); });
}

void TextBoxWidget::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    control_.lostFocus();
}

void TextBoxWidget::keyPressEvent(QKeyEvent* e) {
    if (const auto key = toKeyEvent(*e)) control_.keyDown(*key);
    QLineEdit::keyPressEvent(e);
}

}  // namespace velorra::toolkit::qt
