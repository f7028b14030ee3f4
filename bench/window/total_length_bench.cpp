// total_length: "Calculate Total" over 1,000 MP3 rows whose length is not yet known, in the
// window with its real list view and Qt's event loop, in rows a second (the best of 3 lists).
// Baseline: rows a second when each row's channel builds its playback graph (a playbin
// prerolled on the file) as a Player does for playing, measured on 50 rows. Ratio value / baseline.
#include "support/temp_dir.h"
#include "tools/media/mp3_encoder.h"
#include "window/real_window.h"

#include <QApplication>

#include <chrono>
#include <cstdio>

namespace {

using namespace velorra;
using Clock = std::chrono::steady_clock;

constexpr int Rows = 1000;
constexpr int Lists = 3;
constexpr int GraphRows = 50;

template <class Work>
double perSecond(int count, Work work) {
    const auto start = Clock::now();
    work();
    const std::chrono::duration<double> took = Clock::now() - start;
    return count / took.count();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::TempDir folder("velorra-bench");
    const std::string song = folder.path("song.mp3");
    media::writeMp3(song, media::tune(3), 30, media::Mp3Kind::ConstantNoXing);
    std::vector<std::string> paths;
    for (int i = 0; i < Rows; ++i) {
        paths.push_back(folder.path("row" + std::to_string(i) + ".mp3"));
        std::filesystem::create_hard_link(song, paths.back());
    }

    bench::RealWindow window(AudioOutput::SilentFast);
    frmPlayer& player = window.player;
    double best = 0;
    for (int list = 0; list < Lists; ++list) {
        player.lstClipList.clear();
        for (const auto& path : paths) window.addRow(path);
        QCoreApplication::processEvents();
        best = std::max(best, perSecond(Rows, [&] { player.cmdCalculate.click(); }));
        if (player.lblCantDeTemas.Caption() != std::to_string(Rows) || player.lstClipList.text(Rows, 9) != "30") {
            std::fprintf(stderr, "total_length: the calculation did not measure every row\n");
            return 1;
        }
    }

    GstMediaService gst(window.loop, AudioOutput::SilentFast);
    const double withGraph = perSecond(GraphRows, [&] {
        for (int i = 0; i < GraphRows; ++i) {
            Player channel(gst);
            channel.setFilename(paths[static_cast<size_t>(i)]);
            channel.OpenFile();
            channel.StopFile();  // the first transport call builds the graph
        }
    });
    std::printf("bench name=total_length value=%.0f unit=rows/s baseline=%.0f ratio=%.2f\n", best, withGraph,
                best / withGraph);
    return 0;
}
