#include "player/analysis/loudness_scan.h"
#include "player/analysis/measurement.h"

#include <ebur128.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace velorra {

namespace {

constexpr double Int16FullScale = 32768.0;

// The peaks are kept lane by lane over runs of a fixed length, which the compiler takes many
// samples at a time, and the lanes compared at the end.
constexpr size_t Lanes = 16;

int largestMagnitude(std::span<const int16_t> samples) {
    std::array<int, Lanes> most{};
    size_t i = 0;
    for (; i + Lanes <= samples.size(); i += Lanes)
        for (size_t k = 0; k < Lanes; ++k) most[k] = std::max(most[k], std::abs(int{samples[i + k]}));
    for (; i < samples.size(); ++i) most[0] = std::max(most[0], std::abs(int{samples[i]}));
    return *std::max_element(most.begin(), most.end());
}

// A NaN is passed over; an infinity is the largest.
float largestMagnitude(std::span<const float> samples) {
    std::array<float, Lanes> most{};
    size_t i = 0;
    for (; i + Lanes <= samples.size(); i += Lanes)
        for (size_t k = 0; k < Lanes; ++k) most[k] = std::max(most[k], std::fabs(samples[i + k]));
    for (; i < samples.size(); ++i) most[0] = std::max(most[0], std::fabs(samples[i]));
    return *std::max_element(most.begin(), most.end());
}

}  // namespace

double matchLoudnessGain(double loudness, double peak) {
    const double gain = TargetLufs - loudness;
    if (!(peak > 0.0)) return gain;
    return std::min(gain, PeakCeilingDbfs - 20.0 * std::log10(peak));
}

struct LoudnessScan::Meter {
    explicit Meter(ebur128_state* s) : state(s) {}
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;
    ~Meter() { ebur128_destroy(&state); }
    ebur128_state* state;
};

LoudnessScan::LoudnessScan() = default;
LoudnessScan::~LoudnessScan() = default;

bool LoudnessScan::prepare(int rate, int channels) {
    if (rate <= 0 || channels <= 0) return false;
    if (rate == rate_ && channels == channels_) return true;
    const auto r = static_cast<unsigned long>(rate);
    const auto c = static_cast<unsigned>(channels);
    if (!meter_) {
        ebur128_state* state = ebur128_init(c, r, EBUR128_MODE_I);
        if (!state) return false;
        meter_ = std::make_unique<Meter>(state);
    } else if (ebur128_change_parameters(meter_->state, c, r) != EBUR128_SUCCESS) {
        return false;
    }
    rate_ = rate;
    channels_ = channels;
    return true;
}

void LoudnessScan::add(std::span<const int16_t> samples, int rate, int channels, bool peakOnly) {
    peak_ = std::max(peak_, largestMagnitude(samples) / Int16FullScale);
    if (peakOnly || !prepare(rate, channels)) return;
    ebur128_add_frames_short(meter_->state, samples.data(), samples.size() / static_cast<size_t>(channels));
}

void LoudnessScan::add(std::span<const float> samples, int rate, int channels, bool peakOnly) {
    const float largest = largestMagnitude(samples);
    if (std::isfinite(largest)) peak_ = std::max(peak_, double{largest});
    if (peakOnly || !prepare(rate, channels)) return;
    ebur128_add_frames_float(meter_->state, samples.data(), samples.size() / static_cast<size_t>(channels));
}

std::optional<double> LoudnessScan::loudness() const {
    double lufs = 0.0;
    if (!meter_ || ebur128_loudness_global(meter_->state, &lufs) != EBUR128_SUCCESS || !std::isfinite(lufs))
        return std::nullopt;
    return lufs;
}

}  // namespace velorra
