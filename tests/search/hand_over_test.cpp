// Found files reach the player: a double-click opens one (a play list as a play list), a drag
// carries the selected ones in list order onto the play list, and the clip list sorts by column.
#include "search/search_window.h"

namespace velorra::testing {
namespace {

using Strings = std::vector<std::string>;

TEST_F(SearchTest, DoubleClicksOpenTheHighlightedFileInThePlayer) {
    tree.makeFile("Music/song.mp3", taggedMp3({.title = "Song"}));
    tree.makeFile("Music/next.mp3");
    tree.makeFile("Music/party.m3u", tree.path("Music/next.mp3") + "\r\n#skip\r\n" + tree.path("Music/song.mp3") + "\r\n");
    auto& played = rig.player.lstClipList;

    ASSERT_TRUE(seek.dirList.setPath(tree.path("Music")));
    seek.filList.dblClick();  // nothing highlighted: nothing handed over
    EXPECT_EQ(played.count(), 0);
    ASSERT_TRUE(seek.filList.setListIndex(1));  // song.mp3
    seek.filList.dblClick();
    EXPECT_EQ(rig.column(played, 7), (Strings{tree.path("Music/song.mp3")}));

    seek.txtSearchSpec.setText("*.m3u");
    rig.search(tree.path("Music"));
    ASSERT_EQ(rig.found(), (Strings{tree.path("Music/party.m3u")}));
    ASSERT_TRUE(seek.lstFoundFiles.setListIndex(0));
    seek.lstFoundFiles.dblClick();  // read as a play list, not added as a row
    EXPECT_EQ(rig.column(played, 7),
              (Strings{tree.path("Music/song.mp3"), tree.path("Music/next.mp3"), tree.path("Music/song.mp3")}));

    seek.cmdSearch.click();
    seek.txtSearchSpec.setText("*.mp3");
    seek.chkReadMP3Tags.click();
    rig.search(tree.path("Music"));
    seek.lstClipList.dblClick();  // no row selected
    EXPECT_EQ(played.count(), 3);
    ASSERT_TRUE(seek.lstClipList.setSelectedItem(2));
    seek.lstClipList.dblClick();
    EXPECT_EQ(played.text(4, 7), tree.path("Music/song.mp3"));
    EXPECT_EQ(played.text(4, 0), "Song");
}

TEST_F(SearchTest, DraggedEntriesLandOnThePlayListInListOrder) {
    for (const char* f : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"}) tree.makeFile(f);
    rig.search(tree.path());
    toolkit::DragData none;
    EXPECT_FALSE(seek.lstFoundFiles.onStartDrag(none));  // nothing selected: no drag

    for (int i : {3, 0, 2}) ASSERT_TRUE(seek.lstFoundFiles.setSelected(i, true));
    toolkit::DragData data;
    ASSERT_TRUE(seek.lstFoundFiles.onStartDrag(data));
    EXPECT_TRUE(data.hasFiles);
    EXPECT_EQ(data.files, (Strings{tree.path("a.mp3"), tree.path("c.mp3"), tree.path("d.mp3")}));
    rig.player.lstClipList.onDrop(data, 0, 0);
    EXPECT_EQ(rig.column(rig.player.lstClipList, 7), data.files);

    seek.cmdSearch.click();
    ASSERT_TRUE(seek.filList.setSelected(1, true));
    toolkit::DragData fromFileList;
    ASSERT_TRUE(seek.filList.onStartDrag(fromFileList));
    EXPECT_EQ(fromFileList.files, (Strings{tree.path("b.mp3")}));

    seek.chkReadMP3Tags.click();
    rig.search(tree.path());
    ASSERT_TRUE(seek.lstClipList.setSelected(4, true));
    toolkit::DragData fromClipList;
    ASSERT_TRUE(seek.lstClipList.onStartDrag(fromClipList));
    EXPECT_EQ(fromClipList.files, (Strings{tree.path("d.mp3")}));
}

TEST_F(SearchTest, HeaderClicksSortAndTheSameColumnAgainReverses) {
    tree.makeFile("1.mp3", taggedMp3({.title = "One", .artist = "Cat", .year = "2001"}));
    tree.makeFile("2.mp3", taggedMp3({.title = "Two", .artist = "Ant", .year = "1999"}));
    tree.makeFile("3.mp3", taggedMp3({.title = "Three", .artist = "Bee", .year = "2005"}));
    seek.chkReadMP3Tags.click();
    rig.search(tree.path());
    auto& clip = seek.lstClipList;
    clip.columnClick(5);  // "Year"
    EXPECT_EQ(rig.column(clip, 4), (Strings{"1999", "2001", "2005"}));
    clip.columnClick(5);
    EXPECT_EQ(rig.column(clip, 4), (Strings{"2005", "2001", "1999"}));
    clip.columnClick(3);  // "Artist", in the direction last used
    EXPECT_EQ(rig.column(clip, 2), (Strings{"Cat", "Bee", "Ant"}));
    EXPECT_EQ(rig.player.lstClipList.count(), 0);
}

}  // namespace
}  // namespace velorra::testing
