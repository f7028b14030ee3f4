#include "player/channel/gst/gst_mix_output.h"

#include <algorithm>
#include <climits>

#include <gst/app/gstappsrc.h>
#include <gst/audio/audio-format.h>
#include <gst/audio/gstaudiobasesink.h>

#include "player/channel/gst/gst_output_devices.h"
#include "player/channel/thread_priority.h"

namespace velorra {

namespace {

constexpr size_t kFrameBytes = 2 * sizeof(float);
// The stretch the mixer makes at a time: a command waits at most this long for the mixer. Each
// stretch wakes the output's thread once.
constexpr size_t kStretchFrames = GstMixOutput::kRate / 50;
// What an audio sink holds, in microseconds, and the steps it is filled in: the sound a halt or a
// fade is heard behind, and what keeps the sound server fed while this process waits for a core.
constexpr gint64 kSinkBufferUs = 40000;
constexpr gint64 kSinkPeriodUs = 10000;
// How long an output that runs as fast as it can rests while nothing sounds.
constexpr gulong kIdleUs = 5000;
// Silent stretches after which the output pipeline rests: two seconds.
constexpr int kRestAfterStretches = 100;
// The name libpulse gives the thread that talks to the sound server.
constexpr char kSoundServerClientThread[] = "threaded-ml";
// How long a channel's input waits for its pipeline when the output does not keep time.
constexpr GstClockTime kFastWait = 200 * GST_MSECOND;

// Every sink keeps no copy of the last stretch it was given (which would cost each stretch an
// allocation on the mixing thread); an audio sink holds little.
void holdLittle(GstElement* element) {
    if (GST_IS_BASE_SINK(element)) g_object_set(element, "enable-last-sample", FALSE, nullptr);
    if (GST_IS_AUDIO_BASE_SINK(element))
        g_object_set(element, "buffer-time", kSinkBufferUs, "latency-time", kSinkPeriodUs, nullptr);
}

// The chosen device when it is present, else the default output (`standsIn` then tells whether a
// device was chosen); a silent sink for the outputs that go nowhere.
GstHandle<GstElement> makeSink(AudioOutput kind, const std::string& device, bool& standsIn) {
    standsIn = false;
    if (kind == AudioOutput::Device) {
        if (!device.empty()) {
            if (auto sink = makeAudioSink(device)) return sink;
            standsIn = true;
        }
        return makeElement("autoaudiosink");
    }
    auto sink = makeElement("fakesink");
    if (sink) g_object_set(sink.get(), "sync", kind == AudioOutput::SilentRealTime, nullptr);
    return sink;
}

}  // namespace

GstMixOutput::GstMixOutput(AudioOutput kind) : kind_(kind) {}

GstMixOutput::~GstMixOutput() {
    worker_.post([this] {
        close();
        if (pool_) gst_buffer_pool_set_active(pool_.get(), FALSE);
    });
}

GstClockTime GstMixOutput::inputWait() const {
    return kind_ == AudioOutput::SilentFast || kind_ == AudioOutput::Pulled ? kFastWait : 0;
}

int GstMixOutput::decodingNice() const { return inputWait() == 0 ? kSoundThreadNice : kDecodingThreadNice; }

void GstMixOutput::later(std::function<void()> task) {
    if (pullsItself())
        worker_.post(std::move(task));
    else
        task();
}

void GstMixOutput::close() {
    GstHandle<GstElement> pipeline = std::move(pipeline_);
    resting_ = false;
    if (stream_) {
        onServer_ = false;
        stream_.reset();
        const std::lock_guard hold(heardLock_);
        heard_.open = false;
    }
    if (!pipeline) return;
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    // Its streaming thread has ended.
    feedSink_.reset();
    {
        const std::lock_guard hold(heardLock_);
        heard_.open = false;
    }
    const GstHandle<GstBus> bus(gst_element_get_bus(pipeline.get()));
    gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
}

void GstMixOutput::open() {
    if (pullsItself()) worker_.post([this, device = chosen_] { openOn(device); });
}

void GstMixOutput::openOn(const std::string& device) {
    // The monitor is asked only while the output stands in for an absent device: a probe on the
    // worker each time a channel plays.
    const bool returned = standsIn_ && device == device_ && makeAudioSink(device);
    const bool broken = broken_ || (stream_ && stream_->failed());
    if ((pipeline_ || stream_) && !broken && !returned && (kind_ != AudioOutput::Device || device == device_)) {
        if (stream_)
            stream_->wake();
        else if (resting_ && gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE)
            resting_ = false;
        return;
    }
    close();
    broken_ = false;
    device_ = device;
    if (kind_ == AudioOutput::Device && openStream()) return;
    if (!pool_) {
        // The stretches are made in a few buffers used over and over.
        pool_.reset(gst_buffer_pool_new());
        GstStructure* config = gst_buffer_pool_get_config(pool_.get());
        gst_buffer_pool_config_set_params(config, nullptr, kStretchFrames * kFrameBytes, 2, 0);
        if (!gst_buffer_pool_set_config(pool_.get(), config) || !gst_buffer_pool_set_active(pool_.get(), TRUE)) {
            pool_.reset();
            return;
        }
    }

    GstHandle<GstElement> pipeline(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("mix-output"))));
    auto appsrc = makeElement("appsrc");
    auto sink = makeSink(kind_, device_, standsIn_);
    if (!appsrc || !sink) return;
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, GST_AUDIO_NE(F32), "layout",
                                        G_TYPE_STRING, "interleaved", "rate", G_TYPE_INT, kRate, "channels",
                                        G_TYPE_INT, 2, "channel-mask", GST_TYPE_BITMASK, guint64{0x3}, nullptr);
    g_object_set(appsrc.get(), "caps", caps, "format", GST_FORMAT_TIME, "max-bytes",
                 guint64{kStretchFrames * kFrameBytes}, nullptr);
    gst_caps_unref(caps);
    GstAppSrcCallbacks callbacks{};
    callbacks.need_data = [](GstAppSrc* src, guint, gpointer self) { static_cast<GstMixOutput*>(self)->feed(src); };
    gst_app_src_set_callbacks(GST_APP_SRC(appsrc.get()), &callbacks, this, nullptr);

    // The sink may be a bin that makes the real one when it starts (autoaudiosink).
    holdLittle(sink.get());
    g_signal_connect(pipeline.get(), "deep-element-added",
                     G_CALLBACK(+[](GstBin*, GstBin*, GstElement* element, gpointer) { holdLittle(element); }), nullptr);
    gst_bin_add_many(GST_BIN(pipeline.get()), appsrc.get(), sink.get(), nullptr);
    bool linked = true;
    if (kind_ == AudioOutput::Device) {
        // A device that takes no float, or another rate, is given what it takes.
        auto convert = makeElement("audioconvert");
        auto resample = makeElement("audioresample");
        if (!convert || !resample) return;
        gst_bin_add_many(GST_BIN(pipeline.get()), convert.get(), resample.get(), nullptr);
        linked = gst_element_link_many(appsrc.get(), convert.get(), resample.get(), sink.get(), nullptr);
    } else {
        linked = gst_element_link(appsrc.get(), sink.get());
    }
    if (!linked) return;

    const GstHandle<GstBus> bus(gst_element_get_bus(pipeline.get()));
    gst_bus_set_sync_handler(bus.get(), &GstMixOutput::onBus, this, nullptr);
    base_ = mixer_.frames();
    feedSink_.reset(GST_ELEMENT(gst_object_ref(sink.get())));
    if (!position_) position_.reset(gst_query_new_position(GST_FORMAT_TIME));
    {
        const std::lock_guard hold(heardLock_);
        heard_ = {base_, base_, g_get_monotonic_time(), true, kind_ != AudioOutput::SilentFast};
    }
    if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) broken_ = true;
    // The sound server's client thread, started by the sink as it opened.
    if (kind_ == AudioOutput::Device) setThreadsNice(kSoundServerClientThread, kSoundThreadNice);
    pipeline_ = std::move(pipeline);
}

