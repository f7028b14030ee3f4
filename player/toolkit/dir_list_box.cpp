#include "player/toolkit/dir_list_box.h"

#include "player/toolkit/file_system.h"

#include <algorithm>
#include <stdexcept>

namespace velorra::toolkit {

DirListBox::DirListBox(Container* parent) : Control(parent) {
    if (!setPath(workingDirectory())) setPath("/");
}

bool DirListBox::setPath(const std::string& path) {
    const auto tidy = tidyPath(path);
    if (!tidy) return false;
    if (*tidy == path_) return true;
    if (!canOpenDirectory(*tidy)) return false;
    path_ = *tidy;
    subdirectories_.reset();
    listIndex_ = -1;
    if (observer_) observer_->rowsReset();
    if (onChange) onChange();
    return true;
}

bool DirListBox::Refresh() {
    auto names = listDirectory(path_, EntryKind::Directory, true);
    if (!names) return false;
    sortNames(*names);
    subdirectories_ = std::move(names);
    listIndex_ = -1;
    if (observer_) observer_->rowsReset();
    return true;
}

const std::vector<std::string>& DirListBox::subdirectories() const {
    if (!subdirectories_) {
        subdirectories_ = listDirectory(path_, EntryKind::Directory).value_or(std::vector<std::string>{});
        sortNames(*subdirectories_);
    }
    return *subdirectories_;
}

int32_t DirListBox::ancestorCount() const {
    return path_ == "/" ? 1 : static_cast<int32_t>(std::count(path_.begin(), path_.end(), '/')) + 1;
}

std::string DirListBox::List(int32_t i) const {
    if (i >= 0 && i < ListCount()) return joinPath(path_, subdirectories()[static_cast<size_t>(i)]);
    if (i < 0 && i >= -ancestorCount()) {
        // Up from Path one "/" at a time.
        size_t end = path_.size();
        for (int32_t up = -1; up > i; --up) end = path_.rfind('/', end - 1);
        return end == 0 ? std::string("/") : path_.substr(0, end);
    }
    throw std::out_of_range("no such directory list entry");
}

bool DirListBox::setListIndex(int32_t i) {
    if (i < -ancestorCount() || i >= ListCount()) return false;
    if (i == listIndex_) return true;
    listIndex_ = i;
    if (observer_) observer_->selectionChanged();
    return true;
}

}  // namespace velorra::toolkit
