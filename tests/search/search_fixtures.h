#pragma once
// Real directory trees for the search tests, and a way to run a check in a child process as
// another user or with another root directory.
#include <functional>
#include <string>
#include <vector>

namespace velorra::testing {

// A fresh directory under /tmp, open to every user, removed with everything in it at the end.
class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& root() const { return root_; }
    std::string path(const std::string& relative) const { return root_ + "/" + relative; }
    // Creates the file (and the directories above it) with these bytes.
    std::string file(const std::string& relative, const std::string& bytes = "x") const;
    std::string dir(const std::string& relative) const;

private:
    std::string root_;
};

// An MP3 file's bytes: some stand-in audio and an ID3v1 record with these fields.
std::string mp3WithTag(const std::string& title, const std::string& artist, const std::string& album,
                       const std::string& year);

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
