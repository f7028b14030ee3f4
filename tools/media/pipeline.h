#pragma once
// Running a GStreamer pipeline description to its end.
#include <gst/gst.h>

#include <string>

#include "player/channel/gst/gst_handle.h"

namespace velorra::media {

// Parses a pipeline description; throws std::runtime_error when it does not parse.
GstHandle<GstElement> parsePipeline(const std::string& description);

// Plays the pipeline to its end of stream as fast as it goes; throws std::runtime_error on an
// error or when it takes longer than a minute.
void runToEnd(GstElement* pipeline);

// An element of the pipeline by name; throws when there is none.
GstHandle<GstElement> elementByName(GstElement* pipeline, const char* name);

}  // namespace velorra::media
