#pragma once
// The player window as the program runs it: real widgets on the offscreen platform, Qt's event
// loop and the GStreamer service; settings are held in memory so nothing of the user's changes.
#include "player/channel/gst/gst_media_service.h"
#include "player/toolkit/qt/bound_window.h"
#include "player/toolkit/qt/qt_dialogs.h"
#include "player/toolkit/qt/qt_event_loop.h"
#include "player/window/frm_player.h"
#include "support/scripted_dialogs.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <filesystem>
#include <stdexcept>
#include <string>

#include <stdlib.h>

namespace velorra::bench {

struct RealWindow {
    explicit RealWindow(AudioOutput output) : media(output) {
        player.show();
        QCoreApplication::processEvents();
    }
    void addRow(const std::string& path) {
        player.lstClipList.add("", path);
        player.lstClipList.setText(player.lstClipList.count(), 7, path);
    }

    toolkit::qt::QtEventLoop loop;
    GstMediaService media;
    testing::MemorySettings settings;
    toolkit::qt::QtFileDialogs dialogs;
    toolkit::qt::QtMessageBoxes messages;
    toolkit::qt::QtLinkOpener links;
    frmPlayer player{{loop, media, settings, dialogs, messages, links}, ""};
    toolkit::qt::BoundWindow bound{player};
};

// Runs the Qt event loop for `ms` milliseconds.
inline void runFor(int ms) {
    QEventLoop wait;
    QTimer::singleShot(ms, &wait, &QEventLoop::quit);
    wait.exec();
}

// A temporary folder, removed with everything in it.
struct Folder {
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velorra-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
        path = pattern;
    }
    ~Folder() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

}  // namespace velorra::bench
