#include "player/channel/gst/gst_media_service.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>
#include <utility>

#include <gst/audio/audio-format.h>
#include <gst/audio/gstaudiodecoder.h>

#include "player/channel/duration_scan.h"
#include "player/channel/gst/gst_output_devices.h"
#include "player/channel/gst/gst_start.h"
#include "player/channel/thread_priority.h"
#include "player/channel/whole_seconds.h"

namespace velorra {

namespace {

// The element of a decoding pipeline that the decoded sound enters.
constexpr char kConvert[] = "convert";
// How long the sound takes to fall silent before it halts, and to rise when it starts.
constexpr std::chrono::milliseconds kHaltRamp{10};
// How long a seek or a drop waits at most, on the worker, for the fall before it to be mixed: the
// output asks for a stretch every 20 ms, so two stretches carry the fall.
constexpr auto kFallWait = std::chrono::milliseconds{50};
// What a decoder gathers before it passes its sound on. Each stretch wakes the decoding thread,
// the converters and the mixer's read once (an MP3 frame alone is 26 ms), and on a busy machine
// a wake-up costs far more than the decoding it starts: half a second of MP3 decodes in about a
// millisecond.
constexpr GstClockTime kDecodedStretch = 500 * GST_MSECOND;
// What the appsink keeps of the stream decoded ahead of the mix, in buffers: so that a channel
// whose decoding waits for a core a while is still read in time. A decoder's stretches are
// counted to two seconds; a WAV file, which has no decoder, comes in chunks of 25 ms, of which
// twenty make half a second. More only costs a song's start a longer burst of decoding, in the
// middle of a transition.
constexpr guint kChunksAhead = 20;
constexpr guint kStretchesAhead = 4;

// GStreamer opens the file on the calling thread: a named pipe would hold it until a writer
// came, so only a regular file goes in.
bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The end of the decoding pipeline: float stereo at the mix's rate, kept for the mixer.
GstHandle<GstElement> makeAppsink() {
    auto sink = makeElement("appsink");
    if (!sink) return sink;
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, GST_AUDIO_NE(F32), "layout",
                                        G_TYPE_STRING, "interleaved", "rate", G_TYPE_INT, GstMixOutput::kRate,
                                        "channels", G_TYPE_INT, 2, nullptr);
    g_object_set(sink.get(), "caps", caps, "sync", FALSE, "max-buffers", kChunksAhead, "enable-last-sample", FALSE,
                 nullptr);
    gst_caps_unref(caps);
    return sink;
}

// A pipeline shared with the worker's tasks, released by the last of them.
std::shared_ptr<GstElement> shared(GstElement* pipeline) {
    return {GST_ELEMENT(gst_object_ref(pipeline)), gst_object_unref};
}

// Returns once the branch's fall has been mixed, or after a short bound; at once when the mix is
// pulled by hand (the caller mixes it).
void waitForFall(const GstMixOutput& output, Mixer::Branch branch) {
    if (!output.pullsItself()) return;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + kFallWait;
    while (!output.mixer().halted(branch) && Clock::now() < deadline) g_usleep(1000);
}

void bringDown(GstElement* pipeline) {
    gst_element_set_state(pipeline, GST_STATE_NULL);
    const GstHandle<GstBus> bus(gst_element_get_bus(pipeline));
    gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
}

// A decoder that can give float samples gives them, so that its sound reaches the mixer as it
// comes, with no conversion between: asked what may follow it (while it is still unlinked inside
// the decoding bin, which would answer "any sound"), it is told interleaved float, when that is
// one of the formats it offers. mpg123 would otherwise pick 16 bits, its first format, and the
// converter would take each half second of it to float through two passes of twice the size.
GstPadProbeReturn offerFloat(GstPad*, GstPadProbeInfo* info, gpointer) {
    GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
    if (GST_QUERY_TYPE(query) != GST_QUERY_CAPS) return GST_PAD_PROBE_OK;
    GstCaps* offered = nullptr;
    gst_query_parse_caps(query, &offered);
    if (!offered) return GST_PAD_PROBE_OK;
    const GstCapsHandle floats(gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, GST_AUDIO_NE(F32),
                                                   "layout", G_TYPE_STRING, "interleaved", nullptr));
    const GstCapsHandle taken(gst_caps_intersect(offered, floats.get()));
    if (gst_caps_is_empty(taken.get())) return GST_PAD_PROBE_OK;
    gst_query_set_caps_result(query, taken.get());
    return GST_PAD_PROBE_HANDLED;
}

