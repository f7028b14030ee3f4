#pragma once
// MP3 stand-ins with an ID3v1 tag, built byte by byte. Header-only, so that the benchmarks can
// use it too.
#include <cstddef>
#include <string>

namespace velorra::testing {

// The fields of an ID3v1 record, each empty unless given. The marker is "TAG" unless a test wants
// a damaged record.
struct Id3v1Tag {
    std::string title{}, artist{}, album{}, year{}, comment{};
    unsigned char genre = 255;
    std::string marker = "TAG";
};

// The 128 bytes of the record; each field is space-filled or cut to its width.
inline std::string id3v1Record(const Id3v1Tag& tag) {
    auto fit = [](const std::string& text, std::size_t width) {
        std::string field = text.substr(0, width);
        field.resize(width, ' ');
        return field;
    };
    return fit(tag.marker, 3) + fit(tag.title, 30) + fit(tag.artist, 30) + fit(tag.album, 30) + fit(tag.year, 4) +
           fit(tag.comment, 30) + std::string(1, static_cast<char>(tag.genre));
}

// An MP3 file's bytes: `audioBytes` bytes of stand-in audio, then the record of `tag`.
inline std::string taggedMp3(const Id3v1Tag& tag, std::size_t audioBytes = 400) {
    return std::string(audioBytes, '\x55') + id3v1Record(tag);
}

}  // namespace velorra::testing
