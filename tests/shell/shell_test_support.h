#pragma once

// Temporary XDG homes, environment overrides and runs of the desktop's command-line tools.
#include "player/shell/xdg_folders.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>
#include <ostream>
#include <utility>

// Readable failure messages for Qt's text types.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QByteArray& bytes, std::ostream* os) { *os << '"' << bytes.toStdString() << '"'; }

namespace velorra::test {

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& content) {
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(content);
    }
}

// Sets an environment variable for one scope and puts the old value back.
class EnvOverride {
public:
    EnvOverride(const char* name, const QString& value) : name_(name) {
        if (qEnvironmentVariableIsSet(name)) {
            old_ = qgetenv(name);
        }
        qputenv(name, value.toUtf8());
    }
    ~EnvOverride() {
        if (old_) {
            qputenv(name_, *old_);
        } else {
            qunsetenv(name_);
        }
    }
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> old_;
};

// A home of its own: data, config and system data folders, and an executable standing in for the player.
struct TempHome {
    QTemporaryDir root;
    QString path(const QString& below) const { return root.path() + u'/' + below; }
    XdgFolders folders() const { return {path(QStringLiteral("data")), path(QStringLiteral("config"))}; }
    QString classesFile() const { return path(QStringLiteral("data/Velorra/classes.ini")); }
    QString desktopFile() const { return path(QStringLiteral("data/applications/velorra.desktop")); }
    QString mimeAppsFile() const { return path(QStringLiteral("config/mimeapps.list")); }

    // A real executable file at bin/<name> (a copy of true), as xdg-mime wants the handler to exist.
    QString executable(const QString& name = QStringLiteral("velorra")) const {
        const QString exe = path(QStringLiteral("bin/") + name);
        QDir().mkpath(exe.section(u'/', 0, -2));
        QFile::copy(QStringLiteral("/bin/true"), exe);
        QFile::setPermissions(exe, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return exe;
    }

    // The environment the desktop's tools see for this home, with no desktop session detected.
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "DE",
                                 "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "XDG_CONFIG_DIRS"}) {
            env.remove(QString::fromLatin1(name));
        }
        env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), path(QStringLiteral("etc-xdg")));
        env.insert(QStringLiteral("XDG_DATA_DIRS"), path(QStringLiteral("share")));
        return env;
    }
};

struct ToolRun {
    int exitCode = -1;
    QString output;  // standard output and error together, or why the tool did not start
};

inline ToolRun runTool(const QString& program, const QStringList& arguments,
                       const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        return {-1, program + QStringLiteral(": ") + process.errorString()};
    }
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {code, QString::fromLocal8Bit(process.readAll())};
}

}  // namespace velorra::test
