// Reading a play list of 10,000 tagged MP3 files into the player window with its real list
// view, against the bare loop that reads the same files' tags, in the same run.
#include "playlist/tagged_library.h"
#include "window/real_window.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F>
double seconds(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int Files = 10000;
    const velorra::bench::TaggedLibrary library(Files);
    velorra::bench::RealWindow window(velorra::AudioOutput::SilentFast);

    size_t sink = 0;
    vextag::Vextag tag;
    auto bareLoop = [&] {
        for (const std::string& file : library.files()) {
            tag.setFilename(file);
            tag.Read();
            sink += tag.Song().size() + tag.Artist().size() + tag.Album().size() + tag.Year().size() +
                    tag.Genre().size() + tag.Comment().size();
        }
    };
    auto load = [&] {
        window.player.OpenFile(library.playList(), true);
        QCoreApplication::processEvents();  // the view draws what it was told
    };

    // Turns taken alternately, so a load on the machine hits both alike.
    std::vector<double> bare, loaded;
    bareLoop();
    for (int round = 0; round < 5; ++round) {
        bare.push_back(seconds(bareLoop));
        loaded.push_back(seconds(load));
    }
    if (window.player.lstClipList.count() != Files || sink == 0) {
        std::fprintf(stderr, "m3u_load: expected %d rows, got %d\n", Files, window.player.lstClipList.count());
        return 1;
    }
    const double value = median(loaded) * 1000, baseline = median(bare) * 1000;
    std::printf("bench name=m3u_load value=%.1f unit=ms baseline=%.1f ratio=%.2f\n", value, baseline, value / baseline);
    return 0;
}
