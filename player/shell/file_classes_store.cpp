#include "player/shell/file_classes_store.h"

#include "player/shell/atomic_file.h"

#include <QStringList>
#include <map>
#include <optional>
#include <utility>

namespace velorra {
namespace {

using Keys = std::map<QString, std::optional<QString>>;

QString escaped(const QString& value) {
    QString out;
    for (QChar c : value) {
        if (c == u'\\') {
            out += QStringLiteral("\\\\");
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (c == u'\r') {
            out += QStringLiteral("\\r");
        } else {
            out += c;
        }
    }
    return out;
}

QString unescaped(QStringView text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size()) {
            const QChar next = text[++i];
            out += next == u'n' ? QChar(u'\n') : next == u'r' ? QChar(u'\r') : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<Keys> parse(const std::optional<QByteArray>& content) {
    if (!content) {
        return std::nullopt;
    }
    Keys keys;
    Keys::iterator current = keys.end();
    for (const QString& line : QString::fromUtf8(*content).split(u'\n')) {
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = keys.try_emplace(line.mid(1, line.size() - 2)).first;
        } else if (line.startsWith(QStringLiteral("@=")) && current != keys.end()) {
            current->second = unescaped(QStringView(line).mid(2));
        }
    }
    return keys;
}

QByteArray serialized(const Keys& keys) {
    QString out;
    for (const auto& [path, value] : keys) {
        if (!out.isEmpty()) {
            out += u'\n';
        }
        out += QLatin1Char('[') + path + QStringLiteral("]\n");
        if (value) {
            out += QStringLiteral("@=") + escaped(*value) + u'\n';
        }
    }
    return out.toUtf8();
}

// A key path is one or more non-empty names; a name cannot hold a line break or a ']'.
bool isValidPath(const QString& path) {
    const QStringList names = path.split(u'\\');
    for (const QString& name : names) {
        if (name.isEmpty() || name.contains(u'\n') || name.contains(u'\r') || name.contains(u']')) {
            return false;
        }
    }
    return true;
}

// Adds the key and every key above it that is missing; returns the key's entry.
Keys::iterator addWithParents(Keys& keys, const QString& path) {
    for (qsizetype at = path.indexOf(u'\\'); at != -1; at = path.indexOf(u'\\', at + 1)) {
        keys.try_emplace(path.left(at));
    }
    return keys.try_emplace(path).first;
}

}  // namespace

FileClassesStore::FileClassesStore(QString filePath) : filePath_(std::move(filePath)) {}

bool FileClassesStore::createKey(const QString& path) {
    if (!isValidPath(path)) {
        return false;
    }
    std::optional<Keys> keys = parse(readFileIfPresent(filePath_));
    if (!keys) {
        return false;
    }
    addWithParents(*keys, path);
    return writeFileAtomically(filePath_, serialized(*keys));
}

bool FileClassesStore::setDefaultValue(const QString& key, const QString& subkey, const QString& value) {
    const QString path = subkey.isEmpty() ? key : key + u'\\' + subkey;
    if (!isValidPath(path)) {
        return false;
    }
    std::optional<Keys> keys = parse(readFileIfPresent(filePath_));
    if (!keys) {
        return false;
    }
    addWithParents(*keys, path)->second = value;
    return writeFileAtomically(filePath_, serialized(*keys));
}

}  // namespace velorra
