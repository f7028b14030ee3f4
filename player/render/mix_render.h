#pragma once
// The render of a play list to one file: the player's own playback core and mixing, run without
// a clock. The core plays the list on a GStreamer media service whose mix is pulled by hand, on
// a virtual-time loop that the render moves in step with the frames it pulls: it mixes up to the
// next tick that falls due (at most 100 ms), moves the clock there so the tick fires on the
// frame of its own time, and waits for each new song's pipeline to be ready before mixing on.
// The transitions, their curves and per-sample ramps, the trims and the song changes are thus
// those of live play, computed by the same code, as fast as the machine decodes and encodes.
//
// Every row is rendered once from the first, in list order, at full master level (a file has no
// listening level); rows that cannot be played are passed over as in play. The last song plays
// to its trimmed end. The file is written beside the destination and renamed over it only once
// whole (output_file.h).
#include "player/render/audio_format.h"
#include "player/render/mix_settings.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace velorra::render {

struct MixJob {
    std::vector<std::string> songs;  // the list's rows, in order
    MixSettings settings;
    std::string destination;  // its extension names the format
};

struct MixOutcome {
    bool written = false;
    // Why not, in one line; empty once written.
    std::string failure;
    // Seconds of sound rendered.
    double seconds = 0.0;
    // Not written because the render was cancelled.
    bool cancelled = false;
};

// How far the render is: seconds of sound rendered and the seconds the list is expected to give
// (from the files' headers, less trims and transitions; 0 when unknown).
using MixProgress = std::function<void(double seconds, double expected)>;

// Renders on the calling thread; `cancelled` is read between stretches of the mix, and a cancel
// leaves nothing behind. `progress` is called on the calling thread, about every second of sound.
MixOutcome renderMix(const MixJob& job, const std::atomic<bool>& cancelled, const MixProgress& progress);

}  // namespace velorra::render
