// Timers on Qt's event loop.
#include "player/toolkit/qt/qt_event_loop.h"
#include "player/toolkit/timer.h"
#include "tests/toolkit/qt/wait.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace velorra::toolkit::qt {
namespace {

using test::eventually;

TEST(QtEventLoopTest, TimersTickUntilSwitchedOffAndRefuseLongIntervals) {
    QtEventLoop loop;
    Timer timer(loop);
    int ticks = 0;
    timer.onTimer = [&] { ++ticks; };
    ASSERT_TRUE(timer.setInterval(10));
    EXPECT_EQ(loop.armedCount(), 1u);
    ASSERT_TRUE(eventually([&] { return ticks >= 3; }));

    EXPECT_FALSE(timer.setInterval(65536));
    EXPECT_EQ(timer.Interval(), 10);
    EXPECT_TRUE(timer.setInterval(65535));
    EXPECT_EQ(loop.armedCount(), 1u);

    timer.setEnabled(false);
    EXPECT_EQ(loop.armedCount(), 0u);
    const int stopped = ticks;
    for (int i = 0; i < 5; ++i) loop.doEvents();
    EXPECT_EQ(ticks, stopped);
}

TEST(QtEventLoopTest, ATimerSwitchedOffInItsOwnTickOrDestroyedStopsCleanly) {
    QtEventLoop loop;
    auto timer = std::make_unique<Timer>(loop);
    int ticks = 0;
    timer->onTimer = [&] {
        ++ticks;
        timer->setEnabled(false);
    };
    timer->setInterval(5);
    ASSERT_TRUE(eventually([&] { return ticks == 1; }));
    timer->setEnabled(true);
    EXPECT_EQ(loop.armedCount(), 1u);
    timer.reset();
    EXPECT_EQ(loop.armedCount(), 0u);
    for (int i = 0; i < 5; ++i) loop.doEvents();
    EXPECT_EQ(ticks, 1);
}

TEST(QtEventLoopTest, DoEventsRunsWaitingEventsAndTheClockMoves) {
    QtEventLoop loop;
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    loop.doEvents();
    EXPECT_TRUE(ran);
    const int64_t start = loop.nowMs();
    ASSERT_TRUE(eventually([&] { return loop.nowMs() > start; }));
}

}  // namespace
}  // namespace velorra::toolkit::qt
