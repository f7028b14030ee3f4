// The walk behind "&Search" on trees the tests make: its order and counts, stopping it from a
// pending-events point, directories that cannot be read or vanish, link loops, the tags mode,
// the find and the full-list stop.
#include "search/search_window.h"
#include "tools/media/tagged_encoder.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace velorra::testing {
namespace {

using Strings = std::vector<std::string>;

TEST_F(SearchTest, DepthFirstLastSubdirectoryFirstOwnFilesLast) {
    tree.makeFile("M/A/a.mp3");
    tree.makeFile("M/B/b.mp3");
    tree.makeFile("M/x.mp3");
    tree.makeFile("M/y.mp3");
    tree.makeFile("M/notes.txt");
    Strings visited;
    rig.loop.atPoint = [&](int) { visited.push_back(seek.Caption()); };
    CaptionLog log(seek);

    rig.search(tree.path("M"));

    const std::string m = tree.path("M");
    EXPECT_EQ(rig.found(), (Strings{m + "/B/b.mp3", m + "/A/a.mp3", m + "/x.mp3", m + "/y.mp3"}));
    EXPECT_EQ(visited, (Strings{m, m + "/B", m + "/A"}));
    EXPECT_EQ(seek.lblCount.Caption(), " 4");
    EXPECT_NE(std::find(log.captions.begin(), log.captions.end(), "Searching...  4 Files Found "), log.captions.end());
    EXPECT_EQ(seek.Caption(), "Search for MP3 files");
    EXPECT_EQ(seek.cmdSearch.Caption(), "&Back");
    EXPECT_TRUE(seek.cmdSearch.Enabled());
    EXPECT_EQ(seek.cmdExit.Caption(), "&Close");
    EXPECT_TRUE(seek.Picture2.Visible());
    EXPECT_EQ(seek.dirList.Path(), m);

    seek.cmdSearch.click();  // "&Back"
    EXPECT_EQ(seek.lstFoundFiles.ListCount(), 0);
    EXPECT_EQ(seek.lblCount.Caption(), "0");
    EXPECT_FALSE(seek.Picture2.Visible());
    EXPECT_EQ(seek.cmdSearch.Caption(), "&Search");
}

TEST(SearchOfTheRoot, JoinsTheRootAndANameWithOneSeparator) {
    TempDir tree;
    tree.makeFile("song.mp3");
    tree.makeFile("B/b.mp3");
    const auto outcome = runInChild(
        [&]() -> std::string {
            if (chroot(tree.path().c_str()) != 0 || chdir("/") != 0) return "cannot change the root directory";
            return {};
        },
        [] {
            SearchRig rig("/");
            rig.search("/");
            Strings lines = rig.found();
            rig.seek().cmdSearch.click();  // back to the file list, still at the root
            rig.seek().filList.setListIndex(0);
            rig.seek().filList.dblClick();
            for (const std::string& l : rig.column(rig.player.lstClipList, 7)) lines.push_back("played " + l);
            return joinLines(lines);
        });
    if (!outcome.ran) GTEST_SKIP() << outcome.whyNot;
    EXPECT_EQ(outcome.output, "/B/b.mp3\n/song.mp3\nplayed /song.mp3\n");
}

TEST_F(SearchTest, CancelAtAPendingEventsPointEndsTheSearchWithWhatWasFound) {
    for (const char* d : {"d1", "d2", "d3"}) tree.makeFile(std::string(d) + "/f.mp3");
    tree.makeFile("top.mp3");
    rig.loop.atPoint = [&](int call) {
        EXPECT_EQ(seek.cmdExit.Caption(), "Cancel");
        EXPECT_FALSE(seek.cmdSearch.Enabled());
        if (call == 3) seek.cmdExit.click();  // while d2 is about to be listed
    };
    rig.search(tree.path());

    EXPECT_EQ(rig.loop.doEventsCalls(), 3);
    EXPECT_EQ(rig.found(), (Strings{tree.path("d3/f.mp3")}));
    EXPECT_EQ(seek.lblCount.Caption(), " 1");
    EXPECT_EQ(seek.cmdSearch.Caption(), "&Back");
    EXPECT_EQ(seek.cmdExit.Caption(), "&Close");
    EXPECT_TRUE(seek.Picture2.Visible());
    EXPECT_EQ(seek.dirList.Path(), tree.path());  // back at the start, not where it stopped
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(UnreadableDirectory, IsSkippedAndTheSearchGoesOn) {
    TempDir tree;
    tree.makeFile("a/a.mp3");
    tree.makeFile("locked/secret.mp3");
    tree.makeFile("z/z.mp3");
    tree.makeFile("top.mp3");
    chmod(tree.path("locked").c_str(), 0);
    const auto outcome = runAsNobody(tree.path("locked"), R_OK, [&] {
        SearchRig rig(tree.path());
        rig.search(tree.path());
        Strings lines = rig.found();
        lines.push_back("messages " + std::to_string(rig.messages.shown.size()));
        lines.push_back(rig.seek().cmdSearch.Caption());
        return joinLines(lines);
    });
    if (!outcome.ran) GTEST_SKIP() << outcome.whyNot;
    EXPECT_EQ(outcome.output, joinLines({tree.path("z/z.mp3"), tree.path("a/a.mp3"), tree.path("top.mp3"),
                                         "messages 0", "&Back"}));
}

TEST_F(SearchTest, DirectoriesRemovedDuringTheWalkAreSkipped) {
    tree.makeFile("a/a.mp3");
    tree.makeFile("b/inner/i.mp3");
    tree.makeFile("c/c.mp3");
    tree.makeFile("top.mp3");
    rig.loop.atPoint = [&](int call) {
        if (call == 2) std::filesystem::remove_all(tree.path("a"));  // listed, not yet visited
        if (call == 3) std::filesystem::remove_all(tree.path("b"));  // being visited
    };
    rig.search(tree.path());
    EXPECT_EQ(rig.found(), (Strings{tree.path("c/c.mp3"), tree.path("top.mp3")}));
    EXPECT_EQ(seek.cmdSearch.Caption(), "&Back");
    EXPECT_EQ(seek.dirList.Path(), tree.path());
}

TEST_F(SearchTest, LinksToDirectoriesAreNotFollowedLinksToFilesAreListed) {
    tree.makeFile("x.mp3");
    tree.makeDir("a");
    std::filesystem::create_directory_symlink(tree.path(), tree.path("a/loop"));
    std::filesystem::create_symlink(tree.path("x.mp3"), tree.path("a/link.mp3"));
    rig.search(tree.path());
    EXPECT_EQ(rig.found(), (Strings{tree.path("a/link.mp3"), tree.path("x.mp3")}));
    EXPECT_EQ(rig.loop.doEventsCalls(), 2);
}

TEST_F(SearchTest, TagsModeFillsTheClipListInTheOrderFound) {
    tree.makeFile("s/one.mp3", taggedMp3({.title = "Intro", .artist = "Band", .album = "First", .year = "1999"}));
    tree.makeFile("two.mp3", taggedMp3({.artist = "Solo"}));
    tree.makeFile("three.MP3", "no tag here");
    seek.chkReadMP3Tags.click();
    EXPECT_FALSE(seek.lstFoundFiles.Visible());
    rig.search(tree.path());

    auto& clip = seek.lstClipList;
    EXPECT_EQ(rig.column(clip, 7), (Strings{tree.path("s/one.mp3"), tree.path("three.MP3"), tree.path("two.mp3")}));
    EXPECT_EQ(rig.column(clip, 0), (Strings{"Intro", "three", "two"}));
    EXPECT_EQ(rig.column(clip, 2), (Strings{"Band", "", "Solo"}));
    EXPECT_EQ(clip.text(1, 3), "First");
    EXPECT_EQ(clip.text(1, 4), "1999");
    EXPECT_EQ(seek.lstFoundFiles.ListCount(), 0);
    EXPECT_EQ(seek.lblCount.Caption(), " 3");
    EXPECT_EQ(rig.player.lstClipList.count(), 0);  // the player's list is not touched

    seek.chkReadMP3Tags.click();  // unticked: the (empty) found-files list shows again
    EXPECT_TRUE(seek.lstFoundFiles.Visible());
    EXPECT_EQ(clip.count(), 3);
}

TEST_F(SearchTest, TickingReadTagsAfterASearchMovesTheFoundFilesInOrder) {
    tree.makeFile("b/b.mp3", taggedMp3({.title = "Bee", .artist = "B"}));
    tree.makeFile("a.mp3", taggedMp3({.title = "Ay", .artist = "A"}));
    rig.search(tree.path());
    ASSERT_EQ(rig.found().size(), 2u);
    seek.chkReadMP3Tags.click();
    EXPECT_EQ(rig.column(seek.lstClipList, 0), (Strings{"Bee", "Ay"}));
    EXPECT_EQ(rig.column(seek.lstClipList, 7), rig.found());
    EXPECT_FALSE(seek.lstFoundFiles.Visible());
}

TEST_F(SearchTest, FindSelectsTheFirstRowBeginningWithTheText) {
    tree.makeFile("1.mp3", taggedMp3({.title = "Rain", .artist = "Zed"}));
    tree.makeFile("2.mp3", taggedMp3({.title = "Zoo", .artist = "Ray"}));
    // A file with Vorbis comments is read the way the play list reads it, its texts as UTF-8.
    media::writeTagged(tree.path("3.ogg"), media::TaggedFormat::OggVorbis, media::tune(1), 0.5,
                       {.title = "Émoi", .artist = "Øystein"});
    seek.chkReadMP3Tags.click();
    seek.txtSearchSpec.setText("*");
    rig.search(tree.path());
    auto& clip = seek.lstClipList;
    ASSERT_EQ(clip.count(), 3);
    EXPECT_EQ(clip.text(3, 0), "Émoi");

    seek.txtSearch.setText("Øy");
    EXPECT_EQ(clip.selectedItem(), 3);

    seek.txtSearch.setText("ra");  // other columns: the artist "Ray" of row 2
    EXPECT_EQ(clip.selectedItem(), 2);
    seek.chkSearchTitlesOnly.click();  // titles: "Rain" of row 1
    EXPECT_EQ(clip.selectedItem(), 1);
    seek.txtSearch.setText("nothing begins so");
    EXPECT_EQ(clip.selectedItem(), 1);
    EXPECT_EQ(clip.selectedRows(), (std::vector<int32_t>{1}));
}

TEST_F(SearchTest, AFullListEndsTheSearchWithTheMessage) {
    for (const char* f : {"a.mp3", "b.mp3", "c.mp3"}) tree.makeFile(f);
    tree.makeFile("sub/d.mp3");
    seek.resultCapacity = 2;
    rig.search(tree.path());
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, "Se ha llenado el cuadro de lista. Abandonando la búsqueda...");
    EXPECT_EQ(rig.found(), (Strings{tree.path("sub/d.mp3"), tree.path("a.mp3")}));
    EXPECT_EQ(seek.lblCount.Caption(), " 2");
    EXPECT_EQ(seek.cmdSearch.Caption(), "&Back");
    EXPECT_EQ(seek.Caption(), "Search for MP3 files");
}

TEST_F(SearchTest, FirstEnterEntersTheHighlightedDirectorySecondSearchesIt) {
    tree.makeFile("inner/i.mp3");
    tree.makeFile("outer.mp3");
    ASSERT_TRUE(seek.dirList.Refresh());
    ASSERT_TRUE(seek.dirList.setListIndex(0));
    seek.dirList.keyDown({toolkit::keys::Return, 0});
    EXPECT_EQ(seek.dirList.Path(), tree.path("inner"));
    EXPECT_FALSE(seek.Picture2.Visible());
    EXPECT_EQ(seek.filList.ListCount(), 1);
    seek.dirList.keyDown({toolkit::keys::Return, 0});
    EXPECT_EQ(rig.found(), (Strings{tree.path("inner/i.mp3")}));
    seek.dirList.keyDown({toolkit::keys::Return, 0});  // "&Back" is no default button
    EXPECT_TRUE(seek.Picture2.Visible());
}

TEST_F(SearchTest, ClosingThePlayerDuringASearchEndsItAndSavesTheStartDirectory) {
    tree.makeFile("a/deep/d.mp3");
    tree.makeFile("b/b.mp3");
    rig.loop.atPoint = [&](int call) {
        if (call == 2) rig.player.unload();
    };
    rig.search(tree.path());
    EXPECT_EQ(rig.loop.doEventsCalls(), 2);
    EXPECT_FALSE(seek.loaded());
    EXPECT_EQ(rig.settings.values["Velorra/Directory/DefaultDir"], tree.path());
    EXPECT_TRUE(rig.found().empty());

    rig.loop.atPoint = nullptr;
    rig.player.cmdWinSeek.click();  // loads afresh: criteria view at the saved directory
    EXPECT_EQ(seek.cmdSearch.Caption(), "&Search");
    EXPECT_TRUE(seek.cmdSearch.Enabled());
    EXPECT_FALSE(seek.Picture2.Visible());
    EXPECT_EQ(seek.dirList.Path(), tree.path());
}

}  // namespace
}  // namespace velorra::testing
