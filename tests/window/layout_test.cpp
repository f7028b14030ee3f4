// The player window's layout rules, on the headless controls: the list and the panel follow
// the window's size, the options button folds the panel, the search window stays docked.
#include "support/player_harness.h"

#include <gtest/gtest.h>

namespace velorra {
namespace {

struct Window : ::testing::Test, testing::PlayerHarness {};

TEST_F(Window, StartsExpandedAtItsDesignSizeWithTheListAndPanelInPlace) {
    player.ShowOptions = 1;
    player.show();
    EXPECT_EQ(player.Caption(), "Velorra Live!");
    EXPECT_EQ(player.Width(), 6645);
    EXPECT_EQ(player.Height(), 6000);
    EXPECT_EQ(player.ScaleWidth(), 6525);
    EXPECT_EQ(player.lstClipList.Width(), 6285);
    EXPECT_EQ(player.lstClipList.Height(), 785);
    EXPECT_EQ(player.Picture1.Top(), 785);
    EXPECT_EQ(player.Picture1.Height(), frmPlayer::PanelExpanded);
    EXPECT_EQ(player.ProgressBar1.Top(), 5170);
    EXPECT_EQ(player.cmdShowOptions.Caption(), "Hide Options");
    EXPECT_TRUE(player.playback.Channels[1] != nullptr);
    EXPECT_TRUE(player.playback.Channels[0] == nullptr);
    EXPECT_EQ(player.lblStatus.Caption(), "Stop");
    EXPECT_EQ(player.StatusBar1.panelCount(), 2);
    EXPECT_EQ(player.StatusBar1.panel(2).text, "https://velorra.org/ ");
    EXPECT_TRUE(player.StatusBar1.panel(2).spring);
    EXPECT_EQ(player.StatusBar1.panel(1).text, "");
    ASSERT_EQ(player.lstClipList.columnCount(), 10);
    EXPECT_EQ(player.lstClipList.column(1).caption, "Title");
    EXPECT_EQ(player.lstClipList.column(1).width, 2500);
    EXPECT_EQ(player.lstClipList.column(9).caption, "Azar");
    EXPECT_EQ(player.lstClipList.column(10).caption, "TotLength");
}

TEST_F(Window, OptionsButtonFoldsAndUnfoldsThePanel) {
    player.ShowOptions = 1;
    player.show();
    player.cmdShowOptions.click();
    EXPECT_EQ(player.Picture1.Height(), frmPlayer::PanelCollapsed);
    EXPECT_EQ(player.cmdShowOptions.Caption(), "Show Options");
    EXPECT_EQ(player.ShowOptions, 0);
    EXPECT_EQ(player.lstClipList.Height(), 2585);
    EXPECT_EQ(player.Picture1.Top(), 2585);
    // The options below the edge go with it, the trim row that starts just above it too.
    const std::initializer_list<toolkit::Control*> options{&player.lblCutFirstTit, &player.spinCutFirst,
                                                           &player.lblTransitionTime, &player.optTransition[4],
                                                           &player.cmdCalculate, &player.lblCantDeTemas};
    for (toolkit::Control* c : options) EXPECT_FALSE(c->Visible());
    for (toolkit::Control* c : std::initializer_list<toolkit::Control*>{&player.cmdShowOptions, &player.cmdWinSeek,
                                                                         &player.lblStatus})
        EXPECT_TRUE(c->Visible());

    player.cmdShowOptions.click();
    EXPECT_EQ(player.Picture1.Height(), frmPlayer::PanelExpanded);
    EXPECT_EQ(player.cmdShowOptions.Caption(), "Hide Options");
    EXPECT_EQ(player.ShowOptions, 1);
    EXPECT_EQ(player.lstClipList.Height(), 785);
    for (toolkit::Control* c : options) EXPECT_TRUE(c->Visible());
    for (toolkit::Control* c : std::initializer_list<toolkit::Control*>{&player.hscBalance, &player.hscPitch,
                                                                         &player.cmbOutputDevices})
        EXPECT_FALSE(c->Visible());
}

TEST_F(Window, SavedCollapsedStateFoldsThePanelAtStartUp) {
    settings.values["Velorra/ShowOptions/ShowOptions"] = "0";
    player.show();
    EXPECT_EQ(player.Picture1.Height(), frmPlayer::PanelCollapsed);
    EXPECT_EQ(player.cmdShowOptions.Caption(), "Show Options");
    EXPECT_EQ(player.Picture1.Top(), 2585);
}

TEST_F(Window, TooLowOrTooNarrowKeepsTheListAndMovesThePanelOverIt) {
    player.ShowOptions = 1;
    player.show();
    player.setHeight(5000);  // 5000 - 1000 - 4215 < 0
    EXPECT_EQ(player.lstClipList.Height(), 785);
    EXPECT_EQ(player.Picture1.Top(), -215);
    EXPECT_EQ(player.ProgressBar1.Top(), 4170);

    player.setWidth(300);  // inner width 180 < 240
    EXPECT_EQ(player.lstClipList.Width(), 6285);
    player.setWidth(9000);
    EXPECT_EQ(player.lstClipList.Width(), 8640);
}

TEST_F(Window, SearchWindowIsLoadedHiddenAndDockedToTheRightEdge) {
    player.ShowOptions = 1;
    player.show();
    WinSeek& seek = player.winSeek();
    EXPECT_TRUE(seek.loaded());
    EXPECT_FALSE(seek.shown());
    EXPECT_EQ(seek.Left(), 100 + 6645);
    EXPECT_EQ(seek.Top(), 100);

    player.setLeft(2000);  // moving alone does not dock it again
    EXPECT_EQ(seek.Left(), 100 + 6645);
    player.setWidth(7000);
    EXPECT_EQ(seek.Left(), 2000 + 7000);
    player.setTop(900);
    player.cmdShowOptions.click();
    EXPECT_EQ(seek.Top(), 900);

    player.unload();
    EXPECT_FALSE(seek.loaded());
}

TEST_F(Window, EveryTextIsBoldButThePlayListsPlainRowsAndTheValueLabelsAreLarger) {
    player.show();
    const toolkit::Font text{8.25, true}, value{13.5, true};
    for (toolkit::Control* c : std::initializer_list<toolkit::Control*>{
             &player.btnPlay, &player.chkRndPlay, &player.lblCurrentPosition, &player.lblMasterVolume,
             &player.lblTotalTit, &player.cmdShowOptions, &player.lblTransitionType, &player.cmdCalculate,
             &player.lblTitleTotLength, &player.Label2})
        EXPECT_EQ(c->font(), text);
    EXPECT_EQ(player.lstClipList.font(), (toolkit::Font{8.25, false}));  // the playing row stands out in bold
    for (toolkit::Label* l : {&player.lblTotal, &player.lblPosition, &player.lblTimeLeft, &player.lblStatus,
                              &player.lblCutFirst, &player.lblCutLast, &player.lblTransitionTime,
                              &player.lblDuracionTotal, &player.lblCantDeTemas})
        EXPECT_EQ(l->font(), value) << l->Caption();
}

TEST(CommandLine, QuotesAreRemovedAndTheRestIsOneName) {
    EXPECT_EQ(commandLineName("\"/music/My Song.mp3\""), "/music/My Song.mp3");
    EXPECT_EQ(commandLineName("\"/a b.mp3\" \"/c.mp3\""), "/a b.mp3 /c.mp3");
    EXPECT_EQ(commandLineName("\"\""), "");
    EXPECT_EQ(commandLineName("  /x.m3u "), "  /x.m3u ");
}

}  // namespace
}  // namespace velorra
