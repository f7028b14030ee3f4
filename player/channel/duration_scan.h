#pragma once
// The length of a media file learned from its headers alone, without decoding: MPEG audio
// (layers I to III of MPEG-1, 2 and 2.5) by walking its frame headers or reading its Xing, Info
// or VBRI frame, WAV from its RIFF chunks, FLAC from its STREAMINFO block, Ogg Vorbis and Opus
// from the granule position of their last page, MP4 audio from its track's media header, raw
// AAC (ADTS) by walking its frame headers.
// A few hundredths of a millisecond for a typical song.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace velorra {

// Seconds of audio in the file; empty when the file cannot be read or is of none of these
// formats (others need a decoder to tell).
std::optional<double> scanDuration(const std::string& path);

// Whether the file's audio opens with an MPEG audio frame header, right at its start or right
// after its leading ID3v2 tags.
bool startsWithMpegFrame(const std::string& path);
bool startsWithMpegFrame(std::span<const uint8_t> file);

// The same for the bytes of a whole file.
std::optional<double> mpegDuration(std::span<const uint8_t> file);
std::optional<double> wavDuration(std::span<const uint8_t> file);
std::optional<double> flacDuration(std::span<const uint8_t> file);
std::optional<double> oggDuration(std::span<const uint8_t> file);
std::optional<double> mp4Duration(std::span<const uint8_t> file);
std::optional<double> adtsDuration(std::span<const uint8_t> file);

}  // namespace velorra
