// Linked into every test program of the sanitizer build: a program that started GStreamer brings
// it down at its very end, so that the leak tracer `make sanitize` runs (GST_TRACERS=leaks)
// reports every GStreamer object still alive then, and ctest fails the test on that report.
#include <gst/gst.h>

#include <cstdlib>

namespace {

void deinitGstreamer() {
    if (gst_is_initialized()) gst_deinit();
}

// Registered before main(), so that it runs after every object of the program is gone.
[[gnu::constructor]] void deinitGstreamerAtExit() { std::atexit(deinitGstreamer); }

}  // namespace
