#pragma once
// A player window on Qt's loop and a real media service, as the GStreamer window tests build it:
// the settings in memory, scripted dialogs and the real silence measurer. The media service is
// the test's own; settings are stored before the window shows.
#include "player/analysis/gst_silence_measurer.h"
#include "player/toolkit/qt/qt_event_loop.h"
#include "player/window/frm_player.h"
#include "support/scripted_dialogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <string>

namespace velorra::testing {

struct RealPlayer {
    RealPlayer(toolkit::qt::QtEventLoop& loop, MediaService& media)
        : silence(loop), player{{loop, media, settings, dialogs, messages, links, silence}, ""} {}

    MemorySettings settings;
    ScriptedDialogs dialogs;
    RecordedMessages messages;
    RecordedLinks links;
    GstSilenceMeasurer silence;
    frmPlayer player;
};

// Lets the Qt loop run until `done` holds or `limitMs` pass.
template <class Done>
bool spinUntil(Done done, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

}  // namespace velorra::testing
