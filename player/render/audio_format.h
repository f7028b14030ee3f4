#pragma once
// The formats a mix is written in, told by the destination's extension (any case).
#include <optional>
#include <string>

namespace velorra::render {

enum class AudioFormat { Flac, OggVorbis, Opus, Mp3, Wav };

// ".flac", ".ogg", ".opus", ".mp3" or ".wav"; none for any other name.
std::optional<AudioFormat> formatOfName(const std::string& path);

// The sound of a file: its sample rate and channels.
struct SoundShape {
    int rate = 44100;
    int channels = 2;
};

// The shape written in `format` for a mix of shape `wanted`: Opus is always 48 kHz, MP3 takes
// the nearest rate it knows at or below 48 kHz, and a mix has one or two channels.
SoundShape shapeFor(AudioFormat format, SoundShape wanted);

}  // namespace velorra::render
