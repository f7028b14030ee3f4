// A channel's input to the mixer on real GStreamer: a steady tone, or sound pushed by hand with
// the times and segment a seek leaves, into the appsink the input reads, mixed by hand so that what
// the gain does to each sample can be read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "player/channel/gst/gst_mix_input.h"
#include "player/channel/mix/mixer.h"

#include <gst/audio/audio-format.h>

namespace velorra {
namespace {

constexpr int kRate = 44100;
constexpr int kPerMs = kRate / 1000;
constexpr int64_t kFall = 10 * kPerMs;

const char* const kFloatStereo = "audio/x-raw, format=(string)" GST_AUDIO_NE(F32) ", layout=interleaved, rate=44100, channels=2";

// The left channel of the next `ms` milliseconds of the mix, in stretches of 10 ms.
std::vector<float> mixLeft(Mixer& mixer, int ms) {
    std::vector<float> out(2 * static_cast<size_t>(ms * kPerMs)), left;
    for (size_t at = 0; at < out.size() / 2; at += 10 * kPerMs) mixer.mix(out.data() + 2 * at, 10 * kPerMs);
    for (size_t i = 0; i < out.size(); i += 2) left.push_back(out[i]);
    return left;
}

// The loudest sample of each millisecond.
std::vector<float> peaksPerMs(const std::vector<float>& samples) {
    std::vector<float> peaks;
    for (size_t at = 0; at + kPerMs <= samples.size(); at += kPerMs) {
        float peak = 0;
        for (size_t i = at; i < at + kPerMs; ++i) peak = std::max(peak, std::abs(samples[i]));
        peaks.push_back(peak);
    }
    return peaks;
}

// How many milliseconds lie between the sound's last one at full level and its first silent one.
int fallMs(const std::vector<float>& peaks) {
    const auto silent = std::find_if(peaks.begin(), peaks.end(), [](float p) { return p < 0.001f; });
    const auto lastFull = std::find_if(std::make_reverse_iterator(silent), peaks.rend(), [](float p) { return p > 0.49f; });
    return static_cast<int>(std::distance(lastFull.base(), silent));
}

GstHandle<GstElement> floatAppsink() {
    auto sink = makeElement("appsink");
    GstCaps* caps = gst_caps_from_string(kFloatStereo);
    g_object_set(sink.get(), "sync", FALSE, "caps", caps, nullptr);
    gst_caps_unref(caps);
    return sink;
}

// audiotestsrc's sine at half scale in 16-bit sound, converted to the mix's format into an
// appsink read by an input of a mixer.
class TonePipeline {
public:
    TonePipeline() {
        gst_init(nullptr, nullptr);
        pipeline_.reset(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr))));
        auto source = makeElement("audiotestsrc");
        auto format = makeElement("capsfilter");
        auto convert = makeElement("audioconvert");
        auto sink = floatAppsink();
        g_object_set(source.get(), "freq", 1000.0, "volume", 0.5, "samplesperbuffer", 10 * kPerMs, nullptr);
        GstCaps* caps = gst_caps_from_string("audio/x-raw, format=S16LE, rate=44100, channels=2");
        g_object_set(format.get(), "caps", caps, nullptr);
        gst_caps_unref(caps);
        g_object_set(sink.get(), "max-buffers", 4u, nullptr);
        gst_bin_add_many(GST_BIN(pipeline_.get()), source.get(), format.get(), convert.get(), sink.get(), nullptr);
        gst_element_link_many(source.get(), format.get(), convert.get(), sink.get(), nullptr);
        input_ = std::make_shared<GstMixInput>(std::move(sink), GST_SECOND, [] {});
        input_->setFlowing(true);
        branch_ = mixer_.add(input_);
        gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
        gst_element_get_state(pipeline_.get(), nullptr, nullptr, 5 * GST_SECOND);
    }
    ~TonePipeline() {
        input_->close();
        gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    }

    Mixer mixer_{kRate};
    Mixer::Branch branch_;

private:
    GstHandle<GstElement> pipeline_;
    std::shared_ptr<GstMixInput> input_;
};

TEST(MixInputGst, AHaltFromUnityFallsOverItsRampAndTheNextStartRises) {
    TonePipeline tone;
    Mixer& mixer = tone.mixer_;
    mixer.start(tone.branch_, kFall);
    // Unity reached and the ramp over: the tone at its own level.
    const auto risen = peaksPerMs(mixLeft(mixer, 100));
    ASSERT_NEAR(risen.back(), 0.5f, 0.01f);

    mixer.halt(tone.branch_, kFall);
    const auto fall = peaksPerMs(mixLeft(mixer, 60));
    ASSERT_LT(fall.back(), 0.001f);
    // Ten milliseconds from full level to silence, passing through the levels between: no sample
    // of the tone is cut off where it stands.
    EXPECT_GE(fallMs(fall), 8);
    EXPECT_LE(fallMs(fall), 11);

    mixer.start(tone.branch_, kFall);
    const auto rise = peaksPerMs(mixLeft(mixer, 60));
    EXPECT_GT(rise[0], 0.001f);
    const auto full = std::find_if(rise.begin(), rise.end(), [](float p) { return p > 0.49f; });
    ASSERT_NE(full, rise.end());
    EXPECT_GE(std::distance(rise.begin(), full), 8);
}

