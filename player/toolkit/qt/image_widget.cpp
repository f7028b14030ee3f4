#include "player/toolkit/qt/image_widget.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/qt_strings.h"

#include <QPixmap>

namespace velorra::toolkit::qt {

ImageWidget::ImageWidget(Image& control, QWidget* parent, const TwipsScale& scale)
    : QLabel(parent), control_(control), scale_(scale) {
    setScaledContents(true);
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
}

ImageWidget::~ImageWidget() { control_.attachView(nullptr); }

void ImageWidget::controlChanged(Change what) {
    static const ColorRoles roles{QPalette::WindowText, QPalette::Window, false, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
    if (what == Change::Appearance) setPixmap(QPixmap(toQString(control_.source())));
}

}  // namespace velorra::toolkit::qt
