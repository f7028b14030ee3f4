#include "player/channel/gst/gst_media_service.h"

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <utility>

#include "player/channel/duration_scan.h"
#include "player/channel/gst/gst_output_devices.h"
#include "player/channel/gst/gst_start.h"
#include "player/channel/whole_seconds.h"

namespace velorra {

namespace {

// How long the duration of a file without a header the scan knows may wait for its chain; a
// playable file prerolls in a few hundredths of a second, a corrupt one fails sooner.
constexpr GstClockTime kDurationWait = 500 * GST_MSECOND;
// playbin's flags: audio only; the gain is the filter's.
constexpr guint kPlayAudio = 1u << 1;
// How long the sound takes to fall silent before it halts, and to rise when it starts.
constexpr std::chrono::milliseconds kHaltRamp{10};
// How far past its end a fall must be reported heard before the sound halts: a sound server's
// report of what it has played runs up to a step (10 ms) ahead of what it has let out, and a
// halt drops what it has not (measured on PulseAudio: 15 ms past the fall never clicks).
constexpr GstClockTime kHeardMargin = 15 * GST_MSECOND;
// How long a halt waits at most for its fall to be heard: what an audio sink holds (40 ms, see
// the channel filter), the fall and the margin. The fall itself is always under way; a sink
// holding more than this much sound halts before its fall is heard to the end.
constexpr auto kHeardTimeout = std::chrono::milliseconds{100};

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

// GStreamer opens the file on the calling thread: a named pipe would hold it until a writer
// came, so only a regular file goes in.
bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::unique_ptr<GstMediaGraph> GstMediaGraph::create(AudioOutput output, const std::string& device, BusLink link) {
    return create(makeSink(output, device), std::move(link));
}

std::unique_ptr<GstMediaGraph> GstMediaGraph::create(GstHandle<GstElement> sink, BusLink link) {
    auto playbin = makeElement("playbin");
    if (!playbin || !sink) return nullptr;
    auto filter = ChannelFilter::create(std::move(sink));
    if (!filter) return nullptr;
    g_object_set(playbin.get(), "flags", kPlayAudio, "audio-sink", filter->bin(), nullptr);
    return std::unique_ptr<GstMediaGraph>(new GstMediaGraph(std::move(playbin), std::move(filter), std::move(link)));
}

void GstMediaGraph::BusLink::post(BusEvent event, std::string why) const {
    loop.post([graphs = graphs, id = id, event, why = std::move(why)] {
        const auto live = graphs.lock();
        if (!live) return;
        if (const auto found = live->find(id); found != live->end()) found->second->handle(event, why);
    });
}

// Runs on whichever thread posts the message: passes on what the graph acts on, drops the rest
// so that nothing piles up on the bus. A dropped message is the handler's to release.
GstBusSyncReply GstMediaGraph::onBus(GstBus*, GstMessage* message, gpointer link) {
    const auto& to = *static_cast<const BusLink*>(link);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ASYNC_DONE:
        to.post(BusEvent::Prerolled);
        break;
    case GST_MESSAGE_EOS:
        to.post(BusEvent::Ended);
        break;
    case GST_MESSAGE_ERROR: {
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        std::string why = "unknown error";
        if (error) {
            why = std::string(g_quark_to_string(error->domain)) + " " + std::to_string(error->code) + ": " +
                  (error->message ? error->message : "");
            g_error_free(error);
        }
        to.post(BusEvent::Failed, std::move(why));
        break;
    }
    default:
        break;
    }
    gst_message_unref(message);
    return GST_BUS_DROP;
}

GstMediaGraph::GstMediaGraph(GstHandle<GstElement> playbin, std::unique_ptr<ChannelFilter> filter, BusLink link)
    : playbin_(std::move(playbin)), filter_(std::move(filter)), link_(std::move(link)) {
    const GstHandle<GstBus> bus(gst_element_get_bus(playbin_.get()));
    gst_bus_set_sync_handler(bus.get(), &GstMediaGraph::onBus, new BusLink(link_),
                             [](gpointer l) { delete static_cast<BusLink*>(l); });
}

GstMediaGraph::~GstMediaGraph() {
    if (const auto live = link_.graphs.lock()) live->erase(link_.id);
    fadeOut();
    gst_element_set_state(playbin_.get(), GST_STATE_NULL);
    const GstHandle<GstBus> bus(gst_element_get_bus(playbin_.get()));
    gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
}

void GstMediaGraph::handle(BusEvent event, const std::string& why) {
    switch (event) {
    case BusEvent::Prerolled:
        // Later ones end a seek; position() sees that for itself.
        if (chain_ != Chain::Building) return;
        chain_ = Chain::Ready;
        if (target_) seek(rate_, *std::exchange(target_, std::nullopt));
        gst_element_set_state(playbin_.get(), wanted_);
        return;
    case BusEvent::Ended:
        if (chain_ == Chain::Ready && onStream) onStream(StreamEvent::Ended, {});
        return;
    case BusEvent::Failed:
        if (failureTold_) return;
        failureTold_ = true;
        chain_ = Chain::Broken;
        target_.reset();
        running_ = false;
        gst_element_set_state(playbin_.get(), GST_STATE_NULL);
        filter_->silence();
        if (onStream) onStream(StreamEvent::Failed, why);
        return;
    }
}

bool GstMediaGraph::render(const std::string& path) {
    if (chain_ != Chain::Empty) return false;
    GError* error = nullptr;
    const GCharHandle uri(gst_filename_to_uri(path.c_str(), &error));
    const GErrorHandle errorOwner(error);
    if (uri && isRegularFile(path)) {
        g_object_set(playbin_.get(), "uri", uri.get(), nullptr);
        switch (gst_element_set_state(playbin_.get(), GST_STATE_PAUSED)) {
        case GST_STATE_CHANGE_FAILURE:
            break;
        case GST_STATE_CHANGE_ASYNC:
            chain_ = Chain::Building;
            return true;
        default:
            chain_ = Chain::Ready;
            return true;
        }
    }
    // Told like any other failure, later and on the user-interface thread.
    chain_ = Chain::Broken;
    gst_element_set_state(playbin_.get(), GST_STATE_NULL);
    link_.post(BusEvent::Failed, "the file cannot be opened or played");
    return false;
}

GstClockTime GstMediaGraph::streamSpan(std::chrono::milliseconds wall) const {
    return static_cast<GstClockTime>(static_cast<double>(wall.count()) * rate_ * GST_MSECOND);
}

void GstMediaGraph::fadeOut() {
    if (!running_) return;
    running_ = false;
    const GstClockTime silentAt = filter_->fall(streamSpan(kHaltRamp));
    // Only a playing pipeline lets the fall be heard; one still prerolling or landing a seek has
    // nothing sounding to wait for.
    GstState state = GST_STATE_VOID_PENDING;
    if (chain_ != Chain::Ready || gst_element_get_state(playbin_.get(), &state, nullptr, 0) != GST_STATE_CHANGE_SUCCESS ||
        state != GST_STATE_PLAYING)
        return;
    // What is heard lags behind what the filter takes by what the sink holds. The wait is short
    // and ends early when the sound stops moving (the end of the file).
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + kHeardTimeout;
    gint64 last = -1, heard = -1;
    auto lastMoved = Clock::now();
    while (Clock::now() < deadline) {
        if (!gst_element_query_position(filter_->sink(), GST_FORMAT_TIME, &heard)) break;
        if (heard >= 0 && static_cast<GstClockTime>(heard) >= silentAt + kHeardMargin) break;
        if (heard != last) {
            last = heard;
            lastMoved = Clock::now();
        } else if (Clock::now() - lastMoved > kHaltRamp) {
            break;
        }
        g_usleep(1000);
    }
}

bool GstMediaGraph::run() {
    if (!live()) return false;
    wanted_ = GST_STATE_PLAYING;
    // The sound rises from silence with the next buffer the gain takes, wherever the stream is
    // by then.
    const auto rise = [this] {
        running_ = true;
        filter_->rise(streamSpan(kHaltRamp));
        return true;
    };
    // A chain still being built plays as soon as it is ready, unless it must move first.
    if (chain_ == Chain::Building && target_) return rise();
    if (gst_element_set_state(playbin_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) return false;
    return rise();
}

bool GstMediaGraph::pause() {
    if (!live()) return false;
    wanted_ = GST_STATE_PAUSED;
    fadeOut();
    const bool paused = gst_element_set_state(playbin_.get(), GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
    // What the paused sink goes on taking is silent, and the next run rises from it.
    filter_->silence();
    return paused;
}

// A playbin brought down to READY forgets its position; a paused one keeps it.
bool GstMediaGraph::stop() { return pause(); }

std::optional<double> GstMediaGraph::duration() {
    // The one wait on a pipeline, bounded: a file whose length no header tells must preroll first.
    if (chain_ == Chain::Building &&
        gst_element_get_state(playbin_.get(), nullptr, nullptr, kDurationWait) == GST_STATE_CHANGE_SUCCESS)
        handle(BusEvent::Prerolled);
    gint64 ns = 0;
    if (chain_ != Chain::Ready || !gst_element_query_duration(playbin_.get(), GST_FORMAT_TIME, &ns) || ns < 0)
        return std::nullopt;
    return static_cast<double>(ns) / GST_SECOND;
}

std::optional<double> GstMediaGraph::position() {
    if (!live()) return std::nullopt;
    if (target_) {
        // Until a seek has landed, the graph stands where it was sent.
        if (chain_ == Chain::Building ||
            gst_element_get_state(playbin_.get(), nullptr, nullptr, 0) == GST_STATE_CHANGE_ASYNC)
            return target_;
        target_.reset();
    }
    if (chain_ == Chain::Building) return 0.0;
    // The sink answers for the whole graph; asked directly, the question skips the walk through
    // playbin's bins, which costs more than the answer (the position is read ten times a second).
    gint64 ns = 0;
    if (!gst_element_query_position(filter_->sink(), GST_FORMAT_TIME, &ns) || ns < 0) return std::nullopt;
    return static_cast<double>(ns) / GST_SECOND;
}

bool GstMediaGraph::seek(double rate, double seconds) {
    if (!live() || !(seconds >= 0.0) || !(rate > 0.0) || !std::isfinite(rate)) return false;
    if (chain_ == Chain::Building) {
        // Kept for the ready chain; the start at normal speed is where it stands already.
        rate_ = rate;
        if (seconds > 0.0 || rate != 1.0 || target_) target_ = seconds;
        return true;
    }
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    // The sound falls silent before it jumps and rises again with the first buffer where it lands.
    const bool wasRunning = running_;
    fadeOut();
    filter_->silence();
    const bool sought = gst_element_seek(playbin_.get(), rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                                         static_cast<gint64>(seconds * GST_SECOND), GST_SEEK_TYPE_NONE, -1);
    if (sought) {
        target_ = seconds;
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
    if (!live()) return std::nullopt;
    return rate_;
}

bool GstMediaGraph::setRate(double rate) { return seek(rate, position().value_or(0.0)); }

std::optional<int32_t> GstMediaGraph::volume() {
    if (!live()) return std::nullopt;
    const double linear = filter_->gain();
    if (linear <= 1e-5) return -10000;
    return roundToInt32(2000.0 * std::log10(linear));
}

bool GstMediaGraph::setVolume(int32_t centibels, std::chrono::milliseconds ramp) {
    if (!live() || centibels > 0 || centibels < -10000) return false;
    filter_->setGain(std::pow(10.0, centibels / 2000.0), streamSpan(ramp));
    return true;
}

std::optional<int32_t> GstMediaGraph::balance() {
    if (!live()) return std::nullopt;
    return roundToInt32(filter_->balance() * 10000.0);
}

bool GstMediaGraph::setBalance(int32_t balance) {
    if (!live() || balance < -10000 || balance > 10000) return false;
    filter_->setBalance(static_cast<float>(balance / 10000.0));
    return true;
}

GstMediaService::GstMediaService(toolkit::EventLoop& loop, AudioOutput output) : loop_(loop), output_(output) {}

std::unique_ptr<MediaGraph> GstMediaService::createGraph(const std::string& outputDevice) {
    startGstreamer();
    const int id = ++lastId_;
    auto graph = GstMediaGraph::create(output_, outputDevice, {loop_, graphs_, id});
    if (graph) (*graphs_)[id] = graph.get();
    return graph;
}

std::unique_ptr<GstMediaGraph> GstMediaService::createGraphTo(GstHandle<GstElement> sink) {
    startGstreamer();
    const int id = ++lastId_;
    auto graph = GstMediaGraph::create(std::move(sink), {loop_, graphs_, id});
    if (graph) (*graphs_)[id] = graph.get();
    return graph;
}

std::vector<std::string> GstMediaService::outputDevices() {
    startGstreamer();
    return audioSinkNames();
}

std::optional<double> GstMediaService::probeDuration(const std::string& path) { return scanDuration(path); }

}  // namespace velorra
