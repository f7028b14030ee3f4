#include "player/toolkit/qt/option_button_widget.h"

#include "player/toolkit/qt/control_mirror.h"

#include <QPainter>
#include <QPolygon>
#include <QStyleOptionButton>

namespace velorra::toolkit::qt {

OptionButtonWidget::OptionButtonWidget(OptionButton& control, QWidget* parent, const TwipsScale& scale)
    : QAbstractButton(parent), control_(control), scale_(scale) {
    setFocusPolicy(Qt::TabFocus);
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
    connect(this, &QAbstractButton::clicked, this, [this] { control_.click(); });
}

OptionButtonWidget::~OptionButtonWidget() { control_.attachView(nullptr); }

void OptionButtonWidget::controlChanged(Change what) {
    const QSignalBlocker block(this);
    static const ColorRoles roles{QPalette::ButtonText, QPalette::Button, false, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
    if (what == Change::Value || what == Change::Appearance) update();
}

void OptionButtonWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    const bool set = control_.Value();
    option.state |= set || isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (set) option.state |= QStyle::State_On;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, this);

    const Picture& picture = control_.picture();
    // The picture sits in the middle, one pixel lower and to the right while pressed in.
    const int shift = set ? 1 : 0;
    painter.translate((width() - picture.width) / 2 + shift, (height() - picture.height) / 2 + shift);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Stroke& stroke : picture.strokes) {
        QPolygon line;
        for (const auto& [x, y] : stroke.points) line << QPoint(x, y);
        painter.setPen(QPen(toQColor(stroke.color), 2));
        painter.drawPolyline(line);
    }
    painter.resetTransform();
    if (set) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

}  // namespace velorra::toolkit::qt
