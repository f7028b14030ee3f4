#include "player/channel/gst/gst_worker.h"

#include <utility>

namespace velorra {

GstWorker::GstWorker() : thread_([this] { run(); }) {}

GstWorker::~GstWorker() {
    {
        const std::lock_guard hold(lock_);
        ending_ = true;
    }
    woken_.notify_one();
    thread_.join();
}

void GstWorker::post(std::function<void()> task) {
    {
        const std::lock_guard hold(lock_);
        tasks_.push_back(std::move(task));
    }
    woken_.notify_one();
}

void GstWorker::run() {
    std::unique_lock hold(lock_);
    for (;;) {
        woken_.wait(hold, [this] { return ending_ || !tasks_.empty(); });
        if (tasks_.empty()) return;
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        hold.unlock();
        task();
        hold.lock();
    }
}

}  // namespace velorra
