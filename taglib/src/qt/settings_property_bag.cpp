#include <vextag/settings_property_bag.h>

namespace vextag {

void SettingsPropertyBag::check(const char* operation, const std::string& name) const {
    switch (settings_.status()) {
    case QSettings::NoError:
        return;
    case QSettings::FormatError:
        throw PropertyBagError(std::string(operation) + " " + name + ": malformed settings file " +
                               settings_.fileName().toStdString());
    case QSettings::AccessError:
        throw PropertyBagError(std::string(operation) + " " + name + ": cannot access settings file " +
                               settings_.fileName().toStdString());
    }
}

std::string SettingsPropertyBag::read(const std::string& name, const std::string& defaultValue) {
    const QVariant value =
        settings_.value(QString::fromStdString(name), QString::fromStdString(defaultValue));
    check("reading", name);
    return value.toString().toStdString();
}

void SettingsPropertyBag::write(const std::string& name, const std::string& value, const std::string& defaultValue) {
    const QString key = QString::fromStdString(name);
    if (value == defaultValue)
        settings_.remove(key);
    else
        settings_.setValue(key, QString::fromStdString(value));
    settings_.sync();
    check("writing", name);
}

} // namespace vextag
