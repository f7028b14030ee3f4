#pragma once
// The search window: the user picks a drive, a start directory and a file mask, searches that
// directory and everything below it, looks through what was found (with the tags, if wanted)
// and hands files to the player by double-click or drag. Its procedures live in one file per
// concern: the window and its criteria (win_seek.cpp), the walk and the results
// (search_walk.cpp), handing files to the player (hand_over.cpp).
#include "player/toolkit/button.h"
#include "player/toolkit/dir_list_box.h"
#include "player/toolkit/drag_data.h"
#include "player/toolkit/drive_list_box.h"
#include "player/toolkit/file_list_box.h"
#include "player/toolkit/label.h"
#include "player/toolkit/list_box.h"
#include "player/toolkit/list_view.h"
#include "player/toolkit/panel.h"
#include "player/toolkit/text_box.h"
#include "player/toolkit/value_control.h"
#include "player/toolkit/window.h"

#include <vextag/vextag.h>

#include <cstdint>
#include <string>

namespace velorra {

class frmPlayer;

class WinSeek : public toolkit::Window {
public:
    // The window the found files go to; it outlives this one.
    explicit WinSeek(frmPlayer& player);

    static constexpr const char* WindowCaption = "Search for MP3 files";
    static constexpr const char* FullListMessage = "Se ha llenado el cuadro de lista. Abandonando la búsqueda...";

    // --- the window and its criteria
    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    // Puts the window at the right edge of `player`, tops level; where that place is not whole
    // on the screen, at its left edge, or else as far left and up as it must go to be whole on it.
    void dockTo(const toolkit::Window& player);
    // Puts dirList at the saved start directory and drvList on its drive.
    void GetSettings();
    void cmdExit_Click();
    void txtSearchMask_Change();
    void txtSearchSpec_Change();
    void drvList_Change();
    void dirList_Change();
    void dirList_LostFocus();

    // --- the search and its results
    void cmdSearch_Click();
    // Searches DirPath and everything below it; ReturnPath is where dirList goes back to
    // afterwards, empty for the start directory. True when the search is to end.
    bool SearchDirectory(const std::string& DirPath, const std::string& ReturnPath);
    void ResetSearch();
    void chkReadMP3Tags_Click();
    void txtSearch_Change();

    // --- handing files to the player
    void filList_DblClick();
    void lstFoundFiles_DblClick();
    void lstClipList_DblClick();
    bool filList_StartDrag(toolkit::DragData& data);
    bool lstFoundFiles_StartDrag(toolkit::DragData& data);
    bool lstClipList_StartDrag(toolkit::DragData& data);
    void lstClipList_ColumnClick(int column);

    // The criteria panel
    toolkit::Panel Picture1{this};
    toolkit::Label lblCriteria{&Picture1};
    toolkit::TextBox txtSearchMask{&Picture1};
    toolkit::TextBox txtSearchSpec{&Picture1};
    toolkit::DriveListBox drvList{&Picture1};
    toolkit::DirListBox dirList{&Picture1};
    toolkit::FileListBox filList{&Picture1};

    // The results panel; lstFoundFiles lies over lstClipList and the find fields below it
    toolkit::Panel Picture2{this};
    toolkit::ListView lstClipList{&Picture2};
    toolkit::TextBox txtSearch{&Picture2};
    toolkit::CheckBox chkSearchTitlesOnly{&Picture2};
    toolkit::ListBox lstFoundFiles{&Picture2};
    toolkit::CheckBox chkReadMP3Tags{&Picture2};
    toolkit::Label lblCount{&Picture2};
    toolkit::Label lblfound{&Picture2};

    // Below the panels
    toolkit::Button cmdSearch{this};
    toolkit::Button cmdExit{this};
    toolkit::Label Label1{this};

    // The window carries a tag control of its own; found files are read through the player's.
    vextag::Vextag Vextag1;

    // True while a search may go on.
    bool SearchFlag = false;
    // Entries a result list takes; one more ends the search with FullListMessage.
    int32_t resultCapacity = 1'000'000;

private:
    void buildLayout();
    void wireEvents();
    // Everything the user can change, back as the window first showed it.
    void startAfresh();
    // Enter in the criteria fields presses the default button.
    void criteriaKeyDown(toolkit::KeyEvent e);
    // Adds one found file to the result list in use; false when that list is full.
    bool addFound(const std::string& path);

    frmPlayer& player_;
    bool searchIsDefault_ = true;
    int32_t found_ = 0;
    // The start directory while a search runs, empty otherwise.
    std::string searchRoot_;
    // Counts unloads, so that a search the window's closing ended leaves the next load alone.
    uint64_t unloads_ = 0;
    // The column last sorted by (1-based, 0 for none) and its direction.
    int sortColumn_ = 0;
    bool sortAscending_ = true;
};

}  // namespace velorra
