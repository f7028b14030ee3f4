#pragma once

#include "player/shell/classes_store.h"

#include <QString>

namespace velorra {

// The classes tree kept in one per-user text file, one block a key in key order:
//
//   [Velorra\shell\open\command]
//   @=the default value, with '\', line feed and carriage return written as \\, \n and \r
//
// A key without a value is its bracketed line alone. Every change reads the file, changes it and
// replaces it atomically; a file that exists but cannot be read is never overwritten.
class FileClassesStore final : public ClassesStore {
public:
    explicit FileClassesStore(QString filePath);

    bool createKey(const QString& path) override;
    bool setDefaultValue(const QString& key, const QString& subkey, const QString& value) override;

private:
    QString filePath_;
};

}  // namespace velorra
