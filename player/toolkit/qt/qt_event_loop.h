#pragma once
// The program's event loop: Qt's. Each armed timer runs on a precise QTimer of its own.
#include "player/toolkit/event_loop.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <unordered_map>

namespace velorra::toolkit::qt {

class QtEventLoop : public EventLoop {
public:
    QtEventLoop();
    QtEventLoop(const QtEventLoop&) = delete;
    QtEventLoop& operator=(const QtEventLoop&) = delete;

    void arm(Timer& timer) override;
    void disarm(Timer& timer) override;
    void doEvents() override;
    int64_t nowMs() const override;
    void post(std::function<void()> event) override;

    // How many timers are armed.
    size_t armedCount() const { return timers_.size(); }

private:
    QObject owner_;  // parent of the QTimers
    std::unordered_map<Timer*, QTimer*> timers_;
    QElapsedTimer clock_;
};

}  // namespace velorra::toolkit::qt
