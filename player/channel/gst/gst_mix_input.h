#pragma once
// A channel's sound as the mixer takes it: the decoded stream an appsink at the end of the
// channel's own pipeline has kept (interleaved stereo float at the mix's rate), read on demand
// and clipped to the stream's segment, so that after a seek the first frame read is the first
// one where the seek lands. It knows the stream time of the next frame it gives.
//
// The pipeline has no clock: it decodes ahead until the appsink holds all it may, and waits
// there until the mixer reads on. A real-time output never waits for it (a frame not decoded in
// time is silence); an output that runs as fast as it can, or a mix pulled by hand, waits a while
// for the frames of a pipeline that has been asked to play.
#include <gst/gst.h>

#include <atomic>
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

private:
    // The sample being read and how far.
    struct Held {
        GstSample* sample = nullptr;
        GstBuffer* buffer = nullptr;  // the sample's buffer clipped to its segment
        GstMapInfo map{};
        size_t frames = 0;
        size_t read = 0;
        GstClockTime start = 0;  // stream time of its first frame
    };
    // Takes the appsink's next sample; false when none comes.
    bool take();
    void release();
    // Whether samples of these caps are stereo float frames, taking their rate.
    bool knowCaps(GstCaps* caps);

    GstHandle<GstElement> appsink_;
    const GstClockTime wait_;
    const std::function<void()> onEnd_;
    std::mutex lock_;
    Held held_;
    bool seeking_ = false;  // frames decoded before the seek may still come: none is read
    bool endTold_ = false;
    GstCapsHandle caps_;  // of the last sample taken
    int rate_ = 0;        // of those caps; 0 when unfit
    std::atomic<bool> flowing_{false};
    std::atomic<double> next_{0.0};
    std::atomic<double> start_{0.0};
};

}  // namespace velorra
