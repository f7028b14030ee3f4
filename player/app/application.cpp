#include "player/app/application.h"

#include "data/resources.h"
#include "player/window/product.h"

#include <QApplication>
#include <QDBusConnection>

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
      searchWindow_(player_.searchWindowUnloaded(), &playerWindow_),
      desktop_(player_),
      instance_([this](const std::string& commandLine) { handOver(commandLine); }) {
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
    joinDesktop();
}

void Application::joinDesktop() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        instance_.listenOnSocket();
        return;
    }
    if (!bus.registerService(QString::fromLatin1(mpris::ServiceName))) return;
    desktop_.exportOn(bus);
    instance_.exportOn(bus);
}

void Application::handOver(const std::string& commandLine) {
    if (!commandLine.empty()) {
        player_.btnStop_Click();
        player_.mnuClear_Click();
        player_.OpenFile(commandLineName(commandLine), true, 0);
        player_.btnPlay_Click();
    }
    player_.show();
    player_.bringToFront();
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
