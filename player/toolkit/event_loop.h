#pragma once
// The event-loop seam. The program runs on Qt's loop; tests run on a manual loop with a
// virtual clock, so that a whole play list with its transitions plays in milliseconds.
#include <cstdint>
#include <functional>

namespace velorra::toolkit {

class Timer;

class EventLoop {
public:
    virtual ~EventLoop() = default;
    // A timer was switched on, or its interval changed while on: its next tick is due one
    // interval from now.
    virtual void arm(Timer& timer) = 0;
    // A timer was switched off or is going away: no more ticks.
    virtual void disarm(Timer& timer) = 0;
    // Lets waiting input, painting and timer ticks run, then returns.
    virtual void doEvents() = 0;
    // Milliseconds on the clock the timers run by.
    virtual int64_t nowMs() const = 0;
    // Runs the event on the loop's thread at its next pending-events point. Any thread may post:
    // work done in other threads (GStreamer's) reports to the window this way.
    virtual void post(std::function<void()> event) = 0;
};

}  // namespace velorra::toolkit
