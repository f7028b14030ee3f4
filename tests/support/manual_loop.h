#pragma once
// The event loop of the tests: a virtual clock that moves only when the test says so.
// advance(ms) fires every tick that falls due on the way, in time order, so a whole play list
// with its transitions runs in milliseconds. Events posted by the test (or, from their own
// threads, by real background workers) run at the next pending-events point, as a user's clicks
// would.
#include "player/toolkit/event_loop.h"
#include "player/toolkit/timer.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

namespace velorra::testing {

class ManualLoop : public toolkit::EventLoop {
public:
    void arm(toolkit::Timer& timer) override;
    void disarm(toolkit::Timer& timer) override;
    void doEvents() override;
    int64_t nowMs() const override { return now_; }

    // Moves the clock forward, firing the ticks that fall due, each at its own time.
    void advance(int64_t ms);
    // Runs at the next pending-events point (or the next advance).
    void post(std::function<void()> event) override;
    // Whether posted events wait to run.
    bool hasPosted() const;
    int doEventsCalls() const { return doEventsCalls_; }
    bool armed(toolkit::Timer& timer) const { return due_.contains(&timer); }

private:
    struct Due {
        int64_t at;
        uint64_t order;  // ties fire in the order the timers were armed
    };
    void runPosted();

    int64_t now_ = 0;
    uint64_t nextOrder_ = 0;
    std::map<toolkit::Timer*, Due> due_;
    mutable std::mutex postedLock_;
    std::deque<std::function<void()>> posted_;
    int doEventsCalls_ = 0;
};

}  // namespace velorra::testing
