#pragma once
#include "player/toolkit/control.h"
#include "player/toolkit/input.h"
#include "player/toolkit/list_observer.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velorra::toolkit {

// A directory list: the current directory (Path) with the chain of directories above it and,
// below it, its subdirectories in name order. Entries are numbered as the list shows them
// around the current directory: List(-1) is Path itself, List(-2) its parent and so on up to
// the root; List(0) to List(ListCount - 1) are the subdirectories, as full paths.
// ListIndex is the highlighted entry, -1 (the current directory) after every change of Path.
class DirListBox : public Control {
public:
    // Starts in the process's working directory, or the root when that cannot be read.
    explicit DirListBox(Container* parent);

    const std::string& Path() const { return path_; }
    // Refused, returning false and keeping everything, for a relative path or a directory that
    // cannot be read. A new path reads its subdirectories and runs the change action.
    bool setPath(const std::string& path);

    // Reads the current directory again, for what changed in it since; false when it can no
    // longer be opened. Runs no change action: the path is the same.
    bool Refresh();

    int32_t ListCount() const { return static_cast<int32_t>(subdirectories().size()); }
    // The number of entries from the root down to Path: List(-ancestorCount()) is the root.
    int32_t ancestorCount() const;
    // Throws std::out_of_range outside -ancestorCount() to ListCount() - 1.
    std::string List(int32_t i) const;

    int32_t ListIndex() const { return listIndex_; }
    bool setListIndex(int32_t i);

    // A double-click opens the highlighted entry.
    void dblClick() { setPath(List(listIndex_)); }
    void keyDown(KeyEvent e) {
        if (onKeyDown) onKeyDown(e);
    }
    void lostFocus() {
        if (onLostFocus) onLostFocus();
    }
    std::function<void()> onChange;
    std::function<void(KeyEvent)> onKeyDown;
    std::function<void()> onLostFocus;

    // Rows as the view shows them, from 0: the ancestors from the root down, then the
    // subdirectories; row r is entry r - ancestorCount().
    void setObserver(ListObserver* o) { observer_ = o; }

private:
    // Read when first asked for after a change of path, so that a walk passing back through a
    // directory does not list it again.
    const std::vector<std::string>& subdirectories() const;

    std::string path_;
    mutable std::optional<std::vector<std::string>> subdirectories_;  // names, in list order
    int32_t listIndex_ = -1;
    ListObserver* observer_ = nullptr;
};

}  // namespace velorra::toolkit
