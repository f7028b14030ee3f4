#include <vextag/vextag_widget.h>

#include <QPainter>
#include <QResizeEvent>

#include <vextag/about_window.h>

namespace vextag {

QPixmap vextagIcon() {
    const int side = VextagWidget::IconPixels;
    QPixmap icon(side, side);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2b, 0x4f, 0x81));
    painter.drawRoundedRect(QRectF(1, 1, side - 2, side - 2), 6, 6);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(13);
    painter.setFont(font);
    painter.drawText(QRect(0, 0, side, side), Qt::AlignCenter, "ID3");
    return icon;
}

int twipsToPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

struct VextagWidget::Impl {
    Vextag control;
    QPixmap icon = vextagIcon();
};

VextagWidget::VextagWidget(QWidget* parent) : QWidget(parent), impl_(std::make_unique<Impl>()) {
    setFixedSize(sizeHint());
}

VextagWidget::~VextagWidget() = default;

Vextag& VextagWidget::control() { return impl_->control; }

const Vextag& VextagWidget::control() const { return impl_->control; }

void VextagWidget::ShowAbout() {
    DesktopLinkOpener links;
    AboutWindow about(links, window());
    about.exec();
}

QSize VextagWidget::sizeHint() const {
    return {twipsToPixels(SizeTwips, logicalDpiX()), twipsToPixels(SizeTwips, logicalDpiY())};
}

void VextagWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->size() != sizeHint()) setFixedSize(sizeHint());
}

void VextagWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, impl_->icon);
}

} // namespace vextag
