#include "player/channel/gst/channel_filter.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <gst/audio/audio-format.h>
#include <gst/audio/gstaudiobasesink.h>
#include <gst/base/gstbasetransform.h>

namespace velorra {

namespace {

// audiopanorama's "simple" method: off centre it lowers one side and leaves the other.
constexpr gint kPanoramaSimple = 1;
// What an audio sink holds, in microseconds, and the steps it is filled in. The gain runs ahead
// of what is heard by what the sink holds, and a halt waits for its fall to be heard: 40 ms keeps
// a sound server fed on a busy machine and lets a fall be heard within a few hundredths of a
// second (GStreamer's default of 200 ms would make each halt wait, or click).
constexpr gint64 kSinkBufferUs = 40000;
constexpr gint64 kSinkPeriodUs = 10000;

void holdLittle(GstElement* element) {
    if (GST_IS_AUDIO_BASE_SINK(element))
        g_object_set(element, "buffer-time", kSinkBufferUs, "latency-time", kSinkPeriodUs, nullptr);
}

}  // namespace

double GainRamp::at(GstClockTime t) const {
    if (t <= points[0].time) return points[0].factor;
    for (size_t i = 1; i < count; ++i) {
        const Point &a = points[i - 1], &b = points[i];
        if (t < b.time)
            return a.factor + (b.factor - a.factor) * static_cast<double>(t - a.time) / static_cast<double>(b.time - a.time);
    }
    return last().factor;
}

void GainRamp::scale(float* samples, size_t frames, GstClockTime start, GstClockTime end) const {
    // Along a stretch the factor is a straight line in the frame's index: it is stepped, not
    // worked out afresh for every frame.
    const auto apply = [samples](size_t from, size_t to, double factor, double perFrame) {
        if (perFrame == 0.0) {
            const auto flat = static_cast<float>(factor);
            for (size_t i = 2 * from; i < 2 * to; ++i) samples[i] *= flat;
            return;
        }
        for (size_t i = from; i < to; ++i, factor += perFrame) {
            samples[2 * i] *= static_cast<float>(factor);
            samples[2 * i + 1] *= static_cast<float>(factor);
        }
    };
    if (end <= start || start >= last().time) {
        apply(0, frames, at(start), 0.0);
        return;
    }
    const double step = static_cast<double>(end - start) / static_cast<double>(frames);
    // The first frame at or after stream time `t`.
    const auto frameAt = [&](GstClockTime t) -> size_t {
        if (t <= start) return 0;
        return std::min(frames, static_cast<size_t>(std::ceil(static_cast<double>(t - start) / step)));
    };
    size_t from = frameAt(points[0].time);
    apply(0, from, points[0].factor, 0.0);
    for (size_t k = 1; k < count; ++k) {
        const Point &a = points[k - 1], &b = points[k];
        const size_t to = frameAt(b.time);
        if (to > from) {
            const double slope = (b.factor - a.factor) / static_cast<double>(b.time - a.time);
            const double t = static_cast<double>(start) + step * static_cast<double>(from);
            apply(from, to, a.factor + slope * (t - static_cast<double>(a.time)), slope * step);
            from = to;
        }
    }
    apply(from, frames, last().factor, 0.0);
}

std::unique_ptr<ChannelFilter> ChannelFilter::create(GstHandle<GstElement> sink) {
    GstHandle<GstElement> bin(GST_ELEMENT(gst_object_ref_sink(gst_bin_new(nullptr))));
    auto stereo = makeElement("capsfilter");
    auto panorama = makeElement("audiopanorama");
    auto toSink = makeElement("audioconvert");
    if (!stereo || !panorama || !toSink || !sink) return nullptr;

    GstCaps* caps = gst_caps_from_string("audio/x-raw, format=(string)" GST_AUDIO_NE(F32) ", channels=(int)2");
    g_object_set(stereo.get(), "caps", caps, nullptr);
    gst_caps_unref(caps);
    g_object_set(panorama.get(), "method", kPanoramaSimple, nullptr);
    gst_base_transform_set_passthrough(GST_BASE_TRANSFORM(panorama.get()), TRUE);

    // The sink may be a bin that makes the real one when it starts (autoaudiosink).
    holdLittle(sink.get());
    g_signal_connect(bin.get(), "deep-element-added",
                     G_CALLBACK(+[](GstBin*, GstBin*, GstElement* element, gpointer) { holdLittle(element); }), nullptr);
    gst_bin_add_many(GST_BIN(bin.get()), stereo.get(), panorama.get(), toSink.get(), sink.get(), nullptr);
    if (!gst_element_link_many(stereo.get(), panorama.get(), toSink.get(), sink.get(), nullptr)) return nullptr;
    const GstHandle<GstPad> in(gst_element_get_static_pad(stereo.get(), "sink"));
    gst_element_add_pad(bin.get(), gst_ghost_pad_new("sink", in.get()));
    return std::unique_ptr<ChannelFilter>(new ChannelFilter(std::move(bin), std::move(panorama), std::move(sink)));
}

// The gain takes the sound where the caps have made it float stereo, in front of the balance.
ChannelFilter::ChannelFilter(GstHandle<GstElement> bin, GstHandle<GstElement> panorama, GstHandle<GstElement> sink)
    : bin_(std::move(bin)),
      panorama_(std::move(panorama)),
      sink_(std::move(sink)),
      gainPad_(gst_element_get_static_pad(panorama_.get(), "sink")) {
    probe_ = gst_pad_add_probe(gainPad_.get(), GST_PAD_PROBE_TYPE_BUFFER, &ChannelFilter::onBuffer, this, nullptr);
}

ChannelFilter::~ChannelFilter() { gst_pad_remove_probe(gainPad_.get(), probe_); }

double ChannelFilter::gain() const {
    const std::lock_guard hold(lock_);
    return factor_;
}

void ChannelFilter::setGain(double factor, GstClockTime ramp) {
    const std::lock_guard hold(lock_);
    factor_ = factor;
    if (!sounding_) return;
    // A rise still to begin goes to the new factor.
    if (pending_ && pending_->rise)
        pending_->factor = factor;
    else
        pending_ = Pending{factor, ramp, false};
}

void ChannelFilter::rise(GstClockTime ramp) {
    const std::lock_guard hold(lock_);
    if (sounding_) return;
    sounding_ = true;
    pending_ = Pending{factor_, ramp, true};
}

GstClockTime ChannelFilter::fall(GstClockTime ramp) {
    const std::lock_guard hold(lock_);
    sounding_ = false;
    // A rise that never began leaves the gain silent already.
    if (pending_ && pending_->rise) {
        pending_.reset();
        return 0;
    }
    pending_ = Pending{0.0, ramp, true};
    return taken_.load() + ramp;
}

void ChannelFilter::silence() {
    const std::lock_guard hold(lock_);
    sounding_ = false;
    pending_.reset();
    ramp_ = GainRamp::flat(0.0);
}

void ChannelFilter::start(const Pending& pending, GstClockTime now) {
    // A change set while the ramp before it has less than its own length to go starts where that
    // one ends: a run of steps, each set about as the last one ends, joins into one unbroken line.
    const GainRamp::Point& end = ramp_.last();
    if (!pending.rise && end.time > now && end.time - now < pending.ramp)
        ramp_ = {{GainRamp::Point{now, ramp_.at(now)}, end, GainRamp::Point{end.time + pending.ramp, pending.factor}}, 3};
    else
        ramp_ = {{GainRamp::Point{now, ramp_.at(now)}, GainRamp::Point{now + pending.ramp, pending.factor}}, 2};
}

GstPadProbeReturn ChannelFilter::onBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
    auto* self = static_cast<ChannelFilter*>(data);
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    // Where the buffer lies in the stream. One outside the segment (sound before the point a seek
    // lands on, which the sink drops) or without a time takes the gain where it stands and leaves
    // a ramp still to begin for the next.
    GstClockTime start = GST_CLOCK_TIME_NONE, end = GST_CLOCK_TIME_NONE;
    if (GstEvent* event = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0)) {
        const GstSegment* segment = nullptr;
        gst_event_parse_segment(event, &segment);
        const GstClockTime pts = GST_BUFFER_PTS(buffer), duration = GST_BUFFER_DURATION(buffer);
        if (GST_CLOCK_TIME_IS_VALID(pts)) {
            start = end = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, pts);
            if (GST_CLOCK_TIME_IS_VALID(duration)) end = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, pts + duration);
            if (!GST_CLOCK_TIME_IS_VALID(end)) end = start;
        }
        gst_event_unref(event);
    }

    GainRamp ramp;
    {
        const std::lock_guard hold(self->lock_);
        if (GST_CLOCK_TIME_IS_VALID(start)) {
            self->taken_.store(end);
            // A ramp set since the last buffer begins with this one, from where the gain stands on
            // it (silence after a halt), so that it never jumps.
            if (const auto pending = std::exchange(self->pending_, std::nullopt)) self->start(*pending, start);
            // A ramp that is over leaves one factor, wherever the stream goes next.
            if (start >= self->ramp_.last().time) self->ramp_ = GainRamp::flat(self->ramp_.last().factor);
            ramp = self->ramp_;
        } else {
            start = end = self->taken_.load();
            ramp = GainRamp::flat(self->ramp_.at(start));
        }
    }
    if (ramp.unityFrom(start)) return GST_PAD_PROBE_OK;
    buffer = gst_buffer_make_writable(buffer);
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READWRITE)) return GST_PAD_PROBE_OK;
    ramp.scale(reinterpret_cast<float*>(map.data), map.size / (2 * sizeof(float)), start, end);
    gst_buffer_unmap(buffer, &map);
    return GST_PAD_PROBE_OK;
}

float ChannelFilter::balance() const {
    gfloat panorama = 0.0f;
    g_object_get(panorama_.get(), "panorama", &panorama, nullptr);
    return panorama;
}

void ChannelFilter::setBalance(float balance) {
    g_object_set(panorama_.get(), "panorama", balance, nullptr);
    // At centre the balance leaves the sound as it is.
    gst_base_transform_set_passthrough(GST_BASE_TRANSFORM(panorama_.get()), balance == 0.0f);
}

}  // namespace velorra
