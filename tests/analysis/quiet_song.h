#pragma once
// Songs made to be measured: near-silence (noise at about -72 dBFS, or digital silence), a tone,
// and near-silence again, written as WAV or encoded to MP3 by the media generator.
#include "tools/media/melody.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace velorra::testing {

struct QuietSong {
    double leadIn = 0.0, tone = 0.0, tail = 0.0;  // seconds
    double noiseDb = -72.0;                       // level of the quiet parts (-200: digital silence)
    int toneChannel = -1;                         // the one channel the tone is on, -1 all
};

// Interleaved 16-bit samples of the song: a 440 Hz tone at -6 dBFS between two stretches of
// uniform noise whose RMS level is noiseDb.
inline std::vector<int16_t> renderQuietSong(const QuietSong& song, media::WavFormat format) {
    std::mt19937 random(7);
    const double noise = std::pow(10.0, song.noiseDb / 20.0) * 32768.0 * std::sqrt(3.0);
    std::uniform_real_distribution<double> uniform(-noise, noise);
    const auto frames = [&](double seconds) { return static_cast<size_t>(std::llround(seconds * format.sampleRate)); };
    const size_t toneFrom = frames(song.leadIn), toneTo = frames(song.leadIn + song.tone);
    const size_t total = frames(song.leadIn + song.tone + song.tail);
    std::vector<int16_t> samples;
    samples.reserve(total * static_cast<size_t>(format.channels));
    for (size_t i = 0; i < total; ++i) {
        const bool inTone = i >= toneFrom && i < toneTo;
        const double tone = 0.5 * 32767.0 * std::sin(2.0 * std::numbers::pi * 440.0 * static_cast<double>(i) / format.sampleRate);
        for (int c = 0; c < format.channels; ++c) {
            const bool loud = inTone && (song.toneChannel < 0 || song.toneChannel == c);
            samples.push_back(static_cast<int16_t>(std::lround(loud ? tone : uniform(random))));
        }
    }
    return samples;
}

}  // namespace velorra::testing
