#pragma once
// The media playback service as the audio channel sees it: a factory of graphs, each graph
// playing one file. Every call reports failure through its result (false or an empty optional);
// none throws, except listing the installed filters.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velorra {

class MediaGraph {
public:
    virtual ~MediaGraph() = default;

    // Builds the playback chain for a file with the graph's audio output and leaves the graph
    // stopped at position 0. Returns within a bounded time, also for a corrupt file.
    virtual bool render(const std::string& path) = 0;

    virtual bool run() = 0;
    virtual bool pause() = 0;
    // Stops playback; the graph keeps its position, so run() resumes there.
    virtual bool stop() = 0;

    // Times in seconds from the start of the file.
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

    // -10000 left only, 0 centre, 10000 right only.
    virtual std::optional<int32_t> balance() = 0;
    virtual bool setBalance(int32_t balance) = 0;

    // Names of the filters installed on the system, in the registry's order.
    virtual std::vector<std::string> filterNames() = 0;
};

class MediaService {
public:
    virtual ~MediaService() = default;

    // A new, empty graph whose sound goes to the output device of that display name; an empty
    // name, or one no device carries now, gives the default output. Null when the service cannot
    // make a graph.
    virtual std::unique_ptr<MediaGraph> createGraph(const std::string& outputDevice) = 0;

    // The display names of the audio output devices present now, each once.
    virtual std::vector<std::string> outputDevices() = 0;

    // The length of a file in seconds when the service can tell it without building a graph
    // (cheaply, from the file's headers); empty when only a rendered graph can tell.
    virtual std::optional<double> probeDuration(const std::string& path) = 0;
};

}  // namespace velorra
