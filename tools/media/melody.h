#pragma once
// Tunes to fill media files with: notes of a sine with a few overtones, each with its own swell
// and fade, and rests between phrases (so that a variable-bitrate encoder varies its bitrate).
#include <cstdint>
#include <vector>

namespace velorra::media {

struct Note {
    double frequency;  // Hz; 0 is a rest
    double seconds;
};
using Melody = std::vector<Note>;

struct WavFormat {
    int sampleRate = 44100;
    int channels = 2;
};

// A short tune; different variants are different tunes.
Melody tune(int variant);

// Interleaved 16-bit samples of the melody, repeated or cut to exactly `seconds` (rounded to
// whole sample frames).
std::vector<int16_t> renderMelody(const Melody& melody, double seconds, WavFormat format);

}  // namespace velorra::media
