// A cross dissolve rendered to samples: two songs of a steady tone on real GStreamer graphs, each
// channel's sound pulled from an appsink in step with the manual loop's virtual clock (the stream
// advances exactly as far as the clock), so the level of each channel can be read 5 ms at a time
// and laid beside its fader curve.
#include "player/channel/gst/gst_media_service.h"
#include "player/window/frm_player.h"
#include "support/forwarding_graph.h"
#include "support/fake_silence_measurer.h"
#include "support/manual_loop.h"
#include "support/scripted_dialogs.h"
#include "support/song_rows.h"
#include "support/temp_dir.h"
#include "tools/media/wav_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace velorra {
namespace {

constexpr int kRate = 44100;
constexpr int kFrame = kRate / 200;  // 5 ms of sample frames

// The GStreamer service with an appsink for each graph. A running graph's samples are pulled
// until they cover the time it has run on the virtual clock.
class SampledGst : public MediaService {
public:
    struct Channel {
        std::string file;
        GstHandle<GstElement> sink;
        std::vector<float> left;  // the left channel's samples, in stream order
        bool running = false;
        int64_t runFromMs = 0;  // virtual time at which `left` had runFromSamples
        size_t runFromSamples = 0;
    };

    class Graph : public testing::ForwardingGraph<GstMediaGraph> {
    public:
        Graph(std::unique_ptr<GstMediaGraph> inner, Channel& channel, const testing::ManualLoop& loop)
            : ForwardingGraph(std::move(inner)), channel_(channel), loop_(loop) {}
        bool render(const std::string& path) override {
            channel_.file = path;
            return inner_->render(path);
        }
        bool run() override {
            if (!channel_.running) {
                channel_.running = true;
                channel_.runFromMs = loop_.nowMs();
                channel_.runFromSamples = channel_.left.size();
            }
            return inner_->run();
        }
        bool pause() override {
            channel_.running = false;
            return inner_->pause();
        }
        bool stop() override {
            channel_.running = false;
            return inner_->stop();
        }

    private:
        Channel& channel_;
        const testing::ManualLoop& loop_;
    };

    explicit SampledGst(testing::ManualLoop& loop) : loop_(loop), gst_(loop, AudioOutput::SilentFast) {
        gst_init(nullptr, nullptr);
    }

    std::unique_ptr<MediaGraph> createGraph(const std::string&) override {
        // Like a sound server, the sink takes 16-bit sound first and float as well.
        auto sink = makeElement("appsink");
        GstCaps* caps =
            gst_caps_from_string("audio/x-raw, format={ S16LE, F32LE }, layout=interleaved, channels=2, rate=44100");
        g_object_set(sink.get(), "sync", FALSE, "max-buffers", 1u, "caps", caps, nullptr);
        gst_caps_unref(caps);
        auto& channel = *channels_.emplace_back(std::make_unique<Channel>());
        channel.sink.reset(GST_ELEMENT(gst_object_ref(sink.get())));
        auto inner = gst_.createGraphTo(std::move(sink));
        if (!inner) return nullptr;
        return std::make_unique<Graph>(std::move(inner), channel, loop_);
    }
    std::vector<std::string> outputDevices() override { return {}; }
    std::optional<double> probeDuration(const std::string& path) override { return gst_.probeDuration(path); }

    // Pulls each running channel's sound up to the virtual clock.
    void pullToNow() {
        for (auto& c : channels_) {
            if (!c->running) continue;
            const size_t due = c->runFromSamples + static_cast<size_t>((loop_.nowMs() - c->runFromMs) * kRate / 1000);
            while (c->left.size() < due) {
                GstSample* sample = nullptr;
                g_signal_emit_by_name(c->sink.get(), "try-pull-sample", 2 * GST_SECOND, &sample);
                if (!sample) break;
                GstMapInfo map;
                GstBuffer* buffer = gst_sample_get_buffer(sample);
                gst_buffer_map(buffer, &map, GST_MAP_READ);
                const gchar* format =
                    gst_structure_get_string(gst_caps_get_structure(gst_sample_get_caps(sample), 0), "format");
                if (g_strcmp0(format, "S16LE") == 0) {
                    const auto* data = reinterpret_cast<const int16_t*>(map.data);
                    for (size_t i = 0; i + 1 < map.size / sizeof(int16_t); i += 2) c->left.push_back(data[i] / 32768.0f);
                } else {
                    const auto* data = reinterpret_cast<const float*>(map.data);
                    for (size_t i = 0; i + 1 < map.size / sizeof(float); i += 2) c->left.push_back(data[i]);
                }
                gst_buffer_unmap(buffer, &map);
                gst_sample_unref(sample);
            }
        }
    }

