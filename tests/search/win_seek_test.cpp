// The search window itself: its texts and views, the saved start directory, hiding and
// closing, the resize rules, the mask fields and the drive, directory and file lists in step.
#include "player/toolkit/file_system.h"
#include "search/search_window.h"

#include <unistd.h>

#include <cstdlib>

namespace velorra::testing {
namespace {

TEST_F(SearchTest, OpensInTheCriteriaViewAtTheSavedDirectory) {
    EXPECT_TRUE(seek.loaded());
    EXPECT_FALSE(seek.shown());
    rig.player.mnuScanDrive.click();
    EXPECT_TRUE(seek.shown());
    EXPECT_EQ(seek.Caption(), "Search for MP3 files");
    EXPECT_EQ(seek.dirList.Path(), tree.path());
    EXPECT_EQ(seek.filList.Path(), tree.path());
    EXPECT_EQ(seek.drvList.Drive(), seek.drvList.driveOf(tree.path()));
    EXPECT_TRUE(seek.Picture1.Visible());
    EXPECT_FALSE(seek.Picture2.Visible());
    EXPECT_EQ(seek.cmdSearch.Caption(), "&Search");
    EXPECT_EQ(seek.cmdExit.Caption(), "&Close");
    EXPECT_EQ(seek.txtSearchSpec.Text(), "*.mp3");
    EXPECT_EQ(seek.filList.Pattern(), "*.mp3");
    EXPECT_EQ(seek.lblCount.Caption(), "0");
    EXPECT_EQ(seek.chkReadMP3Tags.Caption(), "Read MP3 Tags (album, artis, ...)");
    ASSERT_EQ(seek.lstClipList.columnCount(), 10);
    EXPECT_EQ(seek.lstClipList.column(4).caption, "Cd");
    EXPECT_EQ(seek.lstClipList.column(7).width, 1900);
    EXPECT_EQ(seek.lstClipList.column(8).caption, "Location");
}

TEST_F(SearchTest, StaysDockedWhereItFitsAndMovesWholeOntoTheScreenWhereItDoesNot) {
    struct SavedScreen {
        toolkit::Screen screen = toolkit::screen();
        ~SavedScreen() { toolkit::screen() = screen; }
    } saved;
    toolkit::screen() = {19200, 15360};  // 1280 x 1024 pixels
    frmPlayer& player = rig.player;
    const auto resizeAt = [&](int32_t left, int32_t top) {
        player.move(left, top, player.Width(), player.Height() + 15);
    };
    resizeAt(100, 100);
    EXPECT_EQ(seek.Left(), player.Left() + player.Width());
    EXPECT_EQ(seek.Top(), 100);

    // A player near the right edge: the search window goes to its left; near the bottom too,
    // its bottom edge is the screen's.
    resizeAt(19200 - player.Width() - 450, 300);
    EXPECT_EQ(seek.Left() + seek.Width(), player.Left());
    EXPECT_EQ(seek.Top(), 300);
    resizeAt(19200 - player.Width(), 15000);
    EXPECT_EQ(seek.Left() + seek.Width(), player.Left());
    EXPECT_EQ(seek.Top() + seek.Height(), 15360);
    // A player in the middle of a screen too narrow for either side: the screen's right edge.
    const int32_t narrow = player.Width() + seek.Width() + 1000;
    toolkit::screen() = {narrow, 15360};
    resizeAt(1200, 0);
    EXPECT_EQ(seek.Left() + seek.Width(), narrow);
    // The same on a screen that starts right of another one, and on one smaller than the window.
    toolkit::screen() = {narrow, 15360, 19200, 0};
    resizeAt(19200 + 1200, 0);
    EXPECT_EQ(seek.Left() + seek.Width(), 19200 + narrow);
    toolkit::screen() = {seek.Width() - 1500, seek.Height() - 1500};
    resizeAt(0, 0);
    EXPECT_EQ(seek.Left(), 0);
    EXPECT_EQ(seek.Top(), 0);
}

TEST(StartDirectory, MusicFolderWithoutASavedOneAndTheListsOwnForADeadOne) {
    TempDir home;
    home.makeDir("Music");
    const char* oldHome = std::getenv("HOME");
    const std::string saved = oldHome ? oldHome : "";
    setenv("HOME", home.path().c_str(), 1);
    {
        SearchRig rig("");
        EXPECT_EQ(rig.seek().dirList.Path(), home.path("Music"));
    }
    {
        SearchRig rig("/media/velorra-unplugged-stick/Music");  // a drive no longer mounted
        EXPECT_EQ(rig.seek().dirList.Path(), toolkit::DirListBox(nullptr).Path());
        EXPECT_TRUE(rig.messages.shown.empty());
    }
    setenv("HOME", saved.c_str(), 1);
}

TEST(StartDirectory, ADeadOneLeavesTheListsWhereTheyStartedInTheHomeFolder) {
    // Started from the home folder, as the desktop starts the program: the home folder is a
    // drive of its own, and a saved directory on an unplugged stick must not move the lists
    // to the root.
    TempDir home;
    const std::string oldCwd = toolkit::workingDirectory();
    const char* oldHome = std::getenv("HOME");
    const std::string saved = oldHome ? oldHome : "";
    setenv("HOME", home.path().c_str(), 1);
    ASSERT_EQ(chdir(home.path().c_str()), 0);
    const std::string start = toolkit::workingDirectory();
    {
        SearchRig rig("/media/velorra-unplugged-stick/Music");
        EXPECT_EQ(rig.seek().dirList.Path(), start);
        EXPECT_EQ(rig.seek().filList.Path(), start);
        EXPECT_EQ(rig.seek().drvList.Drive(), rig.seek().drvList.driveOf(start));
        EXPECT_TRUE(rig.messages.shown.empty());
    }
    EXPECT_EQ(chdir(oldCwd.c_str()), 0);
    setenv("HOME", saved.c_str(), 1);
}

TEST_F(SearchTest, CloseHidesAndKeepsTheResultsTheCloseBoxUnloadsAndSaves) {
    tree.makeFile("a.mp3");
    tree.makeDir("sub");
    rig.player.cmdWinSeek.click();
    rig.search(tree.path());
    seek.cmdExit.click();  // "&Close"
    EXPECT_FALSE(seek.shown());
    EXPECT_TRUE(seek.loaded());
    rig.player.cmdWinSeek.click();
    EXPECT_EQ(rig.found().size(), 1u);
    EXPECT_EQ(seek.cmdSearch.Caption(), "&Back");

    seek.cmdSearch.click();
    ASSERT_TRUE(seek.dirList.setPath(tree.path("sub")));
    seek.unload();  // the close box
    EXPECT_EQ(rig.settings.values["Velorra/Directory/DefaultDir"], tree.path("sub"));
    rig.player.cmdWinSeek.click();
    EXPECT_EQ(seek.dirList.Path(), tree.path("sub"));
    EXPECT_FALSE(seek.Picture2.Visible());
    EXPECT_EQ(seek.lblCount.Caption(), "0");
}

TEST_F(SearchTest, ResizeRules) {
    seek.move(seek.Left(), seek.Top(), 8000, 7000);
    EXPECT_EQ(seek.Picture2.Width(), 8000);
    EXPECT_EQ(seek.Picture2.Height(), 5800);
    EXPECT_EQ(seek.Picture1.Height(), 5800);
    EXPECT_EQ(seek.lstFoundFiles.Width(), 7500);
    EXPECT_EQ(seek.lstFoundFiles.Height(), 5500);
    EXPECT_EQ(seek.lstClipList.Width(), 7500);
    EXPECT_EQ(seek.lstClipList.Height(), 5000);
    EXPECT_EQ(seek.cmdSearch.Top(), 5900);
    EXPECT_EQ(seek.cmdExit.Top(), 5900);
    EXPECT_EQ(seek.Label1.Top(), 5900);

    seek.setHeight(1000);  // too low: the sizes that would go negative stay
    EXPECT_EQ(seek.Picture2.Height(), 5800);
    EXPECT_EQ(seek.lstClipList.Height(), 5000);
    seek.setWidth(9000);  // each size on its own: the widths still follow
    EXPECT_EQ(seek.Picture2.Width(), 9000);
    EXPECT_EQ(seek.lstFoundFiles.Width(), 8500);
    EXPECT_EQ(seek.lstFoundFiles.Height(), 5500);
    EXPECT_EQ(seek.lstClipList.Width(), 8500);
    EXPECT_EQ(seek.lstClipList.Height(), 5000);
}

TEST_F(SearchTest, MaskFieldsBuildThePatternTheFileListUses) {
    tree.makeFile("I love it.mp3");
    tree.makeFile("other.mp3");
    tree.makeFile("list.M3U");
    seek.filList.Refresh();
    seek.txtSearchMask.setText("love");
    EXPECT_EQ(seek.txtSearchSpec.Text(), "*love*.mp3");
    ASSERT_EQ(seek.filList.ListCount(), 1);
    EXPECT_EQ(seek.filList.List(0), "I love it.mp3");
    seek.txtSearchMask.setText("");
    EXPECT_EQ(seek.txtSearchSpec.Text(), "**.mp3");
    EXPECT_EQ(seek.filList.ListCount(), 2);
    seek.txtSearchSpec.setText("*.m3u");
    ASSERT_EQ(seek.filList.ListCount(), 1);
    EXPECT_EQ(seek.filList.List(0), "list.M3U");
    seek.txtSearchSpec.setText("bad/pattern");  // ignored
    EXPECT_EQ(seek.filList.Pattern(), "*.m3u");
}

TEST_F(SearchTest, EnteringACriteriaFieldSelectsItsTextAndBackReturnsToTheMask) {
    seek.txtSearchMask.gotFocus();  // empty: nothing to select
    EXPECT_EQ(seek.txtSearchMask.SelLength(), 0);
    seek.txtSearchMask.lostFocus();
    seek.txtSearchMask.setText("love");
    seek.txtSearchMask.gotFocus();
    EXPECT_EQ(seek.txtSearchMask.SelStart(), 0);
    EXPECT_EQ(seek.txtSearchMask.SelLength(), 4);
    seek.txtSearchSpec.gotFocus();
    EXPECT_EQ(seek.txtSearchSpec.SelLength(), static_cast<int32_t>(seek.txtSearchSpec.Text().size()));

    tree.makeFile("a.mp3");
    seek.txtSearchMask.setText("");
    seek.txtSearchMask.lostFocus();
    rig.player.cmdWinSeek.click();
    rig.search(tree.path());
    seek.txtSearchMask.setText("a");
    seek.txtSearchMask.lostFocus();
    seek.cmdSearch.click();  // "&Back"
    EXPECT_TRUE(seek.txtSearchMask.focused());
    EXPECT_EQ(seek.txtSearchMask.SelLength(), 1);
}

TEST_F(SearchTest, ListsKeepInStepAndAnUnreadableDriveGoesBack) {
    tree.makeDir("sub");
    const std::string media = tree.path("media-without-disk");
    seek.drvList.setSource([&] {
        return std::vector<toolkit::Volume>{{"/", "File System"}, {tree.path(), "Tree"}, {media, "Stick"}};
    });
    ASSERT_TRUE(seek.dirList.setPath(tree.path("sub")));
    EXPECT_EQ(seek.filList.Path(), tree.path("sub"));
    EXPECT_EQ(seek.drvList.Drive(), tree.path());

    ASSERT_TRUE(seek.drvList.setListIndex(2));  // no disk: back to the directory's drive
    EXPECT_EQ(seek.drvList.Drive(), tree.path());
    EXPECT_EQ(seek.dirList.Path(), tree.path("sub"));
    EXPECT_TRUE(rig.messages.shown.empty());

    ASSERT_TRUE(seek.drvList.setListIndex(0));
    EXPECT_EQ(seek.dirList.Path(), "/");
    EXPECT_EQ(seek.filList.Path(), "/");

    ASSERT_TRUE(seek.dirList.setPath(tree.path()));
    ASSERT_TRUE(seek.dirList.setListIndex(0));
    seek.dirList.lostFocus();  // the highlighted entry becomes current
    EXPECT_EQ(seek.dirList.Path(), tree.path("sub"));
}

}  // namespace
}  // namespace velorra::testing
