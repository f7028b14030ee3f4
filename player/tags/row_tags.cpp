#include "player/tags/row_tags.h"

#include "player/tags/other_tags.h"
#include "player/toolkit/attempt.h"

namespace velorra {

namespace {

bool blank(const vextag::TagValues& tag) {
    return tag.song.empty() && tag.artist.empty() && tag.album.empty() && tag.year.empty() && tag.genre.empty() &&
           tag.comment.empty();
}

}  // namespace

RowTags readRowTags(vextag::Vextag& id3v1, const std::string& path, bool readOther) {
    // The control keeps the previous file's values when its read fails, so they are taken only
    // after a read.
    RowTags row;
    attempt([&] {
        id3v1.setFilename(path);
        id3v1.Read();
        row.values = {id3v1.Song(), id3v1.Artist(), id3v1.Album(), id3v1.Year(), id3v1.Genre(), id3v1.Comment()};
    });
    if (!readOther || !blank(row.values)) return row;
    if (auto other = readOtherTags(path)) {
        row.values = std::move(*other);
        row.fromOtherTags = true;
    }
    return row;
}

}  // namespace velorra
