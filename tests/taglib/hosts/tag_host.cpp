// A C++ program on the installed library: prints the tag of FILE as "song|artist|album|year|genre|
// comment" through the Vextag control and saves it with the song changed into COPY.
#include <cstdio>
#include <system_error>

#include <vextag/vextag.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tag_host FILE COPY\n");
        return 2;
    }
    vextag::Vextag tag;
    tag.setFilename(argv[1]);
    try {
        tag.Read();
        std::printf("%s|%s|%s|%s|%s|%s\n", tag.Song().c_str(), tag.Artist().c_str(), tag.Album().c_str(),
                    tag.Year().c_str(), tag.Genre().c_str(), tag.Comment().c_str());
        tag.setSong("Written in C++");
        tag.setFilename(argv[2]);
        tag.Save();
    } catch (const std::system_error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
