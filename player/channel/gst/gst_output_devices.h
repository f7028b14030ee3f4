#pragma once
// The audio outputs that GStreamer's device monitor lists (class "Audio/Sink"), by display name.
#include <gst/gst.h>

#include <string>
#include <vector>

#include "player/channel/gst/gst_handle.h"

namespace velorra {

// The display names of the audio sinks present now, in the monitor's order, each once.
std::vector<std::string> audioSinkNames();

// A sink element for the first present device of that display name; null when none carries it.
GstHandle<GstElement> makeAudioSink(const std::string& displayName);

}  // namespace velorra
