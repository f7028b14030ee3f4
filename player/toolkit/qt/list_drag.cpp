#include "player/toolkit/qt/list_drag.h"

#include "player/toolkit/qt/uri_list.h"

#include <QDrag>

namespace velorra::toolkit::qt {

std::unique_ptr<QMimeData> outgoingDragData(const std::function<bool(DragData&)>& onStartDrag) {
    DragData data;
    if (!onStartDrag || !onStartDrag(data)) return nullptr;
    return toMimeData(data);
}

void runFileDrag(QWidget& source, std::unique_ptr<QMimeData> mime) {
    if (!mime) return;
    // Qt deletes the drag once it is over; until then the source widget owns it.
    auto* drag = new QDrag(&source);
    drag->setMimeData(mime.release());  // the drag owns the data from here
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

}  // namespace velorra::toolkit::qt
