#pragma once
#include "player/toolkit/dir_list_box.h"
#include "player/toolkit/qt/twips_scale.h"

#include <QListWidget>

namespace velorra::toolkit::qt {

// A directory list: the directories from the root down to the current one, each indented one
// step further, then the current one's subdirectories. Rows are built only while the list is
// on screen, so a search walking the control through thousands of directories behind the
// results panel costs no drawing.
class DirListWidget : public QListWidget, public ControlView, public ListObserver {
public:
    DirListWidget(DirListBox& control, QWidget* parent, const TwipsScale& scale);
    ~DirListWidget() override;
    void controlChanged(Change what) override;

    void rowsInserted(int32_t, int32_t) override { rowsReset(); }
    void rowsRemoved(int32_t, int32_t) override { rowsReset(); }
    void rowChanged(int32_t) override { rowsReset(); }
    void rowsReset() override;
    void selectionChanged() override;
    void scrollTo(int32_t) override {}

protected:
    void showEvent(QShowEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void rebuild();

    DirListBox& control_;
    const TwipsScale& scale_;
    bool stale_ = true;
};

}  // namespace velorra::toolkit::qt
