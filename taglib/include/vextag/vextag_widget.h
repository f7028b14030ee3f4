// The visual control: a fixed 570 x 570 twips square showing the control's 38 x 38 pixel icon,
// holding the Vextag the host drives.
#pragma once

#include <QPixmap>
#include <QWidget>

#include <vextag/vextag.h>

namespace vextag {

// The control's icon, 38 x 38 pixels; the About window shows it too.
QPixmap vextagIcon();

// Twips (1440 an inch) as pixels at `dpi` logical dots per inch, to the nearest pixel.
int twipsToPixels(int twips, int dpi);

class VextagWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int SizeTwips = 570;
    static constexpr int IconPixels = 38;

    explicit VextagWidget(QWidget* parent = nullptr);

    Vextag& control() { return control_; }
    const Vextag& control() const { return control_; }

    QSize sizeHint() const override;

protected:
    // Whatever size the host asks for, the control goes back to 570 x 570 twips. The size is
    // worked out here from the widget's own DPI; nothing of the host container is touched.
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Vextag control_;
    QPixmap icon_;
};

} // namespace vextag
