#pragma once
// The seam of the background analysis: the program measures songs on GStreamer, the tests
// answer for themselves. A measurer decodes one song at a time, never on the caller's thread,
// and tells each result through the event loop, never from inside measure().
#include "player/analysis/measurement.h"

#include <functional>
#include <string>

namespace velorra {

class SilenceMeasurer {
public:
    virtual ~SilenceMeasurer() = default;
    // Queues the file; its result comes once, also for a file that cannot be decoded (told as
    // failed, with no lead-in and no tail).
    virtual void measure(const std::string& path) = 0;
    // Told on the event loop's thread, in the order the files were queued.
    std::function<void(const std::string& path, const Measurement& measurement)> onMeasured;
};

}  // namespace velorra
