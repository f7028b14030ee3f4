#pragma once
// Everything the running program is made of: the real services (Qt's event loop, GStreamer for
// playing and for measuring silence, QSettings, Qt dialogs), the player window and the real
// widgets of its windows, and the player's place on the desktop: the MPRIS2 adapter on the
// session bus and the ear for later starts. Needs a QApplication; the player window's closing
// ends the Qt loop.
#include "player/analysis/gst_silence_measurer.h"
#include "player/app/single_instance.h"
#include "player/channel/gst/gst_media_service.h"
#include "player/mpris/mpris_adapter.h"
#include "player/settings/qsettings_store.h"
#include "player/toolkit/qt/bound_window.h"
#include "player/toolkit/qt/qt_dialogs.h"
#include "player/toolkit/qt/qt_event_loop.h"
#include "player/window/frm_player.h"

#include <QIcon>

#include <string>

namespace velorra {

class Application {
public:
    explicit Application(std::string commandLine);
    // Shows the player window: its start-up runs, and a file named on the command line plays.
    void show();
    QWidget& playerWidget() { return playerWindow_; }
    // Closes the player window as its close box does, which ends the program.
    void close() { player_.unload(); }

private:
    // Owns the MPRIS2 name with the adapter and the hand-over on the session bus, or listens on
    // the local socket without a bus. Another player owning the name leaves this one off the bus.
    void joinDesktop();
    // What a later start handed over: its name plays as a name on this start's command line
    // would, in a cleared list from the stopped state; the window comes to the front.
    void handOver(const std::string& commandLine);

    QIcon icon_;
    toolkit::qt::QtEventLoop loop_;
    GstMediaService media_{loop_};
    QSettingsStore settings_;
    toolkit::qt::QtFileDialogs dialogs_;
    toolkit::qt::QtMessageBoxes messages_;
    toolkit::qt::QtLinkOpener links_;
    GstSilenceMeasurer silence_{loop_};
    frmPlayer player_;
    toolkit::qt::BoundWindow playerWindow_;
    toolkit::qt::BoundWindow searchWindow_;
    mpris::MprisAdapter desktop_;
    InstanceServer instance_;
};

// The program's arguments joined by single blanks: the command line the player window reads.
std::string joinArguments(int argc, char** argv);

}  // namespace velorra
