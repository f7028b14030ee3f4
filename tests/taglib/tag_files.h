// Real files for the tag library's tests: audio that spells no marker, and a way to run a check as
// a user who cannot bypass file permissions. The private folder is support/temp_dir.h, the
// records support/tagged_mp3.h.
#pragma once

#include <functional>
#include <string>

namespace vextag::test {

// `n` bytes of stand-in audio, none of which spell a marker.
std::string audio(std::size_t n);

// Runs `check` in a child process as the user "nobody" and returns its exit status. 77 means
// the child could not become nobody; 78 that it still has `deniedAccess` (R_OK, W_OK) to
// `path`, so the permission would not be tested.
constexpr int CannotDropPrivileges = 77;
constexpr int PermissionsBypassed = 78;
int runAsNobody(const std::string& path, int deniedAccess, const std::function<int()>& check);

} // namespace vextag::test
