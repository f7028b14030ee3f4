// analysis_scan: how fast the background analysis measures songs (silence and loudness in one
// decode), in seconds of audio measured per second of processor time (all threads of the
// process), by the program's measurer on Qt's event loop over generated MP3s (4 songs of 60 s,
// 128 kbit/s, untagged, so that the loudness is decoded).
// Baseline: the bare decode of the same files in the same run, `uridecodebin ! fakesink
// sync=false`, with the decoders the program ranks first (GStreamer started as the program starts
// it, before either kind of pass). Each figure is the best of 3 passes, the two kinds of pass taking turns.
// Ratio baseline / value: the processor time measuring costs over that of decoding (goal at
// most 1.3).
#include "own_cpu.h"
#include "player/analysis/gst_silence_measurer.h"
#include "player/channel/gst/gst_start.h"
#include "player/toolkit/qt/qt_event_loop.h"
#include "support/temp_dir.h"
#include "tools/media/mp3_encoder.h"
#include "tools/media/pipeline.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace velorra;

constexpr int Songs = 4;
constexpr double SongSeconds = 60;
constexpr int Passes = 3;

template <class Work>
double cpuOf(Work work) {
    const double start = bench::ownCpu();
    work();
    return bench::ownCpu() - start;
}

void decodeBare(const std::string& path) {
    const auto pipeline = media::parsePipeline("uridecodebin name=decode ! fakesink sync=false");
    const GCharHandle uri(gst_filename_to_uri(path.c_str(), nullptr));
    g_object_set(media::elementByName(pipeline.get(), "decode").get(), "uri", uri.get(), nullptr);
    media::runToEnd(pipeline.get());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    startGstreamer();
    testing::TempDir folder("velorra-bench");
    std::vector<std::string> paths;
    for (int i = 0; i < Songs; ++i) {
        paths.push_back(folder.path("song" + std::to_string(i) + ".mp3"));
        media::writeMp3(paths.back(), media::tune(i), SongSeconds, media::Mp3Kind::ConstantNoXing);
    }

    toolkit::qt::QtEventLoop loop;
    GstSilenceMeasurer measurer(loop);
    size_t told = 0;
    measurer.onMeasured = [&](const std::string&, const Measurement&) { ++told; };

    double bare = 1e9, measuring = 1e9;
    for (int pass = 0; pass < Passes; ++pass) {
        bare = std::min(bare, cpuOf([&] {
                            for (const auto& path : paths) decodeBare(path);
                        }));
        measuring = std::min(measuring, cpuOf([&] {
                                 told = 0;
                                 for (const auto& path : paths) measurer.measure(path);
                                 while (told < paths.size()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
                             }));
    }
    const double audio = Songs * SongSeconds;
    const double value = audio / measuring, baseline = audio / bare;
    std::printf("bench name=analysis_scan value=%.0f unit=audio_s/cpu_s baseline=%.0f ratio=%.2f\n", value, baseline,
                baseline / value);
    return 0;
}
