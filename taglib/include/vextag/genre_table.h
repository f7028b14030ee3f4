// The ID3v1 genre names: the one-byte code of a tag turned into text and back.
#pragma once

#include <cstdint>
#include <string_view>

#include <vextag/export.h>

namespace vextag {

// 125 names at positions 1 to 125. Codes 0-83 sit at positions 1-84 and codes 85-125 at
// positions 85-125; code 84 has no name. The names are the library's own constant list, so a
// table holds no data and never changes.
class VEXTAG_API GenreTable {
public:
    static constexpr std::int16_t Size = 125;
    // The code written for a genre name that is not in the table.
    static constexpr std::uint8_t UnknownCode = 255;

    // The name at position 1..Size; empty for any other position.
    std::string_view name(std::int16_t position) const;

    // The name a tag's genre code reads as; empty for 84 and for 126-255.
    std::string_view nameOfCode(std::uint8_t code) const;

    // The code stored for a table position (1..Size), or UnknownCode for any other position.
    static std::uint8_t codeOfPosition(std::int16_t position);
};

// Position (1..125) of the first name equal to `name`, letter case counting; 255 when none is.
VEXTAG_API std::int16_t LookUpGenre(const GenreTable& table, std::string_view name);

} // namespace vextag
