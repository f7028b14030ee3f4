#pragma once
#include "player/toolkit/event_loop.h"

#include <cstdint>
#include <functional>

namespace velorra::toolkit {

// A timer ticks on the user-interface thread every Interval milliseconds while it is Enabled
// and its interval is above 0. Intervals above 65535 ms are refused.
class Timer {
public:
    static constexpr int32_t MaxInterval = 65535;

    explicit Timer(EventLoop& loop) : loop_(loop) {}
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int32_t Interval() const { return interval_; }
    // False, and the old interval kept, for a value below 0 or above 65535.
    bool setInterval(int32_t ms);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);
    // True while ticks are due: enabled with an interval above 0.
    bool running() const { return enabled_ && interval_ > 0; }

    std::function<void()> onTimer;
    // Called by the event loop when a tick is due.
    void fire();

private:
    void rearm();

    EventLoop& loop_;
    int32_t interval_ = 0;
    bool enabled_ = true;
};

}  // namespace velorra::toolkit
