#pragma once
// The audio outputs that GStreamer's device monitor lists (class "Audio/Sink"). Each is known by
// an id that stays the same from run to run and tells apart devices that show the same display
// name (two null sinks, two headsets of one make): the sound server's own name for it.
#include <gst/gst.h>

#include <string>
#include <vector>

#include "player/channel/gst/gst_handle.h"
#include "player/channel/media_service.h"

namespace velorra {

// The audio sinks present now, in the monitor's order.
std::vector<OutputDeviceEntry> audioSinks();

// A sink element for the present device of that id or, failing that, for the first present
// device of that display name (the choice as settings kept it before devices had ids); null when
// no device answers to it.
GstHandle<GstElement> makeAudioSink(const std::string& device);

}  // namespace velorra
