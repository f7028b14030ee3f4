#include "player/channel/gst/gst_mix_input.h"

#include <gst/app/gstappsink.h>
#include <gst/audio/audio.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace velorra {

namespace {

constexpr size_t kFrameBytes = 2 * sizeof(float);

}  // namespace

GstMixInput::GstMixInput(GstHandle<GstElement> appsink, GstClockTime wait, std::function<void()> onEnd)
    : appsink_(std::move(appsink)), wait_(wait), onEnd_(std::move(onEnd)) {
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = [](GstAppSink* sink, gpointer self) { return onSample(GST_ELEMENT(sink), self); };
    callbacks.eos = [](GstAppSink* sink, gpointer self) { onEos(GST_ELEMENT(sink), self); };
    gst_app_sink_set_callbacks(GST_APP_SINK(appsink_.get()), &callbacks, this, nullptr);
    const GstHandle<GstPad> pad(gst_element_get_static_pad(appsink_.get(), "sink"));
    flushProbe_ = gst_pad_add_probe(pad.get(),
                                    static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_EVENT_FLUSH | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                                    &GstMixInput::onFlush, this, nullptr);
}

GstMixInput::~GstMixInput() {
    GstAppSinkCallbacks none{};
    gst_app_sink_set_callbacks(GST_APP_SINK(appsink_.get()), &none, nullptr, nullptr);
    const GstHandle<GstPad> pad(gst_element_get_static_pad(appsink_.get(), "sink"));
    if (flushProbe_ != 0) gst_pad_remove_probe(pad.get(), flushProbe_);
    for (Slot& slot : slots_) clear(slot);
}

void GstMixInput::clear(Slot& slot) {
    if (slot.buffer) {
        gst_buffer_unmap(slot.buffer, &slot.map);
        gst_buffer_unref(slot.buffer);
    }
    if (slot.sample) gst_sample_unref(slot.sample);
    slot = Slot{};
}

int GstMixInput::rateOf(GstCaps* caps) {
    // The same caps come with every sample until the stream changes: they are read once.
    if (caps && caps == caps_.get()) return rate_;
    caps_.reset(caps ? gst_caps_ref(caps) : nullptr);
    GstAudioInfo info;
    rate_ = caps && gst_audio_info_from_caps(&info, caps) && GST_AUDIO_INFO_BPF(&info) == kFrameBytes
                ? GST_AUDIO_INFO_RATE(&info)
                : 0;
    return rate_;
}

void GstMixInput::wake() {
    room_.fetch_add(1);
    room_.notify_all();
    if (sleepers_.load() > 0) {
        const std::lock_guard hold(sleepLock_);
        sleep_.notify_all();
    }
}

void GstMixInput::close() {
    closed_ = true;
    wake();
}

GstFlowReturn GstMixInput::onSample(GstElement* appsink, gpointer self) {
    auto* input = static_cast<GstMixInput*>(self);
    if (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(appsink), 0)) input->handOver(sample);
    return input->closed_ ? GST_FLOW_FLUSHING : GST_FLOW_OK;
}

void GstMixInput::onEos(GstElement*, gpointer self) {
    auto* input = static_cast<GstMixInput*>(self);
    input->ended_ = true;
    input->wake();
}

GstPadProbeReturn GstMixInput::onFlush(GstPad*, GstPadProbeInfo* info, gpointer self) {
    auto* input = static_cast<GstMixInput*>(self);
    switch (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info))) {
    case GST_EVENT_FLUSH_START:
        input->flushing_ = true;
        input->wake();
        break;
    case GST_EVENT_FLUSH_STOP:
        // The streaming thread stands still until the flush is over: what it handed over before
        // is stale from here on.
        input->flushes_.fetch_add(1);
        input->ended_ = false;
        input->flushing_ = false;
        break;
    default:
        break;
    }
    return GST_PAD_PROBE_OK;
}

void GstMixInput::reclaim() {
    const uint32_t read = read_.load(std::memory_order_acquire);
    while (freed_ != read) clear(slots_[freed_++ % kSlots]);
}

