#include "player/playlist/m3u_io.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velorra {

namespace {

[[noreturn]] void fail(const std::string& path) { throw std::system_error(errno, std::generic_category(), path); }

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a save writes to: a link is followed, so the file it names is replaced and the
// link stays.
std::string saveTarget(const std::string& path) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

// A new file beside the target, removed again unless it was renamed into place.
class TempFile {
public:
    explicit TempFile(const std::string& target) {
        static std::atomic<unsigned> serial{0};
        const std::string stem = folderOf(target) + ".velorra-save-" + std::to_string(::getpid()) + "-";
        do {
            name_ = stem + std::to_string(serial++);
            fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd_ < 0 && errno == EEXIST);
        if (fd_ < 0) fail(target);
    }
    ~TempFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!renamed_) ::unlink(name_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return fd_; }
    void close(const std::string& target) {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) fail(target);
    }
    void renameTo(const std::string& target) {
        if (::rename(name_.c_str(), target.c_str()) != 0) fail(target);
        renamed_ = true;
    }

private:
    std::string name_;
    int fd_ = -1;
    bool renamed_ = false;
};

}  // namespace

bool isPlayListName(const std::string& name) {
    if (name.size() < 3) return false;
    std::string tail = name.substr(name.size() - 3);
    for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return tail == "M3U";
}

std::string resolveFromPlayList(const std::string& playList, const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    return folderOf(playList) + path;
}

LineReader::LineReader(const std::string& path)
    : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)), buffer_(65536) {
    if (fd_ < 0) fail(path);
    struct stat st{};
    const int error = ::fstat(fd_, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
    if (error != 0) {
        ::close(fd_);
        throw std::system_error(error, std::generic_category(), path);
    }
    size_ = st.st_size;
}

LineReader::~LineReader() { ::close(fd_); }

bool LineReader::fill() {
    ssize_t n;
    do n = ::read(fd_, buffer_.data(), buffer_.size());
    while (n < 0 && errno == EINTR);
    if (n < 0) throw std::system_error(errno, std::generic_category(), "read");
    pos_ = 0;
    end_ = static_cast<size_t>(n);
    return n > 0;
}

bool LineReader::atLineFeed() { return (pos_ < end_ || fill()) && buffer_[pos_] == '\n'; }

std::optional<LineReader::Line> LineReader::readLine() {
    Line line;
    bool any = false;
    for (;;) {
        if (pos_ == end_ && !fill()) return any ? std::optional(std::move(line)) : std::nullopt;
        any = true;
        const char* begin = buffer_.data() + pos_;
        const char* last = buffer_.data() + end_;
        const char* stop = std::find_if(begin, last, [](char c) { return c == '\r' || c == '\n'; });
        line.length += stop - begin;
        if (line.tooLong())
            line.text.clear();
        else
            line.text.append(begin, stop);
        pos_ += static_cast<size_t>(stop - begin);
        if (pos_ == end_) continue;
        if (buffer_[pos_++] == '\r' && atLineFeed()) ++pos_;
        return line;
    }
}

namespace {

// Writes all of `content` to `fd` and flushes it to the disk.
void writeAll(int fd, std::string_view content, const std::string& target) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail(target);
        content.remove_prefix(static_cast<size_t>(n));
    }
    if (::fsync(fd) != 0) fail(target);
}

// The road when no new file can be made beside the target: an existing regular file that may be
// written is overwritten where it is. False, touching nothing, when there is no such file.
bool overwriteInPlace(const std::string& target, std::string_view content) {
    // Non-blocking, so that a FIFO under the name is refused at once.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    try {
        if (::ftruncate(fd, 0) != 0) fail(target);
        writeAll(fd, content, target);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) fail(target);
    return true;
}

}  // namespace

void replaceFile(const std::string& path, std::string_view content) {
    const std::string target = saveTarget(path);
    std::optional<TempFile> temp;
    try {
        temp.emplace(target);
    } catch (const std::system_error& e) {
        const bool folderClosed = e.code() == std::errc::permission_denied || e.code() == std::errc::operation_not_permitted;
        if (folderClosed && overwriteInPlace(target, content)) return;
        throw;
    }
    struct stat old{};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode) && ::fchmod(temp->fd(), old.st_mode & 07777) != 0)
        fail(target);
    writeAll(temp->fd(), content, target);
    temp->close(target);
    temp->renameTo(target);
}

}  // namespace velorra