bool GstMixOutput::openStream() {
    std::string sink;
    standsIn_ = false;
    if (!device_.empty()) {
        // The device's sink on the server: the monitor knows it by its id or its display name.
        const auto element = makeAudioSink(device_);
        if (!element) {
            standsIn_ = true;
        } else {
            GstElementFactory* factory = gst_element_get_factory(element.get());
            if (!factory || g_strcmp0(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "pulsesink") != 0)
                return false;
            gchar* name = nullptr;
            g_object_get(element.get(), "device", &name, nullptr);
            const GCharHandle held(name);
            if (held) sink = held.get();
        }
    }
    {
        const std::lock_guard hold(heardLock_);
        heard_ = {mixer_.frames(), mixer_.frames(), g_get_monotonic_time(), true, false};
    }
    stream_ = PulseStream::open(
        mixer_, sink, [this] { return commandFrame(); },
        [this](int64_t frame, int64_t mixed, bool moving) { tellHeard(frame, mixed, moving); });
    if (!stream_) {
        const std::lock_guard hold(heardLock_);
        heard_.open = false;
        return false;
    }
    resting_ = false;
    onServer_ = true;
    setThreadsNice(kSoundServerClientThread, kSoundThreadNice);
    return true;
}

void GstMixOutput::tellHeard(int64_t frame, int64_t mixed, bool moving) {
    resting_ = !moving;
    const std::unique_lock hold(heardLock_, std::try_to_lock);
    if (hold) heard_ = {frame, mixed, g_get_monotonic_time(), true, moving};
}

