// "Match Loudness": every song plays at the gain that brings it to -18 LUFS, lowered where its
// sample peak would pass -1 dBFS, from the measurements "Trim Silence" uses (one decode gives
// both; with either option on, songs are measured ahead). The gain is the channel's own, before
// its fader: the transition's curves and the master level act on top as they always have. A song
// starts at its gain when it is known; one measured while it plays, and every playing song when
// the option is turned, glides to its new gain over half a second. Off, every gain is exactly 1.
#include "player/analysis/measurement.h"
#include "player/playback/playback_core.h"

#include <cmath>

namespace velorra {

void PlaybackCore::setMatchLoudness(bool on) {
    if (on == matchLoudness_) return;
    matchLoudness_ = on;
    matchPlaying({});
    measureAhead();
}

double PlaybackCore::loudnessGain(const std::string& path) {
    if (!matchLoudness_ || path.empty()) return 1.0;
    const auto known = silenceCache_.measurement(path);
    if (!known || !known->loudness) return 1.0;
    return std::pow(10.0, matchLoudnessGain(*known->loudness, known->peak.value_or(0.0)) / 20.0);
}

void PlaybackCore::matchPlaying(const std::string& path) {
    for (const auto& channel : Channels) {
        if (!channel || (!path.empty() && channel->Filename() != path)) continue;
        const double gain = loudnessGain(channel->Filename());
        if (gain != channel->Loudness()) channel->setLoudness(gain, LoudnessRamp);
    }
}

}  // namespace velorra