    const Channel& channel(const std::string& file) const {
        for (const auto& c : channels_)
            if (c->file == file) return *c;
        throw std::logic_error("no channel for " + file);
    }

private:
    testing::ManualLoop& loop_;
    GstMediaService gst_;
    std::vector<std::unique_ptr<Channel>> channels_;
};

// The level of each 5 ms frame in decibels of full scale, from the frame's RMS (a sine at full
// scale reads 0 dB).
std::vector<double> frameLevels(const std::vector<float>& samples, size_t from) {
    std::vector<double> levels;
    for (size_t at = from; at + kFrame <= samples.size(); at += kFrame) {
        double power = 0;
        for (size_t i = at; i < at + kFrame; ++i) power += double(samples[i]) * samples[i];
        levels.push_back(10 * std::log10(std::max(2 * power / kFrame, 1e-30)));
    }
    return levels;
}

std::string tone(testing::TempDir& folder, const std::string& name, double seconds) {
    std::vector<int16_t> samples;
    for (int i = 0; i < static_cast<int>(seconds * kRate); ++i) {
        const auto v = static_cast<int16_t>(std::lround(32767 * std::sin(2 * std::numbers::pi * 1000.0 * i / kRate)));
        samples.push_back(v);
        samples.push_back(v);
    }
    const std::string path = folder.path(name);
    media::writeWav(path, samples, {kRate, 2});
    return path;
}

// The largest gap, in decibels, between measured levels and the fader curve F(t) (level
// -F²/100 dB), F moving one unit per `stepMs` from `fromFader` towards `toFader`. Each step's
// ramp reaches its fader one tick after the tick, and the sink holds a few buffers of sound, so
// the measured sound trails the clock by a lag, found as the best fit below 250 ms; as a ramp
// starts at the buffer the gain takes next, each frame may wander from that lag by one buffer
// (40 ms). Only the frames between the curve's ends (above the quietest fader's level) count.
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
    const std::string first = tone(folder, "first.wav", 20);
    const std::string second = tone(folder, "second.wav", 20);

    testing::ManualLoop loop;
    SampledGst gst(loop);
    testing::MemorySettings settings;
    settings.values["Velorra/Transitions/TransitionTime"] = "1";
    settings.values["Velorra/BasicAudio/Volume"] = "85";
    testing::ScriptedDialogs dialogs;
    testing::RecordedMessages messages;
    testing::RecordedLinks links;
    testing::FakeSilenceMeasurer silence{loop};
    frmPlayer player{{loop, gst, settings, dialogs, messages, links, silence}, ""};
    player.show();
    for (const std::string& path : {first, second}) {
        testing::addSongRow(player.lstClipList, path);
    }
    const auto run = [&](int ms) {
        for (int i = 0; i < ms; ++i) {
            loop.advance(1);
            gst.pullToNow();
        }
    };

    player.btnPlay.click();
    run(1500);
    ASSERT_FALSE(player.playback.tmrTransition.Enabled());
    // An 8 s cross dissolve: 85 steps of 94 ms.
    player.spinTransitionTime.setValue(8);
    const size_t outgoingFrom = gst.channel(first).left.size();
    player.btnNext.click();
    ASSERT_EQ(player.playback.tmrTransition.Interval(), 94);
    run(8200);
    ASSERT_FALSE(player.playback.tmrTransition.Enabled());

    const auto outgoing = frameLevels(gst.channel(first).left, outgoingFrom);
    const auto incoming = frameLevels(gst.channel(second).left, 0);
    ASSERT_GT(outgoing.size(), 1500u);
    ASSERT_GT(incoming.size(), 1500u);
    EXPECT_LT(worstGapToCurve(outgoing, 0, 85, 94), 1.0);
    EXPECT_LT(worstGapToCurve(incoming, 85, 0, 94), 1.0);
    EXPECT_LE(largestStep(outgoing), 0.4);
    EXPECT_LE(largestStep(incoming), 0.4);
    // The incoming song ends at full level; the outgoing one stops on its way down to the
    // quietest fader's level (-72.25 dB), the last step's ramp still under way.
    EXPECT_NEAR(incoming.back(), 0.0, 0.1);
    EXPECT_LT(outgoing.back(), -68.0);
    // Once its 10 ms rise is over, the incoming song is heard at the quietest fader's level, not
    // rounded to silence.
    EXPECT_NEAR(incoming[3], -72.25, 0.1);
}

}  // namespace
}  // namespace velorra
