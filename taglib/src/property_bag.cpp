#include <vextag/property_bag.h>

namespace vextag {

// Out of line, so that the error's and the bag's type information live in the library alone.
PropertyBagError::~PropertyBagError() = default;

PropertyBag::~PropertyBag() = default;

std::string MapPropertyBag::read(const std::string& name, const std::string& defaultValue) {
    const auto it = values.find(name);
    return it == values.end() ? defaultValue : it->second;
}

void MapPropertyBag::write(const std::string& name, const std::string& value, const std::string& defaultValue) {
    if (value == defaultValue)
        values.erase(name);
    else
        values[name] = value;
}

} // namespace vextag
