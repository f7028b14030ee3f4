#pragma once
// Owners for GStreamer and GLib objects: each releases its object with the matching call.
#include <gst/gst.h>

#include <memory>

namespace velorra {

template <auto Release>
struct GstRelease {
    template <class T>
    void operator()(T* p) const {
        Release(p);
    }
};

template <class T>
using GstHandle = std::unique_ptr<T, GstRelease<gst_object_unref>>;
using GstMessageHandle = std::unique_ptr<GstMessage, GstRelease<gst_message_unref>>;
// gst_caps_unref and gst_query_unref are inline, so each is called from a type of its own, usable
// in any class.
struct GstQueryRelease {
    void operator()(GstQuery* query) const { gst_query_unref(query); }
};
using GstQueryHandle = std::unique_ptr<GstQuery, GstQueryRelease>;
struct GstCapsRelease {
    void operator()(GstCaps* caps) const { gst_caps_unref(caps); }
};
using GstCapsHandle = std::unique_ptr<GstCaps, GstCapsRelease>;
using GCharHandle = std::unique_ptr<gchar, GstRelease<g_free>>;
using GErrorHandle = std::unique_ptr<GError, GstRelease<g_error_free>>;

// Takes over a newly made element, sinking its floating reference.
inline GstHandle<GstElement> makeElement(const char* factory) {
    GstElement* e = gst_element_factory_make(factory, nullptr);
    return GstHandle<GstElement>(e ? GST_ELEMENT(gst_object_ref_sink(e)) : nullptr);
}

}  // namespace velorra
