#pragma once
// The event loop of the tests: the virtual clock of a render, moved by the test. advance(ms)
// fires every tick that falls due on the way, in time order, so a whole play list with its
// transitions runs in milliseconds. Events posted by the test (or, from their own threads, by
// real background workers) run at the next pending-events point, as a user's clicks would.
#include "player/toolkit/virtual_loop.h"

#include <cstdint>

namespace velorra::testing {

class ManualLoop : public toolkit::VirtualLoop {
public:
    void doEvents() override {
        ++doEventsCalls_;
        runPosted();
    }
    // Moves the clock forward, firing the ticks that fall due, each at its own time.
    void advance(int64_t ms) { advanceTo(nowMs() + ms); }
    int doEventsCalls() const { return doEventsCalls_; }

private:
    int doEventsCalls_ = 0;
};

}  // namespace velorra::testing
