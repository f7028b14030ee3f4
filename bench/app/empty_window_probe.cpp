// The start-up benchmark's baselines: a program that shows an empty Qt window of the player's
// size, or (with "text") the same window holding one line of text, which makes Qt load the
// system's font database as every window with text must.
#include "bench/app/probe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    QApplication qt(argc, argv);
    QWidget window;
    window.resize(443, 400);
    if (argc > 2 && std::strcmp(argv[2], "text") == 0) new QLabel("Velorra Live!", &window);  // owned by window
    window.show();
    probe::reportShown(window, argv[1]);
}
