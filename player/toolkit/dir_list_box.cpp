#include "player/toolkit/dir_list_box.h"

#include "player/toolkit/file_system.h"

#include <stdexcept>

namespace velorra::toolkit {

namespace {

std::vector<std::string> chainTo(const std::string& path) {
    std::vector<std::string> chain{"/"};
    for (size_t i = path.find('/', 1); path != "/"; i = path.find('/', i + 1)) {
        chain.push_back(path.substr(0, i));
        if (i == std::string::npos) break;
    }
    return chain;
}

}  // namespace

DirListBox::DirListBox(Container* parent) : Control(parent) {
    if (!setPath(workingDirectory())) setPath("/");
}

bool DirListBox::setPath(const std::string& path) {
    const auto tidy = tidyPath(path);
    if (!tidy) return false;
    if (*tidy == path_) return true;
    auto entries = readDirectory(*tidy);
    if (!entries) return false;
    path_ = *tidy;
    ancestors_ = chainTo(path_);
    subdirectories_ = std::move(entries->directories);
    listIndex_ = -1;
    if (observer_) observer_->rowsReset();
    if (onChange) onChange();
    return true;
}

bool DirListBox::Refresh() {
    auto entries = readDirectory(path_);
    if (!entries) return false;
    subdirectories_ = std::move(entries->directories);
    listIndex_ = -1;
    if (observer_) observer_->rowsReset();
    return true;
}

std::string DirListBox::List(int32_t i) const {
    if (i >= 0 && i < ListCount()) return joinPath(path_, subdirectories_[static_cast<size_t>(i)]);
    if (i < 0 && i >= -ancestorCount()) return ancestors_[ancestors_.size() - static_cast<size_t>(-i)];
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
