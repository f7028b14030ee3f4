#pragma once
// The per-user settings store: text values by application, section and key.
#include <string>

namespace velorra {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or `fallback` when the key is absent.
    virtual std::string read(const std::string& app, const std::string& section, const std::string& key,
                             const std::string& fallback) = 0;
    // Creates the section and key when absent, replaces the value otherwise.
    virtual void write(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& value) = 0;
};

}  // namespace velorra
