#pragma once
// Control strings are UTF-8. Text that is not (a path holding other bytes) shows with
// replacement characters; it never fails.
#include <QString>

#include <string>

namespace velorra::toolkit::qt {

inline QString toQString(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string toUtf8(const QString& s) {
    const QByteArray bytes = s.toUtf8();
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

}  // namespace velorra::toolkit::qt
