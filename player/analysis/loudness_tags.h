#pragma once
// The loudness a file carries in its tags, read with TagLib: the ReplayGain track gain and peak
// (ID3v2 TXXX:REPLAYGAIN_TRACK_GAIN and _PEAK, the Vorbis comments of the same names, the MP4
// freeform atoms ----:com.apple.iTunes:replaygain_track_gain and _peak), whose gain brings the
// song to -18 LUFS, and Opus's R128_TRACK_GAIN, a Q7.8 number of dB to -23 LUFS.
#include <optional>
#include <string>

namespace velorra {

struct TaggedLoudness {
    double loudness = 0.0;       // LUFS
    std::optional<double> peak;  // 1.0 at full scale, when the tags tell it
};

// Empty when the file carries no readable gain, is not a regular file or cannot be read. Never
// blocks on a named pipe or a device.
std::optional<TaggedLoudness> readLoudnessTags(const std::string& path);

// A gain tag's text ("-7.89 dB", "+2.5") as dB, or a peak's ("0.988"); empty unless it is a
// finite number, within +-100 for a gain and from 0 to 100 for a peak.
std::optional<double> parseGain(const std::string& text);
std::optional<double> parsePeak(const std::string& text);

}  // namespace velorra
