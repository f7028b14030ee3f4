#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace velorra {

// The whole content of a file: empty when the file does not exist, nullopt when it exists but
// cannot be read (then it must not be overwritten, or what it holds would be lost).
std::optional<QByteArray> readFileIfPresent(const QString& path);

// Replaces the file with the content in one step (a temporary file beside it, then a rename),
// creating its folder first. A reader sees the old content or the new one, never a part.
bool writeFileAtomically(const QString& path, const QByteArray& content);

}  // namespace velorra
