// The ID3v1 genre names: the one-byte code of a tag turned into text and back.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vextag {

// 125 names at positions 1 to 125. Codes 0-83 sit at positions 1-84 and codes 85-125 at
// positions 85-125; code 84 has no name. The table is read-only once built.
class GenreTable {
public:
    static constexpr std::int16_t Size = 125;
    // The code written for a genre name that is not in the table.
    static constexpr std::uint8_t UnknownCode = 255;

    GenreTable();

    // The name at position 1..Size.
    std::string_view name(std::int16_t position) const { return names_[static_cast<std::size_t>(position - 1)]; }

    // The name a tag's genre code reads as; empty for 84 and for 126-255.
    std::string_view nameOfCode(std::uint8_t code) const;

    // The code stored for a table position (1..Size), or UnknownCode for any other position.
    static std::uint8_t codeOfPosition(std::int16_t position);

private:
    std::array<std::string_view, Size> names_;
};

// Position (1..125) of the first name equal to `name`, letter case counting; 255 when none is.
std::int16_t LookUpGenre(const GenreTable& table, std::string_view name);

} // namespace vextag
