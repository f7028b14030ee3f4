#pragma once
#include "player/toolkit/control.h"
#include "player/toolkit/drag_data.h"
#include "player/toolkit/file_pattern.h"
#include "player/toolkit/input.h"
#include "player/toolkit/list_observer.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velorra::toolkit {

// A file list: the names of the files in one directory (Path) that match its Pattern, in name
// order, numbered from 0, with a highlighted entry (ListIndex, -1 for none) and, when
// multi-select is on, any number of selected entries.
class FileListBox : public Control {
public:
    // Starts in the process's working directory, or the root, with the pattern "*.*".
    explicit FileListBox(Container* parent);

    const std::string& Path() const { return path_; }
    // Refused, returning false and keeping everything, for a relative path or a directory that
    // cannot be read.
    bool setPath(const std::string& path);
    const std::string& Pattern() const { return patternText_; }
    // Refused for a pattern FilePattern does not take.
    bool setPattern(const std::string& pattern);

    // Reads the directory again, for what changed in it since; false when it can no longer be
    // opened.
    bool Refresh();

    int32_t ListCount() const { return static_cast<int32_t>(items().size()); }
    const std::string& List(int32_t i) const { return items().at(static_cast<size_t>(i)).name; }
    int32_t ListIndex() const { return listIndex_; }
    bool setListIndex(int32_t i);
    bool Selected(int32_t i) const { return items().at(static_cast<size_t>(i)).selected; }
    bool setSelected(int32_t i, bool on);
    bool multiSelect() const { return multiSelect_; }
    void setMultiSelect(bool on) { multiSelect_ = on; }

    void dblClick() {
        if (onDblClick) onDblClick();
    }
    void keyDown(KeyEvent e) {
        if (onKeyDown) onKeyDown(e);
    }
    std::function<void()> onDblClick;
    std::function<void(KeyEvent)> onKeyDown;
    // A drag out of the list starts: fill the data; return false to refuse the drag.
    std::function<bool(DragData&)> onStartDrag;

    void setObserver(ListObserver* o) { observer_ = o; }

private:
    struct Item {
        std::string name;
        bool selected = false;
    };
    // The matching files, read when first asked for after a change of path or pattern.
    const std::vector<Item>& items() const;
    std::vector<Item>& items() {
        std::as_const(*this).items();
        return *items_;
    }
    // The entries are to be read again.
    void reset();
    // The names that match the pattern, in list order.
    std::vector<Item> matching(std::vector<std::string> names) const;

    std::string path_;
    std::string patternText_;
    FilePattern pattern_;
    mutable std::optional<std::vector<Item>> items_;
    int32_t listIndex_ = -1;
    bool multiSelect_ = false;
    ListObserver* observer_ = nullptr;
};

}  // namespace velorra::toolkit
