// The program: a Qt application whose life is the player window's.
#include "player/app/application.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    velorra::Application app(velorra::joinArguments(argc, argv));
    app.show();
    return QApplication::exec();
}
