// The output device: Options > "Output &Device" offers "Default" and the audio outputs present,
// listed again each time the submenu opens, under their display names; where two devices show
// the same name the later ones are told apart by a number ("Null Output", "Null Output (2)"). The
// choice is the entry selected in the hidden list cmbOutputDevices, which holds the devices' ids;
// the core hands the chosen id to every new channel. A chosen text that is no id present but a
// display name (kept by older settings) chooses the first device of that name. A chosen device
// that is gone stays listed and chosen, and its channels play on the default output until it
// returns.
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

#include <algorithm>
#include <set>

namespace velorra {

namespace {

// The captions of the devices, in their order: the first device of a display name shows it, a
// later one shows it with the lowest number from 2 up that makes a caption no other device has.
std::vector<std::string> distinctCaptions(const std::vector<OutputDeviceEntry>& devices) {
    const auto numbered = [](const std::string& name, int n) { return name + " (" + std::to_string(n) + ")"; };
    std::set<std::string> taken;  // every display name, and every number given
    for (const auto& device : devices) taken.insert(device.name);
    std::set<std::string> seen;
    std::vector<std::string> captions;
    for (const auto& device : devices) {
        std::string caption = device.name;
        if (!seen.insert(device.name).second) {
            int n = 2;
            while (taken.count(numbered(device.name, n))) ++n;
            caption = numbered(device.name, n);
            taken.insert(caption);
        }
        captions.push_back(std::move(caption));
    }
    return captions;
}

}  // namespace

std::string frmPlayer::chosenOutputDevice() const {
    const int32_t index = cmbOutputDevices.ListIndex();
    return index >= 0 ? cmbOutputDevices.List(index) : std::string();
}

void frmPlayer::mnuOutputDevice_Click() {
    std::string chosen = chosenOutputDevice();
    std::vector<OutputDeviceEntry> devices;
    attempt([&] { devices = services_.media.outputDevices(); });
    if (!chosen.empty()) {
        auto found = std::find_if(devices.begin(), devices.end(), [&](const auto& d) { return d.id == chosen; });
        if (found == devices.end())
            found = std::find_if(devices.begin(), devices.end(), [&](const auto& d) { return d.name == chosen; });
        if (found != devices.end()) {
            chosen = found->id;
        } else {
            // Absent, it keeps the caption it had; chosen in an earlier run, its id.
            const int32_t index = cmbOutputDevices.ListIndex();
            const bool shown = index >= 0 && static_cast<size_t>(index) < mnuOutputDeviceItems.size();
            devices.push_back({chosen, shown ? mnuOutputDeviceItems[static_cast<size_t>(index)]->Caption() : chosen});
        }
    }
    const std::vector<std::string> captions = distinctCaptions(devices);

    cmbOutputDevices.Clear();
    mnuOutputDeviceItems.clear();
    for (int32_t i = 0; i < static_cast<int32_t>(devices.size()); ++i) {
        const auto at = static_cast<size_t>(i);
        cmbOutputDevices.AddItem(devices[at].id);
        if (devices[at].id == chosen && cmbOutputDevices.ListIndex() < 0) cmbOutputDevices.setListIndex(i);
        auto item = std::make_unique<toolkit::MenuItem>(&mnuOutputDevice, captions[at]);
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
