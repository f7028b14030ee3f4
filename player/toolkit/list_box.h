#pragma once
#include "player/toolkit/control.h"
#include "player/toolkit/drag_data.h"
#include "player/toolkit/input.h"
#include "player/toolkit/list_observer.h"

#include <functional>
#include <string>
#include <vector>

namespace velorra::toolkit {

// A list of text items numbered from 0, with a current item (ListIndex, -1 for none) and,
// when multi-select is on, any number of selected items.
class ListBox : public Control {
public:
    using Control::Control;

    int32_t ListCount() const { return static_cast<int32_t>(items_.size()); }
    const std::string& List(int32_t i) const { return items_.at(static_cast<size_t>(i)).text; }
    // At the end, or before item `index` (0 to ListCount); false for any other index.
    bool AddItem(std::string text, int32_t index = -1);
    bool RemoveItem(int32_t index);
    void Clear();

    int32_t ListIndex() const { return listIndex_; }
    // -1 to ListCount - 1; runs the click action when it changes.
    bool setListIndex(int32_t i);
    bool Selected(int32_t i) const { return items_.at(static_cast<size_t>(i)).selected; }
    bool setSelected(int32_t i, bool on);
    bool multiSelect() const { return multiSelect_; }
    void setMultiSelect(bool on) {
        if (on == multiSelect_) return;
        multiSelect_ = on;
        notify(Change::Appearance);
    }

    void dblClick() {
        if (onDblClick) onDblClick();
    }
    void keyDown(KeyEvent e) {
        if (onKeyDown) onKeyDown(e);
    }
    std::function<void()> onClick;
    std::function<void()> onDblClick;
    std::function<void(KeyEvent)> onKeyDown;
    // A drag out of the list starts: fill the data; return false to refuse the drag.
    std::function<bool(DragData&)> onStartDrag;

    void setObserver(ListObserver* o) { observer_ = o; }

private:
    struct Item {
        std::string text;
        bool selected = false;
    };
    std::vector<Item> items_;
    int32_t listIndex_ = -1;
    bool multiSelect_ = false;
    ListObserver* observer_ = nullptr;
};

}  // namespace velorra::toolkit
