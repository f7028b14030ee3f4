#include "player/app/stall_probe.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace velorra {

namespace {
constexpr int PeriodMs = 5;
}  // namespace

StallProbe* StallProbe::startIfAsked(QObject* parent) {
    const char* asked = std::getenv("VELORRA_STALLS");
    if (!asked || std::strcmp(asked, "1") != 0) return nullptr;
    return new StallProbe(parent);
}

StallProbe::StallProbe(QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(PeriodMs);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
    clock_.start();
    last_ = clock_.elapsed();
    timer_.start();
}

StallProbe::~StallProbe() {
    std::fprintf(stderr, "velorra: longest stall of the window thread: %lld ms\n", static_cast<long long>(longest_));
}

void StallProbe::tick() {
    const qint64 now = clock_.elapsed();
    if (now - last_ - PeriodMs > longest_) longest_ = now - last_ - PeriodMs;
    last_ = now;
}

}  // namespace velorra
