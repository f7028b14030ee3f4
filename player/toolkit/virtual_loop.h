#pragma once
// An event loop whose clock moves only when its owner says so: a render runs the playback core on
// it, moving the clock in step with the frames it mixes, so that every tick falls on the frame of
// its own time however fast the machine mixes; the tests run a whole play list on it in
// milliseconds. Events posted from other threads (GStreamer's) run at the next pending-events
// point.
#include "player/toolkit/event_loop.h"
#include "player/toolkit/timer.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

namespace velorra::toolkit {

class VirtualLoop : public EventLoop {
public:
    void arm(Timer& timer) override;
    void disarm(Timer& timer) override;
    void doEvents() override { runPosted(); }
    int64_t nowMs() const override { return now_; }
    void post(std::function<void()> event) override;

    // When the next tick falls due; none while no timer runs.
    std::optional<int64_t> nextDue() const;
    // Moves the clock to `ms` (not back), firing the ticks due on the way, each at its own time,
    // with the posted events after each.
    void advanceTo(int64_t ms);
    // Runs the posted events, those they post included.
    void runPosted();
    // Whether posted events wait to run.
    bool hasPosted() const;
    bool armed(Timer& timer) const { return due_.contains(&timer); }

private:
    struct Due {
        int64_t at;
        uint64_t order;  // ties fire in the order the timers were armed
    };

    int64_t now_ = 0;
    uint64_t nextOrder_ = 0;
    std::map<Timer*, Due> due_;
    mutable std::mutex postedLock_;
    std::deque<std::function<void()>> posted_;
};

}  // namespace velorra::toolkit
