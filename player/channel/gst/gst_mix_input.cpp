#include "player/channel/gst/gst_mix_input.h"

#include <gst/app/gstappsink.h>
#include <gst/audio/audio.h>

#include <algorithm>
#include <cstring>

namespace velorra {

namespace {

constexpr size_t kFrameBytes = 2 * sizeof(float);

}  // namespace

GstMixInput::GstMixInput(GstHandle<GstElement> appsink, GstClockTime wait, std::function<void()> onEnd)
    : appsink_(std::move(appsink)), wait_(wait), onEnd_(std::move(onEnd)) {}

GstMixInput::~GstMixInput() { release(); }

void GstMixInput::release() {
    if (held_.buffer) {
        gst_buffer_unmap(held_.buffer, &held_.map);
        gst_buffer_unref(held_.buffer);
    }
    if (held_.sample) gst_sample_unref(held_.sample);
    held_ = Held{};
}

bool GstMixInput::knowCaps(GstCaps* caps) {
    // The same caps come with every sample until the stream changes: they are read once.
    if (caps && caps == caps_.get()) return rate_ > 0;
    caps_.reset(caps ? gst_caps_ref(caps) : nullptr);
    GstAudioInfo info;
    rate_ = caps && gst_audio_info_from_caps(&info, caps) && GST_AUDIO_INFO_BPF(&info) == kFrameBytes
                ? GST_AUDIO_INFO_RATE(&info)
                : 0;
    return rate_ > 0;
}

bool GstMixInput::take() {
    release();
    auto* sink = GST_APP_SINK(appsink_.get());
    const GstClockTime wait = flowing_ ? wait_ : 0;
    while (GstSample* sample = gst_app_sink_try_pull_sample(sink, wait)) {
        held_.sample = sample;
        const GstSegment* segment = gst_sample_get_segment(sample);
        GstBuffer* whole = gst_sample_get_buffer(sample);
        if (!whole || !segment || !knowCaps(gst_sample_get_caps(sample))) {
            release();
            continue;
        }
        // The part of the buffer inside the segment: a seek lands inside a decoded frame.
        held_.buffer = gst_audio_buffer_clip(gst_buffer_ref(whole), segment, rate_, kFrameBytes);
        if (!held_.buffer || !gst_buffer_map(held_.buffer, &held_.map, GST_MAP_READ)) {
            if (held_.buffer) gst_buffer_unref(held_.buffer);
            held_.buffer = nullptr;
            release();
            continue;
        }
        held_.frames = held_.map.size / kFrameBytes;
        const GstClockTime pts = GST_BUFFER_PTS(held_.buffer);
        const GstClockTime at = GST_CLOCK_TIME_IS_VALID(pts) ? gst_segment_to_stream_time(segment, GST_FORMAT_TIME, pts)
                                                             : GST_CLOCK_TIME_NONE;
        held_.start = GST_CLOCK_TIME_IS_VALID(at) ? at : static_cast<GstClockTime>(next_.load() * GST_SECOND);
        return true;
    }
    // A sink that has not started yet says end of stream too.
    if (flowing_ && gst_app_sink_is_eos(sink) && !endTold_) {
        endTold_ = true;
        onEnd_();
    }
    return false;
}

size_t GstMixInput::read(float* out, size_t frames) {
    const std::lock_guard hold(lock_);
    if (seeking_) return 0;
    size_t given = 0;
    while (given < frames) {
        if (held_.read == held_.frames && !take()) break;
        const size_t n = std::min(frames - given, held_.frames - held_.read);
        std::memcpy(out + 2 * given, held_.map.data + held_.read * kFrameBytes, n * kFrameBytes);
        held_.read += n;
        given += n;
        next_.store(static_cast<double>(held_.start) / GST_SECOND + static_cast<double>(held_.read) / rate_);
    }
    return given;
}

bool GstMixInput::seek(double seconds, const std::function<bool()>& seek) {
    {
        const std::lock_guard hold(lock_);
        release();
        seeking_ = true;
    }
    // The flushing seek empties the appsink before it returns; what comes after is from the new
    // position.
    const bool sought = seek();
    const std::lock_guard hold(lock_);
    seeking_ = false;
    if (sought) {
        next_.store(seconds);
        start_.store(seconds);
        endTold_ = false;
    }
    return sought;
}

}  // namespace velorra
