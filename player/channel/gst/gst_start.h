#pragma once
// GStreamer starts once per process, with the first graph, device list or measurement that needs
// it, so that a program that never plays does not pay for loading its registry.
#include <gst/gst.h>

#include <mutex>

namespace velorra {

inline void startGstreamer() {
    static std::once_flag once;
    std::call_once(once, [] {
        gst_init(nullptr, nullptr);
        // MP3 is decoded by mpg123, which gives the float samples the mixer works on straight
        // away (a decoding pipeline asks it for float), at the decoder's full precision. Left to
        // itself GStreamer picks libav's decoder (the two rank alike), whose 16-bit planar sound
        // must then be converted: the whole graph took a third more processor time that way.
        if (GstPluginFeature* mpg123 = gst_registry_lookup_feature(gst_registry_get(), "mpg123audiodec")) {
            gst_plugin_feature_set_rank(mpg123, GST_RANK_PRIMARY);
            gst_object_unref(mpg123);
        }
    });
}

}  // namespace velorra
