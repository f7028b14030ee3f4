#pragma once
// The player window as the program runs it, with its real widgets on the offscreen platform:
// Qt's event loop, the GStreamer service (nothing is played), the real dialogs (never shown)
// and settings held in memory, so that nothing of the user's is touched.
#include "player/channel/gst/gst_media_service.h"
#include "player/toolkit/qt/bound_window.h"
#include "player/toolkit/qt/qt_dialogs.h"
#include "player/toolkit/qt/qt_event_loop.h"
#include "player/window/frm_player.h"
#include "support/scripted_dialogs.h"

#include <QCoreApplication>

namespace velorra::bench {

struct BenchWindow {
    toolkit::qt::QtEventLoop loop;
    GstMediaService media{AudioOutput::SilentFast};
    testing::MemorySettings settings;
    toolkit::qt::QtFileDialogs dialogs;
    toolkit::qt::QtMessageBoxes messages;
    toolkit::qt::QtLinkOpener links;
    frmPlayer player{{loop, media, settings, dialogs, messages, links}, ""};
    toolkit::qt::BoundWindow bound{player};

    BenchWindow() {
        player.show();
        QCoreApplication::processEvents();
    }
};

}  // namespace velorra::bench
