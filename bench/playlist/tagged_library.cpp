#include "playlist/tagged_library.h"

#include "support/tagged_mp3.h"

namespace velorra::bench {

TaggedLibrary::TaggedLibrary(int files) {
    std::string list = "#EXTM3U\r\n";
    for (int i = 0; i < files; ++i) {
        const std::string n = std::to_string(i);
        const std::string artist = "Artist " + std::to_string(i % 97);
        const std::string path = folder_.path(artist + " - Song " + n + ".mp3");
        testing::writeFile(path, testing::taggedMp3({.title = "Song number " + n,
                                                     .artist = artist,
                                                     .album = "Album " + std::to_string(i % 31),
                                                     .year = std::to_string(1960 + i % 60),
                                                     .comment = "comment " + n,
                                                     .genre = static_cast<unsigned char>(i % 80)},
                                                    2048));
        files_.push_back(path);
        list += path + "\r\n";
    }
    playList_ = folder_.path("library.m3u");
    testing::writeFile(playList_, list);
}

}  // namespace velorra::bench
