// The search window itself: its controls and their fixed texts, loading and unloading with the
// saved start directory, the resize rules, the mask fields and the drive, directory and file
// lists kept in step.
#include "player/playlist/play_list_columns.h"
#include "player/search/win_seek.h"

#include "player/search/start_directory.h"
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

#include <algorithm>
#include <cstdint>

namespace velorra {

namespace {

constexpr const char* AppName = "Velorra";
constexpr const char* FoundFilesTip = "Select files from here, then Drag and Drop to Velorra window";

// The area the two panels leave below them for the buttons and the help text.
constexpr int32_t BelowPanels = 1200;

}  // namespace

WinSeek::WinSeek(frmPlayer& player) : player_(player) {
    buildLayout();
    wireEvents();
}

void WinSeek::buildLayout() {
    setCaption(WindowCaption);
    move(0, 0, 7200, 6900);
    const int32_t panelHeight = Height() - BelowPanels;

    Picture1.move(0, 0, Width(), panelHeight);
    lblCriteria.move(120, 150, 1500, 255);
    lblCriteria.setCaption("Search Criteria :");
    txtSearchMask.move(1680, 90, 2400, 315);
    txtSearchSpec.move(4200, 90, 2400, 315);
    txtSearchSpec.setToolTipText("Use *.mp3 for all mp3 files, *.m3u for all paylist files");
    drvList.move(120, 525, 3000, 315);
    dirList.move(120, 960, 3000, 4500);
    filList.move(3240, 525, 3720, 4935);
    filList.setToolTipText(FoundFilesTip);
    filList.setMultiSelect(true);

    Picture2.move(0, 0, Width(), panelHeight);
    lstFoundFiles.setLeft(120);
    lstClipList.setLeft(120);
    lstFoundFiles.setToolTipText(FoundFilesTip);
    lstFoundFiles.setMultiSelect(true);
    lstClipList.setMultiSelect(true);
    txtSearch.setLeft(120);
    txtSearch.setWidth(3000);
    txtSearch.setHeight(315);
    chkSearchTitlesOnly.setLeft(3240);
    chkSearchTitlesOnly.setWidth(2000);
    chkSearchTitlesOnly.setHeight(255);
    chkSearchTitlesOnly.setCaption("By Title Only");
    chkReadMP3Tags.setLeft(120);
    chkReadMP3Tags.setWidth(3400);
    chkReadMP3Tags.setHeight(255);
    chkReadMP3Tags.setCaption("Read MP3 Tags (album, artis, ...)");
    lblCount.setLeft(3600);
    lblCount.setWidth(1100);
    lblCount.setHeight(255);
    lblCount.setAlignment(toolkit::Alignment::Right);
    lblfound.setLeft(4800);
    lblfound.setWidth(1200);
    lblfound.setHeight(255);
    lblfound.setCaption("Files Found");

    cmdSearch.setLeft(120);
    cmdSearch.setWidth(1200);
    cmdSearch.setHeight(375);
    cmdExit.setLeft(1440);
    cmdExit.setWidth(1200);
    cmdExit.setHeight(375);
    Label1.setLeft(2760);
    Label1.setHeight(1000);
    Label1.setFont({6.75, false});
    Label1.setCaption(
        "Use this window for scanning files on any drive in your system, use wilcards as *.mp3 for all mp3 "
        "files. The search will begun at the selected directory, and bellow. Use *something*.mp3 for "
        "searching within a filename");
    Form_Resize();
}

void WinSeek::wireEvents() {
    onLoad = [this] { Form_Load(); };
    onUnload = [this] { Form_Unload(); };
    onResize = [this] { Form_Resize(); };
    cmdSearch.onClick = [this] { cmdSearch_Click(); };
    cmdExit.onClick = [this] { cmdExit_Click(); };
    txtSearchMask.onChange = [this] { txtSearchMask_Change(); };
    txtSearchSpec.onChange = [this] { txtSearchSpec_Change(); };
    // Entering a criteria field selects what it holds, so typing replaces it.
    txtSearchMask.onGotFocus = [this] {
        if (!txtSearchMask.Text().empty()) txtSearchMask.selectAll();
    };
    txtSearchSpec.onGotFocus = [this] { txtSearchSpec.selectAll(); };
    drvList.onChange = [this] { drvList_Change(); };
    dirList.onChange = [this] { dirList_Change(); };
    dirList.onLostFocus = [this] { dirList_LostFocus(); };
    for (auto* box : {&txtSearchMask, &txtSearchSpec})
        box->onKeyDown = [this](toolkit::KeyEvent e) { criteriaKeyDown(e); };
    drvList.onKeyDown = [this](toolkit::KeyEvent e) { criteriaKeyDown(e); };
    dirList.onKeyDown = [this](toolkit::KeyEvent e) { criteriaKeyDown(e); };
    filList.onKeyDown = [this](toolkit::KeyEvent e) { criteriaKeyDown(e); };
    chkReadMP3Tags.onClick = [this] { chkReadMP3Tags_Click(); };
    txtSearch.onChange = [this] { txtSearch_Change(); };
    chkSearchTitlesOnly.onClick = [this] { txtSearch_Change(); };
    filList.onDblClick = [this] { filList_DblClick(); };
    lstFoundFiles.onDblClick = [this] { lstFoundFiles_DblClick(); };
    lstClipList.onDblClick = [this] { lstClipList_DblClick(); };
    filList.onStartDrag = [this](toolkit::DragData& d) { return filList_StartDrag(d); };
    lstFoundFiles.onStartDrag = [this](toolkit::DragData& d) { return lstFoundFiles_StartDrag(d); };
    lstClipList.onStartDrag = [this](toolkit::DragData& d) { return lstClipList_StartDrag(d); };
    lstClipList.onColumnClick = [this](int column) { lstClipList_ColumnClick(column); };
}

void WinSeek::startAfresh() {
    txtSearchMask.setText("");
    txtSearchSpec.setText("*.mp3");
    chkReadMP3Tags.setValue(0);
    chkSearchTitlesOnly.setValue(0);
    txtSearch.setText("");
    sortColumn_ = 0;
    sortAscending_ = true;
    setCaption(WindowCaption);
    cmdSearch.setEnabled(true);
    ResetSearch();
}

void WinSeek::Form_Load() {
    startAfresh();
    GetSettings();
    for (toolkit::Panel* p : {&Picture1, &Picture2}) {
        p->setLeft(0);
        p->setTop(0);
        p->setWidth(Width());
    }
    for (toolkit::Control* c : std::initializer_list<toolkit::Control*>{&Picture1, &Picture2, &lblCount, &lblCriteria, &lblfound})
        c->setBackColor(BackColor());
    lstClipList.clearColumns();
    addPlayListColumns(lstClipList);
}

void WinSeek::GetSettings() {
    std::string saved;
    attempt([&] { saved = player_.services().settings.read(AppName, "Directory", "DefaultDir", defaultStartDirectory()); });
    // The drive follows the directory list when it takes the path; a path it refuses (a stick
    // no longer mounted) has no drive to go to, and both lists stay where they are.
    if (dirList.setPath(saved)) drvList.setDrive(saved);
}

void WinSeek::Form_Unload() {
    // A search cut short by the closing keeps the directory it started from.
    const std::string dir = searchRoot_.empty() ? dirList.Path() : searchRoot_;
    attempt([&] { player_.services().settings.write(AppName, "Directory", "DefaultDir", dir); });
    SearchFlag = false;
    ++unloads_;
}

void WinSeek::Form_Resize() {
    const int32_t w = Width(), h = Height();
    Picture2.setWidth(w);
    Picture2.setHeight(h - BelowPanels);
    Picture1.setHeight(h - BelowPanels);
    // Each size on its own: one that would go below zero is refused, the other still follows.
    lstFoundFiles.setWidth(w - 500);
    lstFoundFiles.setHeight(h - 1500);
    lstClipList.setWidth(w - 500);
    lstClipList.setHeight(h - 2000);
    for (toolkit::Control* c : std::initializer_list<toolkit::Control*>{&cmdSearch, &cmdExit, &Label1})
        c->setTop(Picture2.Height() + 100);
    // The find fields sit under lstClipList, the count under lstFoundFiles.
    txtSearch.setTop(h - 1940);
    chkSearchTitlesOnly.setTop(h - 1910);
    for (toolkit::Control* c : std::initializer_list<toolkit::Control*>{&chkReadMP3Tags, &lblCount, &lblfound})
        c->setTop(h - 1470);
    Label1.setWidth(w - 2880);
}

void WinSeek::dockTo(const toolkit::Window& player) {
    // A window that does not fit right of the player goes to its left, where it hides nothing of
    // it; where neither fits, as far in as the screen needs, the far edge first, so that a window
    // larger than the screen keeps its left and top edges on it.
    const toolkit::Screen& screen = toolkit::screen();
    const int64_t screenRight = int64_t{screen.left} + screen.width;
    const int64_t right = int64_t{player.Left()} + player.Width(), left = int64_t{player.Left()} - Width();
    int64_t place = right;
    if (right + Width() > screenRight) place = left >= screen.left ? left : screenRight - Width();
    setLeft(static_cast<int32_t>(std::max<int64_t>(screen.left, place)));
    const int64_t bottom = int64_t{screen.top} + screen.height;
    setTop(static_cast<int32_t>(std::max<int64_t>(screen.top, std::min<int64_t>(player.Top(), bottom - Height()))));
}

void WinSeek::cmdExit_Click() {
    if (cmdExit.Caption() == "Cancel")
        SearchFlag = false;
    else
        hide();
}

void WinSeek::txtSearchMask_Change() { txtSearchSpec.setText("*" + txtSearchMask.Text() + "*.mp3"); }

void WinSeek::txtSearchSpec_Change() { filList.setPattern(txtSearchSpec.Text()); }

void WinSeek::drvList_Change() {
    // Picking the drive the directory list is already on keeps its directory.
    if (drvList.driveOf(dirList.Path()) == drvList.Drive()) return;
    if (!dirList.setPath(drvList.Drive())) drvList.setDrive(dirList.Path());
}

void WinSeek::dirList_Change() {
    filList.setPath(dirList.Path());
    drvList.setDrive(dirList.Path());
}

void WinSeek::dirList_LostFocus() { dirList.setPath(dirList.List(dirList.ListIndex())); }

void WinSeek::criteriaKeyDown(toolkit::KeyEvent e) {
    if (e.keyCode == toolkit::keys::Return && searchIsDefault_ && cmdSearch.Enabled()) cmdSearch.click();
}

}  // namespace velorra