// Links the decoder's first sound stream to the converter (`convert`), on a streaming thread.
void linkSound(GstElement*, GstPad* pad, gpointer convert) {
    const GstHandle<GstPad> sink(gst_element_get_static_pad(GST_ELEMENT(convert), "sink"));
    if (gst_pad_is_linked(sink.get())) return;
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps) caps = gst_pad_query_caps(pad, nullptr);
    const bool sound = gst_caps_get_size(caps) > 0 &&
                       g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/");
    gst_caps_unref(caps);
    if (sound) gst_pad_link(pad, sink.get());
}

// A file whose streams hold no sound fails like any other that does not play.
void checkSound(GstElement* decoder, gpointer convert) {
    const GstHandle<GstPad> sink(gst_element_get_static_pad(GST_ELEMENT(convert), "sink"));
    if (gst_pad_is_linked(sink.get())) return;
    GError* error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_WRONG_TYPE, "The file holds no sound.");
    gst_element_post_message(decoder, gst_message_new_error(GST_OBJECT(decoder), error, nullptr));
    g_error_free(error);
}

// `audioconvert ! audioresample ! appsink`, which the file's decoding elements join once the file
// is known: nothing stands between the decoding thread and the appsink.
GstHandle<GstElement> makeDecoding(GstElement* appsink) {
    GstHandle<GstElement> pipeline(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr))));
    GstElement* convert = gst_element_factory_make("audioconvert", kConvert);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    if (!convert || !resample) {
        for (GstElement* e : {convert, resample})
            if (e) gst_object_unref(gst_object_ref_sink(e));
        return nullptr;
    }
    gst_bin_add_many(GST_BIN(pipeline.get()), convert, resample, appsink, nullptr);
    if (!gst_element_link_many(convert, resample, appsink, nullptr)) return nullptr;
    g_signal_connect(pipeline.get(), "deep-element-added",
                     G_CALLBACK(+[](GstBin*, GstBin*, GstElement* element, gpointer sink) {
                         if (!GST_IS_AUDIO_DECODER(element)) return;
                         g_object_set(element, "min-latency", kDecodedStretch, nullptr);
                         const GstHandle<GstPad> src(gst_element_get_static_pad(element, "src"));
                         gst_pad_add_probe(src.get(), GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM, offerFloat, nullptr, nullptr);
                         g_object_set(sink, "max-buffers", kStretchesAhead, nullptr);
                     }),
                     appsink);
    return pipeline;
}

// Any file: `uridecodebin`, which finds the file's type and builds the chain that decodes it, and
// decodes the sound streams only (the first is played).
bool addDecodingBin(GstElement* pipeline, GstElement* convert, const char* uri) {
    GstElement* decoder = gst_element_factory_make("uridecodebin", nullptr);
    if (!decoder) return false;
    GstCaps* sound = gst_caps_new_empty_simple("audio/x-raw");
    g_object_set(decoder, "uri", uri, "caps", sound, "expose-all-streams", FALSE, nullptr);
    gst_caps_unref(sound);
    g_signal_connect(decoder, "pad-added", G_CALLBACK(linkSound), convert);
    g_signal_connect(decoder, "no-more-pads", G_CALLBACK(checkSound), convert);
    return gst_bin_add(GST_BIN(pipeline), decoder);
}

