#include "player/toolkit/virtual_loop.h"

#include <algorithm>

namespace velorra::toolkit {

void VirtualLoop::arm(Timer& timer) { due_[&timer] = {now_ + timer.Interval(), nextOrder_++}; }

void VirtualLoop::disarm(Timer& timer) { due_.erase(&timer); }

void VirtualLoop::post(std::function<void()> event) {
    const std::lock_guard lock(postedLock_);
    posted_.push_back(std::move(event));
}

void VirtualLoop::runPosted() {
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

bool VirtualLoop::hasPosted() const {
    const std::lock_guard lock(postedLock_);
    return !posted_.empty();
}

std::optional<int64_t> VirtualLoop::nextDue() const {
    std::optional<int64_t> next;
    for (const auto& [timer, due] : due_)
        if (!next || due.at < *next) next = due.at;
    return next;
}

void VirtualLoop::advanceTo(int64_t ms) {
    runPosted();
    for (;;) {
        Timer* next = nullptr;
        Due best{};
        for (const auto& [timer, due] : due_)
            if (due.at <= ms && (!next || due.at < best.at || (due.at == best.at && due.order < best.order))) {
                next = timer;
                best = due;
            }
        if (!next) break;
        now_ = std::max(now_, best.at);
        due_[next] = {now_ + next->Interval(), nextOrder_++};
        next->fire();
        runPosted();
    }
    now_ = std::max(now_, ms);
}

}  // namespace velorra::toolkit
