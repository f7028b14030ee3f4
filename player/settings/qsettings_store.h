#pragma once
// The settings store on QSettings: one INI file per user, $XDG_CONFIG_HOME/Velorra/Velorra.conf.
// Every value of the program lives under the application name Velorra, so the application part
// of a key picks nothing; (section, key) is the INI group and key.
#include "player/settings/settings_store.h"

#include <QSettings>

namespace velorra {

class QSettingsStore : public SettingsStore {
public:
    QSettingsStore();

    std::string read(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& fallback) override;
    // Each write reaches the file at once. A file that cannot be written is reported on stderr,
    // once; the value stays in memory and every other step of the caller goes on.
    void write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override;

    QString fileName() const { return settings_.fileName(); }

private:
    QSettings settings_;
    bool failureReported_ = false;
};

}  // namespace velorra
