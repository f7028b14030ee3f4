// The user's choices kept between runs: read once while the player window starts, written once
// when it closes. Every value is decimal text under the application name Velorra. Reading
// tries each action on its own: a text that is not a number, a number too large for its field
// or a value a control refuses changes nothing, and the next action runs.
#include "player/channel/whole_seconds.h"
#include "player/toolkit/attempt.h"
#include "player/window/decimal_number.h"
#include "player/window/frm_player.h"

#include <stdexcept>

namespace velorra {

namespace {

constexpr const char* App = "Velorra";

double number(const std::string& text) {
    const auto value = decimalNumber(text);
    if (!value) throw std::invalid_argument("not a number");
    return *value;
}

// Whole numbers go to the nearest integer, a half to the even neighbour.
int32_t wholeNumber32(const std::string& text) {
    const auto v = roundToInt32(number(text));
    if (!v) throw std::overflow_error("value does not fit 32 bits");
    return *v;
}

int16_t wholeNumber16(const std::string& text) { return toInt16(wholeNumber32(text)); }

// Window edges are kept as single-precision numbers; the window takes whole twips.
int32_t twips(const std::string& text) {
    const auto v = roundToInt32(static_cast<float>(number(text)));
    if (!v) throw std::overflow_error("value does not fit 32 bits");
    return *v;
}

}  // namespace

void frmPlayer::GetSettings() {
    SettingsStore& store = services_.settings;
    const auto read = [&](const char* section, const char* key, const char* fallback) {
        return store.read(App, section, key, fallback);
    };

    attempt([&] { playback.setTransitionTime(wholeNumber32(read("Transitions", "TransitionTime", "1"))); });
    spinTransitionTime.setValue(playback.TransitionTime);
    attempt([&] { playback.setTransitionType(wholeNumber16(read("Transitions", "TransitionType", "0"))); });
    attempt([&] { optTransition[playback.TransitionType].setValue(true); });
    attempt([&] { playback.setCutFirst(wholeNumber16(read("Trimming", "CutFirst", "0"))); });
    spinCutFirst.setValue(playback.CutFirst);
    attempt([&] { playback.setCutLast(wholeNumber16(read("Trimming", "CutLast", "0"))); });
    spinCutLast.setValue(playback.CutLast);
    attempt([&] { mnuTrimSilence.setChecked(wholeNumber16(read("Trimming", "TrimSilence", "0")) != 0); });
    playback.setTrimSilence(mnuTrimSilence.Checked());
    attempt([&] { mnuMatchLoudness.setChecked(wholeNumber16(read("BasicAudio", "MatchLoudness", "0")) != 0); });
    playback.setMatchLoudness(mnuMatchLoudness.Checked());

    // Both channels start silent; the master volume then sets the active one.
    for (auto& fader : vscVolume) fader.setValue(fader.Max());
    attempt([&] { hscVolume.setValue(wholeNumber16(read("BasicAudio", "Volume", "64"))); });
    attempt([&] { chkRndPlay.setValue(wholeNumber16(read("RandomPlayback", "rnd", "0"))); });
    // The device chosen last time, by its id (a display name in older settings), present or not;
    // the submenu lists the others when it opens.
    attempt([&] {
        const std::string device = read("BasicAudio", "OutputDevice", "");
        if (!device.empty()) cmbOutputDevices.AddItem(device);
    });
    mnuOutputDeviceItem_Click(cmbOutputDevices.ListCount() - 1);

    // The stored geometry is applied, running the resize rules, and then always replaced by
    // the fixed opening place and size.
    attempt([&] { setTop(twips(read("Window", "Top", "100"))); });
    attempt([&] { setLeft(twips(read("Window", "Left", "100"))); });
    attempt([&] { setHeight(twips(read("Window", "Height", "7000"))); });
    attempt([&] { setWidth(twips(read("Window", "Width", "6645"))); });
    setTop(100);
    setLeft(100);
    setHeight(6000);
    setWidth(6645);

    attempt([&] { ShowOptions = wholeNumber16(read("ShowOptions", "ShowOptions", "1")); });
    attempt([&] { mnuReadOtherTags.setChecked(wholeNumber16(read("Tags", "ReadOtherTags", "1")) != 0); });
}

void frmPlayer::SaveSettings() {
    SettingsStore& store = services_.settings;
    const auto write = [&](const char* section, const char* key, int64_t value) {
        store.write(App, section, key, std::to_string(value));
    };
    // The variables, not the spinners: a stored value a spinner refused goes back unchanged.
    write("Transitions", "TransitionTime", playback.TransitionTime);
    write("Transitions", "TransitionType", playback.TransitionType);
    write("Trimming", "CutFirst", playback.CutFirst);
    write("Trimming", "CutLast", playback.CutLast);
    write("Trimming", "TrimSilence", mnuTrimSilence.Checked() ? 1 : 0);
    write("RandomPlayback", "rnd", chkRndPlay.Value());
    write("BasicAudio", "Volume", hscVolume.Value());
    store.write(App, "BasicAudio", "OutputDevice", chosenOutputDevice());
    write("BasicAudio", "MatchLoudness", mnuMatchLoudness.Checked() ? 1 : 0);
    // A minimised window stands far above the screen: its place is not worth keeping.
    if (Top() > 10) {
        write("Window", "Top", Top());
        write("Window", "Left", Left());
        write("Window", "Height", Height());
        write("Window", "Width", Width());
    }
    write("ShowOptions", "ShowOptions", ShowOptions);
    write("Tags", "ReadOtherTags", mnuReadOtherTags.Checked() ? 1 : 0);
}

}  // namespace velorra
