#include "player/analysis/silence_cache.h"

#include "player/shell/atomic_file.h"
#include "player/shell/xdg_folders.h"

#include <array>
#include <charconv>
#include <string_view>

#include <sys/stat.h>

namespace velorra {

namespace {

// One measurement a line: lead-in and tail in seconds, size, modification time in nanoseconds
// and the path, separated by tabs (the path last, so that it may hold tabs itself).
constexpr std::string_view Header =
    "# Velorra silence measurements: lead-in s, tail s, size, modification ns, path\n";

template <class Number>
bool parse(std::string_view text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

template <class Number>
void append(std::string& out, Number value) {
    std::array<char, 64> digits{};
    std::to_chars_result r;
    if constexpr (std::is_floating_point_v<Number>)
        r = std::to_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed, 3);
    else
        r = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out.append(digits.data(), r.ptr);
    out += '\t';
}

}  // namespace

SilenceCache::SilenceCache(std::string file) : file_(std::move(file)) {}

std::string SilenceCache::defaultFile() {
    return (XdgFolders::cacheHome() + QStringLiteral("/Velorra/silence.txt")).toStdString();
}

std::optional<SilenceCache::Stamp> SilenceCache::stampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return Stamp{info.st_size, int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec};
}

std::optional<Silence> SilenceCache::find(const std::string& path) {
    load();
    const auto entry = entries_.find(path);
    if (entry == entries_.end() || stampOf(path) != entry->second.stamp) return std::nullopt;
    return entry->second.silence;
}

void SilenceCache::store(const std::string& path, Silence silence) {
    load();
    const auto stamp = stampOf(path);
    if (!stamp) return;
    entries_[path] = {*stamp, silence};
    save();
}

void SilenceCache::load() {
    if (loaded_) return;
    loaded_ = true;
    const auto content = readFileIfPresent(QString::fromStdString(file_));
    if (!content) return;
    std::string_view rest(content->constData(), static_cast<size_t>(content->size()));
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        std::array<std::string_view, 4> fields;
        bool complete = true;
        for (auto& field : fields) {
            const size_t tab = line.find('\t');
            if (tab == std::string_view::npos) {
                complete = false;
                break;
            }
            field = line.substr(0, tab);
            line.remove_prefix(tab + 1);
        }
        Entry entry;
        if (complete && !line.empty() && parse(fields[0], entry.silence.leadIn) && parse(fields[1], entry.silence.tail) &&
            parse(fields[2], entry.stamp.size) && parse(fields[3], entry.stamp.modifiedNs))
            entries_[std::string(line)] = entry;
    }
}

// A path with a line break in it cannot be written as a line: it stays in memory only.
void SilenceCache::save() const {
    std::string text(Header);
    for (const auto& [path, entry] : entries_) {
        if (path.find('\n') != std::string::npos) continue;
        append(text, entry.silence.leadIn);
        append(text, entry.silence.tail);
        append(text, entry.stamp.size);
        append(text, entry.stamp.modifiedNs);
        text += path;
        text += '\n';
    }
    writeFileAtomically(QString::fromStdString(file_), QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace velorra
