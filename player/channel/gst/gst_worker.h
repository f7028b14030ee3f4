#pragma once
// One thread that does, in the order given, what the user-interface thread must not wait for:
// opening the output, seeking a pipeline once its sound has fallen, bringing a dropped pipeline
// down. What is queued when it goes is done before its thread ends.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace velorra {

class GstWorker {
public:
    GstWorker();
    GstWorker(const GstWorker&) = delete;
    GstWorker& operator=(const GstWorker&) = delete;
    ~GstWorker();

    void post(std::function<void()> task);

private:
    void run();

    std::mutex lock_;
    std::condition_variable woken_;
    std::deque<std::function<void()>> tasks_;
    bool ending_ = false;
    std::thread thread_;  // last: it starts once the rest is ready
};

}  // namespace velorra
