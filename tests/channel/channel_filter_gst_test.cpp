// The channel filter on real GStreamer: a steady tone through the filter into an appsink, pulled
// buffer by buffer, so that what the gain does to each sample can be read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "player/channel/gst/channel_filter.h"

#include <gst/audio/audio-format.h>

namespace velorra {
namespace {

constexpr int kRate = 44100;
constexpr int kPerMs = kRate / 1000;

// Appends the left channel of the appsink's next buffer; false when none comes within `wait`.
bool pullLeft(GstElement* sink, GstClockTime wait, std::vector<float>& left) {
    GstSample* sample = nullptr;
    g_signal_emit_by_name(sink, "try-pull-sample", wait, &sample);
    if (!sample) return false;
    GstMapInfo map;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    gst_buffer_map(buffer, &map, GST_MAP_READ);
    const auto* data = reinterpret_cast<const float*>(map.data);
    for (size_t i = 0; i + 1 < map.size / sizeof(float); i += 2) left.push_back(data[i]);
    gst_buffer_unmap(buffer, &map);
    gst_sample_unref(sample);
    return true;
}

// audiotestsrc's sine at half scale in 16-bit sound, 10 ms buffers, converted as playbin does
// into the filter and an appsink that holds one buffer, so that the gain takes each buffer about
// when the test pulls the one before.
class TonePipeline {
public:
    TonePipeline() {
        gst_init(nullptr, nullptr);
        pipeline_.reset(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr))));
        auto source = makeElement("audiotestsrc");
        auto format = makeElement("capsfilter");
        auto convert = makeElement("audioconvert");
        auto sink = makeElement("appsink");
        g_object_set(source.get(), "freq", 1000.0, "volume", 0.5, "samplesperbuffer", 10 * kPerMs, nullptr);
        GstCaps* caps = gst_caps_from_string("audio/x-raw, format=S16LE, rate=44100, channels=2");
        g_object_set(format.get(), "caps", caps, nullptr);
        gst_caps_unref(caps);
        g_object_set(sink.get(), "sync", FALSE, "max-buffers", 1u, nullptr);
        sink_.reset(GST_ELEMENT(gst_object_ref(sink.get())));
        filter_ = ChannelFilter::create(std::move(sink));
        gst_bin_add_many(GST_BIN(pipeline_.get()), source.get(), format.get(), convert.get(), filter_->bin(), nullptr);
        gst_element_link_many(source.get(), format.get(), convert.get(), filter_->bin(), nullptr);
        gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
    }
    ~TonePipeline() { gst_element_set_state(pipeline_.get(), GST_STATE_NULL); }

    ChannelFilter& filter() { return *filter_; }

    // The left channel of the next `ms` milliseconds of sound.
    std::vector<float> pull(int ms) {
        std::vector<float> left;
        while (static_cast<int>(left.size()) < ms * kPerMs && pullLeft(sink_.get(), 2 * GST_SECOND, left)) {
        }
        return left;
    }

private:
    GstHandle<GstElement> pipeline_;
    GstHandle<GstElement> sink_;
    std::unique_ptr<ChannelFilter> filter_;
};

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

// The gain steps along each stretch of the ramp instead of working each frame out afresh; every
// frame must still take the factor of its own time: before the first point, on both stretches
// (one rising, one falling), after the last, and from a buffer that begins inside a stretch.
TEST(GainRamp, EachFrameOfABufferTakesTheFactorOfItsOwnTime) {
    GainRamp ramp;
    ramp.points = {GainRamp::Point{2 * GST_MSECOND, 0.2}, GainRamp::Point{5 * GST_MSECOND, 1.0},
                   GainRamp::Point{7 * GST_MSECOND, 0.5}};
    ramp.count = 3;
    for (const auto& [start, end] : {std::pair<GstClockTime, GstClockTime>{0, 10 * GST_MSECOND},
                                     {3 * GST_MSECOND + 123, 8 * GST_MSECOND}}) {
        const size_t frames = (end - start) * kRate / GST_SECOND;
        std::vector<float> samples(2 * frames, 1.0f);
        ramp.scale(samples.data(), frames, start, end);
        for (size_t i = 0; i < frames; ++i) {
            const double t = static_cast<double>(start) + static_cast<double>(end - start) * i / frames;
            ASSERT_NEAR(samples[2 * i], ramp.at(static_cast<GstClockTime>(t)), 1e-5) << "frame " << i;
            ASSERT_EQ(samples[2 * i + 1], samples[2 * i]);
        }
    }
}

