#pragma once
#include "player/toolkit/file_list_box.h"
#include "player/toolkit/qt/twips_scale.h"

#include <QListWidget>

namespace velorra::toolkit::qt {

// A file list: the matching names, several selectable, dragged out as the desktop's file list.
// Like the directory list it builds its rows only while it is on screen.
class FileListWidget : public QListWidget, public ControlView, public ListObserver {
public:
    FileListWidget(FileListBox& control, QWidget* parent, const TwipsScale& scale);
    ~FileListWidget() override;
    void controlChanged(Change what) override;

    void rowsInserted(int32_t, int32_t) override { rowsReset(); }
    void rowsRemoved(int32_t, int32_t) override { rowsReset(); }
    void rowChanged(int32_t) override { rowsReset(); }
    void rowsReset() override;
    void selectionChanged() override;
    void scrollTo(int32_t) override {}

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void startDrag(Qt::DropActions supported) override;

private:
    void rebuild();
    void mirrorSelection();
    void userSelectionChanged();

    FileListBox& control_;
    const TwipsScale& scale_;
    bool stale_ = true;
    bool mirroring_ = false;
};

}  // namespace velorra::toolkit::qt