int64_t GstMixOutput::commandFrame() const {
    const auto heard = heardIfOpen();
    return heard ? *heard + int64_t{kRate} * PulseStream::kLeadMs / 1000 : INT64_MAX;
}

int64_t GstMixOutput::msUntilHeard(int64_t frame) const {
    if (!onServer_) return 0;
    return std::max<int64_t>(0, (frame - heardFrame()) * 1000 / kRate);
}

// Runs on whichever thread posts: a failed output is made afresh with the next channel; the rest
// is dropped so that nothing piles up on the bus.
GstBusSyncReply GstMixOutput::onBus(GstBus*, GstMessage* message, gpointer self) {
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) static_cast<GstMixOutput*>(self)->broken_ = true;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_STREAM_STATUS) {
        // Told on the streaming thread that has just started: the one that mixes.
        GstStreamStatusType type{};
        gst_message_parse_stream_status(message, &type, nullptr);
        if (type == GST_STREAM_STATUS_TYPE_ENTER) setThreadNice(kSoundThreadNice);
    }
    gst_message_unref(message);
    return GST_BUS_DROP;
}

void GstMixOutput::feed(GstAppSrc* appsrc) {
    // An output that keeps no time would mix silence as fast as it can.
    if (kind_ == AudioOutput::SilentFast && !mixer_.sounding()) g_usleep(kIdleUs);
    GstBuffer* buffer = nullptr;
    if (gst_buffer_pool_acquire_buffer(pool_.get(), &buffer, nullptr) != GST_FLOW_OK) return;
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
        gst_buffer_unref(buffer);
        return;
    }
    const int64_t at = mixer_.frames() - base_;
    mixer_.mix(reinterpret_cast<float*>(map.data), kStretchFrames);
    gst_buffer_unmap(buffer, &map);
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(static_cast<guint64>(at), GST_SECOND, kRate);
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(kStretchFrames, GST_SECOND, kRate);
    gst_app_src_push_buffer(appsrc, buffer);
    noteHeard(base_ + at + static_cast<int64_t>(kStretchFrames));
    // Every two silent seconds in a row: a channel that started and halted before any of its sound
    // was mixed woke the output without breaking the run.
    if (mixer_.sounding())
        silentStretches_ = 0;
    else if (++silentStretches_ % kRestAfterStretches == 0)
        worker_.post([this] { rest(); });
}

void GstMixOutput::rest() {
    if (resting_ || !pipeline_ || mixer_.sounding()) return;
    if (gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE) resting_ = true;
}

void GstMixOutput::noteHeard(int64_t mixed) {
    gint64 ns = -1;
    if (gst_element_query(feedSink_.get(), position_.get())) gst_query_parse_position(position_.get(), nullptr, &ns);
    const int64_t frame =
        ns >= 0 ? base_ + static_cast<int64_t>(gst_util_uint64_scale(static_cast<guint64>(ns), kRate, GST_SECOND))
                : base_.load();
    const std::unique_lock hold(heardLock_, std::try_to_lock);
    if (hold) heard_ = {frame, mixed, g_get_monotonic_time(), true, kind_ != AudioOutput::SilentFast};
}

std::optional<int64_t> GstMixOutput::heardIfOpen() const {
    Heard heard;
    {
        const std::lock_guard hold(heardLock_);
        heard = heard_;
    }
    if (!heard.open) return std::nullopt;
    // An output that keeps time has gone on letting out what it holds since it was asked.
    if (heard.moving)
        heard.frame += (g_get_monotonic_time() - heard.at) * kRate / G_USEC_PER_SEC;
    return std::min(heard.frame, heard.mixed);
}

int64_t GstMixOutput::heardFrame() const {
    const auto heard = heardIfOpen();
    return heard ? *heard : std::max<int64_t>(0, mixer_.frames() - trail_);
}

}  // namespace velorra
