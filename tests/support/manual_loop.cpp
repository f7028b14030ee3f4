#include "support/manual_loop.h"

namespace velorra::testing {

void ManualLoop::arm(toolkit::Timer& timer) { due_[&timer] = {now_ + timer.Interval(), nextOrder_++}; }

void ManualLoop::disarm(toolkit::Timer& timer) { due_.erase(&timer); }

void ManualLoop::doEvents() {
    ++doEventsCalls_;
    runPosted();
}

void ManualLoop::post(std::function<void()> event) {
    const std::lock_guard lock(postedLock_);
    posted_.push_back(std::move(event));
}

bool ManualLoop::hasPosted() const {
    const std::lock_guard lock(postedLock_);
    return !posted_.empty();
}

void ManualLoop::runPosted() {
    for (;;) {
        std::function<void()> event;
        {
            const std::lock_guard lock(postedLock_);
            if (posted_.empty()) return;
            event = std::move(posted_.front());
            posted_.pop_front();
        }
        event();
    }
}

void ManualLoop::advance(int64_t ms) {
    const int64_t target = now_ + ms;
    runPosted();
    for (;;) {
        toolkit::Timer* next = nullptr;
        Due best{};
        for (const auto& [timer, due] : due_)
            if (due.at <= target && (!next || due.at < best.at || (due.at == best.at && due.order < best.order))) {
                next = timer;
                best = due;
            }
        if (!next) break;
        now_ = best.at;
        due_[next] = {now_ + next->Interval(), nextOrder_++};
        next->fire();
        runPosted();
    }
    now_ = target;
}

}  // namespace velorra::testing
