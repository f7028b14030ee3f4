#include "taglib/tag_files.h"

#include <cstdlib>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vextag::test {

constexpr uid_t Nobody = 65534;

std::string audio(std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(0x80 | (i * 37 % 128));
    return bytes;
}

int runAsNobody(const std::string& path, int deniedAccess, const std::function<int()>& check) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
            ::_exit(CannotDropPrivileges);
        if (::access(path.c_str(), deniedAccess) == 0) ::_exit(PermissionsBypassed);
        ::_exit(check());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace vextag::test
