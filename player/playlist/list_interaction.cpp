// The play list under the mouse and the keyboard: playing a row, the pop-up menu, sorting by a
// column header, dragging rows out as files and dropping files in at the row under the pointer.
#include "player/playlist/play_list_columns.h"
#include "player/playlist/play_list_helpers.h"
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

#include <algorithm>
#include <stdexcept>

namespace velorra {

void frmPlayer::wirePlayList() {
    lstClipList.setMultiSelect(true);
    mnuOpen.onClick = [this] { mnuOpen_Click(); };
    mnuSaveListAs.onClick = [this] { mnuSaveListAs_Click(); };
    mnuExportMix.onClick = [this] { mnuExportMix_Click(); };
    mnuRandomOrder.onClick = [this] { mnuRandomOrder_Click(); };
    mnuDeleteSelectedItem.onClick = [this] { mnuDeleteSelectedItem_Click(); };
    mnuClear.onClick = [this] { mnuClear_Click(); };
    lstClipList.onDblClick = [this] { lstClipList_DblClick(); };
    lstClipList.onKeyDown = [this](toolkit::KeyEvent e) { lstClipList_KeyDown(e); };
    lstClipList.onMouseUp = [this](toolkit::MouseEvent e) { lstClipList_MouseUp(e); };
    lstClipList.onColumnClick = [this](int column) { lstClipList_ColumnClick(column); };
    lstClipList.onStartDrag = [this](toolkit::DragData& data) { return lstClipList_StartDrag(data); };
    lstClipList.onDragOver = [this](const toolkit::DragData& data, int32_t x, int32_t y) {
        return lstClipList_DragOver(data, x, y);
    };
    lstClipList.onDrop = [this](const toolkit::DragData& data, int32_t x, int32_t y) { lstClipList_DragDrop(data, x, y); };
}

void frmPlayer::lstClipList_DblClick() { mnuPlaySelectedItem_Click(); }

void frmPlayer::lstClipList_KeyDown(toolkit::KeyEvent e) {
    if (e.keyCode == toolkit::keys::Return) mnuPlaySelectedItem_Click();
}

void frmPlayer::lstClipList_MouseUp(toolkit::MouseEvent e) {
    if (e.button == toolkit::buttons::Right) popupMenu(mnuList);
}

void frmPlayer::lstClipList_ColumnClick(int column) {
    attempt([&] {
        if (column == LastSortColumn)
            SortDirection = SortDirection == 0 ? 1 : 0;
        else
            LastSortColumn = toInt16(column);
    });
    CurrentIndex = sortKeepingCurrent(lstClipList, CurrentIndex, column - 1, SortDirection == 0);
}

// Only selected rows leave, as files; the rows stay whatever the drop target does.
bool frmPlayer::lstClipList_StartDrag(toolkit::DragData& data) {
    std::vector<std::string> files;
    for (int32_t i = 1; i <= lstClipList.count(); ++i)
        if (lstClipList.selected(i)) files.push_back(lstClipList.text(i, column::Location));
    if (files.empty()) return false;
    data.setFiles(std::move(files));
    return true;
}

toolkit::DropEffect frmPlayer::lstClipList_DragOver(const toolkit::DragData&, int32_t x, int32_t y) {
    if (lstClipList.count() > 0) lstClipList.setSelectedItem(lstClipList.hitTest(x, y));
    return toolkit::DropEffect::Copy;
}

void frmPlayer::lstClipList_DragDrop(const toolkit::DragData& data, int32_t x, int32_t y) {
    // The first failure ends the drop: the files handled so far stay inserted.
    attempt([&] {
        if (!data.hasFiles) throw std::invalid_argument("the drop carries no file list");
        int32_t pos = lstClipList.count() + 1;
        if (lstClipList.count() > 0)
            if (const int32_t under = lstClipList.hitTest(x, y)) pos = under;
        // A file that would land beyond the last row (a play list before it added fewer rows
        // than its place in the drop) is appended instead of being lost.
        for (size_t i = 0; i < data.files.size(); ++i)
            OpenFile(data.files[i], false, std::min(toInt32(pos + static_cast<int64_t>(i)), lstClipList.count() + 1));
        StatusBar1.setPanelText(2, webAddressPanel());
    });
}

}  // namespace velorra
