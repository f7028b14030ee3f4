#include "player/toolkit/qt/list_view_model.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/qt_strings.h"

namespace velorra::toolkit::qt {

ListViewModel::ListViewModel(ListView& control, QObject* parent)
    : QAbstractTableModel(parent), control_(control), rows_(control.count()), columns_(control.columnCount()) {
    control_.setObserver(this);
}

ListViewModel::~ListViewModel() { control_.setObserver(nullptr); }

int ListViewModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ListViewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= control_.count()) return {};
    if (role == Qt::DisplayRole) return toQString(control_.text(index.row() + 1, index.column()));
    if (role == Qt::FontRole && index.row() + 1 == control_.markedRow()) {
        Font bold = control_.font();
        bold.bold = true;
        return toQFont(bold);
    }
    return {};
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= control_.columnCount()) return {};
    return toQString(control_.column(section + 1).caption);
}

Qt::ItemFlags ListViewModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

void ListViewModel::columnsChanged() {
    if (control_.columnCount() != columns_) {
        beginResetModel();
        columns_ = control_.columnCount();
        rows_ = control_.count();
        endResetModel();
        if (onReset) onReset();
    } else if (columns_ > 0) {
        emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
    }
}

void ListViewModel::rowsInserted(int32_t first, int32_t count) {
    beginInsertRows({}, first - 1, first - 1 + count - 1);
    rows_ += count;
    endInsertRows();
}

void ListViewModel::rowsRemoved(int32_t first, int32_t count) {
    beginRemoveRows({}, first - 1, first - 1 + count - 1);
    rows_ -= count;
    endRemoveRows();
}

void ListViewModel::rowChanged(int32_t row) {
    if (columns_ > 0 && row <= rows_) emit dataChanged(index(row - 1, 0), index(row - 1, columns_ - 1));
}

void ListViewModel::rowsReset() {
    beginResetModel();
    rows_ = control_.count();
    endResetModel();
    if (onReset) onReset();
}

void ListViewModel::selectionChanged() {
    if (onSelectionChanged) onSelectionChanged();
}

void ListViewModel::scrollTo(int32_t row) {
    if (onScrollTo) onScrollTo(row);
}

}  // namespace velorra::toolkit::qt
