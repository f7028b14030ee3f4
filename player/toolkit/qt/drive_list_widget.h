#pragma once
#include "player/toolkit/drive_list_box.h"
#include "player/toolkit/qt/twips_scale.h"

#include <QComboBox>

namespace velorra::toolkit::qt {

// A drive list as a drop-down of the volumes, each shown as its label and root.
class DriveListWidget : public QComboBox, public ControlView, public ListObserver {
public:
    DriveListWidget(DriveListBox& control, QWidget* parent, const TwipsScale& scale);
    ~DriveListWidget() override;
    void controlChanged(Change what) override;

    void rowsInserted(int32_t, int32_t) override { rowsReset(); }
    void rowsRemoved(int32_t, int32_t) override { rowsReset(); }
    void rowChanged(int32_t) override { rowsReset(); }
    void rowsReset() override;
    void selectionChanged() override;
    void scrollTo(int32_t) override {}

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    DriveListBox& control_;
    const TwipsScale& scale_;
};

}  // namespace velorra::toolkit::qt
