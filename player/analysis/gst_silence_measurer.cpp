#include "player/analysis/gst_silence_measurer.h"

#include "player/channel/gst/gst_handle.h"
#include "player/channel/gst/gst_start.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <atomic>
#include <cstring>

namespace velorra {

namespace {

// The decoder's own format when it is one of the two the scan reads (audioconvert then passes the
// buffers through untouched), else the nearer of them.
constexpr const char* Description =
    "uridecodebin name=decode ! audioconvert ! audio/x-raw,format={S16LE,F32LE},layout=interleaved "
    "! appsink name=peaks sync=false";

using GstSampleHandle = std::unique_ptr<GstSample, GstRelease<gst_sample_unref>>;

}  // namespace

// One song being measured. Its scan belongs to the streaming thread until the pipeline is brought
// down; the first end of stream or error reports, once.
struct GstSilenceMeasurer::Job {
    GstSilenceMeasurer* owner = nullptr;
    std::weak_ptr<Job> self;
    std::string path;
    GstHandle<GstElement> pipeline;
    SilenceScan scan;
    bool failed = false;
    std::atomic<bool> reported{false};

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
        // Nobody reads this bus.
        return GST_BUS_DROP;
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
            job->scan.add({reinterpret_cast<const float*>(map.data), map.size / sizeof(float)}, rate, channels);
        else
            job->scan.add({reinterpret_cast<const int16_t*>(map.data), map.size / sizeof(int16_t)}, rate, channels);
        gst_buffer_unmap(buffer, &map);
        return GST_FLOW_OK;
    }
};

GstSilenceMeasurer::GstSilenceMeasurer(toolkit::EventLoop& loop) : loop_(loop) {}

GstSilenceMeasurer::~GstSilenceMeasurer() = default;

void GstSilenceMeasurer::measure(const std::string& path) {
    queue_.push_back(path);
    if (!running_) startNext();
}

void GstSilenceMeasurer::startNext() {
    if (queue_.empty()) return;
    startGstreamer();

    auto job = std::make_shared<Job>();
    job->owner = this;
    job->self = job;
    job->path = queue_.front();
    queue_.pop_front();
    running_ = job;

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
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &Job::onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(peaks.get()), &callbacks, job.get(), nullptr);
    const GstHandle<GstBus> bus(gst_element_get_bus(pipeline));
    gst_bus_set_sync_handler(bus.get(), &Job::onBusMessage, job.get(), nullptr);
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) job->report(true);
}

void GstSilenceMeasurer::finish(const std::shared_ptr<Job>& job) {
    // Bringing the pipeline down waits for its threads: the scan is this thread's from here on.
    if (job->pipeline) gst_element_set_state(job->pipeline.get(), GST_STATE_NULL);
    const Silence silence = job->failed ? Silence{} : job->scan.result();
    const std::string path = job->path;
    running_.reset();
    startNext();
    if (onMeasured) onMeasured(path, silence);
}

}  // namespace velorra
