#pragma once
// The silence measurer on GStreamer: each song decodes as fast as the machine goes, in
// GStreamer's own threads, into an appsink whose callback scans the peaks; the end of the stream
// (or an error) posts the result to the event loop, where the next queued song starts.
#include "player/analysis/silence_measurer.h"
#include "player/toolkit/event_loop.h"

#include <deque>
#include <memory>

namespace velorra {

class GstSilenceMeasurer : public SilenceMeasurer {
public:
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

    toolkit::EventLoop& loop_;
    std::deque<std::string> queue_;
    std::shared_ptr<Job> running_;
};

}  // namespace velorra
