#include "player/analysis/stored_song.h"

#include <cmath>

namespace velorra {

namespace {

constexpr double QuietestLufs = -200.0, LoudestLufs = 200.0;
constexpr double LargestPeak = 100.0;  // +40 dBFS

bool within(double value, double low, double high) { return std::isfinite(value) && value >= low && value <= high; }

}  // namespace

bool plausible(const Measurement& m) {
    if (m.seconds && !within(*m.seconds, 0.0, LongestSongSeconds)) return false;
    const double length = m.seconds.value_or(LongestSongSeconds);
    if (!within(m.silence.leadIn, 0.0, length) || !within(m.silence.tail, 0.0, length) ||
        m.silence.leadIn + m.silence.tail > length)
        return false;
    if (m.loudness && !within(*m.loudness, QuietestLufs, LoudestLufs)) return false;
    if (m.peak && !within(*m.peak, 0.0, LargestPeak)) return false;
    switch (m.source) {
        case LoudnessSource::None:
            if (m.loudness) return false;
            break;
        case LoudnessSource::Decoded:
        case LoudnessSource::Tags:
            if (!m.loudness) return false;
            break;
        default: return false;
    }
    return !m.failed || (m.silence == Silence{} && !m.loudness && !m.peak);
}

}  // namespace velorra
