#pragma once
// Tags other than ID3v1, parsed by TagLib: the ID3v2 tag at the start of an MP3, the Vorbis
// comments of a FLAC, Ogg Vorbis or Opus file (whose block or packet is found here, so that only
// it is read), the MP4 atoms of an M4A. Texts come as UTF-8.
#include <vextag/tag_record.h>

#include <optional>
#include <string>

namespace velorra {

// The six values of a file that has no ID3v1 tag, from the tags its format carries; six empty
// values when it carries none. Empty when the file has an ID3v1 tag (the tag control reads
// that one), is not a regular file, cannot be read, or is of another format. Never blocks on
// a named pipe or a device.
std::optional<vextag::TagValues> readOtherTags(const std::string& path);

}  // namespace velorra
