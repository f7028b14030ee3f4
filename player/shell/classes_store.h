#pragma once

#include <QString>

namespace velorra {

// The tree of file classes: named keys below one root, each with a default (unnamed) text value.
// A key path names its parts from the root down, separated by '\' ("Velorra\shell\open").
class ClassesStore {
public:
    virtual ~ClassesStore() = default;

    // Creates the key and every missing key on its path, or opens it when it is there.
    // False when the key cannot be created or opened.
    virtual bool createKey(const QString& path) = 0;

    // Sets the default value of the key below an open key (created when missing); an empty
    // subkey sets the open key's own default value. False when the value cannot be written.
    virtual bool setDefaultValue(const QString& key, const QString& subkey, const QString& value) = 0;
};

}  // namespace velorra
