#pragma once
// The loudness of decoded samples: the integrated loudness of EBU R128 (ITU-R BS.1770, gated at
// -70 LUFS and 10 LU below the ungated level) through libebur128, and the sample peak. Channels
// are weighed by libebur128's map, which is GStreamer's order of 5.1 (left, right, centre, LFE
// left out, the surrounds at +1.5 dB): a mono stream counts its one channel once.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace velorra {

class LoudnessScan {
public:
    LoudnessScan();
    ~LoudnessScan();
    LoudnessScan(const LoudnessScan&) = delete;
    LoudnessScan& operator=(const LoudnessScan&) = delete;

    // Interleaved samples of `channels` channels at `rate` frames a second, in playing order; a
    // buffer in another format goes on with the measurement in that one. With `peakOnly` the
    // samples count for the peak alone (the loudness is known from elsewhere).
    void add(std::span<const int16_t> samples, int rate, int channels, bool peakOnly = false);
    void add(std::span<const float> samples, int rate, int channels, bool peakOnly = false);

    // LUFS; none before any sample or when everything stays below the absolute gate.
    std::optional<double> loudness() const;
    // The largest sample magnitude, 1.0 at full scale.
    double peak() const { return peak_; }

private:
    struct Meter;  // libebur128's state
    bool prepare(int rate, int channels);

    std::unique_ptr<Meter> meter_;
    int rate_ = 0, channels_ = 0;
    double peak_ = 0.0;
};

}  // namespace velorra
