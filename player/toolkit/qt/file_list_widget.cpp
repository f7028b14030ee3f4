#include "player/toolkit/qt/file_list_widget.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/list_drag.h"
#include "player/toolkit/qt/qt_input.h"
#include "player/toolkit/qt/qt_strings.h"

#include <QKeyEvent>

namespace velorra::toolkit::qt {

FileListWidget::FileListWidget(FileListBox& control, QWidget* parent, const TwipsScale& scale)
    : QListWidget(parent), control_(control), scale_(scale) {
    setUniformItemSizes(true);
    setDragEnabled(true);
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
    control_.setObserver(this);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] { userSelectionChanged(); });
}

FileListWidget::~FileListWidget() {
    control_.setObserver(nullptr);
    control_.attachView(nullptr);
}

void FileListWidget::controlChanged(Change what) {
    static const ColorRoles roles{QPalette::Text, QPalette::Base, false, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
    if (what == Change::Appearance)
        setSelectionMode(control_.multiSelect() ? QAbstractItemView::ExtendedSelection
                                                : QAbstractItemView::SingleSelection);
}

void FileListWidget::rowsReset() {
    stale_ = true;
    if (isVisible()) rebuild();
}

void FileListWidget::rebuild() {
    stale_ = false;
    mirroring_ = true;
    clear();
    for (int32_t i = 0; i < control_.ListCount(); ++i) addItem(toQString(control_.List(i)));
    mirroring_ = false;
    mirrorSelection();
}

void FileListWidget::mirrorSelection() {
    mirroring_ = true;
    // The selection mode follows the control, which may have changed since the last mirror.
    controlChanged(Change::Appearance);
    for (int32_t i = 0; i < count(); ++i) item(i)->setSelected(control_.Selected(i));
    if (control_.ListIndex() >= 0) setCurrentRow(control_.ListIndex(), QItemSelectionModel::NoUpdate);
    mirroring_ = false;
}

void FileListWidget::selectionChanged() {
    if (!stale_ && !mirroring_) mirrorSelection();
}

void FileListWidget::userSelectionChanged() {
    if (mirroring_) return;
    mirroring_ = true;
    for (int32_t i = 0; i < count() && i < control_.ListCount(); ++i) control_.setSelected(i, item(i)->isSelected());
    if (currentRow() >= 0) control_.setListIndex(currentRow());
    mirroring_ = false;
}

void FileListWidget::showEvent(QShowEvent* e) {
    QListWidget::showEvent(e);
    if (stale_) rebuild();
}

void FileListWidget::keyPressEvent(QKeyEvent* e) {
    if (const auto key = toKeyEvent(*e)) control_.keyDown(*key);
    QListWidget::keyPressEvent(e);
}

void FileListWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    QListWidget::mouseDoubleClickEvent(e);
    control_.dblClick();
}

void FileListWidget::startDrag(Qt::DropActions) { runFileDrag(*this, outgoingDragData(control_.onStartDrag)); }

}  // namespace velorra::toolkit::qt
