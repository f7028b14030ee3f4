// The program: a Qt application whose life is the player window's. It builds the real services
// (GStreamer, QSettings, Qt dialogs), binds the windows to real widgets and runs Qt's loop.
#include "data/resources.h"
#include "player/channel/gst/gst_media_service.h"
#include "player/settings/qsettings_store.h"
#include "player/toolkit/qt/bound_window.h"
#include "player/toolkit/qt/qt_dialogs.h"
#include "player/toolkit/qt/qt_event_loop.h"
#include "player/window/frm_player.h"
#include "player/window/product.h"

#include <QApplication>
#include <QIcon>

#include <memory>
#include <string>

namespace {

// The program's arguments joined by single blanks: the command line the player window reads.
std::string commandLine(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(velorra::product::Name);
    QApplication::setOrganizationName(velorra::product::Name);
    velorra::initResources();
    const QIcon icon(":/velorra/logo-64.png");
    QApplication::setWindowIcon(icon);
    velorra::toolkit::qt::updateScreen();

    velorra::toolkit::qt::QtEventLoop loop;
    velorra::GstMediaService media;
    velorra::QSettingsStore settings;
    velorra::toolkit::qt::QtFileDialogs dialogs;
    velorra::toolkit::qt::QtMessageBoxes messages;
    velorra::toolkit::qt::QtLinkOpener links;

    velorra::frmPlayer player({loop, media, settings, dialogs, messages, links}, commandLine(argc, argv));
    velorra::toolkit::qt::BoundWindow playerWindow(player);
    velorra::toolkit::qt::BoundWindow searchWindow(player.searchWindowUnloaded(), &playerWindow);
    playerWindow.setIcon(icon);
    searchWindow.setIcon(icon);
    player.bindAboutWindow = [&](velorra::frmAbout& about) -> std::shared_ptr<void> {
        auto bound = std::make_shared<velorra::toolkit::qt::BoundWindow>(about, &playerWindow);
        bound->setIcon(icon);
        return bound;
    };

    // Closing the player window ends the program once its own shutdown has run.
    auto shutdown = player.onUnload;
    player.onUnload = [&] {
        shutdown();
        QCoreApplication::exit(0);
    };
    player.show();
    return QApplication::exec();
}
