// The start-up benchmark's baseline: a program that shows an empty Qt window of the player's size.
#include "bench/app/probe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    QApplication qt(argc, argv);
    QWidget window;
    window.resize(443, 400);
    window.show();
    probe::reportShown(window, argv[1]);
}
