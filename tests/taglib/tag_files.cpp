#include "taglib/tag_files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vextag::test {

constexpr uid_t Nobody = 65534;

TempDir::TempDir() {
    std::string pattern = "/tmp/vextag-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    ::chmod(pattern.c_str(), 0755);
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
