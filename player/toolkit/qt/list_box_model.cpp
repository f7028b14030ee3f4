#include "player/toolkit/qt/list_box_model.h"

#include "player/toolkit/qt/qt_strings.h"

namespace velorra::toolkit::qt {

ListBoxModel::ListBoxModel(ListBox& control, QObject* parent)
    : QAbstractListModel(parent), control_(control), rows_(control.ListCount()) {
    control_.setObserver(this);
}

ListBoxModel::~ListBoxModel() { control_.setObserver(nullptr); }

int ListBoxModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant ListBoxModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= control_.ListCount()) return {};
    return toQString(control_.List(index.row()));
}

Qt::ItemFlags ListBoxModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

void ListBoxModel::rowsInserted(int32_t first, int32_t count) {
    beginInsertRows({}, first, first + count - 1);
    rows_ += count;
    endInsertRows();
}

void ListBoxModel::rowsRemoved(int32_t first, int32_t count) {
    beginRemoveRows({}, first, first + count - 1);
    rows_ -= count;
    endRemoveRows();
}

void ListBoxModel::rowChanged(int32_t row) {
    const QModelIndex i = index(row, 0);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

void ListBoxModel::rowsReset() {
    beginResetModel();
    rows_ = control_.ListCount();
    endResetModel();
}

void ListBoxModel::selectionChanged() {
    if (onSelectionChanged) onSelectionChanged();
}

// A list box never asks for an item to be shown.
void ListBoxModel::scrollTo(int32_t) {}

}  // namespace velorra::toolkit::qt
