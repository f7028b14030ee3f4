#include <vextag/settings_property_bag.h>

namespace vextag {

struct SettingsPropertyBag::Impl {
    QSettings& settings;

    // Turns the store's status after `operation` on `name` into a PropertyBagError.
    void check(const char* operation, const std::string& name) const {
        switch (settings.status()) {
        case QSettings::NoError:
            return;
        case QSettings::FormatError:
            throw PropertyBagError(std::string(operation) + " " + name + ": malformed settings file " +
                                   settings.fileName().toStdString());
        case QSettings::AccessError:
            throw PropertyBagError(std::string(operation) + " " + name + ": cannot access settings file " +
                                   settings.fileName().toStdString());
        }
    }
};

SettingsPropertyBag::SettingsPropertyBag(QSettings& settings) : impl_(std::make_unique<Impl>(settings)) {}

SettingsPropertyBag::~SettingsPropertyBag() = default;

std::string SettingsPropertyBag::read(const std::string& name, const std::string& defaultValue) {
    const QVariant value =
        impl_->settings.value(QString::fromStdString(name), QString::fromStdString(defaultValue));
    impl_->check("reading", name);
    return value.toString().toStdString();
}

void SettingsPropertyBag::write(const std::string& name, const std::string& value, const std::string& defaultValue) {
    QSettings& settings = impl_->settings;
    const QString key = QString::fromStdString(name);
    if (value == defaultValue)
        settings.remove(key);
    else
        settings.setValue(key, QString::fromStdString(value));
    settings.sync();
    impl_->check("writing", name);
}

} // namespace vextag
