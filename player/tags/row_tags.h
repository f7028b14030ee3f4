#pragma once
// The six values a play-list row shows for a file: those of its ID3v1 tag, read through the tag
// control as ever, or, for a file without one, those of its other tags.
#include <vextag/vextag.h>

#include <string>

namespace velorra {

struct RowTags {
    vextag::TagValues values;
    bool fromOtherTags = false;  // read by readOtherTags, not from an ID3v1 tag
};

// Reads `path` through `id3v1` (whose Filename it sets); when that finds six empty values and
// `readOther` is set, the file's other tags answer unless it has an ID3v1 tag after all
// (an empty one). A file that cannot be read gives six empty values.
RowTags readRowTags(vextag::Vextag& id3v1, const std::string& path, bool readOther);

}  // namespace velorra
