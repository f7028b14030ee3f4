#pragma once
// Songs made to be measured: noise at about -72 dBFS (RMS), a 440 Hz tone at -6 dBFS, and noise
// again, as interleaved 16-bit samples for the media generator's WAV writer.
#include "tools/media/melody.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace velorra::testing {

inline std::vector<int16_t> renderQuietSong(double leadIn, double tone, double tail, media::WavFormat format) {
    std::mt19937 random(7);
    const double noise = std::pow(10.0, -72.0 / 20.0) * 32768.0 * std::sqrt(3.0);
    std::uniform_real_distribution<double> uniform(-noise, noise);
    const auto frame = [&](double seconds) { return static_cast<size_t>(std::llround(seconds * format.sampleRate)); };
    const size_t toneFrom = frame(leadIn), toneTo = frame(leadIn + tone), total = frame(leadIn + tone + tail);
    std::vector<int16_t> samples;
    for (size_t i = 0; i < total; ++i) {
        const double t = static_cast<double>(i) / format.sampleRate;
        for (int c = 0; c < format.channels; ++c)
            samples.push_back(static_cast<int16_t>(std::lround(
                i >= toneFrom && i < toneTo ? 16383.0 * std::sin(2.0 * std::numbers::pi * 440.0 * t) : uniform(random))));
    }
    return samples;
}

}  // namespace velorra::testing
