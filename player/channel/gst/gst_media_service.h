#pragma once
// The media service on GStreamer: one playbin per graph, audio only, its volume and balance
// the graph's own audio filter (channel_filter.h) with the linear factor 10^(centibels / 2000),
// its rate a seek. A running graph never halts or jumps mid-sound: pausing, stopping, seeking
// and dropping it first ramp the sound to silence, and running it again ramps the sound back.
//
// Nothing waits on a pipeline. It prerolls and seeks on its own threads; what its bus says (the
// chain is ready, the stream ended, it failed) is posted through the event loop carrying the
// graph's id, and reaches the graph on the user-interface thread only while a graph of that id
// lives. A position or state asked for while the chain is still being built is applied when
// it is ready. The one wait is a halt's: a playing graph lets its fall to silence be heard for
// at most a few hundredths of a second before it halts (the ramp itself is always kept).
#include <gst/gst.h>

#include <chrono>
#include <map>
#include <memory>

#include "player/channel/gst/channel_filter.h"
#include "player/channel/gst/gst_handle.h"
#include "player/channel/media_service.h"
#include "player/toolkit/event_loop.h"

namespace velorra {

// Where a graph's sound goes: the default audio device, or nowhere, in real time or as fast
// as the machine decodes (tests and benchmarks).
enum class AudioOutput { Device, SilentRealTime, SilentFast };

// What a pipeline's bus says that its graph acts on.
enum class BusEvent { Prerolled, Ended, Failed };

class GstMediaGraph;
// The live graphs of a service by id, read and changed on the user-interface thread only.
using GstGraphs = std::map<int, GstMediaGraph*>;

class GstMediaGraph : public MediaGraph {
public:
    GstMediaGraph(const GstMediaGraph&) = delete;
    GstMediaGraph& operator=(const GstMediaGraph&) = delete;
    // Brings the pipeline down before returning, so its sound stops (after its fall to silence).
    ~GstMediaGraph() override;

    bool render(const std::string& path) override;
    bool run() override;
    bool pause() override;
    bool stop() override;
    std::optional<double> duration() override;
    std::optional<double> position() override;
    bool setPosition(double seconds) override;
    std::optional<double> rate() override;
    bool setRate(double rate) override;
    std::optional<int32_t> volume() override;
    bool setVolume(int32_t centibels, std::chrono::milliseconds ramp) override;
    std::optional<int32_t> balance() override;
    bool setBalance(int32_t balance) override;

    // The elements themselves, for inspection.
    GstElement* pipeline() const { return playbin_.get(); }
    ChannelFilter& filter() const { return *filter_; }

private:
    friend class GstMediaService;
    // Empty: nothing rendered; Building: prerolling; Ready: prerolled; Broken: failed for good.
    enum class Chain { Empty, Building, Ready, Broken };

    // What the bus handler needs to reach a graph from GStreamer's threads.
    struct BusLink {
        toolkit::EventLoop& loop;
        std::weak_ptr<GstGraphs> graphs;
        int id;
        // Posts the event through the loop; it reaches the graph only if one of this id lives.
        // A failure carries GStreamer's words for it.
        void post(BusEvent event, std::string why = {}) const;
    };
    // Null when the elements cannot be made. With AudioOutput::Device the sound goes to the
    // device of that display name, or to the default output when none carries it.
    static std::unique_ptr<GstMediaGraph> create(AudioOutput output, const std::string& device, BusLink link);
    // A graph whose sound goes to the given sink.
    static std::unique_ptr<GstMediaGraph> create(GstHandle<GstElement> sink, BusLink link);
    GstMediaGraph(GstHandle<GstElement> playbin, std::unique_ptr<ChannelFilter> filter, BusLink link);
    static GstBusSyncReply onBus(GstBus* bus, GstMessage* message, gpointer link);
    // Acts on what the bus said, on the user-interface thread.
    void handle(BusEvent event, const std::string& why = {});
    bool seek(double rate, double seconds);
    bool live() const { return chain_ == Chain::Building || chain_ == Chain::Ready; }
    // Stream time that passes in `wall` of playing at the graph's rate.
    GstClockTime streamSpan(std::chrono::milliseconds wall) const;
    // A running graph ramps its sound to silence; while the pipeline plays, it returns once that
    // silence is heard or after a short bound, whichever comes first.
    void fadeOut();

    GstHandle<GstElement> playbin_;
    std::unique_ptr<ChannelFilter> filter_;
    const BusLink link_;
    Chain chain_ = Chain::Empty;
    bool failureTold_ = false;
    // The state asked for; while building, reached once the chain is ready.
    GstState wanted_ = GST_STATE_PAUSED;
    // The position asked for while building, or the one a seek is moving to.
    std::optional<double> target_;
    double rate_ = 1.0;
    // Asked to run and not halted since: its sound rises, or is to rise with the next buffer.
    bool running_ = false;
};

class GstMediaService : public MediaService {
public:
    // The loop must outlive the service; graphs tell their streams' fate through it.
    explicit GstMediaService(toolkit::EventLoop& loop, AudioOutput output = AudioOutput::Device);
    // A GstMediaGraph; null when the elements cannot be made.
    std::unique_ptr<MediaGraph> createGraph(const std::string& outputDevice) override;
    // A graph like any other whose sound goes to the given sink (an appsink, say); null when the
    // elements cannot be made.
    std::unique_ptr<GstMediaGraph> createGraphTo(GstHandle<GstElement> sink);
    // The audio sinks of GStreamer's device monitor.
    std::vector<std::string> outputDevices() override;
    // MPEG audio and WAV from their headers (see duration_scan.h).
    std::optional<double> probeDuration(const std::string& path) override;

private:
    toolkit::EventLoop& loop_;
    AudioOutput output_;
    std::shared_ptr<GstGraphs> graphs_ = std::make_shared<GstGraphs>();
    int lastId_ = 0;
};

}  // namespace velorra
