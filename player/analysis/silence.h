#pragma once
// The quiet parts of a song: how long it takes before its music starts, and how long it goes on
// after its music ends. Music is any 10 ms window whose peak, on any channel, rises above
// -50 dBFS; the windows are counted from the start of the decoded stream.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace velorra {

struct Silence {
    double leadIn = 0.0;  // seconds before the first window of music
    double tail = 0.0;    // seconds after the last window of music
    bool operator==(const Silence&) const = default;
};

// Reads decoded samples in the order they play, buffer by buffer, and keeps where the music
// starts and ends. A stream without music (or without samples) has no lead-in and no tail.
class SilenceScan {
public:
    // Interleaved samples of `channels` channels at `rate` frames a second. A buffer in another
    // format than the one before starts a new stretch of windows where the other one ended.
    void add(std::span<const int16_t> samples, int rate, int channels);
    void add(std::span<const float> samples, int rate, int channels);
    Silence result() const;
    // The length of the samples read, in seconds.
    double seconds() const;

private:
    template <class Sample>
    void scan(std::span<const Sample> samples, Sample threshold, int rate, int channels);

    int rate_ = 0, channels_ = 0;
    uint64_t frames_ = 0;          // frames of the current format
    uint64_t windowsBefore_ = 0;   // whole windows of the formats before it
    double secondsBefore_ = 0.0;   // and their length
    std::optional<uint64_t> firstWindow_, lastWindow_;
};

}  // namespace velorra
