// The audio adjustments. The master volume L (0 to 85, 85 loudest) sets the active channel's
// fader to 85 - L; each fader f (0 loudest, 85 silent) gives its channel a volume of -f²
// hundredths of a decibel, a quadratic curve in decibels. Balance and pitch act on the active
// channel only; their bars are hidden and nothing in the program moves them.
#include "player/channel/whole_seconds.h"
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

#include <charconv>
#include <chrono>
#include <clocale>
#include <cmath>

namespace velorra {

namespace {

int32_t percent(double part, double whole) { return static_cast<int32_t>(roundHalfEven(part / whole * 100)); }

// The shortest decimal form of the rate, with the user's decimal separator.
std::string rateText(double rate) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, rate).ptr;
    std::string text(buffer, end);
    const std::string separator = std::localeconv()->decimal_point;
    if (const auto dot = text.find('.'); dot != std::string::npos) text.replace(dot, 1, separator);
    return text;
}

}  // namespace

void frmPlayer::hscVolume_Change() {
    const int32_t level = hscVolume.Value();
    const int32_t top = hscVolume.Max();
    attempt([&] { vscVolume.at(static_cast<size_t>(ActiveChannel)).setValue(top - level); });
    const int32_t p = percent(level, top);
    lblMasterVolume.setCaption(std::to_string(p) + "%");
    prgMasterVolume.setValue(p);
    tell(Event::Volume);
}

void frmPlayer::vscVolume_Change(int16_t Index) {
    const auto& fader = vscVolume.at(static_cast<size_t>(Index));
    const int32_t f = fader.Value();
    const int32_t top = fader.Max();
    const int32_t level = percent(top - f, top);
    const auto attenuation = static_cast<int32_t>(roundHalfEven(std::pow(f, 2.0)));
    // During a transition the sound glides from one step to the next over the tick interval, so
    // the level follows the curve without a stair; any other change takes the channel's short ramp.
    const auto ramp = tmrTransition.running() ? std::chrono::milliseconds(tmrTransition.Interval()) : kVolumeRamp;
    attempt([&] { channel(Index).setVolume(-attenuation, ramp); });
    lblVolume.at(static_cast<size_t>(Index)).setCaption(std::to_string(level));
    prgVolume.at(static_cast<size_t>(Index)).setValue(level);
}

void frmPlayer::hscBalance_Change() {
    const int32_t balance = hscBalance.Value();
    attempt([&] { channel(ActiveChannel).setBalance(balance); });
    lblBalance.setCaption(std::to_string(balance));
}

void frmPlayer::hscPitch_Change() {
    const double rate = hscPitch.Value() / 100.0;
    attempt([&] { channel(ActiveChannel).setPitch(rate); });
    lblPitch.setCaption(rateText(rate));
}

void frmPlayer::hscPitch_Scroll() { lblPitch.setCaption(rateText(hscPitch.Value() / 100.0)); }

}  // namespace velorra
