// The audio adjustments. The master level L (0 to 85, 85 loudest) sets the active channel's
// fader to 85 - L; each fader f (0 loudest, 85 silent) gives its channel a volume of -f²
// hundredths of a decibel, a quadratic curve in decibels. Balance and pitch act on the active
// channel only.
#include "player/channel/whole_seconds.h"
#include "player/playback/playback_core.h"

#include <chrono>
#include <cmath>

namespace velorra {

bool PlaybackCore::setLevel(int32_t level) {
    if (level < 0 || level > Top) return false;
    if (level == level_) return true;
    level_ = level;
    hscVolume_Change();
    return true;
}

void PlaybackCore::hscVolume_Change() {
    setFader(ActiveChannel, Top - level_);
    tell([](PlaybackObserver& o) { o.levelChanged(); });
}

bool PlaybackCore::setFader(int16_t index, int32_t value) {
    if (index < 0 || index > 1 || value < 0 || value > Top) return false;
    auto& fader = Faders[static_cast<size_t>(index)];
    if (fader == value) return true;
    fader = value;
    vscVolume_Change(index);
    tell([index](PlaybackObserver& o) { o.faderMoved(index); });
    return true;
}

void PlaybackCore::vscVolume_Change(int16_t Index) {
    const int32_t f = Faders.at(static_cast<size_t>(Index));
    const auto attenuation = static_cast<int32_t>(roundHalfEven(std::pow(f, 2.0)));
    // During a transition the sound glides from one step to the next over the tick interval, so
    // the level follows the curve without a stair; any other change takes the channel's short ramp.
    const auto ramp = tmrTransition.running() ? std::chrono::milliseconds(tmrTransition.Interval()) : kVolumeRamp;
    if (Player* p = channelIn(Index)) p->setVolume(-attenuation, ramp);
}

void PlaybackCore::setBalance(int32_t balance) {
    if (Player* p = channelIn(ActiveChannel)) p->setBalance(balance);
}

void PlaybackCore::setPitch(double rate) {
    if (Player* p = channelIn(ActiveChannel)) p->setPitch(rate);
}

}  // namespace velorra
