// The mixer on its own, pulled by hand as a render would pull it: no GStreamer, no clock. Inputs
// give numbered frames (the left sample is the frame's number in its stream, the right one its
// negative), so every output sample shows which frame of which branch it came from and with which
// factor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "player/channel/mix/mixer.h"

namespace velorra {
namespace {

constexpr int kRate = 44100;
constexpr int64_t kFall = kRate / 100;  // 10 ms

// Frame n of the stream is (n * scale, -n * scale), up to `available` frames.
class Numbered : public MixInput {
public:
    explicit Numbered(float scale, size_t available = SIZE_MAX) : scale_(scale), available_(available) {}
    size_t read(float* out, size_t frames) override {
        const size_t n = std::min(frames, available_ - next_);
        for (size_t i = 0; i < n; ++i, ++next_) {
            out[2 * i] = static_cast<float>(next_) * scale_;
            out[2 * i + 1] = -static_cast<float>(next_) * scale_;
        }
        return n;
    }
    size_t next() const { return next_; }
    void makeAvailable(size_t frames) { available_ = frames; }

private:
    const float scale_;
    size_t available_;
    size_t next_ = 0;
};

// Mixes `frames` frames in stretches of `stretch`, as an output asks for them.
std::vector<float> pull(Mixer& mixer, size_t frames, size_t stretch = 441) {
    std::vector<float> out(2 * frames);
    for (size_t at = 0; at < frames; at += stretch) mixer.mix(out.data() + 2 * at, std::min(stretch, frames - at));
    return out;
}

// The gain steps along each stretch of the ramp instead of working each frame out afresh; every
// frame must still take the factor of its own frame: before the first point, on both stretches
// (one rising, one falling), after the last, and from a stretch that begins inside a line.
TEST(GainRamp, EachFrameOfABufferTakesTheFactorOfItsOwnTime) {
    GainRamp ramp;
    ramp.points = {GainRamp::Point{88, 0.2}, GainRamp::Point{220, 1.0}, GainRamp::Point{308, 0.5}};
    ramp.count = 3;
    for (const auto& [start, frames] : {std::pair<int64_t, size_t>{0, 441}, {133, 220}}) {
        std::vector<float> samples(2 * frames, 1.0f);
        ramp.scale(samples.data(), frames, start, 1.0f, 0.5f);
        for (size_t i = 0; i < frames; ++i) {
            ASSERT_NEAR(samples[2 * i], ramp.at(start + static_cast<int64_t>(i)), 1e-5) << "frame " << i;
            ASSERT_FLOAT_EQ(samples[2 * i + 1], 0.5f * samples[2 * i]);
        }
    }
}

// Two branches summed: each frame of the mix is the sum of each sounding branch's own frame times
// the factor of that frame of the mix. A halt falls over exactly 10 ms from the next frame mixed,
// reads its input no further, and the next start rises from silence and goes on with the very
// next frame of the stream: nothing skipped, nothing repeated.
TEST(Mixer, SumsBranchesWithPerSampleRampsAndHaltsOnExactFrames) {
    Mixer mixer(kRate);
    auto a = std::make_shared<Numbered>(1e-6f), b = std::make_shared<Numbered>(1e-3f);
    const auto ia = mixer.add(a), ib = mixer.add(b);
    mixer.start(ia, kFall);
    mixer.setGain(ib, 0.5, 0);
    mixer.start(ib, 0);
    auto out = pull(mixer, 2 * 441);
    for (size_t i = 0; i < 2 * 441; ++i) {
        const double fa = std::min(1.0, static_cast<double>(i) / kFall);
        ASSERT_NEAR(out[2 * i], fa * i * 1e-6 + 0.5 * i * 1e-3, 1e-6) << i;
        ASSERT_NEAR(out[2 * i + 1], -out[2 * i], 1e-6) << i;
    }

    // Branch a halts: its fall starts with the next frame mixed.
    mixer.halt(ia, kFall);
    EXPECT_FALSE(mixer.halted(ia));
    out = pull(mixer, 3 * 441);
    const int64_t from = 2 * 441;
    for (int64_t i = 0; i < 3 * 441; ++i) {
        const double fa = i < kFall ? (1.0 - static_cast<double>(i) / kFall) * static_cast<double>(from + i) * 1e-6 : 0.0;
        const double expected = fa + 0.5 * static_cast<double>(from + i) * 1e-3;
        ASSERT_NEAR(out[2 * i], expected, 1e-6) << i;
    }
    EXPECT_TRUE(mixer.halted(ia));
    EXPECT_EQ(a->next(), static_cast<size_t>(from + kFall));
    EXPECT_EQ(mixer.takenTo(ia), from + kFall);

    // Started again, it rises from silence with the frame after the last one it gave.
    mixer.silence(ib);
    mixer.start(ia, kFall);
    out = pull(mixer, 441);
    for (int64_t i = 0; i < 441; ++i)
        ASSERT_NEAR(out[2 * i], std::min(1.0, static_cast<double>(i) / kFall) * (from + kFall + i) * 1e-6, 1e-9) << i;
    EXPECT_EQ(mixer.frames(), 6 * 441);
}

// A branch whose stream is not there yet (a song still opening, a seek still landing) adds
// silence, and its rise begins with its first frame, not earlier; a volume change ramps from where
// the gain stands and a change set as the last one ends joins it into one line.
TEST(Mixer, ARiseBeginsWithTheFirstFrameTheBranchGives) {
    Mixer mixer(kRate);
    auto late = std::make_shared<Numbered>(1e-6f, 0);
    const auto branch = mixer.add(late);
    mixer.start(branch, kFall);
    auto out = pull(mixer, 441);
    for (float s : out) ASSERT_EQ(s, 0.0f);
    late->makeAvailable(SIZE_MAX);
    out = pull(mixer, 441);
    for (int64_t i = 0; i < 441; ++i)
        ASSERT_NEAR(out[2 * i], std::min(1.0, static_cast<double>(i) / kFall) * i * 1e-6, 1e-9) << i;

    mixer.setGain(branch, 0.5, 441);
    out = pull(mixer, 220);
    mixer.setGain(branch, 0.0, 441);  // 221 frames of the first ramp to go: this one follows it
    const auto more = pull(mixer, 1000);
    out.insert(out.end(), more.begin(), more.end());
    for (int64_t i = 0; i < 1220; ++i) {
        const double f = i < 441 ? 1.0 - 0.5 * i / 441.0 : std::max(0.0, 0.5 - 0.5 * (i - 441) / 441.0);
        ASSERT_NEAR(out[2 * i], f * (441 + i) * 1e-6, 1e-6) << i;
    }
}

// The loudness is a gain of its own, multiplied with the fader's on every frame: a fader step
// set while the loudness ramps leaves that ramp running to its end and the other way round, a
// factor above 1 raises the sound, and back at 1 every sample is the stream's own, bit for bit.
TEST(Mixer, LoudnessRampsApartFromTheGainAndMultipliesWithIt) {
    Mixer mixer(kRate);
    auto input = std::make_shared<Numbered>(1e-6f);
    const auto branch = mixer.add(input);
    mixer.start(branch, 0);
    pull(mixer, 441);
    constexpr int64_t kLoudRamp = 2205;
    mixer.setLoudness(branch, 0.25, kLoudRamp);
    EXPECT_EQ(mixer.loudness(branch), 0.25);
    auto out = pull(mixer, 441);
    mixer.setGain(branch, 0.5, 441);  // mid-way through the loudness ramp
    auto more = pull(mixer, 2646);
    out.insert(out.end(), more.begin(), more.end());
    mixer.setLoudness(branch, 2.0, 441);  // the first ramp long over: from 0.25 up to 2
    more = pull(mixer, 882);
    out.insert(out.end(), more.begin(), more.end());
    for (int64_t k = 0; k < 441 + 2646 + 882; ++k) {
        const int64_t n = 441 + k;  // the stream's frame, and the mix's
        const double loud = n < 3528 ? 1.0 - 0.75 * std::min(1.0, static_cast<double>(k) / kLoudRamp)
                                     : 0.25 + 1.75 * std::min(1.0, static_cast<double>(n - 3528) / 441);
        const double gain = 1.0 - 0.5 * std::clamp(static_cast<double>(k - 441) / 441, 0.0, 1.0);
        ASSERT_NEAR(out[2 * k], loud * gain * static_cast<double>(n) * 1e-6, 1e-7) << k;
        ASSERT_NEAR(out[2 * k + 1], -out[2 * k], 1e-7) << k;
    }

    mixer.setLoudness(branch, 1.0, 0);
    mixer.setGain(branch, 1.0, 0);
    pull(mixer, 441);  // the fader's change takes its next frame
    const size_t next = input->next();
    out = pull(mixer, 441);
    for (size_t i = 0; i < 441; ++i) {
        ASSERT_EQ(out[2 * i], static_cast<float>(next + i) * 1e-6f) << i;
        ASSERT_EQ(out[2 * i + 1], -static_cast<float>(next + i) * 1e-6f) << i;
    }
}

// Off centre one side is lowered and the other kept; at another rate the branch's stream is read
// that much faster, each frame between two of its own.
TEST(Mixer, BalanceLowersOneSideAndRateReadsFaster) {
    Mixer mixer(kRate);
    auto input = std::make_shared<Numbered>(1e-6f);
    const auto branch = mixer.add(input);
    mixer.start(branch, 0);
    mixer.setBalance(branch, -0.75f);
    auto out = pull(mixer, 441);
    for (int64_t i = 1; i < 441; ++i) {
        ASSERT_NEAR(out[2 * i], i * 1e-6, 1e-9);
        ASSERT_NEAR(out[2 * i + 1], -0.25 * i * 1e-6, 1e-9);
    }
    mixer.setBalance(branch, 0.0f);
    mixer.setRate(branch, 1.5);
    out = pull(mixer, 882);
    for (int64_t i = 0; i < 882; ++i) ASSERT_NEAR(out[2 * i], (441 + 1.5 * i) * 1e-6, 1e-9) << i;
    EXPECT_NEAR(static_cast<double>(input->next()), 441 + 1.5 * 882, 3);
}

// An output that keeps the mix far ahead and takes back what it holds: each command goes back to
// the frame the output names and the mix is made again from there. Laid out by frame, as the
// output writes each stretch where it belongs, the mix must be sample for sample the one a mixer
// gives that had mixed only to that frame when the command came: every command of a song's life,
// at other speeds, with a stream that ends, and with the frames given back spanning several
// rewinds. Each branch's input is read exactly as far. A command placed before the one given just
// ahead of it (the frame heard is an estimate, and can step back) comes after it all the same.
TEST(Mixer, AMixTakenBackAndMadeAgainIsTheOneMadeAtTheCommand) {
    constexpr size_t kStep = 220, kAhead = 12 * kStep, kLength = 60 * kStep;
    struct Run {
        Mixer mixer{kRate};
        std::shared_ptr<Numbered> a = std::make_shared<Numbered>(1e-6f);
        std::shared_ptr<Numbered> b = std::make_shared<Numbered>(1e-3f, 7000);
        Mixer::Branch ia = mixer.add(a), ib = mixer.add(b);
        std::vector<float> laid = std::vector<float>(2 * (kLength + kAhead), 0.0f);
        int rewound = 0;
        // Mixes up to frame `to`, laying each stretch at its own frame.
        void pullTo(int64_t to) {
            std::vector<float> stretch(2 * kStep);
            while (mixer.frames() < to) {
                const auto first = static_cast<size_t>(mixer.mix(stretch.data(), kStep));
                std::copy(stretch.begin(), stretch.end(), laid.begin() + static_cast<std::ptrdiff_t>(2 * first));
            }
        }
    };
    Run plain, ahead;
    int64_t commandAt = 0;
    ahead.mixer.setRewind([&] { return commandAt; }, [&] { ++ahead.rewound; }, 100 * kStep);
    struct Command {
        size_t step;
        std::function<void(Run&)> apply;
        size_t placed = 0;  // where the output places it, when not at `step`
    };
    const std::vector<Command> script = {
        {2, [](Run& r) { r.mixer.start(r.ia, kFall); }},
        {6, [](Run& r) { r.mixer.setGain(r.ia, 0.5, 441); }},
        {7, [](Run& r) { r.mixer.setGain(r.ia, 0.25, 441); }},  // joins the ramp before it
        {9, [](Run& r) { r.mixer.start(r.ib, kFall); }},
        {12, [](Run& r) { r.mixer.setRate(r.ib, 1.5); }},
        {13, [](Run& r) { r.mixer.halt(r.ia, kFall); }},
        {13, [](Run& r) { r.mixer.setBalance(r.ib, 0.5f); }, 11},
        {20, [](Run& r) { r.mixer.start(r.ia, kFall); }},
        {24, [](Run& r) { r.mixer.setLoudness(r.ib, 0.5, 900); }},
        {30, [](Run& r) { r.mixer.setRate(r.ib, 1.0); }},
        {36, [](Run& r) { r.mixer.silence(r.ia); }},
        {40, [](Run& r) { r.mixer.start(r.ia, 0); }},
    };
    for (const auto& [step, apply, placed] : script) {
        const auto at = static_cast<int64_t>(step * kStep);
        commandAt = placed ? static_cast<int64_t>(placed * kStep) : at;
        plain.pullTo(at);
        ahead.pullTo(at + static_cast<int64_t>(kAhead));
        apply(plain);
        apply(ahead);
        ASSERT_EQ(ahead.mixer.frames(), at);
        ASSERT_EQ(ahead.mixer.takenTo(ahead.ia), plain.mixer.takenTo(plain.ia)) << step;
    }
    EXPECT_EQ(ahead.rewound, static_cast<int>(script.size()));
    plain.pullTo(kLength);
    ahead.pullTo(kLength);
    for (size_t i = 0; i < 2 * kLength; ++i) ASSERT_EQ(ahead.laid[i], plain.laid[i]) << "frame " << i / 2;
    for (auto* r : {&plain, &ahead})
        EXPECT_EQ(r->mixer.held(r->ia), 0) << "a stream read to its end gives nothing back";
    EXPECT_EQ(ahead.a->next() - static_cast<size_t>(ahead.mixer.held(ahead.ia)), plain.a->next());
    EXPECT_EQ(plain.b->next(), 7000u) << "the stream that ends is read to its end";

    // A seek drops what the branch holds; a later command goes back no further than the seek.
    ahead.pullTo(kLength + kAhead);
    commandAt = kLength;
    ahead.mixer.halt(ahead.ia, kFall);
    ahead.pullTo(ahead.mixer.frames() + kAhead);
    ahead.mixer.forget(ahead.ia);
    EXPECT_EQ(ahead.mixer.held(ahead.ia), 0);
    ahead.mixer.start(ahead.ia, kFall);
    EXPECT_EQ(ahead.mixer.frames(), static_cast<int64_t>(kLength + 3 * kStep)) << "the first step after the fall";
}

}  // namespace
}  // namespace velorra
