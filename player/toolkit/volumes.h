#pragma once
// The volumes a user picks a drive from: the root, the home folder and mounted media, never
// the kernel's pseudo file systems.
#include <functional>
#include <istream>
#include <string>
#include <vector>

namespace velorra::toolkit {

struct Volume {
    std::string root;   // a tidy absolute path
    std::string label;  // what the list shows beside it
    friend bool operator==(const Volume&, const Volume&) = default;
};

using VolumeSource = std::function<std::vector<Volume>()>;

// The root first, then `home` (when it is not the root), then every mount below /media,
// /run/media or /mnt of a real file system, in mount order. `mounts` is in the format of
// /proc/self/mounts.
std::vector<Volume> volumesFrom(std::istream& mounts, const std::string& home);

// The system's volumes now: /proc/self/mounts and the user's home folder.
std::vector<Volume> mountedVolumes();

// The user's home folder: $HOME when absolute, else the password database's entry, else "/".
std::string homeFolder();

}  // namespace velorra::toolkit
