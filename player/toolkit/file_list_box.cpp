#include "player/toolkit/file_list_box.h"

#include "player/toolkit/file_system.h"

namespace velorra::toolkit {

FileListBox::FileListBox(Container* parent)
    : Control(parent), patternText_("*.*"), pattern_(*FilePattern::parse("*.*")) {
    if (!setPath(workingDirectory())) setPath("/");
}

const std::vector<FileListBox::Item>& FileListBox::items() const {
    if (!items_) items_ = matching(listDirectory(path_, EntryKind::File).value_or(std::vector<std::string>{}));
    return *items_;
}

std::vector<FileListBox::Item> FileListBox::matching(std::vector<std::string> names) const {
    std::erase_if(names, [&](const std::string& n) { return !pattern_.matches(n); });
    sortNames(names);
    std::vector<Item> out;
    out.reserve(names.size());
    for (std::string& n : names) out.push_back({std::move(n)});
    return out;
}

void FileListBox::reset() {
    items_.reset();
    listIndex_ = -1;
    if (observer_) observer_->rowsReset();
}

bool FileListBox::setPath(const std::string& path) {
    const auto tidy = tidyPath(path);
    if (!tidy) return false;
    if (*tidy == path_) return true;
    if (!canOpenDirectory(*tidy)) return false;
    path_ = *tidy;
    reset();
    return true;
}

bool FileListBox::setPattern(const std::string& pattern) {
    auto parsed = FilePattern::parse(pattern);
    if (!parsed) return false;
    if (pattern == patternText_) return true;
    patternText_ = pattern;
    pattern_ = std::move(*parsed);
    reset();
    return true;
}

bool FileListBox::Refresh() {
    auto names = listDirectory(path_, EntryKind::File, true);
    if (!names) return false;
    reset();
    items_ = matching(std::move(*names));
    return true;
}

bool FileListBox::setListIndex(int32_t i) {
    if (i < -1 || i >= ListCount()) return false;
    if (i == listIndex_) return true;
    if (!multiSelect_) {
        if (listIndex_ >= 0) items()[static_cast<size_t>(listIndex_)].selected = false;
        if (i >= 0) items()[static_cast<size_t>(i)].selected = true;
    }
    listIndex_ = i;
    if (observer_) observer_->selectionChanged();
    return true;
}

bool FileListBox::setSelected(int32_t i, bool on) {
    if (i < 0 || i >= ListCount()) return false;
    Item& item = items()[static_cast<size_t>(i)];
    if (item.selected == on) return true;
    if (!multiSelect_ && on) return setListIndex(i);
    item.selected = on;
    if (observer_) observer_->selectionChanged();
    return true;
}

}  // namespace velorra::toolkit
