#pragma once
// A silence measurer for window tests: it records what it is asked to measure and answers only
// when the test says, through the manual loop as the real one answers through the program's.
#include "player/analysis/silence_measurer.h"
#include "support/manual_loop.h"

#include <string>
#include <vector>

namespace velorra::testing {

class FakeSilenceMeasurer : public SilenceMeasurer {
public:
    explicit FakeSilenceMeasurer(ManualLoop& loop) : loop_(loop) {}

    void measure(const std::string& path) override { requests.push_back(path); }
    // The result for a file reaches the window at the loop's next pending-events point.
    void answer(const std::string& path, Silence silence) {
        loop_.post([this, path, silence] {
            if (onMeasured) onMeasured(path, silence);
        });
    }

    void answer(const std::string& path, const Measurement& measurement) {
        loop_.post([this, path, measurement] {
            if (onMeasured) onMeasured(path, measurement);
        });
    }

    // The files asked for, in order.
    std::vector<std::string> requests;

private:
    ManualLoop& loop_;
};

}  // namespace velorra::testing
