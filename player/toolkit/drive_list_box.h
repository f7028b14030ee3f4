#pragma once
#include "player/toolkit/control.h"
#include "player/toolkit/input.h"
#include "player/toolkit/list_observer.h"
#include "player/toolkit/volumes.h"

#include <functional>
#include <string>
#include <vector>

namespace velorra::toolkit {

// A drive list: the volumes a user can pick, numbered from 0, one of them current. The drive
// of a path is the listed volume whose root holds it most closely.
class DriveListBox : public Control {
public:
    // Reads the volumes from `source`; the current drive is the working directory's.
    explicit DriveListBox(Container* parent, VolumeSource source = mountedVolumes);

    const std::string& Drive() const { return volumes_.at(static_cast<size_t>(listIndex_)).root; }
    // Makes the drive of `path` current; refused for a path no listed volume holds. A new
    // drive runs the change action.
    bool setDrive(const std::string& path);
    // The root of the drive of `path`, empty when no listed volume holds it.
    std::string driveOf(const std::string& path) const;

    int32_t ListCount() const { return static_cast<int32_t>(volumes_.size()); }
    const Volume& volume(int32_t i) const { return volumes_.at(static_cast<size_t>(i)); }
    int32_t ListIndex() const { return listIndex_; }
    // The user's pick: 0 to ListCount - 1.
    bool setListIndex(int32_t i);

    // Reads the volumes again from `source`; the current drive stays when still listed, else
    // the first one becomes current, without the change action.
    void setSource(const VolumeSource& source);

    void keyDown(KeyEvent e) {
        if (onKeyDown) onKeyDown(e);
    }
    std::function<void()> onChange;
    std::function<void(KeyEvent)> onKeyDown;

    void setObserver(ListObserver* o) { observer_ = o; }

private:
    int32_t indexOf(const std::string& path) const;

    std::vector<Volume> volumes_;
    int32_t listIndex_ = 0;
    ListObserver* observer_ = nullptr;
};

}  // namespace velorra::toolkit
