#pragma once
// The player window as the program runs it, with its real widgets on the offscreen platform:
// Qt's event loop, the GStreamer service with the given output, the real dialogs (never shown)
// and settings held in memory, so that nothing of the user's is touched. The play list and
// window benchmarks share it.
#include "player/analysis/gst_silence_measurer.h"
#include "player/channel/gst/gst_media_service.h"
#include "player/toolkit/qt/bound_window.h"
#include "player/toolkit/qt/qt_dialogs.h"
#include "player/toolkit/qt/qt_event_loop.h"
#include "player/window/frm_player.h"
#include "support/scripted_dialogs.h"
#include "support/song_rows.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <string>

namespace velorra::bench {

struct RealWindow {
    explicit RealWindow(AudioOutput output) : media(loop, output) {
        player.show();
        QCoreApplication::processEvents();
    }
    void addRow(const std::string& path) {
        testing::addSongRow(player.lstClipList, path);
    }

    toolkit::qt::QtEventLoop loop;
    GstMediaService media;
    testing::MemorySettings settings;
    toolkit::qt::QtFileDialogs dialogs;
    toolkit::qt::QtMessageBoxes messages;
    toolkit::qt::QtLinkOpener links;
    GstSilenceMeasurer silence{loop};
    frmPlayer player{{loop, media, settings, dialogs, messages, links, silence}, ""};
    toolkit::qt::BoundWindow bound{player};
};

// Runs the Qt event loop for `ms` milliseconds.
inline void runFor(int ms) {
    QEventLoop wait;
    QTimer::singleShot(ms, &wait, &QEventLoop::quit);
    wait.exec();
}

}  // namespace velorra::bench