// An MP3 file: the chain type finding would build for it, built at once, `filesrc ! id3demux !
// mpegaudioparse ! mpg123audiodec`. The tag reader passes the file on without its ID3 tags at
// either end (untagged, as it is). A song's start is the busiest moment of a transition, and the
// decoding bin costs it more than the rest of the chain: looking up the file's handler, running
// the type finders, filtering GStreamer's registry for a parser and then a decoder, and one more
// thread (5 ms against under 1 ms of processor time here). False, with nothing added, when an
// element is missing.
bool addMpegChain(GstElement* pipeline, GstElement* convert, const std::string& path) {
    GstElement* chain[] = {gst_element_factory_make("filesrc", nullptr), gst_element_factory_make("id3demux", nullptr),
                           gst_element_factory_make("mpegaudioparse", nullptr),
                           gst_element_factory_make("mpg123audiodec", nullptr)};
    if (std::any_of(std::begin(chain), std::end(chain), [](GstElement* e) { return e == nullptr; })) {
        for (GstElement* e : chain)
            if (e) gst_object_unref(gst_object_ref_sink(e));
        return false;
    }
    g_object_set(chain[0], "location", path.c_str(), nullptr);
    for (GstElement* e : chain) gst_bin_add(GST_BIN(pipeline), e);
    if (gst_element_link_many(chain[0], chain[1], chain[2], chain[3], convert, nullptr)) return true;
    for (GstElement* e : chain) gst_bin_remove(GST_BIN(pipeline), e);
    return false;
}

// Loads GStreamer and the plugins of the decoding pipelines, so that the first graph costs the
// window's thread no more than the next.
void loadDecoding() {
    startGstreamer();
    for (const char* name : {"uridecodebin", "filesrc", "id3demux", "mpegaudioparse", "mpg123audiodec"})
        if (GstElement* e = gst_element_factory_make(name, nullptr)) gst_object_unref(gst_object_ref_sink(e));
    if (auto appsink = makeAppsink()) makeDecoding(appsink.get());
}

}  // namespace

std::unique_ptr<GstMediaGraph> GstMediaGraph::create(std::shared_ptr<GstMixOutput> output, BusLink link) {
    auto appsink = makeAppsink();
    if (!appsink) return nullptr;
    auto pipeline = makeDecoding(appsink.get());
    if (!pipeline) return nullptr;
    return std::unique_ptr<GstMediaGraph>(
        new GstMediaGraph(std::move(pipeline), std::move(appsink), std::move(output), std::move(link)));
}

void GstMediaGraph::BusLink::post(BusEvent event, std::string why) const {
    loop.post([graphs = graphs, id = id, event, why = std::move(why)] {
        const auto live = graphs.lock();
        if (!live) return;
        if (const auto found = live->find(id); found != live->end()) found->second->handle(event, why);
    });
}

