// The memory the program holds with a play list of 10,000 tagged rows in its real list view:
// the peak resident size after loading, against the same window before the load.
#include "playlist/tagged_library.h"
#include "window/real_window.h"

#include <QApplication>

#include <cstdio>

#include <sys/resource.h>

namespace {

double peakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int Files = 10000;
    const velorra::bench::TaggedLibrary library(Files);
    velorra::bench::RealWindow window(velorra::AudioOutput::SilentFast);
    const double before = peakMegabytes();

    window.player.OpenFile(library.playList(), true);
    QCoreApplication::processEvents();
    window.player.lstClipList.ensureVisible(Files);  // the view lays out and draws the last rows too
    QCoreApplication::processEvents();
    if (window.player.lstClipList.count() != Files) {
        std::fprintf(stderr, "m3u_rss: expected %d rows, got %d\n", Files, window.player.lstClipList.count());
        return 1;
    }
    const double peak = peakMegabytes();
    std::printf("bench name=m3u_rss value=%.1f unit=MB baseline=%.1f ratio=%.2f\n", peak, before, peak / before);
    return 0;
}
