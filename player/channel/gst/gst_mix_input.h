#pragma once
// A channel's sound as the mixer takes it: the decoded stream that reaches an appsink at the end
// of the channel's own pipeline (interleaved stereo float at the mix's rate), clipped to the
// stream's segment, so that after a seek the first frame read is the first one where the seek
// lands. It knows the stream time of the next frame it gives.
//
// The pipeline has no clock: it decodes ahead until the input holds all the appsink may keep, and
// waits there until the mixer reads on. A real-time output never waits for it (a frame not decoded
// in time is silence); an output that runs as fast as it can, or a mix pulled by hand, waits a
// while for the frames of a pipeline that has been asked to play.
//
// The decoding thread hands each buffer over through a ring of slots that the mixer reads without
// a lock: the mixing thread never waits for a lock that a decoding thread, or any other thread of
// lower priority, may hold while the machine is busy, and it never allocates or frees. The
// decoding thread frees what the mixer has read, the next time it hands a buffer over.
#include <gst/gst.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "player/channel/gst/gst_handle.h"
#include "player/channel/mix/mixer.h"

namespace velorra {

class GstMixInput : public MixInput {
public:
    // Reads from `appsink`, waiting at most `wait` for a frame of a playing pipeline. `onEnd` is
    // called once, on the reading thread, when the last frame of the stream has been read.
    GstMixInput(GstHandle<GstElement> appsink, GstClockTime wait, std::function<void()> onEnd);
    ~GstMixInput() override;

    size_t read(float* out, size_t frames) override;

    // Whether the pipeline has been asked to play, so that its frames are coming.
    void setFlowing(bool flowing) { flowing_ = flowing; }
    // Seconds from the start of the file of the next frame to be read.
    double nextSeconds() const { return next_.load(); }
    // Seconds from the start of the file where the last seek landed (0 before any).
    double startSeconds() const { return start_.load(); }
    // Moves the stream to `seconds` through `seek` (a flushing seek of its pipeline): what was
    // decoded before is dropped, and the next frame read is the first where the seek lands.
    bool seek(double seconds, const std::function<bool()>& seek);
    // Lets a decoding thread that waits for room go, for good: called before the pipeline is
    // brought down.
    void close();

private:
    // A decoded buffer handed over: the sample, its buffer clipped to the segment and mapped.
    struct Slot {
        GstSample* sample = nullptr;
        GstBuffer* buffer = nullptr;
        GstMapInfo map{};
        size_t frames = 0;
        int rate = 0;
        GstClockTime start = 0;  // stream time of its first frame, or none
        uint32_t flush = 0;      // the flushes the stream had been through when it was decoded
    };
    static constexpr uint32_t kSlots = 32;

    // On the decoding thread.
    static GstFlowReturn onSample(GstElement* appsink, gpointer self);
    static void onEos(GstElement* appsink, gpointer self);
    static GstPadProbeReturn onFlush(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    void handOver(GstSample* sample);
    // Frees the slots the mixer has read.
    void reclaim();
    static void clear(Slot& slot);
    // Whether these caps are stereo float frames; their rate, else 0.
    int rateOf(GstCaps* caps);
    // Wakes a decoding thread that waits for room, and a reader that waits for frames.
    void wake();
    // The reader leaves the slot it reads.
    void leaveSlot();

    GstHandle<GstElement> appsink_;
    gulong flushProbe_ = 0;
    const GstClockTime wait_;
    const std::function<void()> onEnd_;
    std::array<Slot, kSlots> slots_{};
    // Slots handed over, read, and freed, counted from the start: written_ - read_ are waiting.
    std::atomic<uint32_t> written_{0};
    std::atomic<uint32_t> read_{0};
    uint32_t freed_ = 0;  // the decoding thread's own
    // Bumped whenever a waiting decoding thread may go on.
    std::atomic<uint32_t> room_{0};
    std::atomic<uint32_t> flushes_{0};
    std::atomic<bool> flushing_{false};
    std::atomic<bool> closed_{false};
    std::atomic<bool> ended_{false};  // every buffer of the stream has been handed over
    // Only a reader that may wait (not the real-time one) sleeps on these.
    std::mutex sleepLock_;
    std::condition_variable sleep_;
    std::atomic<int> sleepers_{0};
    // The decoding thread's: the caps last seen and their rate.
    GstCapsHandle caps_;
    int rate_ = 0;
    // The reader's: held by `read`, which never waits for it, and by a seek.
    std::mutex readLock_;
    size_t slotRead_ = 0;     // frames read of the slot at read_
    double slotStart_ = 0.0;  // seconds from the start of the file of that slot's first frame
    bool seeking_ = false;  // frames decoded before the seek may still come: none is read
    bool endTold_ = false;
    std::atomic<bool> flowing_{false};
    std::atomic<double> next_{0.0};
    std::atomic<double> start_{0.0};
};

}  // namespace velorra
