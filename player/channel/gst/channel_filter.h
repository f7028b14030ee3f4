#pragma once
// A channel's audio filter, in front of its sink (the playbin's audio sink is this bin): the
// gain, which the filter applies itself to each buffer on its way in, sample by sample, along a
// ramp in the stream's own time that follows the channel's volume; then the balance, an
// `audiopanorama` on stereo sound. Both leave the sound untouched while they do nothing: the gain
// at unity once its ramp is done (the buffer passes without a copy), the balance at centre. A
// mono file reaches the balance as stereo at the level of its samples in each channel.
//
// The filter works on 32-bit float samples, whatever the file and the sink: a gain on 16-bit
// sound would round the quietest fader step (-72.25 dB, a factor of 0.000244) to silence. A
// converter in front of the sink hands a sink that takes no float the format it takes, and stands
// aside for one that does.
//
// A ramp starts at the sample the gain takes next. The filter sits behind the playbin's queue,
// which holds up to a second of decoded sound, so that the gain runs ahead of what is heard only
// by what the sink itself holds. The gain is applied here rather than by a `volume` element
// driven by a control source, whose factor for each sample passes through generic value
// conversions: two channels ramping together took about 30 ms of processor time a second that
// way, and take 25 here, against 24 for two steady ones.
//
// While the sound is halted the gain holds silence, so that what a paused sink holds is silent
// and the next start rises from it.
#include <gst/gst.h>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

#include "player/channel/gst/gst_handle.h"

namespace velorra {

// The gain factor along the stream: straight lines through up to three points in time order,
// flat before the first and after the last.
struct GainRamp {
    struct Point {
        GstClockTime time = 0;
        double factor = 0.0;
    };
    std::array<Point, 3> points{};
    size_t count = 1;

    // One factor all along.
    static GainRamp flat(double factor) { return {{Point{0, factor}}, 1}; }
    double at(GstClockTime t) const;
    const Point& last() const { return points[count - 1]; }
    // Whether the gain leaves the sound from `t` on as it is.
    bool unityFrom(GstClockTime t) const { return t >= last().time && last().factor == 1.0; }
    // Scales `frames` interleaved stereo frames spread evenly over [start, end) of stream time.
    void scale(float* samples, size_t frames, GstClockTime start, GstClockTime end) const;
};

class ChannelFilter {
public:
    // The filter in front of `sink`; null when an element cannot be made.
    static std::unique_ptr<ChannelFilter> create(GstHandle<GstElement> sink);
    ChannelFilter(const ChannelFilter&) = delete;
    ChannelFilter& operator=(const ChannelFilter&) = delete;
    ~ChannelFilter();

    GstElement* bin() const { return bin_.get(); }
    // The sink at the end of the filter: it knows where the sound being heard stands.
    GstElement* sink() const { return sink_.get(); }

    // The factor the gain moves to (1.0 unity), the last one set.
    double gain() const;
    // Sets the factor the gain moves to. While the sound runs the gain gets there over `ramp` of
    // stream time, from the start of the next buffer it takes; while it is halted the factor waits
    // for the next start.
    void setGain(double factor, GstClockTime ramp);
    // The sound starts: the gain rises from silence to its factor over `ramp`, from the start of
    // the next buffer it takes (after a seek, the first one where the stream lands).
    void rise(GstClockTime ramp);
    // The sound is to halt: the gain falls to silence over `ramp` from the next buffer. Returns
    // about the stream time at which it is silent (0 when its rise had not begun).
    GstClockTime fall(GstClockTime ramp);
    // The sound has halted: the gain holds silence, wherever the stream goes next.
    void silence();

    // -1.0 left only, 0 centre, 1.0 right only.
    float balance() const;
    void setBalance(float balance);

private:
    ChannelFilter(GstHandle<GstElement> bin, GstHandle<GstElement> panorama, GstHandle<GstElement> sink);
    // The gain, on the streaming thread: starts a ramp set since the last buffer and scales this
    // one along the ramp.
    static GstPadProbeReturn onBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self);

    GstHandle<GstElement> bin_;
    GstHandle<GstElement> panorama_;
    GstHandle<GstElement> sink_;
    GstHandle<GstPad> gainPad_;
    gulong probe_ = 0;

    mutable std::mutex lock_;
    double factor_ = 1.0;    // the factor the gain moves to
    bool sounding_ = false;  // between rise() and fall()
    // A ramp waits for the next buffer, so that it starts exactly where the gain stands on it.
    struct Pending {
        double factor = 0.0;
        GstClockTime ramp = 0;
        bool rise = false;  // a rise from silence, rather than a change joining the ramp before
    };
    std::optional<Pending> pending_;
    // Starts the pending ramp at stream time `now`, the start of the buffer the gain takes.
    // Caller holds lock_.
    void start(const Pending& pending, GstClockTime now);
    // The gain along the stream; it holds silence until the sound first starts.
    GainRamp ramp_ = GainRamp::flat(0.0);
    // Stream time up to which the gain has taken the sound.
    std::atomic<GstClockTime> taken_{0};
};

}  // namespace velorra
