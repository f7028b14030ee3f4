#include "player/render/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace velorra::render {

namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string why(int error) { return std::strerror(error); }

// The permission bits a new file gets from the process's umask.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

OutputFile::OutputFile(std::string destination) : destination_(std::move(destination)) {
    const std::string folder = folderOf(destination_);
    std::string pattern = folder + "/." + nameOf(destination_) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        failure_ = "cannot write in the folder \"" + folder + "\": " + why(errno);
        return;
    }
    temporary_ = name.data();
    // An existing destination keeps its permission bits; a new one gets the usual ones.
    struct stat existing {};
    const mode_t mode = ::stat(destination_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : newFileMode();
    ::fchmod(fd, mode);
    ::close(fd);
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool OutputFile::keep() {
    if (temporary_.empty()) return false;
    const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    const int syncError = errno;
    if (fd >= 0) ::close(fd);
    if (!synced) {
        failure_ = "cannot write \"" + destination_ + "\": " + why(syncError);
        discard();
        return false;
    }
    if (::rename(temporary_.c_str(), destination_.c_str()) != 0) {
        failure_ = "cannot write \"" + destination_ + "\": " + why(errno);
        discard();
        return false;
    }
    temporary_.clear();
    return true;
}

}  // namespace velorra::render
