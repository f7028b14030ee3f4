#include "player/mpris/mpris_interfaces.h"

#include "player/shell/desktop_entry.h"
#include "player/window/product.h"

namespace velorra::mpris {

RootInterfaceAdaptor::RootInterfaceAdaptor(MprisAdapter& adapter) : QDBusAbstractAdaptor(&adapter), adapter_(adapter) {}

QString RootInterfaceAdaptor::identity() const { return QString::fromUtf8(product::Name); }

QString RootInterfaceAdaptor::desktopEntry() const {
    QString id = desktopEntryId;
    id.chop(static_cast<qsizetype>(sizeof ".desktop" - 1));
    return id;
}

QStringList RootInterfaceAdaptor::supportedMimeTypes() const { return handledMimeTypes(); }

PlayerInterfaceAdaptor::PlayerInterfaceAdaptor(MprisAdapter& adapter)
    : QDBusAbstractAdaptor(&adapter), adapter_(adapter) {}

}  // namespace velorra::mpris
