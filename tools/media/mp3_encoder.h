#pragma once
#include <filesystem>

#include "tools/media/melody.h"

namespace velorra::media {

enum class Mp3Kind {
    ConstantNoXing,  // 128 kbit/s, every frame alike, no Xing/Info frame
    VariableXing,    // variable bitrate, a Xing frame with the frame count first
    VariableNoXing,  // variable bitrate, frames only
};

// Encodes a WAV file to MP3 through GStreamer's LAME encoder (and xingmux for VariableXing);
// throws std::runtime_error when the pipeline fails.
void encodeMp3(const std::filesystem::path& wav, const std::filesystem::path& mp3, Mp3Kind kind);

// An MP3 file of the melody, made from a WAV of exactly `seconds` (the encoder adds a few
// hundredths of a second of padding).
void writeMp3(const std::filesystem::path& path, const Melody& melody, double seconds, Mp3Kind kind,
              WavFormat format = {});

}  // namespace velorra::media
