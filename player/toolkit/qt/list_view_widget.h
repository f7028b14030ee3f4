#pragma once
#include "player/toolkit/list_view.h"
#include "player/toolkit/qt/list_view_model.h"
#include "player/toolkit/qt/twips_scale.h"

#include <QMimeData>
#include <QTreeView>

#include <memory>

namespace velorra::toolkit::qt {

// A list view in report view. The header shows the columns and the last sort's indicator; a
// click on it only tells the control (the program sorts). The marked row is drawn bold. Drops are offered to the control in twips from its corner.
class ListViewWidget : public QTreeView, public ControlView, public ListView::Geometry {
public:
    ListViewWidget(ListView& control, QWidget* parent, const TwipsScale& scale);
    ~ListViewWidget() override;
    void controlChanged(Change what) override;
    int32_t rowAt(int32_t x, int32_t y) const override;

    // What dragging the selected rows out would carry.
    std::unique_ptr<QMimeData> dragMimeData() const;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void startDrag(Qt::DropActions supported) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    bool acceptsDrops() const { return control_.onDragOver || control_.onDrop; }
    // A point of the viewport in twips from the control's top left corner.
    QPoint toControlTwips(QPoint viewportPos) const;
    void offerDrag(QDragMoveEvent& e);
    void mirrorColumns();
    void mirrorSelection();
    void mirrorSortIndicator();
    void userSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

    ListView& control_;
    const TwipsScale& scale_;
    ListViewModel* model_;
    bool mirroring_ = false;     // the program's selection is being shown
    bool applyingUser_ = false;  // the user's selection is being handed to the control
};

}  // namespace velorra::toolkit::qt
