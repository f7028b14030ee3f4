// The ID3v1 record reader and writer on any file: the six values read are the record's bytes as
// UTF-8 (trimmed of spaces on request), and saving what was read leaves the record as it was,
// the bytes before it untouched; a file without a record gains exactly one.
#include <strings.h>

#include <string>
#include <string_view>

#include <vextag/tag_record.h>

#include "fuzz/fuzz_support.h"

namespace {

using velorra::fuzz::check;

std::string utf8(std::string_view latin1) {
    std::string out;
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | byte >> 6);
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

std::string withoutOuterSpaces(const std::string& s) {
    const size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const velorra::fuzz::MemoryFile file;
    static const vextag::GenreTable genres;
    const std::string before(reinterpret_cast<const char*>(data), size);
    file.hold(data, size);

    vextag::TagValues raw, trimmed;
    vextag::ReadTag(file.path(), false, genres, raw);
    vextag::ReadTag(file.path(), true, genres, trimmed);

    const bool tagged = size >= 151 && ::strncasecmp(before.data() + size - 128, "TAG", 3) == 0;
    const std::string_view record = tagged ? std::string_view(before).substr(size - 128) : std::string_view();
    const auto field = [&](size_t offset, size_t width) { return tagged ? utf8(record.substr(offset, width)) : ""; };
    check(raw.song == field(3, 30), "the title is the record's 30 bytes");
    check(raw.artist == field(33, 30), "the artist is the record's 30 bytes");
    check(raw.album == field(63, 30), "the album is the record's 30 bytes");
    check(raw.year == field(93, 4), "the year is the record's 4 bytes");
    check(raw.comment == field(97, 30), "the comment is the record's 30 bytes");
    const auto code = static_cast<uint8_t>(tagged ? record[127] : 0);
    const bool named = tagged && code != 84 && code <= 125;
    check(named ? vextag::GenreTable::codeOfPosition(vextag::LookUpGenre(genres, raw.genre)) == code : raw.genre.empty(),
          "the genre is the name of the record's code, or empty when the code has none");
    for (const auto& [whole, cut] : {std::pair{&raw.song, &trimmed.song}, {&raw.artist, &trimmed.artist},
                                     {&raw.album, &trimmed.album}, {&raw.year, &trimmed.year},
                                     {&raw.genre, &trimmed.genre}, {&raw.comment, &trimmed.comment}})
        check(*cut == withoutOuterSpaces(*whole), "trimming takes the outer spaces and nothing else");

    vextag::WriteTag(file.path(), raw, genres);
    const std::string after = file.bytes();
    if (size < 151) {
        check(after == before, "a file of 150 bytes or less is left alone");
    } else if (tagged) {
        check(after.size() == size, "a record is overwritten in place");
        check(after.compare(0, size - 1, before, 0, size - 1) == 0, "saving what was read keeps every byte");
        check(static_cast<uint8_t>(after.back()) == (named ? code : 255), "a code without a name is saved as 255");
    } else {
        check(after.size() == size + 128 && after.compare(0, size, before) == 0, "a record is appended after the file");
        check(after.substr(size) == "TAG" + std::string(124, ' ') + '\xFF', "empty values are saved as spaces");
    }
    return 0;
}
