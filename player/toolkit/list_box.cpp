#include "player/toolkit/list_box.h"

namespace velorra::toolkit {

bool ListBox::AddItem(std::string text, int32_t index) {
    if (index == -1) index = ListCount();
    if (index < 0 || index > ListCount()) return false;
    items_.insert(items_.begin() + index, Item{std::move(text)});
    if (listIndex_ >= index) ++listIndex_;
    if (observer_) observer_->rowsInserted(index, 1);
    return true;
}

bool ListBox::RemoveItem(int32_t index) {
    if (index < 0 || index >= ListCount()) return false;
    items_.erase(items_.begin() + index);
    if (listIndex_ == index)
        listIndex_ = -1;
    else if (listIndex_ > index)
        --listIndex_;
    if (observer_) observer_->rowsRemoved(index, 1);
    return true;
}

void ListBox::Clear() {
    items_.clear();
    listIndex_ = -1;
    if (observer_) observer_->rowsReset();
}

bool ListBox::setListIndex(int32_t i) {
    if (i < -1 || i >= ListCount()) return false;
    if (i == listIndex_) return true;
    if (!multiSelect_) {
        if (listIndex_ >= 0) items_[static_cast<size_t>(listIndex_)].selected = false;
        if (i >= 0) items_[static_cast<size_t>(i)].selected = true;
    }
    listIndex_ = i;
    if (observer_) observer_->selectionChanged();
    if (onClick) onClick();
    return true;
}

bool ListBox::setSelected(int32_t i, bool on) {
    if (i < 0 || i >= ListCount()) return false;
    Item& item = items_[static_cast<size_t>(i)];
    if (item.selected == on) return true;
    if (!multiSelect_ && on) return setListIndex(i);
    item.selected = on;
    if (observer_) observer_->selectionChanged();
    return true;
}

}  // namespace velorra::toolkit
