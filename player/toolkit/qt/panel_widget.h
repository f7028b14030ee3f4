#pragma once
#include "player/toolkit/panel.h"
#include "player/toolkit/qt/twips_scale.h"

#include <QWidget>

namespace velorra::toolkit::qt {

// A plain area in its back colour; its children are widgets of their own and are clipped to it.
class PanelWidget : public QWidget, public ControlView {
public:
    PanelWidget(Panel& control, QWidget* parent, const TwipsScale& scale);
    ~PanelWidget() override;
    void controlChanged(Change what) override;

private:
    Panel& control_;
    const TwipsScale& scale_;
};

}  // namespace velorra::toolkit::qt
