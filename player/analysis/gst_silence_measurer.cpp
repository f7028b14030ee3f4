#include "player/analysis/gst_silence_measurer.h"

#include "player/analysis/loudness_scan.h"
#include "player/analysis/loudness_tags.h"
#include "player/channel/gst/gst_handle.h"
#include "player/channel/gst/gst_start.h"

#include <gst/app/gstappsink.h>
#include <gst/audio/gstaudiodecoder.h>
#include <gst/gst.h>

#include <sys/stat.h>

#include <atomic>
#include <cstring>

namespace velorra {

namespace {

// The decoder's own format when it is one of the two the scans read (audioconvert then passes
// the buffers through untouched), else the nearer of them.
constexpr const char* Description =
    "uridecodebin name=decode ! audioconvert ! audio/x-raw,format={F32LE,S16LE},layout=interleaved "
    "! appsink name=peaks sync=false";

constexpr int WatchdogTickMs = 1000;
// What a decoder gathers before it passes its sound on: each stretch costs the scans one buffer,
// where an MP3 frame alone is 26 ms.
constexpr GstClockTime DecodedStretch = 250 * GST_MSECOND;

using GstSampleHandle = std::unique_ptr<GstSample, GstRelease<gst_sample_unref>>;

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

// One song being measured. Its scans belong to the streaming thread until the pipeline is brought
// down; the first end of stream or error reports, once.
struct GstSilenceMeasurer::Job {
    GstSilenceMeasurer* owner = nullptr;
    std::weak_ptr<Job> self;
    std::string path;
    GstHandle<GstElement> pipeline;
    SilenceScan silence;
    LoudnessScan loudness;
    bool tagsRead = false;
    std::optional<TaggedLoudness> tagged;
    bool failed = false;
    bool abandoned = false;
    std::atomic<bool> reported{false};
    // Buffers decoded so far, and as many as the watchdog saw last, with its ticks since.
    std::atomic<uint64_t> buffers{0};
    uint64_t buffersSeen = 0;
    int stalledTicks = 0;

    ~Job() {
        if (pipeline) gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    }

    // Any thread. The event runs on the loop's thread, and only while the job is still the one
    // its measurer runs.
    void report(bool failure) {
        if (reported.exchange(true)) return;
        failed = failure;
        owner->loop_.post([weak = self] {
            if (const auto job = weak.lock()) job->owner->finish(job);
        });
    }

    static GstBusSyncReply onBusMessage(GstBus*, GstMessage* message, gpointer data) {
        auto* job = static_cast<Job*>(data);
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) job->report(false);
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) job->report(true);
        // Nobody reads this bus: a dropped message is released here.
        gst_message_unref(message);
        return GST_BUS_DROP;
    }

    template <class Sample>
    void add(std::span<const Sample> samples, int rate, int channels) {
        // The tags are read on the streaming thread, once, before the first samples count.
        if (!tagsRead) {
            tagsRead = true;
            tagged = readLoudnessTags(path);
        }
        silence.add(samples, rate, channels);
        loudness.add(samples, rate, channels, tagged.has_value());
        buffers.fetch_add(1, std::memory_order_relaxed);
    }

    static GstFlowReturn onSample(GstAppSink* sink, gpointer data) {
        auto* job = static_cast<Job*>(data);
        const GstSampleHandle sample(gst_app_sink_pull_sample(sink));
        GstBuffer* buffer = sample ? gst_sample_get_buffer(sample.get()) : nullptr;
        GstCaps* caps = sample ? gst_sample_get_caps(sample.get()) : nullptr;
        const GstStructure* format = caps ? gst_caps_get_structure(caps, 0) : nullptr;
        int rate = 0, channels = 0;
        if (!buffer || !format || !gst_structure_get_int(format, "rate", &rate) ||
            !gst_structure_get_int(format, "channels", &channels))
            return GST_FLOW_OK;
        const char* name = gst_structure_get_string(format, "format");
        const bool isFloat = name && std::strcmp(name, "F32LE") == 0;
        GstMapInfo map;
        if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return GST_FLOW_OK;
        if (isFloat)
            job->add(std::span{reinterpret_cast<const float*>(map.data), map.size / sizeof(float)}, rate, channels);
        else
            job->add(std::span{reinterpret_cast<const int16_t*>(map.data), map.size / sizeof(int16_t)}, rate, channels);
        gst_buffer_unmap(buffer, &map);
        return GST_FLOW_OK;
    }

