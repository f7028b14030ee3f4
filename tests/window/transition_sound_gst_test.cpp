// A cross dissolve rendered to samples: two songs, a steady tone each (1 kHz, then 10 kHz), on
// real GStreamer pipelines, their mix pulled by hand in step with the manual loop's virtual clock
// (the mix advances exactly as far as the clock), so that the level of each song can be read from
// the mix 5 ms at a time and laid beside its fader curve.
#include "player/channel/gst/gst_media_service.h"
#include "player/window/frm_player.h"
#include "support/fake_silence_measurer.h"
#include "support/manual_loop.h"
#include "support/scripted_dialogs.h"
#include "support/song_rows.h"
#include "support/temp_dir.h"
#include "tools/media/wav_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace velorra {
namespace {

constexpr int kRate = GstMixOutput::kRate;
constexpr int kFrame = kRate / 200;  // 5 ms of sample frames

// The GStreamer service whose mix the test pulls up to the virtual clock.
class PulledMix {
public:
    explicit PulledMix(testing::ManualLoop& loop) : loop_(loop), gst_(loop, AudioOutput::Pulled) {}

    GstMediaService& service() { return gst_; }
    void pullToNow() {
        const auto due = static_cast<size_t>(loop_.nowMs() * kRate / 1000);
        std::vector<float> stretch;
        while (left_.size() < due) {
            const size_t n = std::min<size_t>(due - left_.size(), kRate / 100);
            stretch.resize(2 * n);
            gst_.mixer().mix(stretch.data(), n);
            for (size_t i = 0; i < n; ++i) left_.push_back(stretch[2 * i]);
        }
    }
    // The left channel of the mix, from its first frame.
    const std::vector<float>& left() const { return left_; }

private:
    testing::ManualLoop& loop_;
    GstMediaService gst_;
    std::vector<float> left_;
};

// The level of a tone of `hz` in each 5 ms frame from `from`, in decibels of full scale, read
// through a Hann window (a sine at full scale reads 0 dB), so that the other song's tone does not
// leak into it.
std::vector<double> frameLevels(const std::vector<float>& samples, size_t from, double hz) {
    std::vector<double> window(kFrame);
    double sum = 0;
    for (int i = 0; i < kFrame; ++i) sum += window[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * (i + 0.5) / kFrame);
    std::vector<double> levels;
    for (size_t at = from; at + kFrame <= samples.size(); at += kFrame) {
        std::complex<double> c;
        for (int i = 0; i < kFrame; ++i)
            c += window[i] * double(samples[at + i]) * std::polar(1.0, -2 * std::numbers::pi * hz * i / kRate);
        levels.push_back(20 * std::log10(std::max(2 * std::abs(c) / sum, 1e-15)));
    }
    return levels;
}

std::string tone(testing::TempDir& folder, const std::string& name, double hz, double seconds) {
    std::vector<int16_t> samples;
    for (int i = 0; i < static_cast<int>(seconds * kRate); ++i) {
        const auto v = static_cast<int16_t>(std::lround(32767 * std::sin(2 * std::numbers::pi * hz * i / kRate)));
        samples.push_back(v);
        samples.push_back(v);
    }
    const std::string path = folder.path(name);
    media::writeWav(path, samples, {kRate, 2});
    return path;
}

// The largest gap, in decibels, between measured levels and the fader curve F(t) (level
// -F²/100 dB), F moving one unit per `stepMs` from `fromFader` towards `toFader`. Each step's
// ramp reaches its fader one tick after the tick, so the measured sound trails the clock by a lag,
// found as the best fit below 250 ms; each frame may wander from that lag by a little (40 ms). Only the frames between the curve's ends (above the quietest fader's level) count.
double worstGapToCurve(const std::vector<double>& levels, double fromFader, double toFader, double stepMs) {
    const auto curve = [&](double ms) {
        const double steps = std::clamp(ms / stepMs, 0.0, std::abs(toFader - fromFader));
        const double f = fromFader + (toFader > fromFader ? steps : -steps);
        return -f * f / 100;
    };
    const auto counts = [&](size_t i, double lag) { return 5.0 * i >= lag && curve(5.0 * i - lag) >= -72 && levels[i] >= -72; };
    double bestLag = 0, bestSum = INFINITY;
    for (double lag = 0; lag < 250; lag += 1) {
        double sum = 0;
        int n = 0;
        for (size_t i = 0; i < levels.size(); ++i)
            if (counts(i, lag)) {
                sum += std::pow(levels[i] - curve(5.0 * i + 2.5 - lag), 2);
                ++n;
            }
        if (n > 0 && sum / n < bestSum) {
            bestSum = sum / n;
            bestLag = lag;
        }
    }
    double worst = 0;
    for (size_t i = 0; i < levels.size(); ++i) {
        if (!counts(i, bestLag)) continue;
        double gap = INFINITY;
        for (double wander = -40; wander <= 40; wander += 1)
            gap = std::min(gap, std::abs(levels[i] - curve(5.0 * i + 2.5 - bestLag - wander)));
        worst = std::max(worst, gap);
    }
    return worst;
}

// The largest change of level from one 5 ms frame to the next while both are audible.
double largestStep(const std::vector<double>& levels) {
    double largest = 0;
    for (size_t i = 1; i < levels.size(); ++i)
        if (levels[i] > -72 && levels[i - 1] > -72) largest = std::max(largest, std::abs(levels[i] - levels[i - 1]));
    return largest;
}

TEST(TransitionSound, ACrossDissolveGlidesAlongTheFaderCurveOnBothChannels) {
    testing::TempDir folder("velorra-transition-sound");
    const std::string first = tone(folder, "first.wav", 1000, 20);
    const std::string second = tone(folder, "second.wav", 10000, 20);

    testing::ManualLoop loop;
    PulledMix mix(loop);
    testing::MemorySettings settings;
    settings.values["Velorra/Transitions/TransitionTime"] = "1";
    settings.values["Velorra/BasicAudio/Volume"] = "85";
    testing::ScriptedDialogs dialogs;
    testing::RecordedMessages messages;
    testing::RecordedLinks links;
    testing::FakeSilenceMeasurer silence{loop};
    frmPlayer player{{loop, mix.service(), settings, dialogs, messages, links, silence}, ""};
    player.show();
    for (const std::string& path : {first, second}) {
        testing::addSongRow(player.lstClipList, path);
    }
    const auto run = [&](int ms) {
        for (int i = 0; i < ms; ++i) {
            loop.advance(1);
            mix.pullToNow();
        }
    };

    player.btnPlay.click();
    run(1500);
    ASSERT_FALSE(player.playback.tmrTransition.Enabled());
    // An 8 s cross dissolve: 85 steps of 94 ms.
    player.spinTransitionTime.setValue(8);
    const size_t from = mix.left().size();
    player.btnNext.click();
    ASSERT_EQ(player.playback.tmrTransition.Interval(), 94);
    run(8200);
    ASSERT_FALSE(player.playback.tmrTransition.Enabled());

    const auto outgoing = frameLevels(mix.left(), from, 1000);
    const auto incoming = frameLevels(mix.left(), from, 10000);
    ASSERT_GT(outgoing.size(), 1500u);
    EXPECT_LT(worstGapToCurve(outgoing, 0, 85, 94), 1.0);
    EXPECT_LT(worstGapToCurve(incoming, 85, 0, 94), 1.0);
    EXPECT_LE(largestStep(outgoing), 0.4);
    EXPECT_LE(largestStep(incoming), 0.4);
    // The incoming song ends at full level; the outgoing one stops on its way down to the
    // quietest fader's level (-72.25 dB), the last step's ramp still under way, and is silent.
    EXPECT_NEAR(incoming.back(), 0.0, 0.1);
    EXPECT_LT(outgoing.back(), -100.0);
    // Once its 10 ms rise is over, the incoming song is heard at the quietest fader's level, not
    // rounded to silence.
    const auto heard = std::find_if(incoming.begin(), incoming.end(), [](double l) { return l > -100; });
    ASSERT_LT(std::distance(incoming.begin(), heard), 40);
    EXPECT_NEAR(*(heard + 3), -72.25, 0.1);
}

}  // namespace
}  // namespace velorra
