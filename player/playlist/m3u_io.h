#pragma once
// Play list files at the byte level: names, lines as they are read, and writing a file so that
// it is replaced whole or not at all. Paths are the file system's bytes throughout.
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velorra {

// A play list is a file whose name ends in "M3U", letters in any case.
bool isPlayListName(const std::string& name);

// A path read from a play list: a relative one names a file beside the play list, so it is
// taken from the play list's folder. Absolute and empty paths stay as they are.
std::string resolveFromPlayList(const std::string& playList, const std::string& path);

// Reads a regular file line by line; CR LF, a lone CR and a lone LF each end a line. Anything
// else (a named pipe, a device, a folder) is refused at once, as a pipe or a device may never
// end. A line too long to be a path is measured but not kept, so memory stays flat whatever the
// file holds. Failures of the file system throw std::system_error carrying errno.
class LineReader {
public:
    // No file has a path longer than PATH_MAX bytes.
    static constexpr int64_t MaxLine = PATH_MAX;

    struct Line {
        std::string text;    // without its line end; empty when the line is too long
        int64_t length = 0;  // the line's characters in the file
        bool tooLong() const { return length > MaxLine; }
    };

    explicit LineReader(const std::string& path);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The file's length in bytes when it was opened.
    int64_t size() const { return size_; }
    // The next line; nothing at the end of the file.
    std::optional<Line> readLine();

private:
    bool fill();
    bool atLineFeed();

    int fd_;
    int64_t size_ = 0;
    std::vector<char> buffer_;
    size_t pos_ = 0, end_ = 0;
};

// Writes `content` to a new file beside `path` and renames it over `path` once all of it is
// written, so an existing file is either replaced whole or left as it was. A file replaced keeps
// its permission bits; a link is followed to the file it names. Where the folder refuses new
// files, an existing file that may be written is overwritten in place instead (a failure midway
// then leaves it part written). Throws std::system_error.
void replaceFile(const std::string& path, std::string_view content);

}  // namespace velorra
