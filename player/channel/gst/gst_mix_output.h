#pragma once
// The one output of the player: the mixer (mix/mixer.h), which every channel's pipeline feeds,
// and the one pipeline that takes the mix to the sound device, `appsrc ! audioconvert !
// audioresample ! sink`. The pipeline is opened when a channel first plays and stays open, playing
// silence when no channel sounds, so that a song change never opens a stream on the sound server;
// after two seconds in which nothing sounded it rests (paused, its stream kept) until a channel
// plays again, so that a stopped player costs next to nothing;
// a new device choice moves it at the next song change (the next channel that plays).
//
// On a PulseAudio server (or PipeWire's) the device is played through a stream of the server's
// own (pulse/pulse_stream.h), which keeps 150 ms of the mix with the server and writes over it
// when a command comes: a halt or a fade is heard about 25 ms after it is given, and the sound
// holds while the machine stalls for a while. Otherwise, and for the outputs that go nowhere, a
// GStreamer pipeline takes the mix, `appsrc ! audioconvert ! audioresample ! sink`: its appsrc
// asks the mixer for 20 ms at a time, on its own streaming thread, as the sink makes room. That
// sink holds 40 ms: a halt or a fade placed with the next frames mixed is heard within about
// 60 ms.
//
// The output has a worker thread (gst_worker.h) that opens and closes its pipeline and takes
// whatever else the user-interface thread must not wait for; with a mix pulled by hand that work
// is done at once, in step with whoever pulls.
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "player/channel/gst/gst_handle.h"
#include "player/channel/gst/gst_worker.h"
#include "player/channel/mix/mixer.h"
#include "player/channel/pulse/pulse_stream.h"

namespace velorra {

// Where the mix goes: the chosen audio device, or nowhere, in real time or as fast as the machine
// decodes (tests and benchmarks), or to whoever pulls it by hand from the mixer (tests).
enum class AudioOutput { Device, SilentRealTime, SilentFast, Pulled };

class GstMixOutput {
public:
    // Every channel is mixed at this rate; songs at others are converted.
    static constexpr int kRate = 44100;
    // How far the frame a command takes effect on trails the one a device lets out: on a sound
    // server's stream 20 ms and, on average, half of its 5 ms stretch. (On a bare device the sink
    // holds 40 ms and a 20 ms stretch is in hand: 60 ms.)
    static constexpr int64_t kDeviceTrailFrames = kRate * (2 * PulseStream::kLeadMs + PulseStream::kStretchMs) / 2000;

    explicit GstMixOutput(AudioOutput kind);
    GstMixOutput(const GstMixOutput&) = delete;
    GstMixOutput& operator=(const GstMixOutput&) = delete;
    ~GstMixOutput();

