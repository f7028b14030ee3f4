#pragma once
// A media service for tests: files exist only as names with a duration the test gives, time is
// the event loop's clock in milliseconds, and every call is recorded. A running graph's position
// moves with the clock at its rate and stops at the end of its stream, where the graph tells
// Ended (or Failed, for a file scripted to fail there) through the loop. A file that cannot be
// rendered is told as Failed too.
//
// The service must outlive its graphs. What each graph was told stays readable after the graph
// is dropped.
#include <chrono>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "player/channel/media_service.h"
#include "player/toolkit/event_loop.h"

namespace velorra {

enum class FakeGraphState { Stopped, Paused, Running };

struct FakeGraph {
    int id = 0;  // 1, 2, ... in creation order
    std::string file;  // the file rendered into it, empty when none was
    std::string outputDevice;  // the device it was made for, empty for the default output
    bool alive = true;
    FakeGraphState state = FakeGraphState::Stopped;
    double rate = 1.0;
    int32_t volume = 0;
    std::chrono::milliseconds volumeRamp{0};  // the ramp of the last volume set
    double loudness = 1.0;
    std::chrono::milliseconds loudnessRamp{0};  // the ramp of the last loudness set
    int32_t balance = 0;
    double duration = 0.0;
    double streamEnd = 0.0;  // where the stream stops: the duration, or where it breaks
    bool failed = false;     // told Failed: the graph plays nothing more
    // The position is basePosition at baseTime, moving on from there while running.
    double basePosition = 0.0;
    int64_t baseTime = 0;
};

struct MediaCall {
    int graph;              // 0 for a call to the service itself
    std::string operation;  // "createGraph", "outputDevices", "probeDuration", "render", "run",
                            // "pause", "stop", "duration", "position", "setPosition", "rate",
                            // "setRate", "volume", "setVolume", "setLoudness", "balance", "setBalance",
                            // "release", "tell" (Ended or Failed, told through
                            // the loop)
    std::string argument;   // the value handed over (a file name, a number, a device), else empty
    bool succeeded;
};

class FakeMediaService : public MediaService {
public:
    explicit FakeMediaService(toolkit::EventLoop& loop);

    // A file the service can play, `seconds` long.
    void setDuration(const std::string& file, double seconds);
    // A known file that cannot be opened (its duration is unknown and rendering it fails).
    void failToOpen(const std::string& file);
    // A file whose header tells `seconds` but that no graph can render.
    void failToRender(const std::string& file, double seconds);
    // A file of `seconds` whose stream stops at `at`: it ends there early (Ended) or fails
    // there mid-way (Failed).
    void breakAt(const std::string& file, double seconds, double at, StreamEvent how);
    // A file of `seconds` whose length no header tells: a graph knows it once it has played to `at`.
    void lengthKnownAt(const std::string& file, double seconds, double at);
    // The output devices present, in the order they are listed. A list, so that bare names
    // ({"First", "Second"}) do not compile as a vector's pair of iterators.
    void setOutputDevices(std::initializer_list<OutputDeviceEntry> devices) { devices_ = devices; }

    const std::vector<MediaCall>& calls() const { return calls_; }
    // The files the service was told play next, in order (kept apart from the calls, which tell
    // what playing did).
    const std::vector<std::string>& readAheads() const { return readAheads_; }
    // The calls with the given operation, in order.
    std::vector<MediaCall> callsOf(const std::string& operation) const;

    int graphCount() const { return static_cast<int>(graphs_.size()); }
    const FakeGraph& graph(int id) const { return *graphs_.at(id - 1); }
    // The graph most recently made for a file; null when none was.
    const FakeGraph* lastGraphFor(const std::string& file) const;
    // A graph's position now, in seconds.
    double positionOf(const FakeGraph& graph) const;

    std::unique_ptr<MediaGraph> createGraph(const std::string& outputDevice) override;
    std::vector<OutputDeviceEntry> outputDevices() override;
    std::optional<double> probeDuration(const std::string& path) override;
    void readAhead(const std::string& path) override { readAheads_.push_back(path); }

private:
    class Graph;
    friend class Graph;

    struct Break {
        double at;
        StreamEvent how;
    };

    bool record(int graph, std::string operation, std::string argument, bool succeeded);
    // Moves a graph's base to now, before a change of state, rate or position.
    void rebase(FakeGraph& graph) const;
    // Posts what a graph tells; it arrives only while that graph lives.
    void tell(int graph, StreamEvent event);

    toolkit::EventLoop& loop_;
    std::map<std::string, double> durations_;
    std::set<std::string> failing_;      // neither scanned nor rendered
    std::set<std::string> unrenderable_;  // scanned, not rendered
    std::map<std::string, Break> breaks_;
    std::map<std::string, double> lengthKnownAt_;  // no header tells; a graph knows from there on
    std::map<int, Graph*> live_;
    std::vector<OutputDeviceEntry> devices_;
    std::vector<std::shared_ptr<FakeGraph>> graphs_;
    std::vector<MediaCall> calls_;
    std::vector<std::string> readAheads_;
};

}  // namespace velorra
