#pragma once
// Files for the search tests (their trees are made in a support/temp_dir.h folder), and a way
// to run a check in a child process as another user or with another root directory.
#include "support/tagged_mp3.h"
#include "support/temp_dir.h"

#include <functional>
#include <string>
#include <vector>

namespace velorra::testing {

struct ChildOutcome {
    bool ran = false;       // the child got as far as `body`
    std::string output;     // what `body` returned
    std::string whyNot;     // why it did not run
};

// Forks; the child runs `prepare` (which returns an empty string or the reason it could not
// set itself up), then `body`, and hands back body's text.
ChildOutcome runInChild(const std::function<std::string()>& prepare, const std::function<std::string()>& body);

// For `prepare`: become the user nobody, and check that `protectedDir` really cannot be opened.
std::string becomeNobodyLockedOutOf(const std::string& protectedDir);

std::string joinLines(const std::vector<std::string>& lines);

}  // namespace velorra::testing
