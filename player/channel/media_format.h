#pragma once
// What kind of media file a file is, from the bytes at its start: the magic numbers of the
// containers the player knows, looked for after any ID3v2 tags that lead the file.
#include <cstddef>
#include <cstdint>
#include <span>

namespace velorra {

enum class MediaFormat { Mpeg, Wav, Flac, OggVorbis, OggOpus, OggOther, Mp4 };

// Bytes of a file's start that tell its format, beyond its leading ID3v2 tags.
constexpr size_t FormatHeadBytes = 64;

// The bytes the ID3v2 tags at the start of `head` take (0 when it starts with none); an ID3v2
// tag is followed by another only when `head` reaches that far.
size_t leadingId3v2Size(std::span<const uint8_t> head);

// The format of a file whose audio starts with `start` (the bytes after its leading ID3v2 tags).
// Anything that is no other container is taken for MPEG audio, whose scan tells whether it is.
MediaFormat formatOf(std::span<const uint8_t> start);

}  // namespace velorra
