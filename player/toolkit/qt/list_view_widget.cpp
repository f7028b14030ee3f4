#include "player/toolkit/qt/list_view_widget.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/list_drag.h"
#include "player/toolkit/qt/qt_input.h"
#include "player/toolkit/qt/uri_list.h"

#include <QDragEnterEvent>
#include <QHeaderView>

#include <algorithm>

namespace velorra::toolkit::qt {

ListViewWidget::ListViewWidget(ListView& control, QWidget* parent, const TwipsScale& scale)
    : QTreeView(parent), control_(control), scale_(scale), model_(new ListViewModel(control, this)) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setSortingEnabled(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setModel(model_);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);

    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
    control_.setGeometry(this);

    model_->onSelectionChanged = [this] {
        if (!applyingUser_) mirrorSelection();
    };
    model_->onReset = [this] {
        mirrorSelection();
        mirrorSortIndicator();
    };
    model_->onScrollTo = [this](int32_t row) { QTreeView::scrollTo(model_->index(row - 1, 0)); };
    // The header flips its own indicator on a click; the control's last sort decides it.
    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
        control_.columnClick(section + 1);
        mirrorSortIndicator();
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& on, const QItemSelection& off) { userSelectionChanged(on, off); });
    mirrorSelection();
    mirrorSortIndicator();
}

ListViewWidget::~ListViewWidget() {
    control_.attachView(nullptr);
    control_.setGeometry(nullptr);
}

void ListViewWidget::controlChanged(Change what) {
    static const ColorRoles roles{QPalette::Text, QPalette::Base, false, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
    if (what == Change::Items) mirrorColumns();
    if (what == Change::Appearance)
        setSelectionMode(control_.multiSelect() ? QAbstractItemView::ExtendedSelection
                                                : QAbstractItemView::SingleSelection);
}

void ListViewWidget::mirrorColumns() {
    model_->columnsChanged();
    for (int c = 1; c <= control_.columnCount(); ++c) header()->resizeSection(c - 1, scale_.toPx(control_.column(c).width));
}

void ListViewWidget::mirrorSortIndicator() {
    const int k = control_.sortedBy();
    header()->setSortIndicatorShown(k >= 0);
    if (k >= 0) header()->setSortIndicator(k, control_.sortedAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void ListViewWidget::mirrorSelection() {
    mirroring_ = true;
    QItemSelection selection;
    int32_t runStart = 0;
    const int32_t n = control_.count();
    for (int32_t i = 1; i <= n + 1; ++i) {
        const bool on = i <= n && control_.selected(i);
        if (on && !runStart) runStart = i;
        if (!on && runStart) {
            selection.select(model_->index(runStart - 1, 0), model_->index(i - 2, std::max(0, model_->columnCount() - 1)));
            runStart = 0;
        }
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const int32_t current = control_.selectedItem();
    selectionModel()->setCurrentIndex(current ? model_->index(current - 1, 0) : QModelIndex(),
                                      QItemSelectionModel::NoUpdate);
    mirroring_ = false;
}

void ListViewWidget::userSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    if (mirroring_) return;
    applyingUser_ = true;
    const QModelIndexList rows = selectionModel()->selectedRows();
    const QModelIndex current = currentIndex();
    if (rows.size() == 1 && current.isValid() && rows.front().row() == current.row()) {
        // One row picked alone: it becomes the selected item.
        control_.setSelectedItem(current.row() + 1);
    } else {
        for (const QItemSelectionRange& r : deselected)
            for (int row = r.top(); row <= r.bottom(); ++row) control_.setSelected(row + 1, false);
        for (const QItemSelectionRange& r : selected)
            for (int row = r.top(); row <= r.bottom(); ++row) control_.setSelected(row + 1, true);
    }
    applyingUser_ = false;
}

int32_t ListViewWidget::rowAt(int32_t x, int32_t y) const {
    const QPoint p = viewport()->mapFrom(this, QPoint(scale_.toPx(x), scale_.toPx(y)));
    if (!viewport()->rect().contains(p)) return 0;
    // Past the last column the row still counts.
    const int columnsRight = header()->length() - header()->offset();
    const QModelIndex index = indexAt(QPoint(std::min(p.x(), columnsRight - 1), p.y()));
    return index.isValid() ? index.row() + 1 : 0;
}

QPoint ListViewWidget::toControlTwips(QPoint viewportPos) const {
    const QPoint p = viewport()->mapTo(this, viewportPos);
    return {scale_.toTwips(p.x()), scale_.toTwips(p.y())};
}

void ListViewWidget::keyPressEvent(QKeyEvent* e) {
    if (const auto key = toKeyEvent(*e)) control_.keyDown(*key);
    QTreeView::keyPressEvent(e);
}

void ListViewWidget::mouseReleaseEvent(QMouseEvent* e) {
    QTreeView::mouseReleaseEvent(e);
    const QPoint p = toControlTwips(e->position().toPoint());
    control_.mouseUp(MouseEvent{toButton(e->button()), toShift(e->modifiers()), p.x(), p.y()});
}

void ListViewWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    QTreeView::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton) control_.dblClick();
}

std::unique_ptr<QMimeData> ListViewWidget::dragMimeData() const { return outgoingDragData(control_.onStartDrag); }

void ListViewWidget::startDrag(Qt::DropActions) { runFileDrag(*this, dragMimeData()); }

void ListViewWidget::offerDrag(QDragMoveEvent& e) {
    if (!acceptsDrops() || !e.mimeData()) {
        e.ignore();
        return;
    }
    DropEffect effect = DropEffect::Copy;
    if (control_.onDragOver) {
        const QPoint p = toControlTwips(e.position().toPoint());
        effect = control_.onDragOver(toDragData(*e.mimeData()), p.x(), p.y());
    }
    if (effect == DropEffect::None) {
        e.ignore();
        return;
    }
    e.setDropAction(effect == DropEffect::Move ? Qt::MoveAction : Qt::CopyAction);
    e.accept();
}

void ListViewWidget::dragEnterEvent(QDragEnterEvent* e) {
    if (!acceptsDrops()) {
        e->ignore();
        return;
    }
    offerDrag(*e);
    if (!e->isAccepted()) {
        // Keep receiving the moves: another row may take the drop.
        e->setDropAction(Qt::IgnoreAction);
        e->accept();
    }
}

void ListViewWidget::dragMoveEvent(QDragMoveEvent* e) { offerDrag(*e); }

void ListViewWidget::dragLeaveEvent(QDragLeaveEvent* e) { e->accept(); }

void ListViewWidget::dropEvent(QDropEvent* e) {
    if (!control_.onDrop || !e->mimeData()) {
        e->ignore();
        return;
    }
    const QPoint p = toControlTwips(e->position().toPoint());
    e->setDropAction(Qt::CopyAction);
    e->accept();
    control_.onDrop(toDragData(*e->mimeData()), p.x(), p.y());
}

}  // namespace velorra::toolkit::qt