    Mixer& mixer() { return mixer_; }
    const Mixer& mixer() const { return mixer_; }
    // The device the output is to play on, by its id or, as older settings kept it, its display
    // name: an empty text, or one no device answers to, is the default output. Taken by the next
    // open().
    void choose(std::string device) { chosen_ = std::move(device); }
    // Opens the output on the chosen device, unless it is open there already and working; on the
    // worker. An output that plays on the default output because its device was absent moves to
    // the device once it is back.
    void open();
    // Opens the output on a device ahead of a channel's play, while the channel's file opens: a
    // sound server's stream takes a while to set up, and a song that starts with a fade would
    // have its first steps given before any of its sound was mixed.
    void prepare() {
        if (kind_ == AudioOutput::Device) open();
    }
    // Runs `task` on the worker, after what was given before; at once when the mix is pulled by
    // hand.
    void later(std::function<void()> task);
    // Whether the mix is taken by the output pipeline, rather than by hand.
    bool pullsItself() const { return kind_ != AudioOutput::Pulled; }
    // With a mix pulled by hand, lets what is heard trail what is mixed as far as it does on a
    // device. A render does, so that its song changes, read from the positions heard, come at the
    // position ticks where live play has them.
    void trailLikeADevice() { trail_ = kDeviceTrailFrames; }
    // How long a channel's input may wait for a frame of a playing pipeline.
    GstClockTime inputWait() const;
    // The nice value of a channel's decoding threads: beside the mixing thread when the output
    // keeps time, since a song is heard on time only if its pipeline starts at once; after the
    // player's others when the output runs as fast as it can.
    int decodingNice() const;
    // Whether the output rests, nothing having sounded for two seconds.
    bool resting() const { return resting_; }
    // Milliseconds until the mix frame `frame` is heard, when the output plays on a sound server's
    // stream that holds much of the mix ahead; else 0.
    int64_t msUntilHeard(int64_t frame) const;
    // The frame of the mix that is leaving the output now: what the output's streaming thread
    // last learned of its sink, carried on by the time since; never a wait for the output.
    int64_t heardFrame() const;

private:
    static GstBusSyncReply onBus(GstBus* bus, GstMessage* message, gpointer self);
    // Mixes the next stretch and hands it to the appsrc.
    void feed(GstAppSrc* appsrc);
    // On the worker.
    void openOn(const std::string& device);
    // Opens the sound server's stream on device_; false when there is no server, or the device
    // is not one of its sinks.
    bool openStream();
    // Where the stream is, told on its thread.
    void tellHeard(int64_t frame, int64_t mixed, bool moving);
    // The frame heard, while the output is open; never a call to the mixer.
    std::optional<int64_t> heardIfOpen() const;
    // The mix frame a command is placed on: just past the one being heard, or none while the
    // output is not open. Asked with the mixer's lock held.
    int64_t commandFrame() const;
    void close();
    // Pauses the pipeline when still nothing sounds.
    void rest();
    // On the streaming thread, having handed the output the mix up to frame `mixed`: asks the
    // sink where it is.
    void noteHeard(int64_t mixed);

    const AudioOutput kind_;
    Mixer mixer_{kRate};
    // Made, rested and brought down on the worker.
    GstHandle<GstElement> pipeline_;
    // Or the stream on the sound server, in its stead.
    std::shared_ptr<PulseStream> stream_;
    std::string chosen_;
    std::string device_;  // the one it is open on, known to the worker
    // It plays on the default output because device_ was absent; known to the worker.
    bool standsIn_ = false;
    GstHandle<GstBufferPool> pool_;  // made with the first pipeline, on the worker
    // Mix frames made before the pipeline opened: its own times start from there.
    std::atomic<int64_t> base_{0};
    // The sink the streaming thread asks, set before the pipeline plays and dropped once it stops,
    // and the one question it asks, made once so that a stretch allocates nothing.
    GstHandle<GstElement> feedSink_;
    GstQueryHandle position_;
    // Where the sink stood at `at` (monotonic microseconds), and how far the mix had been handed
    // to it; `open` while a pipeline is open. The streaming thread only tries the lock: when a
    // reader holds it, the reader's carrying on by the time since serves until the next stretch.
    struct Heard {
        int64_t frame = 0;
        int64_t mixed = 0;
        gint64 at = 0;
        bool open = false;
        bool moving = true;  // what is heard moves on with the time since
    };
    mutable std::mutex heardLock_;
    Heard heard_;
    std::atomic<bool> broken_{false};
    // Frames by which what is heard of a mix pulled by hand trails what is mixed.
    int64_t trail_ = 0;
    // Stretches mixed in a row in which nothing sounded; on the pipeline's streaming thread.
    int silentStretches_ = 0;
    // The output plays on stream_; set by the worker.
    std::atomic<bool> onServer_{false};
    // The output rests; set by the worker, or by the stream's thread.
    std::atomic<bool> resting_{false};
    // Last: it ends, having done all it was given, before the rest goes.
    GstWorker worker_;
};

}  // namespace velorra
