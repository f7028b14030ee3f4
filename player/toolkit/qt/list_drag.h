#pragma once
// Dragging out of a list: the control's start-drag action fills the data, which leaves as
// the desktop's file list.
#include "player/toolkit/drag_data.h"

#include <QMimeData>
#include <QWidget>

#include <functional>
#include <memory>

namespace velorra::toolkit::qt {

// What a drag out of the list carries; null when the list has no start-drag action or it
// refuses the drag.
std::unique_ptr<QMimeData> outgoingDragData(const std::function<bool(DragData&)>& onStartDrag);
// Runs the drag (a copy) until the user drops or cancels it.
void runFileDrag(QWidget& source, std::unique_ptr<QMimeData> mime);

}  // namespace velorra::toolkit::qt
