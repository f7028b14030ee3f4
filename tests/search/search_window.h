#pragma once
// A real player window with its search window, on the manual loop, over a directory tree the
// test makes; the loop can act at each pending-events point of a search.
#include "search/search_fixtures.h"
#include "support/player_harness.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace velorra::testing {

// Runs `atPoint` with the call's number (from 1) at every pending-events point.
class HookedLoop : public ManualLoop {
public:
    std::function<void(int)> atPoint;
    void doEvents() override {
        ManualLoop::doEvents();
        if (atPoint) atPoint(doEventsCalls());
    }
};

// Every caption the window takes, in order.
class CaptionLog : public toolkit::ControlView {
public:
    explicit CaptionLog(toolkit::Window& w) : window_(w) { w.attachView(this); }
    ~CaptionLog() override { window_.attachView(nullptr); }
    void controlChanged(toolkit::Change what) override {
        if (what == toolkit::Change::Text) captions.push_back(window_.Caption());
    }
    std::vector<std::string> captions;

private:
    toolkit::Window& window_;
};

// The player window and its services; the search window starts in `startDir`.
struct SearchRig : BasicPlayerHarness<HookedLoop> {
    explicit SearchRig(const std::string& startDir) {
        if (!startDir.empty()) settings.values["Velorra/Directory/DefaultDir"] = startDir;
        player.ShowOptions = 1;
        player.show();
    }
    WinSeek& seek() { return player.winSeek(); }
    // Searches dir as the user would: makes it the start directory and clicks "&Search".
    void search(const std::string& dir) {
        EXPECT_TRUE(seek().dirList.setPath(dir));
        seek().cmdSearch.click();
    }
    std::vector<std::string> found() {
        std::vector<std::string> out;
        for (int32_t i = 0; i < seek().lstFoundFiles.ListCount(); ++i) out.push_back(seek().lstFoundFiles.List(i));
        return out;
    }
    std::vector<std::string> column(toolkit::ListView& list, int k) {
        std::vector<std::string> out;
        for (int32_t r = 1; r <= list.count(); ++r) out.push_back(list.text(r, k));
        return out;
    }
};

struct SearchTest : ::testing::Test {
    TempDir tree;
    SearchRig rig{tree.path()};
    WinSeek& seek = rig.seek();
};

}  // namespace velorra::testing
