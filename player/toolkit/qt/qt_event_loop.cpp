#include "player/toolkit/qt/qt_event_loop.h"

#include "player/toolkit/timer.h"

#include <QCoreApplication>

namespace velorra::toolkit::qt {

QtEventLoop::QtEventLoop() { clock_.start(); }

void QtEventLoop::arm(Timer& timer) {
    QTimer*& qtimer = timers_[&timer];
    if (!qtimer) {
        qtimer = new QTimer(&owner_);
        qtimer->setTimerType(Qt::PreciseTimer);
        QObject::connect(qtimer, &QTimer::timeout, &owner_, [&timer] { timer.fire(); });
    }
    // Restarting puts the next tick one interval from now.
    qtimer->start(timer.Interval());
}

void QtEventLoop::disarm(Timer& timer) {
    const auto it = timers_.find(&timer);
    if (it == timers_.end()) return;
    QTimer* qtimer = it->second;
    timers_.erase(it);
    qtimer->stop();
    qtimer->disconnect();
    // The timer may be disarmed from inside its own tick: delete it once that has returned.
    qtimer->deleteLater();
}

void QtEventLoop::doEvents() { QCoreApplication::processEvents(); }

int64_t QtEventLoop::nowMs() const { return clock_.elapsed(); }

// A queued call on an object of the loop's thread is thread-safe; events still waiting when the
// loop goes are dropped with its owner object.
void QtEventLoop::post(std::function<void()> event) {
    QMetaObject::invokeMethod(&owner_, std::move(event), Qt::QueuedConnection);
}

}  // namespace velorra::toolkit::qt
