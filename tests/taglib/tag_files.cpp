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

std::string record(const RecordFields& f) {
    auto fit = [](const std::string& text, std::size_t width) {
        std::string field = text.substr(0, width);
        field.resize(width, ' ');
        return field;
    };
    return fit(f.marker, 3) + fit(f.title, 30) + fit(f.artist, 30) + fit(f.album, 30) + fit(f.year, 4) +
           fit(f.comment, 30) + std::string(1, static_cast<char>(f.genre));
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
