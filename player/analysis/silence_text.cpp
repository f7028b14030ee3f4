#include "player/analysis/silence_text.h"

#include "player/channel/duration_scan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <string_view>

namespace velorra {

namespace {

constexpr size_t LargestText = size_t{256} << 20;

template <class Number>
bool parse(std::string_view text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

std::string readWhole(const std::string& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) return {};
    std::string content;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        content.resize(std::min(static_cast<size_t>(info.st_size), LargestText));
        size_t got = 0;
        while (got < content.size()) {
            const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        content.resize(got);
    }
    ::close(fd);
    return content;
}

std::optional<StoredSong> parseLine(std::string_view line) {
    std::array<std::string_view, 4> fields;
    for (auto& field : fields) {
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos) return std::nullopt;
        field = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    StoredSong song;
    song.path = std::string(line);
    if (song.path.empty() || song.path.size() > LongestPath || !parse(fields[0], song.measurement.silence.leadIn) ||
        !parse(fields[1], song.measurement.silence.tail) || !parse(fields[2], song.stamp.size) ||
        !parse(fields[3], song.stamp.modifiedNs) || !plausible(song.measurement))
        return std::nullopt;
    return song;
}

}  // namespace

std::vector<StoredSong> readSilenceText(const std::string& file, const std::atomic<bool>& stop) {
    const std::string content = readWhole(file);
    std::vector<StoredSong> songs;
    std::string_view rest(content);
    while (!rest.empty() && !stop) {
        const size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        auto song = parseLine(line);
        if (!song || stampOf(song->path) != song->stamp) continue;
        // The lines never held the length: the file's headers tell it.
        song->measurement.seconds = scanDuration(song->path);
        if (song->measurement.seconds && plausible(song->measurement)) songs.push_back(std::move(*song));
    }
    return songs;
}

}  // namespace velorra
