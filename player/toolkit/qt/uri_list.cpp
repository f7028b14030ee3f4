#include "player/toolkit/qt/uri_list.h"

#include "player/toolkit/qt/qt_strings.h"

#include <QFile>
#include <QStringList>

namespace velorra::toolkit::qt {

// The path's bytes are percent-encoded as they are: a name that is not valid in the locale's
// encoding would not survive a trip through QString.
QUrl fileUrl(const std::string& path) {
    const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
    return QUrl(QStringLiteral("file://") + QString::fromLatin1(bytes.toPercentEncoding("/")), QUrl::StrictMode);
}

std::string localPath(const QUrl& fileUrl) {
    const QByteArray bytes = QByteArray::fromPercentEncoding(fileUrl.path(QUrl::FullyEncoded).toLatin1());
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

std::unique_ptr<QMimeData> toMimeData(const DragData& data) {
    auto mime = std::make_unique<QMimeData>();
    if (data.hasFiles) {
        QList<QUrl> urls;
        QStringList paths;
        for (const std::string& path : data.files) {
            urls.append(fileUrl(path));
            paths.append(QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size()))));
        }
        mime->setUrls(urls);
        mime->setText(paths.join(QLatin1Char('\n')));
    } else {
        mime->setText(toQString(data.text));
    }
    return mime;
}

DragData toDragData(const QMimeData& mime) {
    DragData data;
    std::vector<std::string> files;
    QStringList others;
    for (const QUrl& url : mime.urls()) {
        if (url.isLocalFile())
            files.push_back(localPath(url));
        else
            others.append(url.toString());
    }
    if (!files.empty()) data.setFiles(std::move(files));
    data.text = toUtf8(mime.hasText() ? mime.text() : others.join(QLatin1Char('\n')));
    return data;
}

}  // namespace velorra::toolkit::qt
