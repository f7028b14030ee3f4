#pragma once
#include "player/toolkit/list_box.h"
#include "player/toolkit/qt/list_box_model.h"
#include "player/toolkit/qt/twips_scale.h"

#include <QListView>
#include <QMimeData>

#include <memory>

namespace velorra::toolkit::qt {

class ListBoxWidget : public QListView, public ControlView {
public:
    ListBoxWidget(ListBox& control, QWidget* parent, const TwipsScale& scale);
    ~ListBoxWidget() override;
    void controlChanged(Change what) override;

    // What dragging the selected items out would carry.
    std::unique_ptr<QMimeData> dragMimeData() const;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void startDrag(Qt::DropActions supported) override;

private:
    void mirrorSelection();
    void userSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

    ListBox& control_;
    const TwipsScale& scale_;
    ListBoxModel* model_;
    bool mirroring_ = false;
    bool applyingUser_ = false;
};

}  // namespace velorra::toolkit::qt
