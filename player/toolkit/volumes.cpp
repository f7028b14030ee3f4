#include "player/toolkit/volumes.h"

#include "player/toolkit/file_system.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string_view>

namespace velorra::toolkit {

namespace {

constexpr std::array<std::string_view, 27> PseudoTypes{
    "autofs",   "binfmt_misc", "bpf",     "cgroup",   "cgroup2",   "configfs", "debugfs",
    "devpts",   "devtmpfs",    "efivarfs", "fusectl", "hugetlbfs", "mqueue",   "nsfs",
    "overlay",  "proc",        "pstore",  "ramfs",    "rpc_pipefs", "securityfs", "selinuxfs",
    "squashfs", "sysfs",       "tmpfs",   "tracefs",  "fuse.gvfsd-fuse", "fuse.portal"};

constexpr std::array<std::string_view, 3> MediaFolders{"/media", "/run/media", "/mnt"};

// Mount points write a blank, tab, newline and backslash as \040, \011, \012 and \134.
std::string unescape(const std::string& field) {
    auto octal = [](char c) { return c >= '0' && c <= '7'; };
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && octal(field[i + 1]) && octal(field[i + 2]) &&
            octal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool isMedia(const std::string& mountPoint) {
    return std::any_of(MediaFolders.begin(), MediaFolders.end(), [&](std::string_view folder) {
        const std::string f(folder);
        return mountPoint != f && isWithin(mountPoint, f);
    });
}

std::string lastPart(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

std::vector<Volume> volumesFrom(std::istream& mounts, const std::string& home) {
    std::vector<Volume> out{{"/", "File System"}};
    auto add = [&](Volume v) {
        if (std::none_of(out.begin(), out.end(), [&](const Volume& o) { return o.root == v.root; }))
            out.push_back(std::move(v));
    };
    if (const auto h = tidyPath(home)) add({*h, "Home"});
    std::string line;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string source, point, type;
        if (!(fields >> source >> point >> type)) continue;
        const auto root = tidyPath(unescape(point));
        if (!root || !isMedia(*root)) continue;
        if (std::find(PseudoTypes.begin(), PseudoTypes.end(), type) != PseudoTypes.end()) continue;
        add({*root, lastPart(*root)});
    }
    return out;
}

std::vector<Volume> mountedVolumes() {
    std::ifstream mounts("/proc/self/mounts");
    return volumesFrom(mounts, homeFolder());
}

std::string homeFolder() {
    if (const char* h = std::getenv("HOME"); h && h[0] == '/') return h;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') return pw->pw_dir;
    return "/";
}

}  // namespace velorra::toolkit
