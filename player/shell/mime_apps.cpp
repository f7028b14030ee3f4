#include "player/shell/mime_apps.h"

namespace velorra {

QByteArray withDefaultApplication(const QByteArray& mimeAppsList, const QStringList& types,
                                  const QString& desktopId) {
    const QString defaultsGroup = QStringLiteral("[Default Applications]");
    QStringList lines = QString::fromUtf8(mimeAppsList).split(u'\n');
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }

    QStringList out;
    bool inDefaults = false;
    bool added = false;
    // Our entries go at the end of the first defaults group, ahead of the blank lines closing it.
    const auto addDefaults = [&] {
        qsizetype at = out.size();
        while (at > 0 && out[at - 1].trimmed().isEmpty()) {
            --at;
        }
        for (const QString& type : types) {
            out.insert(at++, type + u'=' + desktopId + u';');
        }
        added = true;
    };

    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[')) {
            if (inDefaults && !added) {
                addDefaults();
            }
            inDefaults = trimmed == defaultsGroup;
        } else if (inDefaults && line.contains(u'=') && types.contains(line.section(u'=', 0, 0).trimmed())) {
            continue;
        }
        out << line;
    }
    if (inDefaults && !added) {
        addDefaults();
    }
    if (!added) {
        if (!out.isEmpty() && !out.last().trimmed().isEmpty()) {
            out << QString();
        }
        out << defaultsGroup;
        addDefaults();
    }
    return (out.join(u'\n') + u'\n').toUtf8();
}

}  // namespace velorra
