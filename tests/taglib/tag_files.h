// Real files for the tag library's tests: a private directory, records built byte by byte, and a
// way to run a check as a user who cannot bypass file permissions.
#pragma once

#include <functional>
#include <string>

namespace vextag::test {

// A fresh directory under /tmp, removed with everything in it at the end of the test. It is
// world-searchable so that checks run as "nobody" can reach the files in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

// `n` bytes of stand-in audio, none of which spell a marker.
std::string audio(std::size_t n);

struct RecordFields {
    std::string marker = "TAG";
    std::string title, artist, album, year, comment;
    unsigned char genre = 255;
};
// The 128 bytes of a record; each field is space-filled or cut to its width.
std::string record(const RecordFields& fields);

// Runs `check` in a child process as the user "nobody" and returns its exit status. 77 means
// the child could not become nobody; 78 that it still has `deniedAccess` (R_OK, W_OK) to
// `path`, so the permission would not be tested.
constexpr int CannotDropPrivileges = 77;
constexpr int PermissionsBypassed = 78;
int runAsNobody(const std::string& path, int deniedAccess, const std::function<int()>& check);

} // namespace vextag::test
