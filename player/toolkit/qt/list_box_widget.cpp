#include "player/toolkit/qt/list_box_widget.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/list_drag.h"
#include "player/toolkit/qt/qt_input.h"

namespace velorra::toolkit::qt {

ListBoxWidget::ListBoxWidget(ListBox& control, QWidget* parent, const TwipsScale& scale)
    : QListView(parent), control_(control), scale_(scale), model_(new ListBoxModel(control, this)) {
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setModel(model_);
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
    model_->onSelectionChanged = [this] {
        if (!applyingUser_) mirrorSelection();
    };
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& on, const QItemSelection& off) { userSelectionChanged(on, off); });
    mirrorSelection();
}

ListBoxWidget::~ListBoxWidget() { control_.attachView(nullptr); }

void ListBoxWidget::controlChanged(Change what) {
    static const ColorRoles roles{QPalette::Text, QPalette::Base, false, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
    if (what == Change::Appearance)
        setSelectionMode(control_.multiSelect() ? QAbstractItemView::ExtendedSelection
                                                : QAbstractItemView::SingleSelection);
}

void ListBoxWidget::mirrorSelection() {
    mirroring_ = true;
    QItemSelection selection;
    for (int32_t i = 0; i < control_.ListCount(); ++i)
        if (control_.Selected(i)) selection.select(model_->index(i), model_->index(i));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const int32_t current = control_.ListIndex();
    selectionModel()->setCurrentIndex(current >= 0 ? model_->index(current) : QModelIndex(),
                                      QItemSelectionModel::NoUpdate);
    mirroring_ = false;
}

void ListBoxWidget::userSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    if (mirroring_) return;
    applyingUser_ = true;
    if (control_.multiSelect()) {
        for (const QItemSelectionRange& r : deselected)
            for (int row = r.top(); row <= r.bottom(); ++row) control_.setSelected(row, false);
        for (const QItemSelectionRange& r : selected)
            for (int row = r.top(); row <= r.bottom(); ++row) control_.setSelected(row, true);
    }
    // The item the user moved to becomes the current one, which runs the click action.
    const QModelIndex current = currentIndex();
    if (current.isValid()) control_.setListIndex(current.row());
    applyingUser_ = false;
}

void ListBoxWidget::keyPressEvent(QKeyEvent* e) {
    if (const auto key = toKeyEvent(*e)) control_.keyDown(*key);
    QListView::keyPressEvent(e);
}

void ListBoxWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    QListView::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton) control_.dblClick();
}

std::unique_ptr<QMimeData> ListBoxWidget::dragMimeData() const { return outgoingDragData(control_.onStartDrag); }

void ListBoxWidget::startDrag(Qt::DropActions) { runFileDrag(*this, dragMimeData()); }

}  // namespace velorra::toolkit::qt
