#include "player/tags/row_tags.h"

#include "player/tags/other_tags.h"
#include "player/toolkit/attempt.h"

#include <vextag/tag_record.h>

#include <array>

namespace velorra {

namespace {

std::array<std::string*, 6> fields(vextag::TagValues& tag) {
    return {&tag.song, &tag.artist, &tag.album, &tag.year, &tag.genre, &tag.comment};
}

bool blank(const vextag::TagValues& tag) {
    return tag.song.empty() && tag.artist.empty() && tag.album.empty() && tag.year.empty() && tag.genre.empty() &&
           tag.comment.empty();
}

// Each value up to its first NUL byte; with `trim`, without the blanks that end up outside it
// ("Title \0\0" reads "Title", as "Title  " does).
void cutAtNul(vextag::TagValues& tag, bool trim) {
    for (std::string* field : fields(tag)) {
        const size_t nul = field->find('\0');
        if (nul == std::string::npos) continue;
        field->resize(nul);
        if (trim) *field = vextag::TrimSpaces(*field);
    }
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
    cutAtNul(row.values, id3v1.Trim());
    if (!readOther) return row;
    auto other = readOtherTags(path);
    if (!other) return row;
    cutAtNul(other->values, false);
    if (other->id3v1) {
        // Both tags: the ID3v1 row stands unless the richer tag says something, and then it
        // only fills the gaps.
        if (blank(other->values)) return row;
        const auto id3v1Fields = fields(row.values);
        const auto richerFields = fields(other->values);
        for (size_t i = 0; i < richerFields.size(); ++i)
            if (richerFields[i]->empty()) *richerFields[i] = std::move(*id3v1Fields[i]);
    }
    row.values = std::move(other->values);
    row.fromOtherTags = true;
    return row;
}

}  // namespace velorra
