#include "player/channel/gst/gst_output_devices.h"

#include <algorithm>
#include <functional>

namespace velorra {

namespace {

// Runs `visit` on each audio sink the monitor finds now, until it returns true.
void forEachAudioSink(const std::function<bool(GstDevice*)>& visit) {
    const GstHandle<GstDeviceMonitor> monitor(gst_device_monitor_new());
    gst_device_monitor_add_filter(monitor.get(), "Audio/Sink", nullptr);
    // Without a start the monitor probes the devices once, for this call.
    GList* devices = gst_device_monitor_get_devices(monitor.get());
    for (GList* d = devices; d; d = d->next)
        if (visit(GST_DEVICE(d->data))) break;
    g_list_free_full(devices, gst_object_unref);
}

std::string displayName(GstDevice* device) {
    const GCharHandle name(gst_device_get_display_name(device));
    return name ? name.get() : "";
}

}  // namespace

std::vector<std::string> audioSinkNames() {
    std::vector<std::string> names;
    forEachAudioSink([&](GstDevice* device) {
        std::string name = displayName(device);
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(std::move(name));
        return false;
    });
    return names;
}

GstHandle<GstElement> makeAudioSink(const std::string& name) {
    GstHandle<GstElement> sink;
    forEachAudioSink([&](GstDevice* device) {
        if (displayName(device) != name) return false;
        if (GstElement* e = gst_device_create_element(device, nullptr)) sink.reset(GST_ELEMENT(gst_object_ref_sink(e)));
        return true;
    });
    return sink;
}

}  // namespace velorra
