#pragma once
#include <filesystem>

namespace velorra::media {

// The length of a media file in seconds, measured by decoding all of it through GStreamer and
// counting the samples; throws std::runtime_error when it does not decode.
double decodedSeconds(const std::filesystem::path& path);

}  // namespace velorra::media
