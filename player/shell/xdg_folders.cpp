#include "player/shell/xdg_folders.h"

#include <QDir>

namespace velorra {
namespace {

QString baseFolder(const char* variable, const QString& fallbackBelowHome) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value)) {
        return value;
    }
    return QDir::homePath() + u'/' + fallbackBelowHome;
}

}  // namespace

XdgFolders XdgFolders::fromEnvironment() {
    return {baseFolder("XDG_DATA_HOME", QStringLiteral(".local/share")),
            baseFolder("XDG_CONFIG_HOME", QStringLiteral(".config"))};
}

QString XdgFolders::cacheHome() { return baseFolder("XDG_CACHE_HOME", QStringLiteral(".cache")); }

}  // namespace velorra
