// The ID3v1 tag: a 128-byte record at the very end of an MP3 file, read and written in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <vextag/export.h>
#include <vextag/genre_table.h>

namespace vextag {

// Layout of the record; offsets count from its first byte (file offset N - 128).
struct TagRecord {
    struct Field {
        std::size_t offset;
        std::size_t width;
    };
    static constexpr std::size_t Size = 128;
    static constexpr Field Marker{0, 3};
    static constexpr Field Title{3, 30};
    static constexpr Field Artist{33, 30};
    static constexpr Field Album{63, 30};
    static constexpr Field Year{93, 4};
    static constexpr Field Comment{97, 30}; // all 30 bytes: no track number
    static constexpr std::size_t GenreOffset = 127;
    // A file is looked at only from this length on; shorter files have no tag.
    static constexpr std::int64_t MinimumFileSize = 151;
};

// The six values of a tag as UTF-8 text. Bytes in the file are ISO-8859-1.
struct TagValues {
    std::string song;
    std::string artist;
    std::string album;
    std::string year;
    std::string genre;
    std::string comment;
};

// Fills `values` from the tag of the named file. A missing file (or anything but a regular
// file), a file of 150 bytes or less and a file without the marker give six empty values.
// With `trim`, leading and trailing spaces go; NUL bytes stay. File-system failures throw
// std::system_error (errno, "<file>: <system text>") with the file closed and `values` untouched.
VEXTAG_API void ReadTag(const std::string& filename, bool trim, const GenreTable& genres, TagValues& values);

// Stores `values` in the named file: over its tag in place, or as a new record appended to it.
// A missing file or one of 150 bytes or less is left alone. Text is cut or space-filled to each
// field's width; a character ISO-8859-1 lacks is written as '?'; a genre not in the table is 255.
// File-system failures throw std::system_error as ReadTag does.
VEXTAG_API void WriteTag(const std::string& filename, const TagValues& values, const GenreTable& genres);

// `text` cut to `width` bytes or filled to it with spaces; a width below 1 leaves it as it is.
VEXTAG_API std::string PadField(std::string_view text, std::int16_t width);

// `text` without its leading and trailing spaces; tabs, NUL bytes and the rest stay.
VEXTAG_API std::string TrimSpaces(std::string_view text);

} // namespace vextag
