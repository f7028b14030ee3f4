#include "player/channel/gst/gst_output_devices.h"

#include <algorithm>

namespace velorra {

namespace {

using GstStructureHandle = std::unique_ptr<GstStructure, GstRelease<gst_structure_free>>;
using DeviceList = std::vector<GstHandle<GstDevice>>;

// The audio sinks the monitor finds now, in its order.
DeviceList presentSinks() {
    const GstHandle<GstDeviceMonitor> monitor(gst_device_monitor_new());
    gst_device_monitor_add_filter(monitor.get(), "Audio/Sink", nullptr);
    // Without a start the monitor probes the devices once, for this call.
    GList* devices = gst_device_monitor_get_devices(monitor.get());
    DeviceList sinks;
    for (GList* d = devices; d; d = d->next) sinks.emplace_back(GST_DEVICE(d->data));
    g_list_free(devices);
    return sinks;
}

std::string displayName(GstDevice* device) {
    const GCharHandle name(gst_device_get_display_name(device));
    return name ? name.get() : "";
}

// The sound server's name for the device: PulseAudio's sink name and ALSA's device string are
// the device's "internal-name"; PipeWire tells its node's name among the properties, and gives
// the same name to the sink it shows PulseAudio's clients. A device that has neither is known by
// its display name.
std::string deviceId(GstDevice* device) {
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(device), "internal-name")) {
        gchar* internal = nullptr;
        g_object_get(device, "internal-name", &internal, nullptr);
        const GCharHandle name(internal);
        if (name && *name) return name.get();
    }
    const GstStructureHandle properties(gst_device_get_properties(device));
    if (properties)
        if (const gchar* node = gst_structure_get_string(properties.get(), "node.name"); node && *node) return node;
    return displayName(device);
}

}  // namespace

std::vector<OutputDeviceEntry> audioSinks() {
    std::vector<OutputDeviceEntry> entries;
    for (const auto& device : presentSinks()) {
        OutputDeviceEntry entry{deviceId(device.get()), displayName(device.get())};
        if (entry.id.empty()) continue;  // nothing could choose it: an empty choice is the default output
        if (entry.name.empty()) entry.name = entry.id;
        entries.push_back(std::move(entry));
    }
    return entries;
}

GstHandle<GstElement> makeAudioSink(const std::string& device) {
    const DeviceList sinks = presentSinks();
    auto found = std::find_if(sinks.begin(), sinks.end(), [&](const auto& d) { return deviceId(d.get()) == device; });
    if (found == sinks.end())
        found = std::find_if(sinks.begin(), sinks.end(), [&](const auto& d) { return displayName(d.get()) == device; });
    if (found == sinks.end()) return nullptr;
    GstElement* sink = gst_device_create_element(found->get(), nullptr);
    return GstHandle<GstElement>(sink ? GST_ELEMENT(gst_object_ref_sink(sink)) : nullptr);
}

}  // namespace velorra
