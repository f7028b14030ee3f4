#pragma once
#include <filesystem>

#include "tools/media/melody.h"

namespace velorra::media {

// A 16-bit PCM WAV file; throws std::runtime_error when the file cannot be written.
void writeWav(const std::filesystem::path& path, const std::vector<int16_t>& samples, WavFormat format);

// A WAV file of the melody, exactly `seconds` long (to the sample frame).
void writeWav(const std::filesystem::path& path, const Melody& melody, double seconds, WavFormat format = {});

}  // namespace velorra::media
