#pragma once

#include "player/shell/classes_store.h"
#include "player/shell/xdg_folders.h"

#include <QString>

namespace velorra::basvelorra1 {

// The command that opens a document with the executable: its absolute path and the document
// placeholder %1, each in double quotes, so that a folder with blanks cannot name another program.
QString openCommand(const QString& executablePath);

// Registers the player as the handler of .mp3 and .m3u files. Six writes to the classes store,
// in this order: Velorra = "MP3 Music File"; .mp3 = "Velorra"; Velorra\shell\open\command = the open
// command; Velorra = "M3U PlayList File"; .m3u = "Velorra"; Velorra\defaulticon = the executable's
// path. Then the desktop entry and the mimeapps.list defaults below the given XDG folders. Each
// write is attempted whatever became of the others, and nothing is reported.
void RegisterFileTypes(ClassesStore& classes, const XdgFolders& folders, const QString& executablePath);

// The same for the user running the program: the classes in $XDG_DATA_HOME/Velorra/classes.ini
// and the XDG folders as the environment names them at the moment of the call.
void RegisterFileTypes(const QString& executablePath);

}  // namespace velorra::basvelorra1
