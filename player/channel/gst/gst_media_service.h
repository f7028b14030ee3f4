#pragma once
// The media service on GStreamer: one playbin per graph, audio only, its volume and balance
// the graph's own audio filter (channel_filter.h) with the linear factor 10^(centibels / 2000),
// its rate a seek. A running graph never halts or jumps mid-sound: pausing, stopping, seeking
// and dropping it first ramp the sound to silence, and running it again ramps the sound back.
#include <gst/gst.h>

#include <chrono>

#include "player/channel/gst/channel_filter.h"
#include "player/channel/gst/gst_handle.h"
#include "player/channel/media_service.h"

namespace velorra {

// Where a graph's sound goes: the default audio device, or nowhere, in real time or as fast
// as the machine decodes (tests and benchmarks).
enum class AudioOutput { Device, SilentRealTime, SilentFast };

class GstMediaGraph : public MediaGraph {
public:
    // Null when the elements cannot be made. With AudioOutput::Device the sound goes to the
    // device of that display name, or to the default output when none carries it.
    static std::unique_ptr<GstMediaGraph> create(AudioOutput output, const std::string& device = {});
    // A graph whose sound goes to the given sink.
    static std::unique_ptr<GstMediaGraph> create(GstHandle<GstElement> sink);
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
    std::vector<std::string> filterNames() override;

    // The elements themselves, for inspection.
    GstElement* pipeline() const { return playbin_.get(); }
    ChannelFilter& filter() const { return *filter_; }

private:
    GstMediaGraph(GstHandle<GstElement> playbin, std::unique_ptr<ChannelFilter> filter);
    bool seek(double rate, double seconds);
    // Stream time that passes in `wall` of playing at the graph's rate.
    GstClockTime streamSpan(std::chrono::milliseconds wall) const;
    // A running graph ramps its sound to silence and returns once that silence is heard.
    void fadeOut();

    GstHandle<GstElement> playbin_;
    std::unique_ptr<ChannelFilter> filter_;
    bool rendered_ = false;
    bool running_ = false;
    double rate_ = 1.0;
};

class GstMediaService : public MediaService {
public:
    explicit GstMediaService(AudioOutput output = AudioOutput::Device);
    std::unique_ptr<MediaGraph> createGraph(const std::string& outputDevice) override;
    // The audio sinks of GStreamer's device monitor.
    std::vector<std::string> outputDevices() override;
    // MPEG audio and WAV from their headers (see duration_scan.h).
    std::optional<double> probeDuration(const std::string& path) override;

private:
    AudioOutput output_;
};

}  // namespace velorra
