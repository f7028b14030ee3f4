// The visual layer of the control: a fixed 570 x 570 twips square showing the control's 38 x 38
// pixel icon, holding the Vextag the host drives, and its About-box member. Needs Qt Widgets.
#pragma once

#include <memory>

#include <QPixmap>
#include <QWidget>

#include <vextag/export.h>
#include <vextag/vextag.h>

namespace vextag {

// The control's icon, 38 x 38 pixels; the About window shows it too.
VEXTAG_API QPixmap vextagIcon();

// Twips (1440 an inch) as pixels at `dpi` logical dots per inch, to the nearest pixel.
VEXTAG_API int twipsToPixels(int twips, int dpi);

class VEXTAG_API VextagWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int SizeTwips = 570;
    static constexpr int IconPixels = 38;

    explicit VextagWidget(QWidget* parent = nullptr);
    ~VextagWidget() override;

    Vextag& control();
    const Vextag& control() const;

    // Shows the About window modally over the window that holds the control; returns when it
    // is closed. The window lives only while it is shown.
    void ShowAbout();

    QSize sizeHint() const override;

protected:
    // Whatever size the host asks for, the control goes back to 570 x 570 twips. The size is
    // worked out here from the widget's own DPI; nothing of the host container is touched.
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vextag
