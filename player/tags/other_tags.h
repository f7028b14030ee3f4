#pragma once
// Tags other than ID3v1, parsed by TagLib: the ID3v2 tag at the start of an MP3, the Vorbis
// comments of a FLAC, Ogg Vorbis or Opus file (whose block or packet is found here, so that only
// it is read), the MP4 atoms of an M4A. Texts come as UTF-8.
#include <vextag/tag_record.h>

#include <optional>
#include <string>

namespace velorra {

// What a file says beyond what the ID3v1 tag control reads.
struct OtherTags {
    // The values of its richer tag (ID3v2, Vorbis comments, MP4 atoms); six empty values when it
    // carries none.
    vextag::TagValues values;
    // It ends with an ID3v1 tag that holds more than NUL bytes.
    bool id3v1 = false;
};

// Empty when the file is not a regular file, cannot be read, or is of a format with no such
// tag (WAV). Never blocks on a named pipe or a device.
std::optional<OtherTags> readOtherTags(const std::string& path);

}  // namespace velorra
