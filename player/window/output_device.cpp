// The output device: Options > "Output &Device" offers "Default" and the audio outputs present,
// listed again each time the submenu opens. The choice is the entry selected in the hidden list
// cmbOutputDevices, whose name the core hands to every new channel; a chosen device that
// is gone stays listed and chosen, and its channels play on the default output until it returns.
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

#include <algorithm>

namespace velorra {

std::string frmPlayer::chosenOutputDevice() const {
    const int32_t index = cmbOutputDevices.ListIndex();
    return index >= 0 ? cmbOutputDevices.List(index) : std::string();
}

void frmPlayer::mnuOutputDevice_Click() {
    const std::string chosen = chosenOutputDevice();
    std::vector<std::string> names;
    attempt([&] { names = services_.media.outputDevices(); });
    if (!chosen.empty() && std::find(names.begin(), names.end(), chosen) == names.end()) names.push_back(chosen);

    cmbOutputDevices.Clear();
    mnuOutputDeviceItems.clear();
    for (int32_t i = 0; i < static_cast<int32_t>(names.size()); ++i) {
        cmbOutputDevices.AddItem(names[static_cast<size_t>(i)]);
        if (names[static_cast<size_t>(i)] == chosen) cmbOutputDevices.setListIndex(i);
        auto item = std::make_unique<toolkit::MenuItem>(&mnuOutputDevice, names[static_cast<size_t>(i)]);
        item->onClick = [this, i] { mnuOutputDeviceItem_Click(i); };
        mnuOutputDeviceItems.push_back(std::move(item));
    }
    mnuOutputDeviceItem_Click(cmbOutputDevices.ListIndex());
}

void frmPlayer::mnuOutputDeviceItem_Click(int32_t Index) {
    cmbOutputDevices.setListIndex(Index);
    const int32_t chosen = cmbOutputDevices.ListIndex();
    mnuOutputDeviceDefault.setChecked(chosen < 0);
    for (size_t i = 0; i < mnuOutputDeviceItems.size(); ++i)
        mnuOutputDeviceItems[i]->setChecked(static_cast<int32_t>(i) == chosen);
    playback.setOutputDevice(chosenOutputDevice());
}

}  // namespace velorra
