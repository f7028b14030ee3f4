#pragma once
// The mix's way to a PulseAudio sound server (or PipeWire's stand-in for one): one playback
// stream, fed from the player's mixer.
//
// It keeps about 150 ms of the mix with the server, so that the sound goes on while this process,
// or the whole machine, waits for a core. A command must still be heard at once: the mixer goes
// back to the frame the output names (20 ms past the one being heard, see mix/mixer.h) and the mix
// made again from there is written over what the server holds, at its place in the stream. The
// server takes the new frames in place of the old ones, so a halt or a fade is heard about 25 ms
// after it is given, however much is queued.
//
// The stream's own thread (libpulse's) asks for frames as the server makes room, in stretches of
// 5 ms, each a step a rewind can go back to. After two seconds in which nothing sounded the
// stream is corked (kept, but not played) until a channel plays again.
#include <pulse/pulseaudio.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "player/channel/mix/mixer.h"

namespace velorra {

class PulseStream {
public:
    // Told, on the stream's thread, where the stream stands: the mix frame being heard, the last
    // frame handed to the server, and whether the frames heard move on (not while corked).
    using Heard = std::function<void(int64_t frame, int64_t mixed, bool moving)>;
    // What the mix keeps with the server, and how far past the frame being heard a command is
    // placed.
    static constexpr int kQueueMs = 150;
    static constexpr int kLeadMs = 20;
    // The stretches the mix is made in: the steps a rewind goes back in.
    static constexpr int kStretchMs = 5;

    // Connects to the sound server and plays the mix on `sink` (a sink's name; empty for the
    // server's default). Null when no server answers or it has no such sink. Each command given to
    // `mixer` is then placed by `commandFrame`, which must not call the mixer.
    static std::shared_ptr<PulseStream> open(Mixer& mixer, const std::string& sink,
                                             std::function<int64_t()> commandFrame, Heard heard);
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;
    ~PulseStream();

    // The server closed the stream, or went away.
    bool failed() const { return failed_; }
    bool resting() const { return resting_; }
    // Plays again after a rest.
    void wake();

private:
    PulseStream(Mixer& mixer, Heard heard);
    bool connect(const std::string& sink);
    // Waits on the stream's thread until `done`, with its lock held.
    template <class Done>
    void waitFor(Done done);
    // On the stream's thread, or with its lock held: mixes from where the mixer stands and writes
    // each stretch at its place, up to `more` bytes past what the server was given.
    void fill(size_t more);
    // A command has taken the mix back: what the server holds from there is written again.
    void rewrite();
    void tellHeard();

    Mixer& mixer_;
    const Heard heard_;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    // The mix frame at the start of the stream, and the one after the last handed to the server.
    int64_t base_ = 0;
    int64_t written_ = 0;
    int64_t silentFrames_ = 0;
    std::vector<float> stretch_;
    std::atomic<bool> failed_{false};
    std::atomic<bool> resting_{false};
};

}  // namespace velorra