TEST(ChannelFilterGst, AHaltFromUnityFallsOverItsRampAndTheNextStartRises) {
    TonePipeline tone;
    ChannelFilter& filter = tone.filter();
    filter.setGain(1.0, 0);
    filter.rise(10 * GST_MSECOND);
    // Unity reached and the ramp over: the gain passes the sound through untouched.
    const auto risen = peaksPerMs(tone.pull(100));
    ASSERT_FALSE(risen.empty());
    ASSERT_NEAR(risen.back(), 0.5f, 0.01f);

    filter.fall(10 * GST_MSECOND);
    const auto fall = peaksPerMs(tone.pull(60));
    ASSERT_FALSE(fall.empty());
    ASSERT_LT(fall.back(), 0.001f);
    // Ten milliseconds from full level to silence, passing through the levels between: no sample
    // of the tone is cut off where it stands.
    EXPECT_GE(fallMs(fall), 8);
    EXPECT_LE(fallMs(fall), 12);

    filter.silence();
    tone.pull(20);
    filter.rise(10 * GST_MSECOND);
    const auto rise = peaksPerMs(tone.pull(60));
    const auto firstSound = std::find_if(rise.begin(), rise.end(), [](float p) { return p > 0.001f; });
    const auto full = std::find_if(firstSound, rise.end(), [](float p) { return p > 0.49f; });
    ASSERT_NE(full, rise.end());
    EXPECT_GE(std::distance(firstSound, full), 8);
}

// Sound pushed by hand into the filter and an appsink, so that the test sets each buffer's time
// and the segment it lies in, as a seek that lands inside a decoded frame leaves them.
class HandFed {
public:
    HandFed() {
        gst_init(nullptr, nullptr);
        pipeline_.reset(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr))));
        auto sink = makeElement("appsink");
        g_object_set(sink.get(), "sync", FALSE, nullptr);
        sink_.reset(GST_ELEMENT(gst_object_ref(sink.get())));
        filter_ = ChannelFilter::create(std::move(sink));
        gst_bin_add(GST_BIN(pipeline_.get()), filter_->bin());
        gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
        src_.reset(GST_PAD(gst_object_ref_sink(gst_pad_new("src", GST_PAD_SRC))));
        const GstHandle<GstPad> in(gst_element_get_static_pad(filter_->bin(), "sink"));
        gst_pad_link(src_.get(), in.get());
        gst_pad_set_active(src_.get(), TRUE);
        gst_pad_push_event(src_.get(), gst_event_new_stream_start("hand-fed"));
        GstCaps* caps = gst_caps_from_string("audio/x-raw, format=(string)" GST_AUDIO_NE(F32)
                                             ", layout=interleaved, rate=44100, channels=2");
        gst_pad_push_event(src_.get(), gst_event_new_caps(caps));
        gst_caps_unref(caps);
    }
    ~HandFed() { gst_element_set_state(pipeline_.get(), GST_STATE_NULL); }

    ChannelFilter& filter() { return *filter_; }
    void segmentFrom(GstClockTime start) {
        GstSegment segment;
        gst_segment_init(&segment, GST_FORMAT_TIME);
        segment.start = segment.time = segment.position = start;
        gst_pad_push_event(src_.get(), gst_event_new_segment(&segment));
    }
    // Ten milliseconds of stereo sound at half scale from `at`.
    void push10Ms(GstClockTime at) {
        GstBuffer* buffer = gst_buffer_new_allocate(nullptr, 10 * kPerMs * 2 * sizeof(float), nullptr);
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_WRITE);
        std::fill_n(reinterpret_cast<float*>(map.data), 10 * kPerMs * 2, 0.5f);
        gst_buffer_unmap(buffer, &map);
        GST_BUFFER_PTS(buffer) = at;
        GST_BUFFER_DURATION(buffer) = 10 * GST_MSECOND;
        gst_pad_push(src_.get(), buffer);
    }
    // The left channel of all the sound the sink has kept.
    std::vector<float> heard() {
        std::vector<float> left;
        while (pullLeft(sink_.get(), 0, left)) {
        }
        return left;
    }

private:
    GstHandle<GstElement> pipeline_;
    GstHandle<GstElement> sink_;
    GstHandle<GstPad> src_;
    std::unique_ptr<ChannelFilter> filter_;
};

TEST(ChannelFilterGst, ARiseAfterASeekBeginsWithTheFirstSoundWhereItLands) {
    HandFed feed;
    feed.segmentFrom(GST_SECOND);
    feed.filter().setGain(1.0, 0);
    feed.filter().rise(10 * GST_MSECOND);
    // The decoder's frame that holds the landing point starts before it; the sink drops that part.
    feed.push10Ms(GST_SECOND - 10 * GST_MSECOND);
    for (int i = 0; i < 3; ++i) feed.push10Ms(GST_SECOND + i * 10 * GST_MSECOND);
    const auto peaks = peaksPerMs(feed.heard());
    ASSERT_EQ(peaks.size(), 30u);
    // The rise begins with the first sound heard, not earlier: no jump to full level.
    EXPECT_LT(peaks[0], 0.06f);
    const auto full = std::find_if(peaks.begin(), peaks.end(), [](float p) { return p > 0.49f; });
    ASSERT_NE(full, peaks.end());
    EXPECT_GE(std::distance(peaks.begin(), full), 8);
}

}  // namespace
}  // namespace velorra
