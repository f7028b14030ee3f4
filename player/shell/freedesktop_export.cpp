#include "player/shell/freedesktop_export.h"

#include "player/shell/atomic_file.h"
#include "player/shell/desktop_entry.h"
#include "player/shell/mime_apps.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <optional>

namespace velorra {
namespace {

// Long enough for a folder with thousands of entries; a tool that hangs is killed.
constexpr int cacheUpdateTimeoutMs = 10000;

void refreshMimeCache(const QString& applicationsFolder) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (tool.isEmpty()) {
        return;
    }
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(tool, {applicationsFolder});
    process.waitForFinished(cacheUpdateTimeoutMs);
}

void setDefaults(const QString& mimeAppsPath) {
    const std::optional<QByteArray> current = readFileIfPresent(mimeAppsPath);
    if (current) {
        writeFileAtomically(mimeAppsPath,
                            withDefaultApplication(*current, handledMimeTypes(), QString(desktopEntryId)));
    }
}

}  // namespace

void exportAssociation(const XdgFolders& folders, const QString& executablePath) {
    const QString applications = folders.dataHome + QStringLiteral("/applications");
    if (writeFileAtomically(applications + u'/' + QString(desktopEntryId),
                            desktopEntry(execValue(executablePath)))) {
        refreshMimeCache(applications);
    }
    setDefaults(folders.configHome + QStringLiteral("/mimeapps.list"));
}

}  // namespace velorra
