#include "player/shell/desktop_entry.h"

namespace velorra {
namespace {

// Characters that make an Exec argument need double quotes.
constexpr QStringView reservedCharacters = u" \t\n\"'\\><~|&;$*?#()`";

// One Exec argument. Inside the quotes ", `, $ and \ take a backslash; % is written %% so that
// it is not read as a field code.
QString execArgument(const QString& text) {
    QString argument;
    bool needsQuotes = false;
    for (QChar c : text) {
        needsQuotes = needsQuotes || reservedCharacters.contains(c);
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            argument += u'\\';
        }
        argument += c == u'%' ? QStringLiteral("%%") : QString(c);
    }
    return needsQuotes ? u'"' + argument + u'"' : argument;
}

// A value of the desktop entry's string type: \ as \\, and line breaks and tabs escaped.
QString stringValue(const QString& text) {
    QString value;
    for (QChar c : text) {
        if (c == u'\\') {
            value += QStringLiteral("\\\\");
        } else if (c == u'\n') {
            value += QStringLiteral("\\n");
        } else if (c == u'\r') {
            value += QStringLiteral("\\r");
        } else if (c == u'\t') {
            value += QStringLiteral("\\t");
        } else {
            value += c;
        }
    }
    return value;
}

}  // namespace

QStringList handledMimeTypes() {
    return {
        QStringLiteral("audio/mpeg"),      QStringLiteral("audio/mp3"),       QStringLiteral("audio/x-mp3"),
        QStringLiteral("audio/x-mpeg"),    QStringLiteral("audio/x-mpg"),     QStringLiteral("audio/x-mpegurl"),
        QStringLiteral("audio/mpegurl"),   QStringLiteral("audio/m3u"),       QStringLiteral("audio/x-m3u"),
        QStringLiteral("audio/x-mp3-playlist"), QStringLiteral("application/m3u"),
    };
}

QString execValue(const QString& executablePath) {
    return stringValue(execArgument(executablePath)) + QStringLiteral(" %f");
}

QByteArray desktopEntry(const QString& exec) {
    return (QStringLiteral("[Desktop Entry]\n"
                           "Type=Application\n"
                           "Name=Velorra\n"
                           "GenericName=Music Player\n"
                           "Comment=Play MP3 files with timed transitions between songs\n"
                           "Exec=") +
            exec +
            QStringLiteral("\n"
                           "Icon=velorra\n"
                           "Terminal=false\n"
                           "Categories=AudioVideo;Audio;Player;\n"
                           "MimeType=") +
            handledMimeTypes().join(u';') + QStringLiteral(";\n"))
        .toUtf8();
}

}  // namespace velorra
