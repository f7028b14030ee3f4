#include <vextag/genre_table.h>

#include <array>

namespace vextag {

namespace {

// Codes 0-83 and 85-125 of the published list, with "Alternative Rock" (40) and "Folk/Rock" (81)
// spelled as the control always has.
constexpr std::array<std::string_view, GenreTable::Size> Names{
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop",
    "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game",
    "Sound Clip", "Gospel", "Noise", "Alternative Rock", "Bass", "Soul", "Punk", "Space", "Meditative",
    "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial",
    "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta",
    "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave",
    "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka",
    "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk/Rock", "National Folk", "Swing",
    // code 84 has no entry: position 85 is code 85
    "Bebob", "Latin", "Revival", "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock",
    "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening",
    "Acoustic", "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony",
    "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore",
    "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo",
    "A capella", "Euro-House", "Dance Hall"};

constexpr std::int16_t LastCodeBeforeGap = 83;
constexpr std::uint8_t MissingCode = 84;

} // namespace

std::string_view GenreTable::name(std::int16_t position) const {
    if (position < 1 || position > Size) return {};
    return Names[static_cast<std::size_t>(position - 1)];
}

std::string_view GenreTable::nameOfCode(std::uint8_t code) const {
    // Code 84 has no name of its own; it reads as empty, like the codes past the table, so a
    // save never turns it into a different genre.
    if (code == MissingCode || code > Size) return {};
    return name(code <= LastCodeBeforeGap ? static_cast<std::int16_t>(code + 1) : static_cast<std::int16_t>(code));
}

std::uint8_t GenreTable::codeOfPosition(std::int16_t position) {
    if (position < 1 || position > Size) return UnknownCode;
    return static_cast<std::uint8_t>(position <= LastCodeBeforeGap + 1 ? position - 1 : position);
}

std::int16_t LookUpGenre(const GenreTable& table, std::string_view name) {
    for (std::int16_t position = 1; position <= GenreTable::Size; ++position)
        if (table.name(position) == name) return position;
    return GenreTable::UnknownCode;
}

} // namespace vextag
