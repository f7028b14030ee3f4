#include "player/app/application.h"

#include "data/resources.h"
#include "player/window/product.h"

#include <QApplication>

#include <memory>

namespace velorra {

namespace {
QIcon programIcon() {
    initResources();
    QApplication::setApplicationName(product::Name);
    QApplication::setOrganizationName(product::Name);
    QIcon icon(":/velorra/logo-64.png");
    QApplication::setWindowIcon(icon);
    toolkit::qt::updateScreen();
    return icon;
}
}  // namespace

Application::Application(std::string commandLine)
    : icon_(programIcon()),
      player_({loop_, media_, settings_, dialogs_, messages_, links_, silence_}, std::move(commandLine)),
      playerWindow_(player_),
      searchWindow_(player_.searchWindowUnloaded(), &playerWindow_) {
    playerWindow_.setIcon(icon_);
    searchWindow_.setIcon(icon_);
    player_.bindAboutWindow = [this](frmAbout& about) -> std::shared_ptr<void> {
        auto bound = std::make_shared<toolkit::qt::BoundWindow>(about, &playerWindow_);
        bound->setIcon(icon_);
        return bound;
    };
    // Closing the player window ends the program once its own shutdown has run.
    auto shutdown = player_.onUnload;
    player_.onUnload = [shutdown] {
        shutdown();
        QCoreApplication::exit(0);
    };
}

void Application::show() { player_.show(); }

std::string joinArguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

}  // namespace velorra
