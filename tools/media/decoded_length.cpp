#include "tools/media/decoded_length.h"

#include "tools/media/pipeline.h"

namespace velorra::media {

namespace {

struct SampleCount {
    guint64 bytes = 0;
    int rate = 0;
};

void countBuffer(GstElement*, GstBuffer* buffer, GstPad* pad, gpointer data) {
    auto* count = static_cast<SampleCount*>(data);
    count->bytes += gst_buffer_get_size(buffer);
    if (count->rate == 0)
        if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
            gst_structure_get_int(gst_caps_get_structure(caps, 0), "rate", &count->rate);
            gst_caps_unref(caps);
        }
}

}  // namespace

double decodedSeconds(const std::filesystem::path& path) {
    const auto pipeline = parsePipeline(
        "filesrc name=src ! decodebin ! audioconvert ! audio/x-raw,format=S16LE,channels=2 ! "
        "fakesink name=sink sync=false signal-handoffs=true");
    g_object_set(elementByName(pipeline.get(), "src").get(), "location", path.c_str(), nullptr);
    SampleCount count;
    g_signal_connect(elementByName(pipeline.get(), "sink").get(), "handoff", G_CALLBACK(countBuffer), &count);
    runToEnd(pipeline.get());
    if (count.rate == 0) throw std::runtime_error("no sound decoded from " + path.string());
    return static_cast<double>(count.bytes) / 4.0 / count.rate;
}

}  // namespace velorra::media
