// One open file of the tag library, closed on every way out of the operation that opened it.
#pragma once

#include <cerrno>
#include <string>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vextag {

// The failure of a file-system call on `filename`, carrying errno and the system's text.
[[noreturn]] inline void throwFileError(const std::string& filename, int error) {
    throw std::system_error(error, std::system_category(), filename);
}

class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileHandle& operator=(FileHandle&&) = delete;
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }

    int get() const { return fd_; }

    // Closes now and reports whether the close itself failed (its errno, or 0).
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_ = -1;
};

} // namespace vextag
