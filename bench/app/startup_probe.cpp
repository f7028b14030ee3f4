// One start of the player for the start-up benchmark: the real services, windows and widgets.
#include "bench/app/probe.h"
#include "player/app/application.h"

#include <QApplication>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    QApplication qt(argc, argv);
    velorra::Application app("");
    app.show();
    probe::reportShown(app.playerWidget(), argv[1]);
}
