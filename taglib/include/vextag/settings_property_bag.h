// A property bag over QSettings: each property is a key in the settings' current group.
#pragma once

#include <QSettings>

#include <vextag/property_bag.h>

namespace vextag {

class SettingsPropertyBag : public PropertyBag {
public:
    // `settings` must outlive the bag.
    explicit SettingsPropertyBag(QSettings& settings) : settings_(settings) {}

    // Throws PropertyBagError when the settings file cannot be parsed.
    std::string read(const std::string& name, const std::string& defaultValue) override;
    // Writes through to the file at once; throws PropertyBagError when that fails.
    void write(const std::string& name, const std::string& value, const std::string& defaultValue) override;

private:
    void check(const char* operation, const std::string& name) const;

    QSettings& settings_;
};

} // namespace vextag
