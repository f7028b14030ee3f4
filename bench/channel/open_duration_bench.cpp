// open_duration: what the total-length calculation pays a file, Player OpenFile + Duration on
// the GStreamer service, against a bare playbin prerolled to ask its duration, on the same MP3
// files (constant bitrate without a Xing frame, variable bitrate with and without one).
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "player/channel/gst/gst_media_service.h"
#include "player/channel/player.h"
#include "support/manual_loop.h"
#include "tools/media/decoded_length.h"
#include "tools/media/mp3_encoder.h"

namespace {

using namespace velorra;
using Clock = std::chrono::steady_clock;

struct File {
    std::string path;
    double decoded;
};

// What an application without a header scan does: preroll a playbin and ask it. Empty when it
// cannot tell (right after preroll, for a constant-bitrate file without a Xing frame).
std::optional<double> playbinDuration(const std::string& path) {
    auto playbin = makeElement("playbin");
    auto sink = makeElement("fakesink");
    g_object_set(sink.get(), "sync", FALSE, nullptr);
    const GCharHandle uri(gst_filename_to_uri(path.c_str(), nullptr));
    g_object_set(playbin.get(), "uri", uri.get(), "audio-sink", sink.get(), nullptr);
    const GstHandle<GstBus> bus(gst_element_get_bus(playbin.get()));
    gst_element_set_state(playbin.get(), GST_STATE_PAUSED);
    const GstMessageHandle prerolled(gst_bus_timed_pop_filtered(
        bus.get(), 5 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR)));
    gint64 ns = -1;
    const bool answered = gst_element_query_duration(playbin.get(), GST_FORMAT_TIME, &ns) && ns >= 0;
    gst_element_set_state(playbin.get(), GST_STATE_NULL);
    if (!answered) return std::nullopt;
    return static_cast<double>(ns) / GST_SECOND;
}

template <class F>
double seconds(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void print(const char* name, double value, const char* unit, double baseline) {
    std::printf("bench name=%s value=%.6g unit=%s baseline=%.6g ratio=%.6g\n", name, value, unit, baseline,
                baseline != 0.0 ? value / baseline : 0.0);
}

}  // namespace

int main() {
    std::string dirName = (std::filesystem::temp_directory_path() / "velorra-bench-XXXXXX").string();
    if (!mkdtemp(dirName.data())) return 1;
    const std::filesystem::path dir = dirName;

    testing::ManualLoop loop;
    GstMediaService service(loop, AudioOutput::SilentFast);
    std::vector<File> files;
    int variant = 0;
    for (const double length : {45.3, 92.7})
        for (const auto kind : {media::Mp3Kind::ConstantNoXing, media::Mp3Kind::VariableXing,
                                media::Mp3Kind::VariableNoXing}) {
            const auto path = dir / ("song" + std::to_string(variant) + ".mp3");
            media::writeMp3(path, media::tune(variant++), length, kind);
            files.push_back({path.string(), media::decodedSeconds(path)});
        }

    // Ours: many rounds over the files, as the total-length calculation would go through a list.
    constexpr int kRounds = 500;
    int32_t sum = 0;
    const double ours = seconds([&] {
        for (int r = 0; r < kRounds; ++r)
            for (const auto& f : files) {
                Player player(service);
                player.setFilename(f.path);
                player.OpenFile();
                sum += player.Duration();
            }
    }) / (kRounds * files.size());

    constexpr int kBaselineRounds = 5;
    double baselineError = 0.0;
    int unanswered = 0;
    const double baseline = seconds([&] {
        for (int r = 0; r < kBaselineRounds; ++r)
            for (const auto& f : files) {
                const auto d = playbinDuration(f.path);
                if (d) baselineError = std::max(baselineError, std::abs(*d - f.decoded));
                unanswered += !d && r == 0;
            }
    }) / (kBaselineRounds * files.size());

    // The exact length the channel learns, before it rounds to whole seconds.
    double ourError = 0.0;
    for (const auto& f : files) ourError = std::max(ourError, std::abs(service.probeDuration(f.path).value_or(0.0) - f.decoded));

    print("open_duration_per_file", ours * 1e3, "ms", baseline * 1e3);
    print("open_duration_files_per_second", 1.0 / ours, "files/s", 1.0 / baseline);
    // The largest error where playbin answered at all, and the files where it did not.
    print("open_duration_max_error", ourError, "s", baselineError);
    print("open_duration_unanswered", 0, "files", unanswered);
    std::filesystem::remove_all(dir);
    return sum > 0 ? 0 : 1;
}
