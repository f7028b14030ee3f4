#pragma once
// What shapes a rendered mix: the transition, trims and loudness match the player window loads
// from the saved settings, read here the same way (decimal text, whole numbers to the nearest, a half to the
// even neighbour; a value that cannot be read leaves the playback core's own default).
#include "player/settings/settings_store.h"

#include <cstdint>

namespace velorra::render {

struct MixSettings {
    int16_t transitionType = 0;
    int32_t transitionTime = 0;
    int32_t cutFirst = 0, cutLast = 0;
    bool trimSilence = false;
    bool matchLoudness = false;

    static MixSettings read(SettingsStore& store);
};

}  // namespace velorra::render
