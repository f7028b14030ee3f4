#include "player/channel/gst/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace velorra {

namespace {

bool setNice(pid_t thread, int nice) { return setpriority(PRIO_PROCESS, static_cast<id_t>(thread), nice) == 0; }

}  // namespace

bool setThreadNice(int nice) { return setNice(gettid(), nice); }

bool setThreadsNice(const std::string& name, int nice) {
    bool all = true;
    std::error_code gone;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", gone)) {
        std::ifstream comm(task.path() / "comm");
        std::string thread;
        if (!std::getline(comm, thread) || thread != name) continue;
        const std::string number = task.path().filename().string();
        pid_t id = 0;
        if (std::from_chars(number.data(), number.data() + number.size(), id).ec == std::errc())
            all = setNice(id, nice) && all;
    }
    return all;
}

}  // namespace velorra
