#pragma once
// What the drive, directory and file lists read from the file system: a directory's entries
// sorted as the lists show them, and paths joined and tidied the one way the program uses.
#include <optional>
#include <string>
#include <vector>

namespace velorra::toolkit {

struct DirectoryEntries {
    // Names only, each list in display order. A symbolic link to a directory is in neither
    // list (it is never followed); a link to a file counts as a file. Names starting with "."
    // are hidden, as file managers hide them.
    std::vector<std::string> directories;
    std::vector<std::string> files;
};

// The entries of a directory, or nothing when it cannot be opened or read.
std::optional<DirectoryEntries> readDirectory(const std::string& path);

// A directory and a name joined with one "/", never two: "/" and "a" give "/a".
std::string joinPath(const std::string& directory, const std::string& name);

// An absolute path with repeated "/", "." and ".." taken out and no trailing "/" (except the
// root itself); nothing for a relative or empty path.
std::optional<std::string> tidyPath(const std::string& path);

// Whether `path` is `root` or lies below it; both tidy.
bool isWithin(const std::string& path, const std::string& root);

// The process's working directory, or "/" when it cannot be read.
std::string workingDirectory();

// The order the lists show names in: letters without case, ties broken by the bytes.
bool nameLess(const std::string& a, const std::string& b);

}  // namespace velorra::toolkit
