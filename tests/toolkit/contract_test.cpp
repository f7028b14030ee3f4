// The rules the windows rely on: a refused value changes nothing and runs nothing, the value
// already held runs nothing, and change actions run inside the setting call.
#include "player/toolkit/list_box.h"
#include "player/toolkit/list_view.h"
#include "player/toolkit/panel.h"
#include "player/toolkit/timer.h"
#include "player/toolkit/value_control.h"
#include "player/toolkit/window.h"
#include "support/manual_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velorra::toolkit {
namespace {

TEST(ScrollBarContract, RefusesOutOfRangeAndRunsNothingForTheSameValue) {
    ScrollBar bar(nullptr, Orientation::Horizontal);
    bar.setRange(0, 85);
    int changes = 0;
    bar.onChange = [&] { ++changes; };

    EXPECT_TRUE(bar.setValue(40));
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(bar.setValue(90));
    EXPECT_FALSE(bar.setValue(-1));
    EXPECT_EQ(bar.Value(), 40);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(bar.setValue(40));
    EXPECT_EQ(changes, 1);
}

TEST(ScrollBarContract, ChangeActionsRunNestedInsideTheSettingCall) {
    // The master volume sets a fader, whose own change action sets a level: all of it has
    // happened by the time the outer setValue returns.
    ScrollBar master(nullptr, Orientation::Horizontal), fader(nullptr, Orientation::Vertical);
    master.setRange(0, 85);
    fader.setRange(0, 85);
    std::vector<std::string> log;
    fader.onChange = [&] { log.push_back("fader " + std::to_string(fader.Value())); };
    master.onChange = [&] {
        log.push_back("master in");
        fader.setValue(85 - master.Value());
        log.push_back("master out");
    };
    master.setValue(60);
    log.push_back("returned");
    EXPECT_EQ(log, (std::vector<std::string>{"master in", "fader 25", "master out", "returned"}));
}

TEST(ScrollBarContract, ReversedRangeArrowsAndThumb) {
    // A spinner running from 100 at the top to 1 at the bottom: the up arrow moves towards Min.
    ScrollBar spin(nullptr, Orientation::Vertical);
    spin.setRange(100, 1);
    EXPECT_EQ(spin.Value(), 1);  // 0 lay outside the new range and moved to its nearest end
    EXPECT_TRUE(spin.setValue(50));
    EXPECT_FALSE(spin.setValue(0));
    spin.stepTowardsMin();
    EXPECT_EQ(spin.Value(), 51);
    spin.setValue(100);
    spin.stepTowardsMin();
    EXPECT_EQ(spin.Value(), 100);

    int changes = 0, scrolls = 0;
    spin.onChange = [&] { ++changes; };
    spin.onScroll = [&] { ++scrolls; };
    spin.scrollTo(70);
    spin.scrollTo(60);
    EXPECT_EQ(spin.Value(), 60);
    EXPECT_EQ(scrolls, 2);
    EXPECT_EQ(changes, 0);
    spin.endScroll();
    spin.endScroll();
    EXPECT_EQ(changes, 1);
}

TEST(ValueControlsContract, CheckBoxOptionsAndProgressBar) {
    CheckBox box(nullptr);
    int clicks = 0;
    box.onClick = [&] { ++clicks; };
    EXPECT_FALSE(box.setValue(3));
    EXPECT_TRUE(box.setValue(1));
    EXPECT_TRUE(box.setValue(1));
    EXPECT_EQ(clicks, 1);
    box.click();
    EXPECT_EQ(box.Value(), 0);

    OptionGroup group;
    OptionButton a(nullptr, group), b(nullptr, group), c(nullptr, group);
    std::vector<int> picked;
    group.onClick = [&](int i) { picked.push_back(i); };
    c.setValue(true);
    b.click();
    b.click();
    EXPECT_FALSE(c.Value());
    EXPECT_TRUE(b.Value());
    EXPECT_EQ(picked, (std::vector<int>{2, 1}));

    ProgressBar bar(nullptr);
    EXPECT_TRUE(bar.setValue(100));
    EXPECT_FALSE(bar.setValue(101));
    EXPECT_FALSE(bar.setValue(-1));
    EXPECT_EQ(bar.Value(), 100);
}

TEST(TimerContract, IntervalAboveTheLimitIsRefusedAndTicksFollowTheClock) {
    testing::ManualLoop loop;
    Timer timer(loop);
    int ticks = 0;
    timer.onTimer = [&] { ++ticks; };
    EXPECT_TRUE(timer.setInterval(100));
    EXPECT_FALSE(timer.setInterval(65536));
    EXPECT_EQ(timer.Interval(), 100);
    EXPECT_TRUE(timer.setInterval(65535));
    EXPECT_TRUE(timer.setInterval(100));

    loop.advance(350);
    EXPECT_EQ(ticks, 3);
    timer.setEnabled(false);
    loop.advance(1000);
    EXPECT_EQ(ticks, 3);
    timer.setEnabled(true);  // the next tick is one interval after switching on
    loop.advance(99);
    EXPECT_EQ(ticks, 3);
    loop.advance(1);
    EXPECT_EQ(ticks, 4);
    EXPECT_TRUE(timer.setInterval(0));  // 0 ticks never
    loop.advance(1000);
    EXPECT_EQ(ticks, 4);
}

TEST(TimerContract, TicksOfTwoTimersInterleaveInTimeOrder) {
    testing::ManualLoop loop;
    Timer fast(loop), slow(loop);
    std::string order;
    fast.onTimer = [&] { order += 'f'; };
    slow.onTimer = [&] {
        order += 's';
        fast.setEnabled(false);  // a tick may switch another timer off
    };
    fast.setInterval(40);
    slow.setInterval(100);
    loop.advance(200);
    EXPECT_EQ(order, "ffss");
}

TEST(ListViewContract, InsertPositionsKeysAndTheCurrentRow) {
    ListView list(nullptr);
    EXPECT_FALSE(list.insert(2, "", "beyond the end"));
    EXPECT_TRUE(list.insert(1, "a", "Alpha"));
    EXPECT_TRUE(list.add("b", "Bravo"));
    EXPECT_FALSE(list.add("a", "duplicate key"));
    EXPECT_FALSE(list.insert(0, "", "zero"));
    EXPECT_EQ(list.count(), 2);

    list.setSelectedItem(2);
    EXPECT_TRUE(list.insert(1, "c", "Charlie"));  // rows move down under the selection
    EXPECT_EQ(list.selectedItem(), 3);
    EXPECT_EQ(list.text(3), "Bravo");
    EXPECT_EQ(list.findKey("b"), 3);
    EXPECT_TRUE(list.remove(1));
    EXPECT_EQ(list.selectedItem(), 2);
    EXPECT_EQ(list.findKey("c"), 0);
    EXPECT_TRUE(list.add("c", "Charlie again"));  // a removed row's key is free again
    EXPECT_TRUE(list.remove(2));
    EXPECT_EQ(list.selectedItem(), 0);
}

TEST(ListViewContract, SortOnceKeepsTheCurrentRowAndLaterInsertsStayPut) {
    ListView list(nullptr);
    for (const char* t : {"delta", "Alpha", "charlie", "Bravo"}) list.add("", t);
    list.setText(1, 1, "4");
    list.setSelectedItem(1);  // "delta"
    list.sort(0, true);
    EXPECT_EQ(list.text(1), "Alpha");
    EXPECT_EQ(list.text(2), "Bravo");
    EXPECT_EQ(list.text(4), "delta");
    EXPECT_EQ(list.text(4, 1), "4");  // sub-items travel with their row
    EXPECT_EQ(list.selectedItem(), 4);

    list.insert(1, "", "zulu");
    EXPECT_EQ(list.text(1), "zulu");
    list.sort(0, false);
    EXPECT_EQ(list.text(1), "zulu");
    EXPECT_EQ(list.text(5), "Alpha");
    EXPECT_EQ(list.selectedItem(), 2);

    EXPECT_EQ(list.findItem("CHAR"), 3);
    EXPECT_EQ(list.findItem("x"), 0);
}

TEST(ListViewContract, MultiSelectionAndHitTestWithoutAView) {
    ListView list(nullptr);
    list.move(0, 0, 3000, 3000);
    list.setMultiSelect(true);
    for (int i = 0; i < 5; ++i) list.add("", "row");
    list.setSelected(2, true);
    list.setSelected(4, true);
    EXPECT_EQ(list.selectedRows(), (std::vector<int32_t>{2, 4}));
    list.setSelectedItem(3);
    EXPECT_EQ(list.selectedRows(), (std::vector<int32_t>{3}));

    EXPECT_EQ(list.hitTest(100, 100), 0);  // the header
    EXPECT_EQ(list.hitTest(100, ListView::RowHeight * 2 + 10), 2);
    EXPECT_EQ(list.hitTest(100, ListView::RowHeight * 9), 0);  // below the last row
}

TEST(ListBoxContract, IndexFollowsInsertsAndRemovals) {
    ListBox box(nullptr);
    EXPECT_TRUE(box.AddItem("one"));
    EXPECT_TRUE(box.AddItem("two"));
    EXPECT_FALSE(box.AddItem("far", 5));
    int clicks = 0;
    box.onClick = [&] { ++clicks; };
    EXPECT_TRUE(box.setListIndex(1));
    EXPECT_FALSE(box.setListIndex(2));
    EXPECT_TRUE(box.AddItem("zero", 0));
    EXPECT_EQ(box.ListIndex(), 2);
    EXPECT_EQ(box.List(2), "two");
    EXPECT_TRUE(box.RemoveItem(2));
    EXPECT_EQ(box.ListIndex(), -1);
    EXPECT_EQ(clicks, 1);
}

TEST(WindowContract, LoadShowResizeAndUnload) {
    Window w;
    std::vector<std::string> log;
    w.onLoad = [&] {
        log.push_back("load");
        w.setHeight(6000);  // a size set while loading runs the resize action
    };
    w.onResize = [&] { log.push_back("resize " + std::to_string(w.Height())); };
    w.onUnload = [&] { log.push_back("unload"); };
    w.setWidth(1000);  // before loading: no resize action
    w.show();
    w.setWidth(6645);
    w.setWidth(6645);
    w.setLeft(500);  // moving is not resizing
    EXPECT_EQ(w.ScaleWidth(), 6525);
    EXPECT_FALSE(w.setHeight(-1));
    w.unload();
    EXPECT_EQ(log, (std::vector<std::string>{"load", "resize 6000", "resize 6000", "resize 6000", "unload"}));
    EXPECT_FALSE(w.loaded());

    {
        Panel panel(&w);
        EXPECT_EQ(w.children().size(), 1u);
    }
    EXPECT_TRUE(w.children().empty());  // a control leaves its container when it goes
}

}  // namespace
}  // namespace velorra::toolkit
