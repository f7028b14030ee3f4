#include "player/toolkit/file_list_box.h"

#include "player/toolkit/file_system.h"

namespace velorra::toolkit {

FileListBox::FileListBox(Container* parent)
    : Control(parent), patternText_("*.*"), pattern_(*FilePattern::parse("*.*")) {
    if (!setPath(workingDirectory())) setPath("/");
}

bool FileListBox::load(const std::string& path, const FilePattern& pattern) {
    auto entries = readDirectory(path);
    if (!entries) return false;
    items_.clear();
    for (std::string& name : entries->files)
        if (pattern.matches(name)) items_.push_back({std::move(name)});
    listIndex_ = -1;
    if (observer_) observer_->rowsReset();
    return true;
}

bool FileListBox::setPath(const std::string& path) {
    const auto tidy = tidyPath(path);
    if (!tidy) return false;
    if (*tidy == path_) return true;
    if (!load(*tidy, pattern_)) return false;
    path_ = *tidy;
    return true;
}

bool FileListBox::setPattern(const std::string& pattern) {
    auto parsed = FilePattern::parse(pattern);
    if (!parsed) return false;
    if (pattern == patternText_) return true;
    if (!load(path_, *parsed)) return false;
    patternText_ = pattern;
    pattern_ = std::move(*parsed);
    return true;
}

bool FileListBox::setListIndex(int32_t i) {
    if (i < -1 || i >= ListCount()) return false;
    if (i == listIndex_) return true;
    if (!multiSelect_) {
        if (listIndex_ >= 0) items_[static_cast<size_t>(listIndex_)].selected = false;
        if (i >= 0) items_[static_cast<size_t>(i)].selected = true;
    }
    listIndex_ = i;
    if (observer_) observer_->selectionChanged();
    return true;
}

bool FileListBox::setSelected(int32_t i, bool on) {
    if (i < 0 || i >= ListCount()) return false;
    Item& item = items_[static_cast<size_t>(i)];
    if (item.selected == on) return true;
    if (!multiSelect_ && on) return setListIndex(i);
    item.selected = on;
    if (observer_) observer_->selectionChanged();
    return true;
}

}  // namespace velorra::toolkit
