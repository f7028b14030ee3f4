#pragma once
#include "player/toolkit/image.h"
#include "player/toolkit/qt/twips_scale.h"

#include <QLabel>

namespace velorra::toolkit::qt {

// The control's picture scaled to its size; empty when the source cannot be read.
class ImageWidget : public QLabel, public ControlView {
public:
    ImageWidget(Image& control, QWidget* parent, const TwipsScale& scale);
    ~ImageWidget() override;
    void controlChanged(Change what) override;

private:
    Image& control_;
    const TwipsScale& scale_;
};

}  // namespace velorra::toolkit::qt
