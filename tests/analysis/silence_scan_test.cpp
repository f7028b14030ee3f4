// The silence scan on samples made here: where 10 ms windows of music start and end, at the
// -50 dBFS line, on any channel, across buffers and formats.
#include "player/analysis/silence.h"

#include <gtest/gtest.h>

#include <vector>

namespace velorra {
namespace {

void expectSilence(const Silence& s, double leadIn, double tail) {
    EXPECT_NEAR(s.leadIn, leadIn, 1e-9);
    EXPECT_NEAR(s.tail, tail, 1e-9);
}

// Stereo 16-bit samples at 1000 frames a second (10 frames a window), silent but for one sample.
std::vector<int16_t> oneSample(size_t frames, size_t frame, int channel, int16_t level) {
    std::vector<int16_t> samples(frames * 2, 0);
    samples[frame * 2 + static_cast<size_t>(channel)] = level;
    return samples;
}

TEST(SilenceScan, FindsTheWindowsOfMusicAboveMinusFiftyDecibelsOnAnyChannelAcrossBuffers) {
    SilenceScan scan;
    scan.add(oneSample(1000, 200, 0, 103), 1000, 2);   // -50.0 dBFS: not yet music
    scan.add(oneSample(1000, 437, 1, -104), 1000, 2);  // music in the window from 1.43 s
    scan.add(oneSample(1000, 520, 0, 104), 1000, 2);   // to the end of the window at 2.53 s
    scan.add(oneSample(500, 100, 1, -103), 1000, 2);
    expectSilence(scan.result(), 1.43, 0.97);  // of 3.5 s

    // A new format starts its windows where the old one ended (here 2 frames a window).
    scan.add(std::vector<float>{0.0f, 0.0031f, 0.0f, -0.00317f}, 200, 1);
    expectSilence(scan.result(), 1.43, 0.0);

    SilenceScan quiet;
    quiet.add(oneSample(100, 50, 0, 103), 1000, 2);
    EXPECT_EQ(quiet.result(), Silence{});
    EXPECT_EQ(SilenceScan().result(), Silence{});
}

}  // namespace
}  // namespace velorra
