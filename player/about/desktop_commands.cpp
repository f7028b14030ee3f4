// The player window's desktop commands: the file type association and the About window.
#include "player/shell/basvelorra1.h"
#include "player/window/frm_player.h"

#include <QCoreApplication>

namespace velorra {

void frmPlayer::mnuSetDefaultPlayer_Click() {
    basvelorra1::RegisterFileTypes(QCoreApplication::applicationFilePath());
}

void frmPlayer::mnuAbout_Click() {
    if (!About || !About->loaded()) {
        // The widgets of a closed window go before the window they show.
        AboutWidgets.reset();
        About = std::make_unique<frmAbout>(services_.links);
        if (bindAboutWindow) AboutWidgets = bindAboutWindow(*About);
    }
    About->show(false);
    About->bringToFront();
}

}  // namespace velorra
