#include "tools/media/melody.h"

#include <cmath>
#include <numbers>
#include <random>
#include <stdexcept>

namespace velorra::media {

Melody tune(int variant) {
    // A pentatonic scale over two octaves from a root that moves with the variant.
    constexpr int kSteps[] = {0, 2, 4, 7, 9, 12, 14, 16, 19, 21};
    const double root = 196.0 * std::pow(2.0, (variant % 7) / 12.0);
    std::mt19937 random(static_cast<unsigned>(variant) * 7919u + 17u);
    std::uniform_int_distribution<int> step(0, 9), length(1, 3);
    Melody melody;
    for (int phrase = 0; phrase < 4; ++phrase) {
        for (int n = 0; n < 6; ++n)
            melody.push_back({root * std::pow(2.0, kSteps[step(random)] / 12.0), 0.15 * length(random)});
        melody.push_back({0.0, 0.3});
    }
    return melody;
}

std::vector<int16_t> renderMelody(const Melody& melody, double seconds, WavFormat format) {
    if (melody.empty() || format.sampleRate <= 0 || format.channels <= 0 || seconds < 0)
        throw std::invalid_argument("renderMelody: nothing to render");
    const auto frames = static_cast<size_t>(std::llround(seconds * format.sampleRate));
    std::vector<int16_t> samples;
    samples.reserve(frames * format.channels);
    size_t note = 0;
    double noteStart = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / format.sampleRate - noteStart;
        while (t >= melody[note].seconds) {
            noteStart += melody[note].seconds;
            t -= melody[note].seconds;
            note = (note + 1) % melody.size();
        }
        const Note& n = melody[note];
        double value = 0.0;
        if (n.frequency > 0.0) {
            const double envelope = std::min(1.0, t / 0.02) * std::exp(-3.0 * t / n.seconds);
            const double phase = 2.0 * std::numbers::pi * n.frequency * t;
            value = envelope * (0.6 * std::sin(phase) + 0.25 * std::sin(2 * phase) + 0.1 * std::sin(3 * phase));
        }
        for (int c = 0; c < format.channels; ++c)
            samples.push_back(static_cast<int16_t>(std::lround(value * 0.8 * 32767.0)));
    }
    return samples;
}

}  // namespace velorra::media
