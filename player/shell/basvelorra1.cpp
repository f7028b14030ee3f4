#include "player/shell/basvelorra1.h"

#include "player/shell/file_classes_store.h"
#include "player/shell/freedesktop_export.h"

#include <QFileInfo>

namespace velorra::basvelorra1 {
namespace {

// Creates or opens the key, then sets the default value of its subkey ("" for its own).
void writeDefault(ClassesStore& classes, const QString& key, const QString& subkey, const QString& value) {
    if (classes.createKey(key)) {
        classes.setDefaultValue(key, subkey, value);
    }
}

}  // namespace

QString openCommand(const QString& executablePath) {
    return u'"' + QFileInfo(executablePath).absoluteFilePath() + QStringLiteral("\" \"%1\"");
}

void RegisterFileTypes(ClassesStore& classes, const XdgFolders& folders, const QString& executablePath) {
    const QString fileType = QStringLiteral("Velorra");
    writeDefault(classes, fileType, {}, QStringLiteral("MP3 Music File"));
    writeDefault(classes, QStringLiteral(".mp3"), {}, fileType);
    writeDefault(classes, fileType + QStringLiteral("\\shell\\open"), QStringLiteral("command"),
                 openCommand(executablePath));
    // Replaces the description above: both extensions show as "M3U PlayList File".
    writeDefault(classes, fileType, {}, QStringLiteral("M3U PlayList File"));
    writeDefault(classes, QStringLiteral(".m3u"), {}, fileType);
    writeDefault(classes, fileType, QStringLiteral("defaulticon"), QFileInfo(executablePath).absoluteFilePath());

    exportAssociation(folders, QFileInfo(executablePath).absoluteFilePath());
}

void RegisterFileTypes(const QString& executablePath) {
    const XdgFolders folders = XdgFolders::fromEnvironment();
    FileClassesStore classes(folders.dataHome + QStringLiteral("/Velorra/classes.ini"));
    RegisterFileTypes(classes, folders, executablePath);
}

}  // namespace velorra::basvelorra1
