#pragma once
// Processor seconds this process has used so far, user and system, all threads.
#include <sys/resource.h>

namespace velorra::bench {

inline double ownCpu() {
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return seconds(u.ru_utime) + seconds(u.ru_stime);
}

}  // namespace velorra::bench
