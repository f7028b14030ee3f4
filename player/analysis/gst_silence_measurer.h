#pragma once
// The measurer on GStreamer: each song decodes as fast as the machine goes, in GStreamer's own
// threads, into an appsink whose callback scans the peaks for the silence and feeds the loudness
// meter from the same buffers (one decode a song). A song whose tags carry its loudness is
// measured for its silence and peak alone. The end of the stream (or an error) posts the result
// to the event loop, where the next queued song starts. Only regular files are decoded; a song
// whose decode makes no progress for 10 s is abandoned and told as failed.
#include "player/analysis/silence_measurer.h"
#include "player/toolkit/event_loop.h"
#include "player/toolkit/timer.h"

#include <deque>
#include <memory>

namespace velorra {

class GstSilenceMeasurer : public SilenceMeasurer {
public:
    // Seconds without a decoded buffer after which a song is given up.
    static constexpr int StallSeconds = 10;

    // The loop must outlive the measurer.
    explicit GstSilenceMeasurer(toolkit::EventLoop& loop);
    GstSilenceMeasurer(const GstSilenceMeasurer&) = delete;
    GstSilenceMeasurer& operator=(const GstSilenceMeasurer&) = delete;
    // Stops the song being measured; no result comes after.
    ~GstSilenceMeasurer() override;

    void measure(const std::string& path) override;

private:
    struct Job;
    void startNext();
    void finish(const std::shared_ptr<Job>& job);
    // A watchdog tick, every second while a song is measured.
    void watch();

    toolkit::EventLoop& loop_;
    std::deque<std::string> queue_;
    std::shared_ptr<Job> running_;
    toolkit::Timer watchdog_{loop_};
};

}  // namespace velorra
