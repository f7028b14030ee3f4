#pragma once

namespace velorra::testing {

// Every test program runs in a home of its own: the XDG configuration, data and cache folders
// point into a fresh temporary folder (removed at exit), so no test reads or writes the user's
// settings, file associations or caches. Widgets draw on the offscreen platform unless the
// caller chose another.
void isolateTestEnvironment();

}  // namespace velorra::testing
