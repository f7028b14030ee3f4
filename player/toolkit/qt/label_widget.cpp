#include "player/toolkit/qt/label_widget.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/qt_strings.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace velorra::toolkit::qt {

namespace {
Qt::Alignment toQt(Alignment a) {
    switch (a) {
        case Alignment::Right: return Qt::AlignRight | Qt::AlignTop;
        case Alignment::Center: return Qt::AlignHCenter | Qt::AlignTop;
        case Alignment::Left: break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}
}  // namespace

LabelWidget::LabelWidget(Label& control, QWidget* parent, const TwipsScale& scale)
    : QLabel(parent), control_(control), scale_(scale) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    laidOut_.setTextFormat(Qt::PlainText);
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
}

LabelWidget::~LabelWidget() { control_.attachView(nullptr); }

void LabelWidget::controlChanged(Change what) {
    static const ColorRoles roles{QPalette::WindowText, QPalette::Window, true, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
    if (what == Change::Text) {
        setText(toQString(control_.Caption()));
        // A line break in the caption breaks the line, as it does in Qt's own label.
        laidOut_.setText(text().replace(QLatin1Char('\n'), QChar::LineSeparator));
    }
    if (what == Change::Appearance) {
        setAlignment(toQt(control_.alignment()));
        QTextOption option(QStyle::visualAlignment(layoutDirection(), alignment()));
        option.setWrapMode(QTextOption::WordWrap);
        laidOut_.setTextOption(option);
        if (control_.cursor() == Cursor::PointingHand)
            setCursor(Qt::PointingHandCursor);
        else
            unsetCursor();
    }
}

void LabelWidget::paintEvent(QPaintEvent*) {
    const QRect box = contentsRect();
    if (laidOut_.textWidth() != box.width()) laidOut_.setTextWidth(box.width());
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawStaticText(box.topLeft(), laidOut_);
}

void LabelWidget::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && control_.onClick)
        e->accept();  // so that the release comes here too
    else
        QLabel::mousePressEvent(e);
}

void LabelWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !control_.onClick) {
        QLabel::mouseReleaseEvent(e);
        return;
    }
    e->accept();
    if (rect().contains(e->position().toPoint())) control_.click();
}

}  // namespace velorra::toolkit::qt
