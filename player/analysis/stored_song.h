#pragma once
// One song as the analysis store keeps it: its measurement, valid for the file as it was
// measured (its size and modification time). Whatever is read back from a store is checked
// before it is believed.
#include "player/analysis/measurement.h"
#include "player/channel/file_stamp.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velorra {

struct StoredSong {
    std::string path;
    FileStamp stamp;
    Measurement measurement;
};

// The longest song and path believed.
inline constexpr double LongestSongSeconds = 7 * 24 * 3600.0;
inline constexpr size_t LongestPath = 4096;

// Whether a measurement read from a store can be true: every figure finite and not negative
// (the loudness aside, which lies between -200 and +200 LUFS), lead-in and tail together no
// longer than the song (or a week, its length unknown), a peak up to +40 dBFS, a known source,
// and a failure carrying no figures.
bool plausible(const Measurement& m);

}  // namespace velorra
