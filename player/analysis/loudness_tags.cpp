#include "player/analysis/loudness_tags.h"

#include <taglib/fileref.h>
#include <taglib/mp4file.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace velorra {

namespace {

constexpr double ReplayGainReference = -18.0;  // LUFS a ReplayGain 2.0 gain brings a song to
constexpr double R128Reference = -23.0;        // and an Opus R128 gain
constexpr double Q78 = 256.0;
constexpr double LargestGain = 100.0, LargestPeak = 100.0;

std::optional<double> number(const std::string& text) {
    const char* start = text.c_str();
    while (std::isspace(static_cast<unsigned char>(*start))) ++start;
    char* end = nullptr;
    const double value = std::strtod(start, &end);
    if (end == start || !std::isfinite(value)) return std::nullopt;
    return value;
}

// The first value of the first key present, as the tags write it.
std::optional<std::string> first(const TagLib::PropertyMap& properties, const char* key) {
    const auto found = properties.find(key);
    if (found == properties.end() || found->second.isEmpty()) return std::nullopt;
    return found->second.front().to8Bit(true);
}

// MP4 keeps its freeform atoms apart from the properties TagLib knows: looked up by name, in
// any case, as taggers write "replaygain_track_gain" or "REPLAYGAIN_TRACK_GAIN".
void addFreeform(const TagLib::MP4::Tag& tag, TagLib::PropertyMap& properties) {
    static const TagLib::String Prefix("----:com.apple.iTunes:");
    for (const auto& [name, item] : tag.itemMap()) {
        if (!name.upper().startsWith(Prefix.upper()) || item.toStringList().isEmpty()) continue;
        properties.insert(name.substr(Prefix.size()).upper(), item.toStringList());
    }
}

}  // namespace

std::optional<double> parseGain(const std::string& text) {
    const auto value = number(text);
    if (!value || std::fabs(*value) > LargestGain) return std::nullopt;
    return value;
}

std::optional<double> parsePeak(const std::string& text) {
    const auto value = number(text);
    if (!value || *value < 0.0 || *value > LargestPeak) return std::nullopt;
    return value;
}

std::optional<TaggedLoudness> readLoudnessTags(const std::string& path) {
    // Opened without waiting, and read only when it is a regular file; the stream closes it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    TagLib::FileStream stream(fd, true);
    if (!stream.isOpen()) {
        ::close(fd);
        return std::nullopt;
    }
    const TagLib::FileRef ref(&stream, false);
    if (ref.isNull()) return std::nullopt;
    TagLib::PropertyMap properties = ref.file()->properties();
    if (const auto* mp4 = dynamic_cast<const TagLib::MP4::File*>(ref.file()); mp4 && mp4->tag())
        addFreeform(*mp4->tag(), properties);

    if (const auto text = first(properties, "REPLAYGAIN_TRACK_GAIN")) {
        if (const auto gain = parseGain(*text)) {
            const auto peak = first(properties, "REPLAYGAIN_TRACK_PEAK");
            return TaggedLoudness{ReplayGainReference - *gain, peak ? parsePeak(*peak) : std::nullopt};
        }
    }
    if (const auto text = first(properties, "R128_TRACK_GAIN")) {
        // A whole number of 1/256 dB.
        char* end = nullptr;
        const long q = std::strtol(text->c_str(), &end, 10);
        if (end != text->c_str() && *end == '\0' && q >= -32768 && q <= 32767)
            return TaggedLoudness{R128Reference - static_cast<double>(q) / Q78, std::nullopt};
    }
    return std::nullopt;
}

}  // namespace velorra
