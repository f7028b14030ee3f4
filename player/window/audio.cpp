// The audio adjustments as the window shows them: the master volume bar sets the core's level
// and shows it in percent; the hidden channel faders mirror the core's faders and show each
// channel's level; the hidden balance and pitch bars hand their values to the core.
#include "player/channel/whole_seconds.h"
#include "player/window/frm_player.h"

#include <charconv>
#include <clocale>

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
    playback.setLevel(hscVolume.Value());
    showMasterLevel();
}

void frmPlayer::levelChanged() {
    hscVolume.setValue(playback.Level());
    showMasterLevel();
}

void frmPlayer::showMasterLevel() {
    const int32_t p = percent(hscVolume.Value(), hscVolume.Max());
    lblMasterVolume.setCaption(std::to_string(p) + "%");
    prgMasterVolume.setValue(p);
}

void frmPlayer::vscVolume_Change(int16_t Index) {
    playback.setFader(Index, vscVolume.at(static_cast<size_t>(Index)).Value());
}

void frmPlayer::faderMoved(int16_t index) {
    auto& fader = vscVolume.at(static_cast<size_t>(index));
    fader.setValue(playback.Faders.at(static_cast<size_t>(index)));
    const int32_t level = percent(fader.Max() - fader.Value(), fader.Max());
    lblVolume.at(static_cast<size_t>(index)).setCaption(std::to_string(level));
    prgVolume.at(static_cast<size_t>(index)).setValue(level);
}

void frmPlayer::hscBalance_Change() {
    const int32_t balance = hscBalance.Value();
    playback.setBalance(balance);
    lblBalance.setCaption(std::to_string(balance));
}

void frmPlayer::hscPitch_Change() {
    const double rate = hscPitch.Value() / 100.0;
    playback.setPitch(rate);
    lblPitch.setCaption(rateText(rate));
}

void frmPlayer::hscPitch_Scroll() { lblPitch.setCaption(rateText(hscPitch.Value() / 100.0)); }

}  // namespace velorra
