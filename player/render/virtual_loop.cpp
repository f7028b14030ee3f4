#include "player/render/virtual_loop.h"

namespace velorra::render {

void VirtualLoop::arm(toolkit::Timer& timer) { due_[&timer] = {now_ + timer.Interval(), nextOrder_++}; }

void VirtualLoop::disarm(toolkit::Timer& timer) { due_.erase(&timer); }

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

std::optional<int64_t> VirtualLoop::nextDue() const {
    std::optional<int64_t> next;
    for (const auto& [timer, due] : due_)
        if (!next || due.at < *next) next = due.at;
    return next;
}

void VirtualLoop::advanceTo(int64_t ms) {
    runPosted();
    for (;;) {
        toolkit::Timer* next = nullptr;
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

}  // namespace velorra::render
