#include "player/render/audio_format.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace velorra::render {

std::optional<AudioFormat> formatOfName(const std::string& path) {
    const auto dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.') return std::nullopt;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    static constexpr std::array<std::pair<const char*, AudioFormat>, 5> known{{{"flac", AudioFormat::Flac},
                                                                               {"ogg", AudioFormat::OggVorbis},
                                                                               {"opus", AudioFormat::Opus},
                                                                               {"mp3", AudioFormat::Mp3},
                                                                               {"wav", AudioFormat::Wav}}};
    for (const auto& [name, format] : known)
        if (extension == name) return format;
    return std::nullopt;
}

SoundShape shapeFor(AudioFormat format, SoundShape wanted) {
    SoundShape shape{wanted.rate > 0 ? wanted.rate : 44100, std::clamp(wanted.channels, 1, 2)};
    if (format == AudioFormat::Opus) shape.rate = 48000;
    if (format == AudioFormat::Mp3) {
        static constexpr std::array<int, 9> rates{8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
        int best = rates.front();
        for (const int r : rates)
            if (r <= shape.rate) best = r;
        shape.rate = best;
    }
    return shape;
}

}  // namespace velorra::render
