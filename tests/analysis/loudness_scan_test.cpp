// The loudness meter on the signals of EBU Tech 3341 that can be made here (a 1 kHz sine at
// 48 kHz, stereo, at steps of level that the gates must sort out), a mono stream counted once,
// and the gain that matches a song's loudness without raising its peak above -1 dBFS.
#include "player/analysis/loudness_scan.h"
#include "player/analysis/measurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace velorra {
namespace {

constexpr int Rate = 48000;

struct Stretch {
    double dbfs;
    double seconds;
};

// A 1 kHz sine of `channels` equal channels, each stretch at its own peak level, fed in buffers
// of an odd size, as float or as 16-bit samples.
LoudnessScan& feed(LoudnessScan& scan, const std::vector<Stretch>& stretches, int channels, bool asInt16) {
    std::vector<float> samples;
    uint64_t frame = 0;
    for (const auto& [dbfs, seconds] : stretches) {
        const double amplitude = std::pow(10.0, dbfs / 20.0);
        const auto frames = static_cast<uint64_t>(std::llround(seconds * Rate));
        for (uint64_t i = 0; i < frames; ++i, ++frame) {
            const double s = amplitude * std::sin(2.0 * std::numbers::pi * 1000.0 * static_cast<double>(frame) / Rate);
            for (int c = 0; c < channels; ++c) samples.push_back(static_cast<float>(s));
        }
    }
    const size_t buffer = 1237 * static_cast<size_t>(channels);
    for (size_t at = 0; at < samples.size(); at += buffer) {
        const std::span<const float> part(samples.data() + at, std::min(buffer, samples.size() - at));
        if (!asInt16) {
            scan.add(part, Rate, channels);
            continue;
        }
        std::vector<int16_t> ints;
        for (const float s : part) ints.push_back(static_cast<int16_t>(std::lround(s * 32768.0)));
        scan.add(ints, Rate, channels);
    }
    return scan;
}

TEST(LoudnessScan, ReadsTheTech3341SignalsWithinATenthOfAnLU) {
    struct Case {
        const char* name;
        std::vector<Stretch> stretches;
        double lufs;
    };
    const std::vector<Case> cases{
        {"case 1: -23 dBFS", {{-23, 20}}, -23.0},
        {"case 2: -33 dBFS", {{-33, 20}}, -33.0},
        {"case 3: relative gate", {{-36, 10}, {-23, 60}, {-36, 10}}, -23.0},
        {"case 4: both gates", {{-72, 10}, {-36, 10}, {-23, 60}, {-36, 10}, {-72, 10}}, -23.0},
        {"case 5: steps of level", {{-26, 20}, {-20, 20.1}, {-26, 20}}, -23.0},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        LoudnessScan scan;
        feed(scan, cases[i].stretches, 2, i == 0);
        ASSERT_TRUE(scan.loudness()) << cases[i].name;
        EXPECT_NEAR(*scan.loudness(), cases[i].lufs, 0.1) << cases[i].name;
    }
    LoudnessScan steps;
    EXPECT_NEAR(feed(steps, {{-26, 20}, {-20, 20.1}, {-26, 20}}, 2, false).peak(), 0.1, 1e-4);

    // Mono counts its one channel once: 3 dB below the same sine on both channels.
    LoudnessScan mono;
    EXPECT_NEAR(feed(mono, {{-23, 20}}, 1, true).loudness().value_or(0), -26.0, 0.1);

    // Nothing above the absolute gate has no loudness; nothing at all neither.
    LoudnessScan quiet;
    EXPECT_FALSE(feed(quiet, {{-80, 5}}, 2, false).loudness());
    EXPECT_FALSE(LoudnessScan().loudness());
    EXPECT_EQ(LoudnessScan().peak(), 0.0);
}

// The peak is the largest magnitude wherever it falls: a negative sample, one past the last whole
// run of samples read together, the most negative 16-bit sample (full scale). A NaN is passed
// over, and a buffer holding an infinity counts for nothing.
TEST(LoudnessScan, ThePeakIsTheLargestMagnitudeWhereverItFalls) {
    for (const size_t at : {size_t{0}, size_t{17}, size_t{36}}) {
        std::vector<float> floats(37, 0.25f);
        floats[at] = -0.75f;
        std::vector<int16_t> ints(37, 1000);
        ints[at] = -32768;
        LoudnessScan f, i;
        f.add(floats, Rate, 1);
        i.add(ints, Rate, 1);
        EXPECT_EQ(f.peak(), 0.75) << at;
        EXPECT_EQ(i.peak(), 1.0) << at;
    }
    LoudnessScan odd;
    odd.add(std::vector<float>(20, std::nanf("")), Rate, 2);
    odd.add(std::vector<float>{0.5f, -0.5f, std::numeric_limits<float>::infinity(), 0.0f}, Rate, 2);
    odd.add(std::vector<float>{0.125f, std::nanf(""), -0.25f, 0.0f}, Rate, 2);
    EXPECT_EQ(odd.peak(), 0.25);
}

TEST(LoudnessScan, TheMatchingGainReachesMinusEighteenUnlessThePeakWouldPassMinusOne) {
    EXPECT_NEAR(matchLoudnessGain(-8.0, 1.0), -10.0, 1e-9);         // loud: lowered by 10 dB
    EXPECT_NEAR(matchLoudnessGain(-28.0, 0.1), 10.0, 1e-9);         // a peak at -20 dBFS ends at -10
    EXPECT_NEAR(matchLoudnessGain(-28.0, 0.5), -1.0 + 6.0206, 1e-3);  // raised only to -1 dBFS
    EXPECT_NEAR(matchLoudnessGain(-30.0, 0.0), 12.0, 1e-9);         // no peak known
}

}  // namespace
}  // namespace velorra
