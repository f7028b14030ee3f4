#pragma once
#include "player/toolkit/qt/twips_scale.h"
#include "player/toolkit/status_bar.h"

#include <QWidget>

#include <vector>

namespace velorra::toolkit::qt {

// Panels side by side, docked at the bottom of the parent across its width and kept below
// the parent's other widgets, so that a control placed over a panel is drawn over it.
class StatusBarWidget : public QWidget, public ControlView {
public:
    StatusBarWidget(StatusBar& control, QWidget* parent, const TwipsScale& scale);
    ~StatusBarWidget() override;
    void controlChanged(Change what) override;

    // Each panel's place in the bar, in pixels.
    std::vector<QRect> panelRects() const;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void dock();

    StatusBar& control_;
    const TwipsScale& scale_;
};

}  // namespace velorra::toolkit::qt
