// A property bag over QSettings: each property is a key in the settings' current group.
#pragma once

#include <memory>

#include <QSettings>

#include <vextag/export.h>
#include <vextag/property_bag.h>

namespace vextag {

class VEXTAG_API SettingsPropertyBag : public PropertyBag {
public:
    // `settings` must outlive the bag.
    explicit SettingsPropertyBag(QSettings& settings);
    ~SettingsPropertyBag() override;

    // Throws PropertyBagError when the settings file cannot be parsed.
    std::string read(const std::string& name, const std::string& defaultValue) override;
    // Writes through to the file at once; throws PropertyBagError when that fails.
    void write(const std::string& name, const std::string& value, const std::string& defaultValue) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vextag
