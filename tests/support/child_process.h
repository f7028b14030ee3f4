#pragma once
// A check run in a forked child process: as another user, or with another root directory. The
// child's result comes back as text, so that a check can hand back whatever it found.
#include <functional>
#include <string>

#include <unistd.h>  // R_OK, W_OK, X_OK, alarm

namespace velorra::testing {

struct ChildOutcome {
    bool ran = false;    // the child got as far as `body`
    std::string output;  // what `body` returned; empty if the child ended inside it
    std::string whyNot;  // why it did not run
};

// Forks; the child runs `prepare` (which returns an empty string or the reason it could not set
// itself up), then `body`, and hands back body's text.
ChildOutcome runInChild(const std::function<std::string()>& prepare, const std::function<std::string()>& body);

// A `prepare` for runInChild that ends the child after `seconds`: a check whose fault would be
// a hang (an open that waits for ever, a read that never ends) fails instead, with no answer.
inline std::function<std::string()> watchdog(unsigned seconds) {
    return [seconds] {
        ::alarm(seconds);
        return std::string();
    };
}

// Runs `body` in a child as the user nobody (when the tests run as root; otherwise as the same
// user), once it is checked that the child really lacks `deniedAccess` (R_OK, W_OK or X_OK) to
// `path`, so that the protection is what the check meets.
ChildOutcome runAsNobody(const std::string& path, int deniedAccess, const std::function<std::string()>& body);

}  // namespace velorra::testing
