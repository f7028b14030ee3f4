#include "player/render/first_sound.h"

#include <gst/pbutils/pbutils.h>

#include <memory>

#include "player/channel/gst/gst_handle.h"
#include "player/channel/gst/gst_start.h"

namespace velorra::render {

namespace {

// How long GStreamer may take to tell one file's streams.
constexpr GstClockTime kLookWait = 5 * GST_SECOND;

using StreamList = std::unique_ptr<GList, GstRelease<gst_discoverer_stream_info_list_free>>;
// The discoverer and what it tells are plain GObjects, not GstObjects.
template <class T>
using GObjectHandle = std::unique_ptr<T, GstRelease<g_object_unref>>;

}  // namespace

SoundShape firstSoundShape(const std::vector<std::string>& songs) {
    startGstreamer();
    GError* error = nullptr;
    const GObjectHandle<GstDiscoverer> discoverer(gst_discoverer_new(kLookWait, &error));
    const GErrorHandle errorOwner(error);
    if (!discoverer) return {};
    for (const std::string& song : songs) {
        const GCharHandle uri(gst_filename_to_uri(song.c_str(), nullptr));
        if (!uri) continue;
        const GObjectHandle<GstDiscovererInfo> info(gst_discoverer_discover_uri(discoverer.get(), uri.get(), nullptr));
        if (!info || gst_discoverer_info_get_result(info.get()) != GST_DISCOVERER_OK) continue;
        const StreamList streams(gst_discoverer_info_get_audio_streams(info.get()));
        if (!streams) continue;
        auto* audio = GST_DISCOVERER_AUDIO_INFO(streams->data);
        const auto rate = static_cast<int>(gst_discoverer_audio_info_get_sample_rate(audio));
        const auto channels = static_cast<int>(gst_discoverer_audio_info_get_channels(audio));
        if (rate > 0 && channels > 0) return {rate, channels};
    }
    return {};
}

}  // namespace velorra::render
