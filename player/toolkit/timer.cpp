#include "player/toolkit/timer.h"

namespace velorra::toolkit {

Timer::~Timer() { loop_.disarm(*this); }

bool Timer::setInterval(int32_t ms) {
    if (ms < 0 || ms > MaxInterval) return false;
    if (ms == interval_) return true;
    interval_ = ms;
    rearm();
    return true;
}

void Timer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    rearm();
}

void Timer::rearm() {
    if (running())
        loop_.arm(*this);
    else
        loop_.disarm(*this);
}

void Timer::fire() {
    if (running() && onTimer) onTimer();
}

}  // namespace velorra::toolkit
