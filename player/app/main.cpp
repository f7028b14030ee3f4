// The program: a Qt application whose life is the player window's, or, when a player already
// runs on this desktop, a start that hands its command line over to it and ends. `--help`,
// `--version` and `--export-mix` run before any of that: no display, no sound server.
#include "player/app/application.h"
#include "player/app/command_line.h"
#include "player/app/quit_signals.h"
#include "player/app/stall_probe.h"
#include "player/playlist/play_list_helpers.h"
#include "player/window/frm_player.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    if (const auto status = velorra::runCommandLineTool(argc, argv)) return *status;
    QApplication qt(argc, argv);
    const std::string commandLine = velorra::joinArguments(argc, argv);
    // The running player works in a folder of its own: a relative name is made absolute here.
    if (velorra::handToRunningPlayer(velorra::absoluteLocation(velorra::commandLineName(commandLine)))) return 0;
    velorra::Application app(commandLine);
    app.show();
    const std::unique_ptr<velorra::StallProbe> stalls(velorra::StallProbe::startIfAsked(nullptr));
    const velorra::QuitSignals quit([&app] { app.close(); });
    return QApplication::exec();
}
