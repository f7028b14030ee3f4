#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velorra {

// The text of a mimeapps.list with the desktop entry as the default application of each type in
// [Default Applications] (the group is added when missing). The earlier defaults of those types
// are replaced; every other line and group of the file stays as it was.
QByteArray withDefaultApplication(const QByteArray& mimeAppsList, const QStringList& types,
                                  const QString& desktopId);

}  // namespace velorra
