#pragma once
// What a drag carries: a list of files in the desktop's file-list format, or text.
#include <string>
#include <vector>

namespace velorra::toolkit {

enum class DropEffect { None = 0, Copy = 1, Move = 2 };

struct DragData {
    bool hasFiles = false;
    std::vector<std::string> files;  // local paths, the file system's bytes
    std::string text;

    void setFiles(std::vector<std::string> paths) {
        files = std::move(paths);
        hasFiles = true;
    }
};

}  // namespace velorra::toolkit
