#pragma once
// Songs in the formats beyond MP3 and WAV, tagged as the encoders write tags: FLAC, Ogg Vorbis
// and Opus with Vorbis comments, AAC in MP4 with its atoms, and MP3 with an ID3v2 tag only.
#include <filesystem>
#include <string>

#include "tools/media/melody.h"

namespace velorra::media {

enum class TaggedFormat { Flac, OggVorbis, Opus, M4a, Mp3Id3v2 };

// The tag values to write; empty ones are left out, a year of 0 too.
struct SongTags {
    std::string title{}, artist{}, album{}, genre{}, comment{};
    int year = 0;
};

// Whether this machine's GStreamer has the encoder and muxer for the format.
bool canEncode(TaggedFormat format);

// A file of the melody, `seconds` long before encoding, with `tags`; throws std::runtime_error
// when the pipeline fails.
void writeTagged(const std::filesystem::path& path, TaggedFormat format, const Melody& melody, double seconds,
                 const SongTags& tags);

}  // namespace velorra::media