    Measurement result() const {
        Measurement m;
        if (failed) {
            m.failed = true;
            return m;
        }
        m.silence = silence.result();
        m.seconds = silence.seconds();
        m.peak = tagged && tagged->peak ? *tagged->peak : loudness.peak();
        if (tagged) {
            m.loudness = tagged->loudness;
            m.source = LoudnessSource::Tags;
        } else if (const auto lufs = loudness.loudness()) {
            m.loudness = lufs;
            m.source = LoudnessSource::Decoded;
        }
        return m;
    }
};

GstSilenceMeasurer::GstSilenceMeasurer(toolkit::EventLoop& loop) : loop_(loop) {
    watchdog_.setEnabled(false);
    watchdog_.setInterval(WatchdogTickMs);
    watchdog_.onTimer = [this] { watch(); };
}

GstSilenceMeasurer::~GstSilenceMeasurer() = default;

void GstSilenceMeasurer::measure(const std::string& path) {
    queue_.push_back(path);
    if (!running_) startNext();
}

void GstSilenceMeasurer::startNext() {
    if (queue_.empty()) {
        watchdog_.setEnabled(false);
        return;
    }
    startGstreamer();

    auto job = std::make_shared<Job>();
    job->owner = this;
    job->self = job;
    job->path = queue_.front();
    queue_.pop_front();
    running_ = job;
    // A fresh second for every song.
    watchdog_.setEnabled(false);
    watchdog_.setEnabled(true);

    // A named pipe or a device would hold the pipeline's start (and this thread) for good.
    if (!isRegularFile(job->path)) {
        job->report(true);
        return;
    }
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(Description, &error);
    const GErrorHandle errorOwner(error);
    if (pipeline) job->pipeline.reset(GST_ELEMENT(gst_object_ref_sink(pipeline)));
    const GCharHandle uri(gst_filename_to_uri(job->path.c_str(), nullptr));
    const GstHandle<GstElement> decode(job->pipeline ? gst_bin_get_by_name(GST_BIN(pipeline), "decode") : nullptr);
    const GstHandle<GstElement> peaks(job->pipeline ? gst_bin_get_by_name(GST_BIN(pipeline), "peaks") : nullptr);
    if (error || !uri || !decode || !peaks) {
        job->report(true);
        return;
    }
    g_object_set(decode.get(), "uri", uri.get(), nullptr);
    g_signal_connect(pipeline, "deep-element-added",
                     G_CALLBACK(+[](GstBin*, GstBin*, GstElement* element, gpointer) {
                         if (GST_IS_AUDIO_DECODER(element)) g_object_set(element, "min-latency", DecodedStretch, nullptr);
                     }),
                     nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &Job::onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(peaks.get()), &callbacks, job.get(), nullptr);
    const GstHandle<GstBus> bus(gst_element_get_bus(pipeline));
    gst_bus_set_sync_handler(bus.get(), &Job::onBusMessage, job.get(), nullptr);
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) job->report(true);
}

void GstSilenceMeasurer::watch() {
    const auto job = running_;
    if (!job) return;
    const uint64_t buffers = job->buffers.load(std::memory_order_relaxed);
    job->stalledTicks = buffers == job->buffersSeen ? job->stalledTicks + 1 : 0;
    job->buffersSeen = buffers;
    if (job->stalledTicks < StallSeconds * 1000 / WatchdogTickMs || job->reported.exchange(true)) return;
    // Given up: the pipeline is brought down in one of GStreamer's threads (a decode stuck in a
    // read would hold this one), the job living until it is down.
    job->failed = true;
    job->abandoned = true;
    if (GstElement* pipeline = job->pipeline.get())
        gst_element_call_async(
            pipeline, [](GstElement* element, gpointer) { gst_element_set_state(element, GST_STATE_NULL); },
            new std::shared_ptr<Job>(job), [](gpointer held) { delete static_cast<std::shared_ptr<Job>*>(held); });
    finish(job);
}

void GstSilenceMeasurer::finish(const std::shared_ptr<Job>& job) {
    // Bringing the pipeline down waits for its threads: the scans are this thread's from here on.
    // An abandoned pipeline is brought down elsewhere, and its scans are not read.
    if (job->pipeline && !job->abandoned) gst_element_set_state(job->pipeline.get(), GST_STATE_NULL);
    const Measurement measurement = job->result();
    const std::string path = job->path;
    running_.reset();
    startNext();
    if (onMeasured) onMeasured(path, measurement);
}

}  // namespace velorra
