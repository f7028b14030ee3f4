#pragma once
// The media service on GStreamer: each graph is one channel's branch of the player's one output
// (gst_mix_output.h). A graph decodes its file in a pipeline of its own, `uridecodebin !
// audioconvert ! audioresample ! appsink` (float stereo at the mix's rate, no clock; an MP3 file
// takes the chain that type finding would build for it, built at once), and the
// mixer reads it from there on demand, applying the graph's volume (the linear factor
// 10^(centibels / 2000), ramped sample by sample), balance and rate. Pausing, stopping, seeking and dropping a sounding graph ramp its sound to
// silence over 10 ms in the mix's own time, and running it again ramps it back up; a paused or
// absent graph adds silence. Its position is where its sound leaves the output.
//
// A pipeline's threads yield to the player's others (nice 10): each decodes seconds ahead of the
// mix, so the bursts of a song's start wait while the mixing and the window go first.
//
// The user-interface thread waits on no pipeline and changes no pipeline's state: opening the
// file, finding its type, every change of state, the seeks and the teardown are the output's
// worker's (gst_mix_output.h), in the order asked. A pipeline prerolls on its own threads; what
// its bus says (the chain is ready, it failed) and the end of its stream (the last frame mixed)
// are posted through the event loop carrying the graph's id, and reach the graph on the
// user-interface thread only while a graph of that id lives; an output that holds much of the mix
// ahead of the listener has the end told once it is heard. A position or state asked for while
// the chain is still being built is applied when it is ready. A seek or a drop lets the fall
// before it be mixed (a stretch or two) before the pipeline moves or goes, on the worker, and a
// seek's task starts the sound again once the last seek asked for is made.
#include <gst/gst.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>

#include "player/channel/duration_cache.h"
#include "player/channel/gst/gst_handle.h"
#include "player/channel/gst/gst_mix_input.h"
#include "player/channel/gst/gst_mix_output.h"
#include "player/channel/media_service.h"
#include "player/toolkit/event_loop.h"
#include "player/toolkit/timer.h"

namespace velorra {

// What a graph acts on: its pipeline's bus says the chain is ready or failed; its input says the
// stream has been mixed to its end.
enum class BusEvent { Prerolled, Ended, Failed };

class GstMediaGraph;
// The live graphs of a service by id, read and changed on the user-interface thread only.
using GstGraphs = std::map<int, GstMediaGraph*>;

class GstMediaGraph : public MediaGraph {
public:
    GstMediaGraph(const GstMediaGraph&) = delete;
    GstMediaGraph& operator=(const GstMediaGraph&) = delete;
    // Lets the branch's fall be mixed, takes it out of the mix and brings the pipeline down.
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
    bool setLoudness(double factor, std::chrono::milliseconds ramp) override;
    std::optional<int32_t> balance() override;
    bool setBalance(int32_t balance) override;

    // The decoding pipeline, for inspection.
    GstElement* pipeline() const { return pipeline_.get(); }
    // Its branch of the mix, and whether its sound is in the mix: run and not halted since.
    Mixer::Branch branch() const { return branch_; }
    bool sounding() const { return running_; }

private:
    friend class GstMediaService;
    // Empty: nothing rendered; Building: prerolling; Ready: prerolled; Broken: failed for good.
    enum class Chain { Empty, Building, Ready, Broken };

    // What the bus handler and the input need to reach a graph from GStreamer's threads.
    struct BusLink {
        toolkit::EventLoop& loop;
        std::weak_ptr<GstGraphs> graphs;
        int id;
        // The nice value the pipeline's streaming threads take as they start.
        int nice;
        // Posts the event through the loop; it reaches the graph only if one of this id lives.
        // A failure carries GStreamer's words for it.
        void post(BusEvent event, std::string why = {}) const;
    };
    // Null when the elements cannot be made.
    static std::unique_ptr<GstMediaGraph> create(std::shared_ptr<GstMixOutput> output, BusLink link);
    GstMediaGraph(GstHandle<GstElement> pipeline, GstHandle<GstElement> appsink, std::shared_ptr<GstMixOutput> output,
                  BusLink link);
    static GstBusSyncReply onBus(GstBus* bus, GstMessage* message, gpointer link);
    // Acts on what the bus or the input said, on the user-interface thread.
    void handle(BusEvent event, const std::string& why = {});
    bool seek(double seconds);
    // Brings the pipeline to `state` on the worker, in the order asked.
    void moveTo(GstState state);
    bool live() const { return chain_ == Chain::Building || chain_ == Chain::Ready; }
    // Mix frames in `wall` of playing.
    static int64_t frames(std::chrono::milliseconds wall);
    // A sounding graph's sound falls to silence in the mix.
    void fadeOut();

    // What the user-interface thread and the worker share of a graph's sound: whether it is to
    // sound, and the seeks asked for and not yet made, the last one's target.
    struct Motion {
        std::mutex lock;
        bool sounds = false;
        int seeks = 0;
        double target = 0.0;
    };

    GstHandle<GstElement> pipeline_;
    const std::shared_ptr<GstMixOutput> output_;
    const BusLink link_;
    std::shared_ptr<GstMixInput> input_;
    Mixer::Branch branch_ = 0;
    Chain chain_ = Chain::Empty;
    bool failureTold_ = false;
    // The state asked for; while building, reached once the chain is ready.
    GstState wanted_ = GST_STATE_PAUSED;
    // The position asked for while building.
    std::optional<double> target_;
    // Asked to run and not halted since: its sound rises, or is to rise with its next frame (or,
    // while a seek is to be made, with the first frame where it lands).
    bool running_ = false;
    const std::shared_ptr<Motion> motion_ = std::make_shared<Motion>();
    // Tells the end of the stream once its last frame is heard.
    toolkit::Timer endHeard_{link_.loop};
};

class GstMediaService : public MediaService {
public:
    // The loop must outlive the service; graphs tell their streams' fate through it. GStreamer
    // and the decoding plugins are loaded on the output's worker from the start.
    explicit GstMediaService(toolkit::EventLoop& loop, AudioOutput output = AudioOutput::Device);
    // A GstMediaGraph; null when the elements cannot be made. The output opens when a graph first
    // runs, and moves to the device of the last graph made when a graph runs after it.
    std::unique_ptr<MediaGraph> createGraph(const std::string& outputDevice) override;
    // The audio sinks of GStreamer's device monitor.
    std::vector<OutputDeviceEntry> outputDevices() override;
    // From the file's headers (see duration_scan.h), kept while the file is unchanged.
    std::optional<double> probeDuration(const std::string& path) override;
    void readAhead(const std::string& path) override;

    // The mixer every graph plays into; with AudioOutput::Pulled the caller mixes from it.
    Mixer& mixer() { return output_->mixer(); }
    // The one output.
    GstMixOutput& output() { return *output_; }
    const GstMixOutput& output() const { return *output_; }
    // Waits until every graph still being built is ready or has failed (a failure is told through
    // the loop as always), so that a mix pulled by hand as fast as it can is not mixed ahead of a
    // song that is to sound: a render. `wait` bounds the wait for each graph.
    void settle(std::chrono::milliseconds wait);

private:
    toolkit::EventLoop& loop_;
    std::shared_ptr<GstMixOutput> output_;
    std::shared_ptr<GstGraphs> graphs_ = std::make_shared<GstGraphs>();
    int lastId_ = 0;
    DurationCache lengths_;
};

}  // namespace velorra
