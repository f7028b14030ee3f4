#pragma once
// What both start-up probes share: the clock the benchmark started them by, and the wait for a
// window to be on screen. A probe prints the milliseconds from its start (CLOCK_MONOTONIC
// nanoseconds, given as its one argument) to its window being on screen, and exits.
#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace probe {

inline long long nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

[[noreturn]] inline void reportShown(QWidget& w, const char* startedNs) {
    while (!w.windowHandle() || !w.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    std::printf("%.3f\n", static_cast<double>(nowNs() - std::atoll(startedNs)) / 1e6);
    std::fflush(stdout);
    std::_Exit(0);  // the measurement is taken; the shutdown is not part of it
}

}  // namespace probe
