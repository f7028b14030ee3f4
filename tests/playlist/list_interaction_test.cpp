// The play list under the mouse and the keyboard, on the headless list: header sorts, drops at
// the row under the pointer, drags out, the drop feedback and the pop-up menu.
#include "playlist/play_list_fixture.h"

namespace velorra {
namespace {

using testing::writeFile;
using Interaction = testing::PlayListWindow;

struct MenuRecorder : toolkit::WindowView {
    void controlChanged(toolkit::Change) override {}
    void showWindow(bool) override {}
    void hideWindow() override {}
    void popupMenu(toolkit::MenuItem& menu) override { popped.push_back(&menu); }
    void bringToFront() override {}
    std::vector<toolkit::MenuItem*> popped;
};

toolkit::DragData files(std::vector<std::string> paths) {
    toolkit::DragData d;
    d.setFiles(std::move(paths));
    return d;
}

TEST_F(Interaction, HeaderClicksSortOnceFlippingTheDirectionOnlyForTheSameColumn) {
    for (auto [title, artist] : {std::pair{"b", "Zed"}, {"d", "alpha"}, {"a", "Mid"}, {"c", "beta"}}) {
        int32_t pos = 0;
        player.AddFileToList(std::string(title) + ".mp3", pos, list());
        list().setText(pos, 2, artist);
    }
    player.lstClipList.columnClick(3);  // "Artist"
    EXPECT_EQ(column(2), (std::vector<std::string>{"alpha", "beta", "Mid", "Zed"}));
    EXPECT_EQ(player.LastSortColumn, 3);
    EXPECT_EQ(player.SortDirection, 0);
    player.lstClipList.columnClick(3);
    EXPECT_EQ(column(2), (std::vector<std::string>{"Zed", "Mid", "beta", "alpha"}));
    EXPECT_EQ(player.SortDirection, 1);
    player.lstClipList.columnClick(1);  // "Title": sorted in the direction last used
    EXPECT_EQ(column(0), (std::vector<std::string>{"d", "c", "b", "a"}));
    EXPECT_EQ(player.LastSortColumn, 1);
    EXPECT_EQ(player.SortDirection, 1);

    // The list is not kept sorted: a later row goes where it is put.
    int32_t pos = 0;
    player.AddFileToList("e.mp3", pos, list());
    EXPECT_EQ(list().text(5, 0), "e");
}

TEST_F(Interaction, SortingKeepsCurrentIndexOnThePlayingSong) {
    for (int i = 1; i <= 9; ++i) addRows({"/m/" + std::to_string(10 - i) + ".mp3"});
    player.CurrentIndex = 7;  // "/m/3.mp3"
    player.lstClipList.columnClick(8);  // "Location"
    EXPECT_EQ(list().text(1, 7), "/m/1.mp3");
    EXPECT_EQ(player.CurrentIndex, 3);
    EXPECT_EQ(list().findKey("tarvo"), 0);

    player.CurrentIndex = 0;
    player.lstClipList.columnClick(8);
    EXPECT_EQ(list().text(1, 7), "/m/9.mp3");
    EXPECT_EQ(player.CurrentIndex, 0);
}

TEST_F(Interaction, DroppedFilesAreInsertedAtTheRowUnderThePointerAndMoveCurrentIndex) {
    addRows({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3", "/m/4.mp3", "/m/5.mp3"});
    player.CurrentIndex = 3;
    player.StatusBar1.setPanelText(2, "reading");
    list().onDrop(files({"/d/a.mp3", "/d/b.mp3", "/d/c.mp3"}), 100, rowY(2));
    EXPECT_EQ(column(7), (std::vector<std::string>{"/m/1.mp3", "/d/a.mp3", "/d/b.mp3", "/d/c.mp3", "/m/2.mp3", "/m/3.mp3",
                                                   "/m/4.mp3", "/m/5.mp3"}));
    EXPECT_EQ(player.CurrentIndex, 6);
    EXPECT_EQ(list().text(player.CurrentIndex, 7), "/m/3.mp3");
    EXPECT_EQ(player.StatusBar1.panel(2).text, "https://velorra.org/ ");

    list().onDrop(files({"/d/end.mp3"}), 100, rowY(40));  // below the last row
    EXPECT_EQ(list().text(9, 7), "/d/end.mp3");
    EXPECT_EQ(player.CurrentIndex, 6);
}

TEST_F(Interaction, APlayListAmongDroppedFilesIsAppendedAndNoDroppedFileIsLost) {
    addRows({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3", "/m/4.mp3", "/m/5.mp3"});
    writeFile(dir.path("list.m3u"), "/p/x.mp3\r\n/p/y.mp3\r\n");
    list().onDrop(files({"/d/a.mp3", dir.path("list.m3u"), "/d/b.mp3"}), 100, rowY(3));
    EXPECT_EQ(column(7), (std::vector<std::string>{"/m/1.mp3", "/m/2.mp3", "/d/a.mp3", "/m/3.mp3", "/d/b.mp3", "/m/4.mp3", "/m/5.mp3",
                                                   "/p/x.mp3", "/p/y.mp3"}));

    // A play list that adds nothing would leave the next file's place beyond the end.
    player.mnuClear.click();
    writeFile(dir.path("empty.m3u"), "");
    list().onDrop(files({dir.path("empty.m3u"), "/d/after.mp3"}), 100, rowY(1));
    EXPECT_EQ(column(7), (std::vector<std::string>{"/d/after.mp3"}));
}

TEST_F(Interaction, ADropWithoutAFileListChangesNothing) {
    addRows({"/m/1.mp3"});
    player.StatusBar1.setPanelText(2, "unchanged");
    toolkit::DragData text;
    text.text = "/d/a.mp3";
    list().onDrop(text, 100, rowY(1));
    EXPECT_EQ(list().count(), 1);
    EXPECT_EQ(player.StatusBar1.panel(2).text, "unchanged");
}

TEST_F(Interaction, SelectedRowsDragOutAsFilesAndDroppingThemBackInsertsCopies) {
    addRows({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3", "/m/4.mp3"});
    select({2, 4});
    toolkit::DragData drag;
    ASSERT_TRUE(list().onStartDrag(drag));
    EXPECT_TRUE(drag.hasFiles);
    EXPECT_EQ(drag.files, (std::vector<std::string>{"/m/2.mp3", "/m/4.mp3"}));
    list().onDrop(drag, 100, rowY(1));
    EXPECT_EQ(column(7), (std::vector<std::string>{"/m/2.mp3", "/m/4.mp3", "/m/1.mp3", "/m/2.mp3", "/m/3.mp3",
                                                   "/m/4.mp3"}));
}

TEST_F(Interaction, DraggingOverTheListSelectsTheRowWhereTheDropWouldGo) {
    const toolkit::DragData drag = files({"/d/a.mp3"});
    list().onDragOver(drag, 100, rowY(1));  // empty list: nothing to show
    EXPECT_EQ(list().selectedItem(), 0);

    addRows({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3", "/m/4.mp3"});
    select({1, 2, 4});
    list().onDragOver(drag, 100, rowY(3));
    EXPECT_EQ(list().selectedRows(), (std::vector<int32_t>{3}));
    EXPECT_EQ(list().selectedItem(), 3);
    list().onDragOver(drag, 100, rowY(30));
    EXPECT_TRUE(list().selectedRows().empty());
}

TEST_F(Interaction, EnterOrADoubleClickPlaysTheSelectedRow) {
    addRows({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3"});
    media.setDuration("/m/2.mp3", 200);
    media.setDuration("/m/3.mp3", 200);
    list().setSelectedItem(3);
    list().keyDown({toolkit::keys::Return, toolkit::shift::Shift});
    EXPECT_EQ(player.CurrentIndex, 3);
    EXPECT_EQ(player.playback.State(), PlayState::Playing);
    const FakeGraph* third = media.lastGraphFor("/m/3.mp3");
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->state, FakeGraphState::Running);

    list().setSelectedItem(2);
    list().dblClick();
    EXPECT_EQ(player.CurrentIndex, 2);
    ASSERT_NE(media.lastGraphFor("/m/2.mp3"), nullptr);
    EXPECT_EQ(media.lastGraphFor("/m/2.mp3")->state, FakeGraphState::Running);
}

TEST_F(Interaction, TheRightButtonPopsUpTheFileMenuAndOtherInputDoesNothing) {
    MenuRecorder view;
    player.attachView(&view);
    addRows({"/m/1.mp3", "/m/2.mp3"});
    select({1, 2});
    list().mouseUp({toolkit::buttons::Left, 0, 10, 300});
    list().keyDown({toolkit::keys::Delete, 0});
    list().keyDown({'A', toolkit::shift::Shift});
    EXPECT_TRUE(view.popped.empty());
    EXPECT_EQ(list().count(), 2);
    list().mouseUp({toolkit::buttons::Right, 0, 10, 300});
    ASSERT_EQ(view.popped.size(), 1u);
    EXPECT_EQ(view.popped[0], &player.mnuList);
    player.attachView(nullptr);
}

}  // namespace
}  // namespace velorra
