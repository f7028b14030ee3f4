#include "player/search/start_directory.h"

#include "player/toolkit/file_system.h"
#include "player/toolkit/volumes.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

namespace velorra {

namespace {

bool isDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// XDG_MUSIC_DIR from user-dirs.dirs: a line XDG_MUSIC_DIR="$HOME/Music" or with an absolute path.
std::string xdgMusicDir(const std::string& home) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string folder = config && config[0] == '/' ? config : toolkit::joinPath(home, ".config");
    std::ifstream in(toolkit::joinPath(folder, "user-dirs.dirs"));
    const std::string key = "XDG_MUSIC_DIR=\"";
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0 || line.back() != '"') continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        if (!value.empty() && value.front() == '/') return value;
    }
    return {};
}

}  // namespace

std::string defaultStartDirectory() {
    const std::string home = toolkit::homeFolder();
    for (const std::string& music : {xdgMusicDir(home), toolkit::joinPath(home, "Music")})
        if (!music.empty() && isDirectory(music)) return music;
    return home;
}

}  // namespace velorra
