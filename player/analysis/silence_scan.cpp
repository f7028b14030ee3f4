#include "player/analysis/silence.h"

#include <algorithm>
#include <cmath>

namespace velorra {

namespace {

constexpr int WindowsPerSecond = 100;
// -50 dBFS: 10^(-50 / 20) of full scale. A 16-bit sample is music from 104 of 32768 on.
constexpr float FloatThreshold = 0.0031622777f;
constexpr int16_t IntThreshold = 103;

template <class Sample>
bool loud(Sample s, Sample threshold) {
    return s > threshold || s < -threshold;
}

}  // namespace

void SilenceScan::add(std::span<const int16_t> samples, int rate, int channels) {
    scan(samples, IntThreshold, rate, channels);
}

void SilenceScan::add(std::span<const float> samples, int rate, int channels) {
    scan(samples, FloatThreshold, rate, channels);
}

template <class Sample>
void SilenceScan::scan(std::span<const Sample> samples, Sample threshold, int rate, int channels) {
    if (rate <= 0 || channels <= 0) return;
    if (rate != rate_ || channels != channels_) {
        if (rate_ > 0) {
            windowsBefore_ += (frames_ * WindowsPerSecond + static_cast<uint64_t>(rate_) - 1) / static_cast<uint64_t>(rate_);
            secondsBefore_ += static_cast<double>(frames_) / rate_;
        }
        rate_ = rate;
        channels_ = channels;
        frames_ = 0;
    }
    const auto window = [&](size_t sampleIndex) {
        const uint64_t frame = frames_ + sampleIndex / static_cast<size_t>(channels);
        return windowsBefore_ + frame * WindowsPerSecond / static_cast<uint64_t>(rate);
    };
    // Only the first loud sample of the song and the last one of each buffer matter: the forward
    // search runs until the music has started, the backward one stops at the buffer's last loud
    // sample, which in music is one of its last.
    size_t from = 0;
    if (!firstWindow_) {
        const auto first = std::find_if(samples.begin(), samples.end(), [&](Sample s) { return loud(s, threshold); });
        if (first != samples.end()) {
            from = static_cast<size_t>(first - samples.begin());
            firstWindow_ = window(from);
        } else {
            from = samples.size();
        }
    }
    for (size_t i = samples.size(); i > from; --i)
        if (loud(samples[i - 1], threshold)) {
            lastWindow_ = window(i - 1);
            break;
        }
    frames_ += samples.size() / static_cast<size_t>(channels);
}

double SilenceScan::seconds() const {
    return secondsBefore_ + (rate_ > 0 ? static_cast<double>(frames_) / rate_ : 0.0);
}

Silence SilenceScan::result() const {
    if (!firstWindow_ || !lastWindow_) return {};
    const double total = seconds();
    const double musicEnd = static_cast<double>(*lastWindow_ + 1) / WindowsPerSecond;
    return {static_cast<double>(*firstWindow_) / WindowsPerSecond, std::max(0.0, total - musicEnd)};
}

}  // namespace velorra
