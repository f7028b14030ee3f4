#include "player/toolkit/qt/label_widget.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/qt_strings.h"

#include <QCache>
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

// How many captions stay laid out: every number a level label shows, and room for the rest.
constexpr int kCaptionsKept = 512;

// A caption laid out for a width and a font, shared by every label and kept until the captions
// drawn since push it out: the level labels count through the same hundred and one numbers in
// every transition, and each is laid out (shaped) once rather than at every change.
QStaticText laidOutCaption(const QString& text, const QTextOption& option, int width, const QString& fontKey) {
    static QCache<QString, QStaticText> captions(kCaptionsKept);
    const QString key = fontKey + QChar(0) + QString::number(option.alignment().toInt()) + QChar(0) +
                        QString::number(width) + QChar(0) + text;
    if (const QStaticText* found = captions.object(key)) return *found;
    auto* made = new QStaticText(text);
    made->setTextFormat(Qt::PlainText);
    made->setTextOption(option);
    made->setTextWidth(width);
    const QStaticText caption = *made;
    captions.insert(key, made);
    return caption;
}
}  // namespace

LabelWidget::LabelWidget(Label& control, QWidget* parent, const TwipsScale& scale)
    : QLabel(parent), control_(control), scale_(scale) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    fontKey_ = font().key();
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
}

LabelWidget::~LabelWidget() { control_.attachView(nullptr); }

void LabelWidget::controlChanged(Change what) {
    static const ColorRoles roles{QPalette::WindowText, QPalette::Window, true, std::nullopt};
    if (what == Change::Geometry) {
        const QRect place = scale_.toPx(control_.Left(), control_.Top(), control_.Width(), control_.Height());
        setFixedSize(place.size());
        move(place.topLeft());
        return;
    }
    mirrorCommon(*this, control_, what, scale_, roles);
    if (what == Change::Text) {
        setText(toQString(control_.Caption()));
        // A line break in the caption breaks the line, as it does in Qt's own label.
        lines_ = text().replace(QLatin1Char('\n'), QChar::LineSeparator);
        laidWidth_ = -1;
    }
    if (what == Change::Appearance) {
        setAlignment(toQt(control_.alignment()));
        option_ = QTextOption(QStyle::visualAlignment(layoutDirection(), alignment()));
        option_.setWrapMode(QTextOption::WordWrap);
        laidWidth_ = -1;
        if (control_.cursor() == Cursor::PointingHand)
            setCursor(Qt::PointingHandCursor);
        else
            unsetCursor();
    }
}

void LabelWidget::paintEvent(QPaintEvent*) {
    const QRect box = contentsRect();
    if (laidWidth_ != box.width()) {
        laidOut_ = laidOutCaption(lines_, option_, box.width(), fontKey_);
        laidWidth_ = box.width();
    }
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawStaticText(box.topLeft(), laidOut_);
}

void LabelWidget::changeEvent(QEvent* e) {
    if (e->type() == QEvent::FontChange) {
        fontKey_ = font().key();
        laidWidth_ = -1;
    }
    QLabel::changeEvent(e);
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
