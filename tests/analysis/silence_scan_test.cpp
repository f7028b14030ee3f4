// The silence scan on samples made here: where 10 ms windows of music start and end, at the
// -50 dBFS line, on any channel, across buffers and formats; and the cache of measurements on
// disk.
#include "player/analysis/silence.h"
#include "player/analysis/silence_cache.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

namespace velorra {
namespace {

void expectSilence(const Silence& s, double leadIn, double tail) {
    EXPECT_NEAR(s.leadIn, leadIn, 1e-9);
    EXPECT_NEAR(s.tail, tail, 1e-9);
}

// Stereo 16-bit samples at 1000 frames a second (10 frames a window), quiet but for the frames
// given, each loud on one channel.
std::vector<int16_t> frames(size_t count, std::vector<std::pair<size_t, int>> loud, int16_t level = 104) {
    std::vector<int16_t> samples(count * 2, 0);
    for (auto [frame, channel] : loud) samples[frame * 2 + static_cast<size_t>(channel)] = level;
    return samples;
}

TEST(SilenceScan, FindsTheWindowsOfMusicOnAnyChannelAcrossBuffers) {
    SilenceScan scan;
    const auto first = frames(1000, {{437, 1}});  // in the window from 430 ms
    const auto second = frames(1000, {{12, 0}, {520, 1}});
    scan.add(first, 1000, 2);
    scan.add(second, 1000, 2);
    scan.add(frames(500, {}), 1000, 2);
    // Music from 0.43 s to the end of the window holding frame 1520 (1.53 s); 2.5 s in all.
    expectSilence(scan.result(), 0.43, 0.97);

    // A new format starts its windows where the old one ended.
    const std::vector<float> quietThenLoud{0.0f, 0.0f, 0.0f, -0.0032f};
    scan.add(quietThenLoud, 200, 1);  // 2 frames a window: loud in the second window
    expectSilence(scan.result(), 0.43, 0.0);
}

TEST(SilenceScan, MusicIsAPeakAboveMinusFiftyDecibelsAndAStreamWithoutItHasNoSilence) {
    for (const int16_t quiet : {int16_t{103}, int16_t{-103}}) {
        SilenceScan scan;
        scan.add(frames(100, {{50, 0}}, quiet), 1000, 2);
        EXPECT_EQ(scan.result(), Silence{}) << quiet;
    }
    SilenceScan negative;
    negative.add(frames(100, {{50, 0}}, -104), 1000, 2);
    expectSilence(negative.result(), 0.05, 0.04);

    SilenceScan floats;
    const std::vector<float> samples{0.0031f, 0.0f, 0.0f, 0.0f, 0.00317f, 0.0f};
    floats.add(samples, 100, 1);
    expectSilence(floats.result(), 0.04, 0.01);

    EXPECT_EQ(SilenceScan().result(), Silence{});
}

TEST(SilenceCacheFile, KeepsMeasurementsAcrossRunsForTheFileAsItWasMeasured) {
    testing::TempDir folder("velorra-cache");
    const std::string file = folder.path("cache/Velorra/silence.txt");
    const std::string a = folder.makeFile("a\tb.mp3", "aaaa");
    const std::string b = folder.makeFile("b.mp3", "bbbb");
    {
        SilenceCache cache(file);
        EXPECT_FALSE(cache.find(a));
        cache.store(a, {1.25, 3.5});
        cache.store(b, {0.0, 2.0});
        cache.store(folder.path("gone.mp3"), {1.0, 1.0});  // nothing to key it by
        EXPECT_FALSE(cache.find(folder.path("gone.mp3")));
    }
    // A stray line and a partial one are passed over.
    std::ofstream(file, std::ios::app) << "junk\n0.5\t0.5\t4\n";
    SilenceCache next(file);
    EXPECT_EQ(next.find(a), (Silence{1.25, 3.5}));
    EXPECT_EQ(next.find(b), (Silence{0.0, 2.0}));

    // A file that changed is measured again.
    testing::writeFile(b, "bbbbb");
    EXPECT_FALSE(next.find(b));
    next.store(b, {0.5, 0.5});
    EXPECT_EQ(SilenceCache(file).find(b), (Silence{0.5, 0.5}));
}

TEST(SilenceCacheFile, ACacheThatCannotBeReadOrWrittenKeepsTheRunsMeasurements) {
    testing::TempDir folder("velorra-cache");
    const std::string file = folder.makeDir("silence.txt");  // a folder where the file should be
    const std::string a = folder.makeFile("a.mp3");
    SilenceCache cache(file);
    cache.store(a, {2.0, 1.0});
    EXPECT_EQ(cache.find(a), (Silence{2.0, 1.0}));
    EXPECT_FALSE(SilenceCache(file).find(a));
}

}  // namespace
}  // namespace velorra
