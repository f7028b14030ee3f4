#pragma once
// The first frame of a rendered MP3 file: a silent frame carrying a Xing header (the frame count,
// the byte count and a seek table) and a LAME tag with the encoder's delay and the padding at the
// end, so that players know the length at once and play exactly the mix's samples. The frame is
// written before the encoder's frames and filled in once they are all written.
#include <cstdint>
#include <string>

#include "player/render/audio_format.h"

namespace velorra::render {

// Writes the frame, still empty of counts, as the whole of the file at `path`; false when that fails.
bool startMp3Info(const std::string& path, SoundShape shape);
// Fills the frame in from the frames that follow it, for a mix of `samples` sample frames; the
// reason in `failure` when that fails.
bool finishMp3Info(const std::string& path, SoundShape shape, int64_t samples, std::string& failure);

}  // namespace velorra::render
