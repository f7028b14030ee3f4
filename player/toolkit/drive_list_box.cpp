#include "player/toolkit/drive_list_box.h"

#include "player/toolkit/file_system.h"

#include <algorithm>

namespace velorra::toolkit {

DriveListBox::DriveListBox(Container* parent, VolumeSource source) : Control(parent) {
    setSource(source);
    listIndex_ = std::max(indexOf(workingDirectory()), 0);
}

int32_t DriveListBox::indexOf(const std::string& path) const {
    const auto tidy = tidyPath(path);
    if (!tidy) return -1;
    int32_t best = -1;
    for (int32_t i = 0; i < ListCount(); ++i) {
        const std::string& root = volumes_[static_cast<size_t>(i)].root;
        if (isWithin(*tidy, root) && (best < 0 || root.size() > volumes_[static_cast<size_t>(best)].root.size()))
            best = i;
    }
    return best;
}

std::string DriveListBox::driveOf(const std::string& path) const {
    const int32_t i = indexOf(path);
    return i < 0 ? std::string() : volume(i).root;
}

bool DriveListBox::setDrive(const std::string& path) {
    const int32_t i = indexOf(path);
    return i >= 0 && setListIndex(i);
}

bool DriveListBox::setListIndex(int32_t i) {
    if (i < 0 || i >= ListCount()) return false;
    if (i == listIndex_) return true;
    listIndex_ = i;
    if (observer_) observer_->selectionChanged();
    if (onChange) onChange();
    return true;
}

void DriveListBox::setSource(const VolumeSource& source) {
    const std::string current = volumes_.empty() ? std::string("/") : Drive();
    volumes_ = source();
    if (volumes_.empty()) volumes_.push_back({"/", "File System"});
    listIndex_ = 0;
    for (int32_t i = 0; i < ListCount(); ++i)
        if (volumes_[static_cast<size_t>(i)].root == current) listIndex_ = i;
    if (observer_) observer_->rowsReset();
}

}  // namespace velorra::toolkit
