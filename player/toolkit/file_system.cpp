#include "player/toolkit/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <memory>

namespace velorra::toolkit {

namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

enum class Kind { Directory, File, Other };

// d_type when the file system gives it; a look at the inode otherwise. Links are looked
// through only to see whether they name a regular file.
Kind kindOf(DIR* dir, const dirent& e) {
    switch (e.d_type) {
    case DT_DIR: return Kind::Directory;
    case DT_REG: return Kind::File;
    case DT_LNK:
    case DT_UNKNOWN: break;
    default: return Kind::Other;
    }
    struct stat st {};
    if (fstatat(dirfd(dir), e.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return Kind::Other;
    if (S_ISDIR(st.st_mode)) return Kind::Directory;
    if (S_ISREG(st.st_mode)) return Kind::File;
    if (!S_ISLNK(st.st_mode) || fstatat(dirfd(dir), e.d_name, &st, 0) != 0) return Kind::Other;
    return S_ISREG(st.st_mode) ? Kind::File : Kind::Other;
}

}  // namespace

std::optional<std::vector<std::string>> listDirectory(const std::string& path, EntryKind kind, bool fresh) {
    // The user-interface thread is the only one that lists directories.
    static struct {
        std::string path;
        std::chrono::steady_clock::time_point at;
        std::vector<std::string> directories, files;
    } last;
    const auto now = std::chrono::steady_clock::now();
    if (fresh || path != last.path || now - last.at > std::chrono::milliseconds(ReuseMs)) {
        last.path.clear();
        DirHandle dir(opendir(path.c_str()));
        if (!dir) return std::nullopt;
        std::vector<std::string> directories, files;
        errno = 0;
        while (const dirent* e = readdir(dir.get())) {
            if (e->d_name[0] != '.') switch (kindOf(dir.get(), *e)) {
                case Kind::Directory: directories.emplace_back(e->d_name); break;
                case Kind::File: files.emplace_back(e->d_name); break;
                case Kind::Other: break;
                }
            errno = 0;
        }
        if (errno != 0) return std::nullopt;
        last = {path, now, std::move(directories), std::move(files)};
    }
    return kind == EntryKind::Directory ? last.directories : last.files;
}

bool canOpenDirectory(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    close(fd);
    return true;
}

std::string joinPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

std::optional<std::string> tidyPath(const std::string& path) {
    if (path.empty() || path.front() != '/') return std::nullopt;
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < path.size()) {
        const size_t end = std::min(path.find('/', i), path.size());
        std::string part = path.substr(i, end - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        i = end + 1;
    }
    std::string out;
    for (const std::string& p : parts) out += "/" + p;
    return out.empty() ? "/" : out;
}

bool isWithin(const std::string& path, const std::string& root) {
    if (root == "/") return !path.empty() && path.front() == '/';
    return path.compare(0, root.size(), root) == 0 && (path.size() == root.size() || path[root.size()] == '/');
}

std::string workingDirectory() {
    std::string buf(4096, '\0');
    if (!getcwd(buf.data(), buf.size())) return "/";
    buf.resize(buf.find('\0'));
    return buf;
}

void sortNames(std::vector<std::string>& names) { std::sort(names.begin(), names.end(), nameLess); }

bool nameLess(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace velorra::toolkit
