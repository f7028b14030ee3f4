#include "search/search_fixtures.h"

#include <dirent.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace velorra::testing {

ChildOutcome runInChild(const std::function<std::string()>& prepare, const std::function<std::string()>& body) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const std::string why = prepare();
        const std::string out = why.empty() ? "R" + body() : "N" + why;
        size_t done = 0;
        while (done < out.size()) {
            const ssize_t n = write(fds[1], out.data() + done, out.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
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

std::string becomeNobodyLockedOutOf(const std::string& protectedDir) {
    constexpr uid_t Nobody = 65534;
    if (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0) return "cannot become nobody";
    if (DIR* d = opendir(protectedDir.c_str())) {
        closedir(d);
        return "nobody can still open " + protectedDir;
    }
    return {};
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
}

}  // namespace velorra::testing
