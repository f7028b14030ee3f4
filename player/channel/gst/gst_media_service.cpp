#include "player/channel/gst/gst_media_service.h"

#include <sys/stat.h>

#include <cmath>
#include <mutex>

#include "player/channel/duration_scan.h"
#include "player/channel/gst/gst_output_devices.h"
#include "player/channel/whole_seconds.h"

namespace velorra {

namespace {

// How long a file may take to preroll; a corrupt file fails or times out within it.
constexpr GstClockTime kRenderTimeout = 5 * GST_SECOND;
// How long a seek may take to settle.
constexpr GstClockTime kSeekTimeout = 2 * GST_SECOND;
// playbin's flags: audio only, with its own volume element.
constexpr guint kPlayAudio = 1u << 1, kPlaySoftVolume = 1u << 4;

// The named device when one carries the name, else the default output.
GstHandle<GstElement> makeSink(AudioOutput output, const std::string& device) {
    if (output == AudioOutput::Device) {
        if (!device.empty())
            if (auto sink = makeAudioSink(device)) return sink;
        return makeElement("autoaudiosink");
    }
    auto sink = makeElement("fakesink");
    if (sink) g_object_set(sink.get(), "sync", output == AudioOutput::SilentRealTime, nullptr);
    return sink;
}

// GStreamer's file source opens its file in the thread that starts the graph, and a named pipe
// would hold that open until a writer comes: only a regular file is handed to it.
bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::unique_ptr<GstMediaGraph> GstMediaGraph::create(AudioOutput output, const std::string& device) {
    auto playbin = makeElement("playbin");
    auto panorama = makeElement("audiopanorama");
    auto sink = makeSink(output, device);
    if (!playbin || !panorama || !sink) return nullptr;
    g_object_set(playbin.get(), "flags", kPlayAudio | kPlaySoftVolume, "audio-sink", sink.get(),
                 "audio-filter", panorama.get(), nullptr);
    return std::unique_ptr<GstMediaGraph>(new GstMediaGraph(std::move(playbin), std::move(panorama)));
}

GstMediaGraph::GstMediaGraph(GstHandle<GstElement> playbin, GstHandle<GstElement> panorama)
    : playbin_(std::move(playbin)), panorama_(std::move(panorama)) {}

GstMediaGraph::~GstMediaGraph() { gst_element_set_state(playbin_.get(), GST_STATE_NULL); }

bool GstMediaGraph::render(const std::string& path) {
    if (rendered_ || !isRegularFile(path)) return false;
    GError* error = nullptr;
    const GCharHandle uri(gst_filename_to_uri(path.c_str(), &error));
    const GErrorHandle errorOwner(error);
    if (!uri) return false;
    g_object_set(playbin_.get(), "uri", uri.get(), nullptr);

    const GstHandle<GstBus> bus(gst_element_get_bus(playbin_.get()));
    bool prerolled = false;
    switch (gst_element_set_state(playbin_.get(), GST_STATE_PAUSED)) {
    case GST_STATE_CHANGE_FAILURE:
        break;
    case GST_STATE_CHANGE_ASYNC: {
        const GstMessageHandle message(gst_bus_timed_pop_filtered(
            bus.get(), kRenderTimeout,
            static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR)));
        prerolled = message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ASYNC_DONE;
        break;
    }
    default:
        prerolled = true;
    }
    // Nobody reads the bus once the file is rendered: drop its messages instead of queueing them.
    gst_bus_set_flushing(bus.get(), TRUE);
    if (!prerolled) gst_element_set_state(playbin_.get(), GST_STATE_NULL);
    rendered_ = prerolled;
    return prerolled;
}

bool GstMediaGraph::run() {
    return rendered_ && gst_element_set_state(playbin_.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

bool GstMediaGraph::pause() {
    return rendered_ && gst_element_set_state(playbin_.get(), GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
}

// A playbin brought down to READY forgets its position; a paused one keeps it.
bool GstMediaGraph::stop() { return pause(); }

std::optional<double> GstMediaGraph::duration() {
    gint64 ns = 0;
    if (!rendered_ || !gst_element_query_duration(playbin_.get(), GST_FORMAT_TIME, &ns) || ns < 0)
        return std::nullopt;
    return static_cast<double>(ns) / GST_SECOND;
}

std::optional<double> GstMediaGraph::position() {
    gint64 ns = 0;
    if (!rendered_ || !gst_element_query_position(playbin_.get(), GST_FORMAT_TIME, &ns) || ns < 0)
        return std::nullopt;
    return static_cast<double>(ns) / GST_SECOND;
}

bool GstMediaGraph::seek(double rate, double seconds) {
    if (!rendered_ || !(seconds >= 0.0) || !(rate > 0.0) || !std::isfinite(rate)) return false;
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (!gst_element_seek(playbin_.get(), rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                          static_cast<gint64>(seconds * GST_SECOND), GST_SEEK_TYPE_NONE, -1))
        return false;
    // The call returns once the pipeline has settled at the new position.
    gst_element_get_state(playbin_.get(), nullptr, nullptr, kSeekTimeout);
    rate_ = rate;
    return true;
}

bool GstMediaGraph::setPosition(double seconds) { return seek(rate_, seconds); }

std::optional<double> GstMediaGraph::rate() {
    if (!rendered_) return std::nullopt;
    return rate_;
}

bool GstMediaGraph::setRate(double rate) { return seek(rate, position().value_or(0.0)); }

std::optional<int32_t> GstMediaGraph::volume() {
    if (!rendered_) return std::nullopt;
    gdouble linear = 0.0;
    g_object_get(playbin_.get(), "volume", &linear, nullptr);
    if (linear <= 1e-5) return -10000;
    return roundToInt32(2000.0 * std::log10(linear));
}

bool GstMediaGraph::setVolume(int32_t centibels) {
    if (!rendered_ || centibels > 0 || centibels < -10000) return false;
    g_object_set(playbin_.get(), "volume", std::pow(10.0, centibels / 2000.0), nullptr);
    return true;
}

std::optional<int32_t> GstMediaGraph::balance() {
    if (!rendered_) return std::nullopt;
    gfloat panorama = 0.0f;
    g_object_get(panorama_.get(), "panorama", &panorama, nullptr);
    return roundToInt32(panorama * 10000.0);
}

bool GstMediaGraph::setBalance(int32_t balance) {
    if (!rendered_ || balance < -10000 || balance > 10000) return false;
    g_object_set(panorama_.get(), "panorama", static_cast<gfloat>(balance / 10000.0), nullptr);
    return true;
}

std::vector<std::string> GstMediaGraph::filterNames() {
    std::vector<std::string> names;
    GList* factories = gst_registry_get_feature_list(gst_registry_get(), GST_TYPE_ELEMENT_FACTORY);
    for (GList* f = factories; f; f = f->next)
        if (const gchar* name = gst_element_factory_get_metadata(GST_ELEMENT_FACTORY(f->data),
                                                                  GST_ELEMENT_METADATA_LONGNAME))
            names.emplace_back(name);
    gst_plugin_feature_list_free(factories);
    return names;
}

GstMediaService::GstMediaService(AudioOutput output) : output_(output) {}

namespace {
// GStreamer starts with the first graph or device list: a program that never plays (or only
// learns durations from headers) does not pay for loading its registry.
void startGstreamer() {
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}
}  // namespace

std::unique_ptr<MediaGraph> GstMediaService::createGraph(const std::string& outputDevice) {
    startGstreamer();
    return GstMediaGraph::create(output_, outputDevice);
}

std::vector<std::string> GstMediaService::outputDevices() {
    startGstreamer();
    return audioSinkNames();
}

std::optional<double> GstMediaService::probeDuration(const std::string& path) { return scanDuration(path); }

}  // namespace velorra
