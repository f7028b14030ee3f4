#pragma once
// The six values a play-list row shows for a file: those of its ID3v1 tag, read through the tag
// control as ever, or, with "Read Other Tags", those of its richer tag, the ID3v1 tag filling
// only the fields that one lacks. Every value ends before its first NUL byte: ID3v1 fields come
// padded with them, and nothing the player shows or sends carries one.
#include <vextag/vextag.h>

#include <string>

namespace velorra {

struct RowTags {
    vextag::TagValues values;
    bool fromOtherTags = false;  // the richer tag gave values, or the file has no ID3v1 tag
};

// Reads `path` through `id3v1` (whose Filename it sets) and, when `readOther` is set, through
// readOtherTags: a file without an ID3v1 tag (or with one of NULs alone) takes the values of
// its richer tag; a file with both takes the richer tag's values and the ID3v1 values where
// the richer tag has none. A file that cannot be read gives six empty values.
RowTags readRowTags(vextag::Vextag& id3v1, const std::string& path, bool readOther);

}  // namespace velorra
