#include "tools/media/pipeline.h"

#include <mutex>
#include <stdexcept>

namespace velorra::media {

GstHandle<GstElement> parsePipeline(const std::string& description) {
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
    GError* error = nullptr;
    GstElement* p = gst_parse_launch(description.c_str(), &error);
    const GErrorHandle errorOwner(error);
    if (!p || error) {
        if (p) gst_object_unref(p);
        throw std::runtime_error("pipeline does not parse: " + description);
    }
    return GstHandle<GstElement>(GST_ELEMENT(gst_object_ref_sink(p)));
}

void runToEnd(GstElement* pipeline) {
    const GstHandle<GstBus> bus(gst_element_get_bus(pipeline));
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    const GstMessageHandle message(gst_bus_timed_pop_filtered(
        bus.get(), 60 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    gst_element_set_state(pipeline, GST_STATE_NULL);
    if (!message) throw std::runtime_error("pipeline did not finish");
    if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
        GError* error = nullptr;
        gst_message_parse_error(message.get(), &error, nullptr);
        const GErrorHandle errorOwner(error);
        throw std::runtime_error(std::string("pipeline failed: ") + (error ? error->message : "?"));
    }
}

GstHandle<GstElement> elementByName(GstElement* pipeline, const char* name) {
    GstElement* e = gst_bin_get_by_name(GST_BIN(pipeline), name);
    if (!e) throw std::runtime_error(std::string("no element ") + name);
    return GstHandle<GstElement>(e);
}

}  // namespace velorra::media