// Runs on whichever thread posts the message: passes on what the graph acts on, drops the rest
// so that nothing piles up on the bus (the end of the stream is the input's to tell, once the
// mixer has read it). A dropped message is the handler's to release.
GstBusSyncReply GstMediaGraph::onBus(GstBus*, GstMessage* message, gpointer link) {
    const auto& to = *static_cast<const BusLink*>(link);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_STREAM_STATUS: {
        // Told on the thread that has just started.
        GstStreamStatusType type{};
        gst_message_parse_stream_status(message, &type, nullptr);
        if (type == GST_STREAM_STATUS_TYPE_ENTER)
            setThreadNice(to.nice);
        break;
    }
    case GST_MESSAGE_ASYNC_DONE:
        to.post(BusEvent::Prerolled);
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

GstMediaGraph::GstMediaGraph(GstHandle<GstElement> pipeline, GstHandle<GstElement> appsink,
                             std::shared_ptr<GstMixOutput> output, BusLink link)
    : pipeline_(std::move(pipeline)), output_(std::move(output)), link_(std::move(link)) {
    const GstHandle<GstBus> bus(gst_element_get_bus(pipeline_.get()));
    gst_bus_set_sync_handler(bus.get(), &GstMediaGraph::onBus, new BusLink(link_),
                             [](gpointer l) { delete static_cast<BusLink*>(l); });
    input_ = std::make_shared<GstMixInput>(std::move(appsink), output_->inputWait(),
                                           [link = link_] { link.post(BusEvent::Ended); });
    branch_ = output_->mixer().add(input_);
    endHeard_.setEnabled(false);
    endHeard_.onTimer = [this] {
        endHeard_.setEnabled(false);
        if (chain_ == Chain::Ready && onStream) onStream(StreamEvent::Ended, {});
    };
}

GstMediaGraph::~GstMediaGraph() {
    if (const auto live = link_.graphs.lock()) live->erase(link_.id);
    fadeOut();
    // The pipeline comes down before its input leaves the mix: the input's decoding thread is gone
    // by then.
    output_->later([output = output_.get(), branch = branch_, input = input_, pipeline = shared(pipeline_.get())] {
        waitForFall(*output, branch);
        input->close();
        bringDown(pipeline.get());
        output->mixer().remove(branch);
    });
}

void GstMediaGraph::handle(BusEvent event, const std::string& why) {
    switch (event) {
    case BusEvent::Prerolled:
        // Later ones end a seek.
        if (chain_ != Chain::Building) return;
        chain_ = Chain::Ready;
        if (target_) seek(*std::exchange(target_, std::nullopt));
        moveTo(wanted_);
        return;
    case BusEvent::Ended:
        if (const int64_t ms = output_->msUntilHeard(output_->mixer().takenTo(branch_)); ms > 0) {
            endHeard_.setInterval(static_cast<int32_t>(std::min<int64_t>(ms, toolkit::Timer::MaxInterval)));
            endHeard_.setEnabled(true);
            return;
        }
        if (chain_ == Chain::Ready && onStream) onStream(StreamEvent::Ended, {});
        return;
    case BusEvent::Failed:
        if (failureTold_) return;
        failureTold_ = true;
        chain_ = Chain::Broken;
        target_.reset();
        running_ = false;
        {
            const std::lock_guard hold(motion_->lock);
            motion_->sounds = false;
            output_->mixer().silence(branch_);
        }
        input_->setFlowing(false);
        moveTo(GST_STATE_NULL);
        if (onStream) onStream(StreamEvent::Failed, why);
        return;
    }
}

bool GstMediaGraph::render(const std::string& path) {
    if (chain_ != Chain::Empty) return false;
    GError* error = nullptr;
    const GCharHandle uri(gst_filename_to_uri(path.c_str(), &error));
    const GErrorHandle errorOwner(error);
    if (!uri || !isRegularFile(path)) {
        // Told like any other failure, later and on the user-interface thread.
        chain_ = Chain::Broken;
        link_.post(BusEvent::Failed, "the file cannot be opened or played");
        return false;
    }
    const GstHandle<GstElement> convert(gst_bin_get_by_name(GST_BIN(pipeline_.get()), kConvert));
    if (!(startsWithMpegFrame(path) && addMpegChain(pipeline_.get(), convert.get(), path)) &&
        !addDecodingBin(pipeline_.get(), convert.get(), uri.get())) {
        chain_ = Chain::Broken;
        link_.post(BusEvent::Failed, "the file cannot be opened or played");
        return false;
    }
    // Opening the file and finding its type happen within the first change of state: on the
    // worker, whose result comes back as the bus's word or as a failure.
    chain_ = Chain::Building;
    output_->later([pipeline = shared(pipeline_.get()), link = link_] {
        switch (gst_element_set_state(pipeline.get(), GST_STATE_PAUSED)) {
        case GST_STATE_CHANGE_FAILURE:
            // The bus has told GStreamer's own words first where it had any.
            link.post(BusEvent::Failed, "the file cannot be opened or played");
            break;
        case GST_STATE_CHANGE_ASYNC:
            break;
        default:
            link.post(BusEvent::Prerolled);
            break;
        }
    });
    return true;
}

// On the worker, after what was asked of the pipeline before. The input waits for frames, and
// takes an empty sink for the end of the stream, only once its pipeline plays.
void GstMediaGraph::moveTo(GstState state) {
    output_->later([pipeline = shared(pipeline_.get()), input = input_, state] {
        if (state == GST_STATE_NULL) input->close();
        gst_element_set_state(pipeline.get(), state);
        input->setFlowing(state == GST_STATE_PLAYING);
    });
}

int64_t GstMediaGraph::frames(std::chrono::milliseconds wall) { return wall.count() * GstMixOutput::kRate / 1000; }

void GstMediaGraph::fadeOut() {
    if (!running_) return;
    running_ = false;
    const std::lock_guard hold(motion_->lock);
    motion_->sounds = false;
    output_->mixer().halt(branch_, frames(kHaltRamp));
}

bool GstMediaGraph::run() {
    if (!live()) return false;
    wanted_ = GST_STATE_PLAYING;
    // The pipeline keeps no clock: once playing it decodes ahead of the mix until it goes. A
    // chain still being built that must move first plays once it has moved.
    if (!(chain_ == Chain::Building && target_)) moveTo(GST_STATE_PLAYING);
    // The sound rises from silence with the first frame the mixer reads, wherever the stream is
    // by then.
    running_ = true;
    const std::lock_guard hold(motion_->lock);
    motion_->sounds = true;
    if (motion_->seeks == 0) output_->mixer().start(branch_, frames(kHaltRamp));
    // Opened, or woken from its rest, once the branch sounds: a rest asked for meanwhile finds it
    // sounding.
    output_->open();
    return true;
}

// The pipeline decodes on: only the mix halts, and a paused graph adds silence.
bool GstMediaGraph::pause() {
    if (!live()) return false;
    fadeOut();
    return true;
}

bool GstMediaGraph::stop() { return pause(); }

std::optional<double> GstMediaGraph::duration() {
    // Nothing waits for a chain still being built: its length is asked again later.
    gint64 ns = 0;
    if (chain_ != Chain::Ready || !gst_element_query_duration(pipeline_.get(), GST_FORMAT_TIME, &ns) || ns < 0)
        return std::nullopt;
    return static_cast<double>(ns) / GST_SECOND;
}

std::optional<double> GstMediaGraph::position() {
    if (!live()) return std::nullopt;
    if (chain_ == Chain::Building) return target_.value_or(0.0);
    {
        const std::lock_guard hold(motion_->lock);
        if (motion_->seeks > 0) return motion_->target;
    }
    // The input has read up to its next frame; what the output has not let out of the mix since
    // is still to be heard.
    // Frames a rewind gave back to the mixer are read from the input but not yet mixed.
    Mixer& mixer = output_->mixer();
    const int64_t unheard = std::max<int64_t>(0, mixer.takenTo(branch_) - output_->heardFrame());
    const double next = input_->nextSeconds();
    const double unmixed = static_cast<double>(mixer.held(branch_));
    return std::max(input_->startSeconds(),
                    next - (static_cast<double>(unheard) * mixer.rate(branch_) + unmixed) / GstMixOutput::kRate);
}

bool GstMediaGraph::seek(double seconds) {
    if (!live() || !(seconds >= 0.0)) return false;
    if (chain_ == Chain::Building) {
        // Kept for the ready chain; the start is where it stands already.
        if (seconds > 0.0 || target_) target_ = seconds;
        return true;
    }
    // The sound falls silent before it jumps and rises again with the first frame where it lands,
    // if it is still to sound once the last seek asked for is made.
    {
        const std::lock_guard hold(motion_->lock);
        ++motion_->seeks;
        motion_->target = seconds;
        if (running_) output_->mixer().halt(branch_, frames(kHaltRamp));
    }
    output_->later([output = output_.get(), branch = branch_, input = input_, pipeline = shared(pipeline_.get()),
                    motion = motion_, seconds] {
        waitForFall(*output, branch);
        output->mixer().forget(branch);
        const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
        input->seek(seconds, [&] {
            return gst_element_seek_simple(pipeline.get(), GST_FORMAT_TIME, flags,
                                           static_cast<gint64>(seconds * GST_SECOND));
        });
        const std::lock_guard hold(motion->lock);
        if (--motion->seeks == 0 && motion->sounds) output->mixer().start(branch, frames(kHaltRamp));
    });
    return true;
}

bool GstMediaGraph::setPosition(double seconds) { return seek(seconds); }

std::optional<double> GstMediaGraph::rate() {
    if (!live()) return std::nullopt;
    return output_->mixer().rate(branch_);
}

bool GstMediaGraph::setRate(double rate) {
    if (!live() || !(rate > 0.0) || !std::isfinite(rate)) return false;
    output_->mixer().setRate(branch_, rate);
    return true;
}

std::optional<int32_t> GstMediaGraph::volume() {
    if (!live()) return std::nullopt;
    const double linear = output_->mixer().gain(branch_);
    if (linear <= 1e-5) return -10000;
    return roundToInt32(2000.0 * std::log10(linear));
}

bool GstMediaGraph::setVolume(int32_t centibels, std::chrono::milliseconds ramp) {
    if (!live() || centibels > 0 || centibels < -10000) return false;
    output_->mixer().setGain(branch_, std::pow(10.0, centibels / 2000.0), frames(ramp));
    return true;
}

bool GstMediaGraph::setLoudness(double factor, std::chrono::milliseconds ramp) {
    if (!live() || !(factor >= 0.0) || !std::isfinite(factor)) return false;
    output_->mixer().setLoudness(branch_, factor, frames(ramp));
    return true;
}

std::optional<int32_t> GstMediaGraph::balance() {
    if (!live()) return std::nullopt;
    return roundToInt32(output_->mixer().balance(branch_) * 10000.0);
}

bool GstMediaGraph::setBalance(int32_t balance) {
    if (!live() || balance < -10000 || balance > 10000) return false;
    output_->mixer().setBalance(branch_, static_cast<float>(balance / 10000.0));
    return true;
}

GstMediaService::GstMediaService(toolkit::EventLoop& loop, AudioOutput output)
    : loop_(loop), output_(std::make_shared<GstMixOutput>(output)) {
    output_->later(loadDecoding);
}

std::unique_ptr<MediaGraph> GstMediaService::createGraph(const std::string& outputDevice) {
    startGstreamer();
    output_->choose(outputDevice);
    output_->prepare();
    const int id = ++lastId_;
    auto graph = GstMediaGraph::create(output_, {loop_, graphs_, id, output_->decodingNice()});
    if (graph) (*graphs_)[id] = graph.get();
    return graph;
}

void GstMediaService::settle(std::chrono::milliseconds wait) {
    const auto bound = static_cast<GstClockTime>(wait.count()) * GST_MSECOND;
    for (const auto& [id, graph] : *graphs_)
        if (graph->chain_ == GstMediaGraph::Chain::Building &&
            gst_element_get_state(graph->pipeline(), nullptr, nullptr, bound) == GST_STATE_CHANGE_SUCCESS)
            graph->handle(BusEvent::Prerolled);
}

std::vector<OutputDeviceEntry> GstMediaService::outputDevices() {
    startGstreamer();
    return audioSinks();
}

std::optional<double> GstMediaService::probeDuration(const std::string& path) { return lengths_.lengthOf(path); }

void GstMediaService::readAhead(const std::string& path) { lengths_.readAhead(path); }

}  // namespace velorra
