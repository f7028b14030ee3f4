#pragma once
// The rows of a ListView as a Qt table, fed row by row by the control, so that a view over
// 100,000 rows asks only for the texts it draws. The model keeps its own row count, so that
// Qt sees the old count until each change is announced.
#include "player/toolkit/list_view.h"

#include <QAbstractTableModel>

#include <functional>

namespace velorra::toolkit::qt {

class ListViewModel : public QAbstractTableModel, public ListObserver {
public:
    ListViewModel(ListView& control, QObject* parent);
    ~ListViewModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The control's columns were added or cleared.
    void columnsChanged();

    void rowsInserted(int32_t first, int32_t count) override;
    void rowsRemoved(int32_t first, int32_t count) override;
    void rowChanged(int32_t row) override;
    void rowsReset() override;
    void selectionChanged() override;
    void scrollTo(int32_t row) override;

    // For the view: the program changed the selection, asked for a row to be shown, or
    // replaced all rows.
    std::function<void()> onSelectionChanged;
    std::function<void(int32_t row)> onScrollTo;
    std::function<void()> onReset;

private:
    ListView& control_;
    int rows_ = 0;
    int columns_ = 0;
};

}  // namespace velorra::toolkit::qt
