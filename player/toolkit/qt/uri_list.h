#pragma once
// Drag data in the desktop's file-list format: text/uri-list of file:// URLs.
#include "player/toolkit/drag_data.h"

#include <QMimeData>
#include <QUrl>

#include <memory>
#include <string>

namespace velorra::toolkit::qt {

// A local path, as the file system's bytes, as a file:// URL and back; any bytes survive.
QUrl fileUrl(const std::string& path);
std::string localPath(const QUrl& fileUrl);

// The files as text/uri-list with the paths as text/plain, or the text alone when the data
// holds no files.
std::unique_ptr<QMimeData> toMimeData(const DragData& data);
// file:// URLs become a file list; other URLs and plain text do not (their text is kept).
DragData toDragData(const QMimeData& mime);

}  // namespace velorra::toolkit::qt
