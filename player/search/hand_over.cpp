// Found files leave the search window for the player: a double-click opens one in the play
// list, a drag carries the selected ones as a file list, and lstClipList sorts by a column.
#include "player/playlist/play_list_columns.h"
#include "player/search/win_seek.h"

#include "player/toolkit/file_system.h"
#include "player/window/frm_player.h"

namespace velorra {

namespace {

bool offerFiles(toolkit::DragData& data, std::vector<std::string> files) {
    if (files.empty()) return false;
    data.setFiles(std::move(files));
    return true;
}

}  // namespace

void WinSeek::filList_DblClick() {
    if (filList.ListIndex() < 0) return;
    player_.OpenFile(toolkit::joinPath(filList.Path(), filList.List(filList.ListIndex())), false, 0);
}

void WinSeek::lstFoundFiles_DblClick() {
    if (lstFoundFiles.ListIndex() < 0) return;
    player_.OpenFile(lstFoundFiles.List(lstFoundFiles.ListIndex()), false, 0);
}

void WinSeek::lstClipList_DblClick() {
    if (lstClipList.selectedItem() == 0) return;
    player_.OpenFile(lstClipList.text(lstClipList.selectedItem(), column::Location), false, 0);
}

bool WinSeek::filList_StartDrag(toolkit::DragData& data) {
    std::vector<std::string> files;
    for (int32_t i = 0; i < filList.ListCount(); ++i)
        if (filList.Selected(i)) files.push_back(toolkit::joinPath(filList.Path(), filList.List(i)));
    return offerFiles(data, std::move(files));
}

bool WinSeek::lstFoundFiles_StartDrag(toolkit::DragData& data) {
    std::vector<std::string> files;
    for (int32_t i = 0; i < lstFoundFiles.ListCount(); ++i)
        if (lstFoundFiles.Selected(i)) files.push_back(lstFoundFiles.List(i));
    return offerFiles(data, std::move(files));
}

bool WinSeek::lstClipList_StartDrag(toolkit::DragData& data) {
    std::vector<std::string> files;
    for (int32_t row : lstClipList.selectedRows()) files.push_back(lstClipList.text(row, column::Location));
    return offerFiles(data, std::move(files));
}

void WinSeek::lstClipList_ColumnClick(int column) {
    if (column == sortColumn_)
        sortAscending_ = !sortAscending_;
    else
        sortColumn_ = column;
    lstClipList.sort(column - 1, sortAscending_);
    lstClipList.ensureVisible(lstClipList.selectedItem());
}

}  // namespace velorra
