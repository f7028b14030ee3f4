#include "player/channel/gst/gst_media_service.h"

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
// playbin's flags: audio only; the gain is the filter's.
constexpr guint kPlayAudio = 1u << 1;
// How long the sound takes to fall silent before it halts, and to rise when it starts.
constexpr std::chrono::milliseconds kHaltRamp{10};
// How long a halt waits at most for its fall to be heard.
constexpr auto kHeardTimeout = std::chrono::milliseconds{300};

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

}  // namespace

std::unique_ptr<GstMediaGraph> GstMediaGraph::create(AudioOutput output, const std::string& device) {
    return create(makeSink(output, device));
}

std::unique_ptr<GstMediaGraph> GstMediaGraph::create(GstHandle<GstElement> sink) {
    auto playbin = makeElement("playbin");
    auto filter = ChannelFilter::create(std::move(sink));
    if (!playbin || !filter) return nullptr;
    g_object_set(playbin.get(), "flags", kPlayAudio, "audio-sink", filter->bin(), nullptr);
    return std::unique_ptr<GstMediaGraph>(new GstMediaGraph(std::move(playbin), std::move(filter)));
}

GstMediaGraph::GstMediaGraph(GstHandle<GstElement> playbin, std::unique_ptr<ChannelFilter> filter)
    : playbin_(std::move(playbin)), filter_(std::move(filter)) {}

GstMediaGraph::~GstMediaGraph() {
    fadeOut();
    gst_element_set_state(playbin_.get(), GST_STATE_NULL);
}

GstClockTime GstMediaGraph::streamSpan(std::chrono::milliseconds wall) const {
    return static_cast<GstClockTime>(static_cast<double>(wall.count()) * rate_ * GST_MSECOND);
}

void GstMediaGraph::fadeOut() {
    if (!running_) return;
    running_ = false;
    const GstClockTime silentAt = filter_->fall(streamSpan(kHaltRamp));
    // What is heard lags behind what the filter takes by what the sink holds. The wait ends
    // early when the sound stops moving (the end of the file).
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + kHeardTimeout;
    gint64 last = -1, heard = -1;
    auto lastMoved = Clock::now();
    while (Clock::now() < deadline) {
        if (!gst_element_query_position(playbin_.get(), GST_FORMAT_TIME, &heard)) break;
        if (heard >= 0 && static_cast<GstClockTime>(heard) >= silentAt) break;
        if (heard != last) {
            last = heard;
            lastMoved = Clock::now();
        } else if (Clock::now() - lastMoved > 4 * kHaltRamp) {
            break;
        }
        g_usleep(1000);
    }
}

bool GstMediaGraph::render(const std::string& path) {
    if (rendered_) return false;
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
    if (!rendered_ || gst_element_set_state(playbin_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return false;
    running_ = true;
    filter_->rise(streamSpan(kHaltRamp));
    return true;
}

bool GstMediaGraph::pause() {
    if (!rendered_) return false;
    fadeOut();
    const bool paused = gst_element_set_state(playbin_.get(), GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
    filter_->silence();
    return paused;
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
    // The sound falls silent before it jumps and rises again where it lands.
    const bool wasRunning = running_;
    fadeOut();
    filter_->silence();
    const bool sought = gst_element_seek(playbin_.get(), rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                                         static_cast<gint64>(seconds * GST_SECOND), GST_SEEK_TYPE_NONE, -1);
    // The call returns once the pipeline has settled at the new position.
    if (sought) {
        gst_element_get_state(playbin_.get(), nullptr, nullptr, kSeekTimeout);
        rate_ = rate;
    }
    if (wasRunning) {
        running_ = true;
        filter_->rise(streamSpan(kHaltRamp));
    }
    return sought;
}

bool GstMediaGraph::setPosition(double seconds) { return seek(rate_, seconds); }

std::optional<double> GstMediaGraph::rate() {
    if (!rendered_) return std::nullopt;
    return rate_;
}

bool GstMediaGraph::setRate(double rate) { return seek(rate, position().value_or(0.0)); }

std::optional<int32_t> GstMediaGraph::volume() {
    if (!rendered_) return std::nullopt;
    const double linear = filter_->gain();
    if (linear <= 1e-5) return -10000;
    return roundToInt32(2000.0 * std::log10(linear));
}

bool GstMediaGraph::setVolume(int32_t centibels, std::chrono::milliseconds ramp) {
    if (!rendered_ || centibels > 0 || centibels < -10000) return false;
    filter_->setGain(std::pow(10.0, centibels / 2000.0), streamSpan(ramp));
    return true;
}

std::optional<int32_t> GstMediaGraph::balance() {
    if (!rendered_) return std::nullopt;
    return roundToInt32(filter_->balance() * 10000.0);
}

bool GstMediaGraph::setBalance(int32_t balance) {
    if (!rendered_ || balance < -10000 || balance > 10000) return false;
    filter_->setBalance(static_cast<float>(balance / 10000.0));
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
