#pragma once
// What the fuzz targets share: the input as a file that readers taking a path can open, and a
// check that turns a broken promise into a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velorra::fuzz {

// A failed check is a finding: say which, then abort so that libFuzzer keeps the input.
inline void check(bool holds, const char* promise) {
    if (holds) return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

// A file in memory, named by its /proc/self/fd path, so that each run touches no disk.
class MemoryFile {
public:
    MemoryFile() : fd_(::memfd_create("fuzz-input", MFD_CLOEXEC)), path_("/proc/self/fd/" + std::to_string(fd_)) {
        check(fd_ >= 0, "a memory file can be made");
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const std::string& path() const { return path_; }

    // Replaces the file's bytes.
    void hold(const uint8_t* data, size_t size) const {
        check(::ftruncate(fd_, 0) == 0, "a memory file can be emptied");
        for (size_t done = 0; done < size;) {
            const ssize_t n = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            check(n > 0, "a memory file can be written");
            done += static_cast<size_t>(n);
        }
    }

    // The file's bytes now.
    std::string bytes() const {
        struct stat st {};
        check(::fstat(fd_, &st) == 0, "a memory file can be measured");
        std::string all(static_cast<size_t>(st.st_size), '\0');
        for (size_t done = 0; done < all.size();) {
            const ssize_t n = ::pread(fd_, all.data() + done, all.size() - done, static_cast<off_t>(done));
            check(n > 0, "a memory file can be read");
            done += static_cast<size_t>(n);
        }
        return all;
    }

private:
    int fd_;
    std::string path_;
};

}  // namespace velorra::fuzz
