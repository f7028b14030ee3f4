#include <vextag/link_opener.h>

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace vextag {

LinkOpener::~LinkOpener() = default;

void DesktopLinkOpener::open(const std::string& link) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(link)));
}

} // namespace vextag
