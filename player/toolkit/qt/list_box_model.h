#pragma once
// The items of a ListBox as a Qt list, fed item by item by the control; like the list view's
// model it keeps its own count so that Qt sees each change announced.
#include "player/toolkit/list_box.h"

#include <QAbstractListModel>

#include <functional>

namespace velorra::toolkit::qt {

class ListBoxModel : public QAbstractListModel, public ListObserver {
public:
    ListBoxModel(ListBox& control, QObject* parent);
    ~ListBoxModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void rowsInserted(int32_t first, int32_t count) override;
    void rowsRemoved(int32_t first, int32_t count) override;
    void rowChanged(int32_t row) override;
    void rowsReset() override;
    void selectionChanged() override;
    void scrollTo(int32_t row) override;

    // For the view: the program changed the selection or the current item.
    std::function<void()> onSelectionChanged;

private:
    ListBox& control_;
    int rows_ = 0;
};

}  // namespace velorra::toolkit::qt
