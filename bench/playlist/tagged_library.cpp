#include "playlist/tagged_library.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace velorra::bench {

namespace {

std::string field(const std::string& text, size_t width) {
    std::string f = text.substr(0, width);
    f.resize(width, ' ');
    return f;
}

void write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

TaggedLibrary::TaggedLibrary(int files) {
    std::string pattern = "/tmp/velorra-bench-playlist-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    const std::string audio(2048, '\x55');
    std::string list = "#EXTM3U\r\n";
    for (int i = 0; i < files; ++i) {
        const std::string n = std::to_string(i);
        const std::string path = folder_ + "/Artist " + std::to_string(i % 97) + " - Song " + n + ".mp3";
        write(path, audio + "TAG" + field("Song number " + n, 30) + field("Artist " + std::to_string(i % 97), 30) +
                        field("Album " + std::to_string(i % 31), 30) + field(std::to_string(1960 + i % 60), 4) +
                        field("comment " + n, 30) + std::string(1, static_cast<char>(i % 80)));
        files_.push_back(path);
        list += path + "\r\n";
    }
    playList_ = folder_ + "/library.m3u";
    write(playList_, list);
}

TaggedLibrary::~TaggedLibrary() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

}  // namespace velorra::bench
