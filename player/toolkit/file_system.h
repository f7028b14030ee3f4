#pragma once
// What the drive, directory and file lists read from the file system: a directory's entries
// sorted as the lists show them, and paths joined and tidied the one way the program uses.
#include <optional>
#include <string>
#include <vector>

namespace velorra::toolkit {

enum class EntryKind { Directory, File };

// The names of a directory's subdirectories, or of its files, in no particular order; nothing
// when it cannot be opened or read. A symbolic link to a directory is neither (it is never
// followed); a link to a file counts as a file. Names starting with "." are hidden, as file
// managers hide them. One read serves both kinds: the last directory read is answered again
// from memory for a moment (ReuseMs), as if it had been read then, so that a directory list
// and the file list that follows it read a directory once. With `fresh` it is read anew.
std::optional<std::vector<std::string>> listDirectory(const std::string& path, EntryKind kind, bool fresh = false);
inline constexpr int ReuseMs = 100;

// Whether the directory can be opened for listing.
bool canOpenDirectory(const std::string& path);

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
void sortNames(std::vector<std::string>& names);

}  // namespace velorra::toolkit
