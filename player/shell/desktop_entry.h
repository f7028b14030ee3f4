#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <QStringList>

namespace velorra {

// The name under which the desktop knows the player's entry.
inline constexpr QLatin1String desktopEntryId("velorra.desktop");

// The media types of MP3 files and M3U play lists, each group's own name first, then its aliases.
QStringList handledMimeTypes();

// The Exec value that starts the executable with one file: its path, quoted by the desktop entry
// rules when it holds a blank or another reserved character, then %f.
QString execValue(const QString& executablePath);

// The whole desktop entry of the player, starting it with the given Exec value.
QByteArray desktopEntry(const QString& exec);

}  // namespace velorra
