// The program: a Qt application whose life is the player window's, or, when a player already
// runs on this desktop, a start that hands its command line over to it and ends.
#include "player/app/application.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    const std::string commandLine = velorra::joinArguments(argc, argv);
    if (velorra::handToRunningPlayer(commandLine)) return 0;
    velorra::Application app(commandLine);
    app.show();
    return QApplication::exec();
}
