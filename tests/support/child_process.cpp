#include "support/child_process.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace velorra::testing {

namespace {

void writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

}  // namespace

ChildOutcome runInChild(const std::function<std::string()>& prepare, const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        ::close(fds[0]);
        const std::string why = prepare();
        if (!why.empty()) {
            writeAll(fds[1], "N" + why);
        } else {
            writeAll(fds[1], "R");
            writeAll(fds[1], body());
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ChildOutcome outcome;
    if (text.empty()) {
        outcome.whyNot = "the child ended without an answer";
    } else if (text[0] == 'R') {
        outcome.ran = true;
        outcome.output = text.substr(1);
    } else {
        outcome.whyNot = text.substr(1);
    }
    return outcome;
}

ChildOutcome runAsNobody(const std::string& path, int deniedAccess, const std::function<std::string()>& body) {
    const auto becomeNobody = [&]() -> std::string {
        constexpr uid_t Nobody = 65534;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
            return "cannot become nobody";
        if (::access(path.c_str(), deniedAccess) == 0) return "the check's user still has access to " + path;
        return {};
    };
    return runInChild(becomeNobody, body);
}

}  // namespace velorra::testing
