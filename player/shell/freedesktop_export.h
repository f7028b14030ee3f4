#pragma once

#include "player/shell/xdg_folders.h"

#include <QString>

namespace velorra {

// Makes the player the desktop's handler of MP3 files and M3U play lists: writes its desktop
// entry to <dataHome>/applications, refreshes that folder's MIME cache when
// update-desktop-database is installed, and sets the defaults in <configHome>/mimeapps.list.
// Each of the three steps is attempted whatever became of the others; nothing is reported.
void exportAssociation(const XdgFolders& folders, const QString& executablePath);

}  // namespace velorra