// Sound pushed by hand into an appsink, so that the test sets each buffer's time and the segment
// it lies in, as a seek that lands inside a decoded frame leaves them.
class HandFed {
public:
    HandFed() {
        gst_init(nullptr, nullptr);
        pipeline_.reset(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr))));
        auto sink = floatAppsink();
        gst_bin_add(GST_BIN(pipeline_.get()), sink.get());
        src_.reset(GST_PAD(gst_object_ref_sink(gst_pad_new("src", GST_PAD_SRC))));
        const GstHandle<GstPad> in(gst_element_get_static_pad(sink.get(), "sink"));
        gst_pad_link(src_.get(), in.get());
        input_ = std::make_shared<GstMixInput>(std::move(sink), 0, [] {});
        branch_ = mixer_.add(input_);
        gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
        gst_pad_set_active(src_.get(), TRUE);
        gst_pad_push_event(src_.get(), gst_event_new_stream_start("hand-fed"));
        GstCaps* caps = gst_caps_from_string(kFloatStereo);
        gst_pad_push_event(src_.get(), gst_event_new_caps(caps));
        gst_caps_unref(caps);
    }
    ~HandFed() {
        input_->close();
        gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    }

    void segmentFrom(GstClockTime start) {
        GstSegment segment;
        gst_segment_init(&segment, GST_FORMAT_TIME);
        segment.start = segment.time = segment.position = start;
        gst_pad_push_event(src_.get(), gst_event_new_segment(&segment));
    }
    // What a flushing seek sends through the pipeline before the sound from where it lands.
    void flush() {
        gst_pad_push_event(src_.get(), gst_event_new_flush_start());
        gst_pad_push_event(src_.get(), gst_event_new_flush_stop(TRUE));
    }
    // `ms` milliseconds of stereo sound at `level` from `at`.
    void push(GstClockTime at, int ms, float level = 0.5f) {
        const size_t samples = 2 * static_cast<size_t>(ms * kPerMs);
        GstBuffer* buffer = gst_buffer_new_allocate(nullptr, samples * sizeof(float), nullptr);
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_WRITE);
        std::fill_n(reinterpret_cast<float*>(map.data), samples, level);
        gst_buffer_unmap(buffer, &map);
        GST_BUFFER_PTS(buffer) = at;
        GST_BUFFER_DURATION(buffer) = ms * GST_MSECOND;
        gst_pad_push(src_.get(), buffer);
    }

    Mixer mixer_{kRate};
    Mixer::Branch branch_;
    std::shared_ptr<GstMixInput> input_;

private:
    GstHandle<GstElement> pipeline_;
    GstHandle<GstPad> src_;
};

TEST(MixInputGst, ARiseAfterASeekBeginsWithTheFirstSoundWhereItLands) {
    HandFed feed;
    // Sound decoded before the seek and not yet mixed when it flushes is never heard.
    feed.segmentFrom(0);
    for (int i = 0; i < 3; ++i) feed.push(i * 10 * GST_MSECOND, 10, 0.25f);
    feed.flush();
    feed.segmentFrom(GST_SECOND);
    feed.mixer_.start(feed.branch_, kFall);
    // The decoder's frames before the landing point, and the one that holds it, which starts
    // 10 ms before it: the first sound of the song from there is the second half of that one.
    feed.push(GST_SECOND - 30 * GST_MSECOND, 10);
    feed.push(GST_SECOND - 10 * GST_MSECOND, 20);
    for (int i = 1; i < 4; ++i) feed.push(GST_SECOND + i * 10 * GST_MSECOND, 10);
    const auto peaks = peaksPerMs(mixLeft(feed.mixer_, 50));
    // The rise begins with the first sound heard, not earlier: no jump to full level.
    EXPECT_LT(peaks[0], 0.06f);
    const auto full = std::find_if(peaks.begin(), peaks.end(), [](float p) { return p > 0.49f; });
    ASSERT_NE(full, peaks.end());
    EXPECT_GE(std::distance(peaks.begin(), full), 8);
    // 40 ms of sound lie in the segment, and the input knows where it stands in the file (to a
    // frame or two: the buffers of 10 ms hold 440 frames here).
    EXPECT_GT(peaks[39], 0.49f);
    EXPECT_EQ(std::count_if(peaks.begin() + 10, peaks.end(), [](float p) { return p > 0.01f && p < 0.49f; }), 0);
    EXPECT_EQ(peaks[40], 0.0f);
    EXPECT_NEAR(feed.input_->nextSeconds(), 1.040, 1e-4);
}

}  // namespace
}  // namespace velorra
