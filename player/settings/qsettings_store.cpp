#include "player/settings/qsettings_store.h"

#include <QStandardPaths>

#include <cstdio>

namespace velorra {

namespace {

QString keyPath(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + "/" + QString::fromStdString(key);
}

}  // namespace

// QSettings names an INI file of the user scope Velorra.ini; the file keeps the desktop's usual
// .conf name.
QSettingsStore::QSettingsStore()
    : settings_(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Velorra/Velorra.conf",
                QSettings::IniFormat) {}

std::string QSettingsStore::read(const std::string&, const std::string& section, const std::string& key,
                                 const std::string& fallback) {
    const QVariant value = settings_.value(keyPath(section, key));
    return value.isValid() ? value.toString().toStdString() : fallback;
}

void QSettingsStore::write(const std::string&, const std::string& section, const std::string& key,
                           const std::string& value) {
    settings_.setValue(keyPath(section, key), QString::fromStdString(value));
    settings_.sync();
    if (settings_.status() == QSettings::NoError || failureReported_) return;
    failureReported_ = true;
    std::fprintf(stderr, "velorra: the settings could not be saved to %s\n", settings_.fileName().toLocal8Bit().constData());
}

}  // namespace velorra
