#pragma once
// The shape of the sound a mix is written in: that of the first song of the list that GStreamer
// can tell (44.1 kHz stereo when none can).
#include "player/render/audio_format.h"

#include <string>
#include <vector>

namespace velorra::render {

SoundShape firstSoundShape(const std::vector<std::string>& songs);

}  // namespace velorra::render
