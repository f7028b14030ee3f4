#pragma once
// Everything the running program is made of: the real services (Qt's event loop, GStreamer for
// playing and for measuring silence, QSettings, Qt dialogs), the player window and the real
// widgets of its windows. Needs a QApplication; the player window's closing ends the Qt loop.
#include "player/analysis/gst_silence_measurer.h"
#include "player/channel/gst/gst_media_service.h"
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

private:
    QIcon icon_;
    toolkit::qt::QtEventLoop loop_;
    GstMediaService media_;
    QSettingsStore settings_;
    toolkit::qt::QtFileDialogs dialogs_;
    toolkit::qt::QtMessageBoxes messages_;
    toolkit::qt::QtLinkOpener links_;
    GstSilenceMeasurer silence_{loop_};
    frmPlayer player_;
    toolkit::qt::BoundWindow playerWindow_;
    toolkit::qt::BoundWindow searchWindow_;
};

// The program's arguments joined by single blanks: the command line the player window reads.
std::string joinArguments(int argc, char** argv);

}  // namespace velorra
