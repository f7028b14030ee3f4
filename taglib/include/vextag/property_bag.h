// The host window's store of a control's saved properties, read and written by name.
#pragma once

#include <map>
#include <stdexcept>
#include <string>

#include <vextag/export.h>

namespace vextag {

// A store that cannot be read or written, or holds a value the control cannot take.
class VEXTAG_API PropertyBagError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    ~PropertyBagError() override;
};

class VEXTAG_API PropertyBag {
public:
    virtual ~PropertyBag();
    // The stored value of `name`, or `defaultValue` when none is stored.
    virtual std::string read(const std::string& name, const std::string& defaultValue) = 0;
    // Stores `value` under `name`; a value equal to `defaultValue` is not kept.
    virtual void write(const std::string& name, const std::string& value, const std::string& defaultValue) = 0;
};

// A bag over a plain map, for hosts that keep their design in memory or serialise it themselves.
class VEXTAG_API MapPropertyBag : public PropertyBag {
public:
    std::string read(const std::string& name, const std::string& defaultValue) override;
    void write(const std::string& name, const std::string& value, const std::string& defaultValue) override;

    std::map<std::string, std::string> values;
};

} // namespace vextag
