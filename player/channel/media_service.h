#pragma once
// The media playback service as the audio channel sees it: a factory of graphs, each graph
// playing one file. Every call reports failure through its result (false or an empty optional);
// none throws. No call waits for the stream: a graph
// tells what becomes of it later, on the user-interface thread.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velorra {

// What a graph tells of its stream: it came to its end, or it failed (the file turned out not
// to play, or decoding or the output broke down on the way).
enum class StreamEvent { Ended, Failed };

// An audio output device as the service lists it: the id it is chosen by, which stays the same
// from run to run and is the device's alone, and the name it shows, which two devices may share.
struct OutputDeviceEntry {
    std::string id;
    std::string name;
};

class MediaGraph {
public:
    virtual ~MediaGraph() = default;

    // Told on the user-interface thread, through the event loop, when the stream ends or fails;
    // a graph that has been dropped tells nothing more. A file that cannot be rendered is told
    // as Failed too, whatever render() returned. A failure comes with the service's own words
    // for it (for GStreamer: the error's domain, code and message).
    std::function<void(StreamEvent, const std::string& why)> onStream;

    // Starts building the playback chain for a file with the graph's audio output and returns
    // at once; the graph stands stopped at position 0. False when the file is refused at once.
    // Transport, position and rate calls made while the chain is still being built take effect
    // when it is ready.
    virtual bool render(const std::string& path) = 0;

    virtual bool run() = 0;
    virtual bool pause() = 0;
    // Stops playback; the graph keeps its position, so run() resumes there.
    virtual bool stop() = 0;

    // Times in seconds from the start of the file. A chain still being built tells no duration
    // yet (nothing waits for it); the position of a graph that is moving to a
    // new position is that position.
    virtual std::optional<double> duration() = 0;
    virtual std::optional<double> position() = 0;
    virtual bool setPosition(double seconds) = 0;

    // Playback rate, 1.0 normal speed.
    virtual std::optional<double> rate() = 0;
    virtual bool setRate(double rate) = 0;

    // Hundredths of a decibel: 0 full level down to -10000 silent. The volume read is the last
    // one set. A running graph gets there from where its sound stands over `ramp` of playing,
    // never jumping; a graph that is not running takes it at once.
    virtual std::optional<int32_t> volume() = 0;
    virtual bool setVolume(int32_t centibels, std::chrono::milliseconds ramp) = 0;

    // The song's own gain, a linear factor (1.0 leaves its sound as it is), applied before the
    // volume: the volume and its ramps act on top of it, and neither cuts the other's ramp short.
    // The graph gets there from where it stands over `ramp`, running or not. False for a factor
    // that is negative or not finite.
    virtual bool setLoudness(double factor, std::chrono::milliseconds ramp) = 0;

    // -10000 left only, 0 centre, 10000 right only.
    virtual std::optional<int32_t> balance() = 0;
    virtual bool setBalance(int32_t balance) = 0;
};

class MediaService {
public:
    virtual ~MediaService() = default;

    // A new, empty graph whose sound goes to the output device of that id or, when no device has
    // it, to the first device of that display name (the choice as settings kept it before devices
    // had ids); an empty text, or one no device answers to now, gives the default output. Null
    // when the service cannot make a graph.
    virtual std::unique_ptr<MediaGraph> createGraph(const std::string& outputDevice) = 0;

    // The audio output devices present now, in the order the system lists them.
    virtual std::vector<OutputDeviceEntry> outputDevices() = 0;

    // The length of a file in seconds when the service can tell it without building a graph
    // (cheaply, from the file's headers); empty when only a rendered graph can tell.
    virtual std::optional<double> probeDuration(const std::string& path) = 0;
    // Told the song that plays next, so that its length is at hand when it starts; a service
    // whose probe costs nothing does nothing.
    virtual void readAhead(const std::string& /*path*/) {}
};

}  // namespace velorra
