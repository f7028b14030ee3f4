#pragma once
// What the background analysis knows of a song: its quiet lead-in and tail, its length as
// decoded, and its loudness (integrated, EBU R128) with its sample peak, measured in the same
// decode or read from its tags. A song that could not be decoded is known as failed, so that it
// is measured again only once its file changes.
#include "player/analysis/silence.h"

#include <optional>

namespace velorra {

// Where a song's loudness comes from.
enum class LoudnessSource { None, Decoded, Tags };

struct Measurement {
    Measurement() = default;
    // The silence alone, as a measurer that knows nothing more tells it.
    Measurement(Silence quiet) : silence(quiet) {}  // NOLINT(google-explicit-constructor)

    Silence silence;
    std::optional<double> seconds;   // the decoded length
    std::optional<double> loudness;  // LUFS; none for a song quieter than the -70 LUFS gate
    std::optional<double> peak;      // the largest sample, 1.0 at full scale
    LoudnessSource source = LoudnessSource::None;
    bool failed = false;
};

// The level every song is brought to, and the highest its peak may then reach.
inline constexpr double TargetLufs = -18.0;
inline constexpr double PeakCeilingDbfs = -1.0;

// The gain in dB that brings a song of `loudness` LUFS to -18 LUFS, lowered where its sample
// peak (`peak`, 1.0 at full scale; 0 when unknown or silent) would then rise above -1 dBFS.
double matchLoudnessGain(double loudness, double peak);

}  // namespace velorra