void GstMixInput::handOver(GstSample* sample) {
    reclaim();
    Slot slot;
    slot.sample = sample;
    const GstSegment* segment = gst_sample_get_segment(sample);
    GstBuffer* whole = gst_sample_get_buffer(sample);
    slot.rate = rateOf(gst_sample_get_caps(sample));
    // The part of the buffer inside the segment: a seek lands inside a decoded frame.
    if (whole && segment && slot.rate > 0)
        slot.buffer = gst_audio_buffer_clip(gst_buffer_ref(whole), segment, slot.rate, kFrameBytes);
    if (!slot.buffer || !gst_buffer_map(slot.buffer, &slot.map, GST_MAP_READ)) {
        if (slot.buffer) gst_buffer_unref(slot.buffer);
        slot.buffer = nullptr;
        clear(slot);
        return;
    }
    slot.frames = slot.map.size / kFrameBytes;
    const GstClockTime pts = GST_BUFFER_PTS(slot.buffer);
    slot.start = GST_CLOCK_TIME_IS_VALID(pts) ? gst_segment_to_stream_time(segment, GST_FORMAT_TIME, pts)
                                              : GST_CLOCK_TIME_NONE;
    if (slot.frames == 0) {
        clear(slot);
        return;
    }

    // Waits while the input holds all the appsink may keep.
    const guint most = gst_app_sink_get_max_buffers(GST_APP_SINK(appsink_.get()));
    const uint32_t limit = most == 0 ? kSlots : std::min<uint32_t>(most, kSlots);
    for (;;) {
        const uint32_t room = room_.load();
        if (flushing_ || closed_) {
            clear(slot);
            return;
        }
        if (written_.load() - read_.load() < limit) break;
        room_.wait(room);
    }
    reclaim();
    slot.flush = flushes_.load();
    const uint32_t at = written_.load(std::memory_order_relaxed);
    slots_[at % kSlots] = slot;
    written_.store(at + 1, std::memory_order_release);
    if (sleepers_.load() > 0) {
        const std::lock_guard hold(sleepLock_);
        sleep_.notify_all();
    }
}

void GstMixInput::leaveSlot() {
    slotRead_ = 0;
    read_.fetch_add(1, std::memory_order_release);
    room_.fetch_add(1);
    room_.notify_one();
}

size_t GstMixInput::read(float* out, size_t frames) {
    // Held only by a seek, which the mix waits for anyway.
    const std::unique_lock hold(readLock_, std::try_to_lock);
    if (!hold.owns_lock() || seeking_) return 0;
    size_t given = 0;
    while (given < frames) {
        const bool ended = ended_.load();
        const uint32_t at = read_.load(std::memory_order_relaxed);
        if (at == written_.load(std::memory_order_acquire)) {
            if (ended) {
                // A pipeline that was never asked to play has not ended.
                if (flowing_ && !endTold_) {
                    endTold_ = true;
                    onEnd_();
                }
                break;
            }
            if (!flowing_ || wait_ == 0) break;
            // An output that is not real-time waits a while for the frames on their way.
            sleepers_.fetch_add(1);
            bool more = false;
            {
                std::unique_lock sleep(sleepLock_);
                more = sleep_.wait_for(sleep, std::chrono::nanoseconds(wait_), [&] {
                    return written_.load() != at || ended_.load() || flushing_.load() || closed_.load();
                });
            }
            sleepers_.fetch_sub(1);
            if (!more || flushing_ || closed_) break;
            continue;
        }
        const Slot& slot = slots_[at % kSlots];
        if (slot.flush != flushes_.load()) {
            leaveSlot();
            continue;
        }
        if (slotRead_ == 0)
            slotStart_ = GST_CLOCK_TIME_IS_VALID(slot.start) ? static_cast<double>(slot.start) / GST_SECOND : next_.load();
        const size_t n = std::min(frames - given, slot.frames - slotRead_);
        std::memcpy(out + 2 * given, slot.map.data + slotRead_ * kFrameBytes, n * kFrameBytes);
        slotRead_ += n;
        given += n;
        next_.store(slotStart_ + static_cast<double>(slotRead_) / slot.rate);
        if (slotRead_ == slot.frames) leaveSlot();
    }
    return given;
}

bool GstMixInput::seek(double seconds, const std::function<bool()>& seek) {
    {
        const std::lock_guard hold(readLock_);
        seeking_ = true;
    }
    // The flushing seek empties the pipeline before it returns; what was handed over before it is
    // stale, and what comes after is from the new position.
    const bool sought = seek();
    const std::lock_guard hold(readLock_);
    seeking_ = false;
    if (sought) {
        next_.store(seconds);
        start_.store(seconds);
        endTold_ = false;
    }
    return sought;
}

}  // namespace velorra
