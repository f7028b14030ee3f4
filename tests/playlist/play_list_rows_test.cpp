// Rows made from real files and their tags; CurrentIndex following insertions, deletions and
// the random order.
#include "playlist/play_list_fixture.h"
#include "support/child_process.h"

#include <filesystem>
#include <set>

#include <sys/stat.h>

namespace velorra {
namespace {

using testing::PlayListWindow;
using testing::taggedMp3;
using testing::writeFile;

using Rows = PlayListWindow;

TEST_F(Rows, TagFieldsFillTheColumnsAndTheLocationKeepsThePathAsGiven) {
    const std::string tagged = dir.path("track one.mp3");
    writeFile(tagged, taggedMp3({"Intro", "The Band", "First Album", "1999", "live take", 17}));
    const std::string untitled = dir.path("Sin t\xc3\xadtulo.mp3");
    writeFile(untitled, taggedMp3({"", "Somebody", "", "", "", 255}));
    addRows({tagged, untitled});

    ASSERT_EQ(list().count(), 2);
    EXPECT_EQ(list().text(1, 0), "Intro");
    EXPECT_EQ(list().text(1, 2), "The Band");
    EXPECT_EQ(list().text(1, 3), "First Album");
    EXPECT_EQ(list().text(1, 4), "1999");
    EXPECT_EQ(list().text(1, 5), "Rock");
    EXPECT_EQ(list().text(1, 6), "live take");
    EXPECT_EQ(list().text(1, 7), tagged);
    for (int k : {1, 8, 9}) EXPECT_EQ(list().text(1, k), "") << "column " << k;

    // A tag without a title: the title comes from the file name; the other values still count.
    EXPECT_EQ(list().text(2, 0), "Sin t\xc3\xadtulo");
    EXPECT_EQ(list().text(2, 2), "Somebody");
    EXPECT_EQ(list().text(2, 5), "");
}

TEST_F(Rows, FilesWithoutATagAreTitledFromTheirNameWithoutFolderAndExtension) {
    addRows({"C:\\Music\\Song.mp3", "music/live/Song.mp3", "C:\\Music/live\\Song.mp3", "C:\\Music\\README", "a.b",
             "", "/m\xe9lodies/Caf\xe9.wav"});
    // A name without an extension is kept whole, and any extension goes, whatever its length.
    EXPECT_EQ(column(0), (std::vector<std::string>{"Song", "Song", "Song", "README", "a", "", "Caf\xe9"}));
    EXPECT_EQ(column(7)[6], "/m\xe9lodies/Caf\xe9.wav");
    for (int k : {2, 3, 4, 5, 6}) EXPECT_EQ(list().text(1, k), "");

    // ".mp3" and ".wav" in any case keep their four-character cut, the rest lose their extension.
    player.mnuClear.click();
    addRows({"tone.flac", "/m/Song.MP3", "/m/.mp3", ".mp3", "/m/x.opus", "/m/Vol. 2", "/m/.hidden", "/m/a.tar.gz"});
    EXPECT_EQ(column(0), (std::vector<std::string>{"tone", "Song", "", ".mp3", "x", "Vol. 2", ".hidden", "a.tar"}));
}

// Works in `folder` while it lives, then goes back.
struct InFolder {
    explicit InFolder(const std::string& folder) : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(previous); }
    std::filesystem::path previous;
};

TEST_F(Rows, ARelativeNameIsTakenFromTheWorkingDirectoryWhenItsRowIsMade) {
    dir.makeFile("work/sub/Song.mp3", taggedMp3({"Tagged", "", "", "", "", 255}));
    dir.makeFile("work/lists/mix.m3u", "near.mp3\r\n\r\n");
    {
        InFolder work(dir.path("work"));
        addRows({"sub/Song.mp3", ""});
        player.OpenFile("lists/mix.m3u");  // a play list named relatively: its rows too
    }
    EXPECT_EQ(column(7), (std::vector<std::string>{dir.path("work/sub/Song.mp3"), "", dir.path("work/lists/near.mp3"), ""}));
    EXPECT_EQ(column(0), (std::vector<std::string>{"Tagged", "", "near", ""}));

    // Elsewhere, the row still names its file, and so does dragging it out.
    InFolder elsewhere(dir.path("work/sub"));
    select({1});
    toolkit::DragData drag;
    ASSERT_TRUE(list().onStartDrag(drag));
    EXPECT_EQ(drag.files, (std::vector<std::string>{dir.path("work/sub/Song.mp3")}));
}

TEST_F(Rows, AFileWhoseTagCannotBeReadStillBecomesARowWithoutTheTagBeforeIt) {
    // Read as "nobody", who cannot open the second file: its row must not carry the first one's tag.
    const std::string readable = dir.path("readable.mp3");
    const std::string locked = dir.path("Locked Song.mp3");
    writeFile(readable, taggedMp3({"Readable", "Artist A", "Album A", "2001", "note", 13}));
    writeFile(locked, taggedMp3({"Hidden", "Artist B", "", "", "", 13}));
    ::chmod(readable.c_str(), 0644);
    ::chmod(locked.c_str(), 0000);

    const auto outcome = testing::runAsNobody(locked, R_OK, [&] {
        addRows({readable, locked});
        const bool ok = list().count() == 2 && list().text(1, 2) == "Artist A" && list().text(2, 0) == "Locked Song" &&
                        list().text(2, 2).empty() && list().text(2, 3).empty() && list().text(2, 4).empty() &&
                        list().text(2, 5).empty() && list().text(2, 6).empty() && list().text(2, 7) == locked;
        return std::string(ok ? "0" : "1");
    });
    if (!outcome.ran) GTEST_SKIP() << "cannot test as a user without access: " << outcome.whyNot;
    EXPECT_EQ(outcome.output, "0");
}

TEST_F(Rows, InsertPositionZeroAppendsAndHandsBackTheRowNumber) {
    addRows({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3", "/m/4.mp3", "/m/5.mp3"});
    int32_t pos = 0;
    player.AddFileToList("/m/6.mp3", pos, list());
    EXPECT_EQ(pos, 6);
    EXPECT_EQ(list().text(6, 7), "/m/6.mp3");

    player.CurrentIndex = 3;
    pos = 8;  // beyond count + 1: refused
    player.AddFileToList("/m/8.mp3", pos, list());
    EXPECT_EQ(list().count(), 6);
    EXPECT_EQ(player.CurrentIndex, 3);
    pos = -1;
    player.AddFileToList("/m/x.mp3", pos, list());
    EXPECT_EQ(list().count(), 6);
}

TEST_F(Rows, InsertionsAtOrBeforeThePlayingRowKeepCurrentIndexOnIt) {
    addRows({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3", "/m/4.mp3", "/m/5.mp3"});
    player.CurrentIndex = 3;
    int32_t pos = 4;
    player.AddFileToList("/m/after.mp3", pos, list());
    EXPECT_EQ(player.CurrentIndex, 3);
    pos = 3;
    player.AddFileToList("/m/at.mp3", pos, list());
    EXPECT_EQ(player.CurrentIndex, 4);
    pos = 1;
    player.AddFileToList("/m/before.mp3", pos, list());
    EXPECT_EQ(player.CurrentIndex, 5);
    EXPECT_EQ(list().text(player.CurrentIndex, 7), "/m/3.mp3");

    for (int32_t none : {0, -1}) {
        player.CurrentIndex = none;
        pos = 1;
        player.AddFileToList("/m/front.mp3", pos, list());
        EXPECT_EQ(player.CurrentIndex, none);
    }

    // Another list with the same columns (the search window's) never moves it.
    toolkit::ListView found{nullptr};
    player.CurrentIndex = 2;
    pos = 0;
    player.AddFileToList("/m/found.mp3", pos, found);
    pos = 1;
    player.AddFileToList("/m/found2.mp3", pos, found);
    EXPECT_EQ(found.count(), 2);
    EXPECT_EQ(found.text(1, 7), "/m/found2.mp3");
    EXPECT_EQ(player.CurrentIndex, 2);
}

TEST_F(Rows, DeletingSelectedRowsKeepsCurrentIndexOnThePlayingRowOrTheOneBefore) {
    addRows({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3", "/m/4.mp3", "/m/5.mp3", "/m/6.mp3"});
    player.CurrentIndex = 5;
    select({2, 3});  // adjacent rows: the second moves up into the place just examined
    player.mnuDeleteSelectedItem.click();
    EXPECT_EQ(column(7), (std::vector<std::string>{"/m/1.mp3", "/m/4.mp3", "/m/5.mp3", "/m/6.mp3"}));
    EXPECT_EQ(player.CurrentIndex, 3);

    select({3});  // the playing row itself: the one before it is current, so 6.mp3 follows
    player.mnuDeleteSelectedItem.click();
    EXPECT_EQ(player.CurrentIndex, 2);
    EXPECT_EQ(list().text(player.CurrentIndex + 1, 7), "/m/6.mp3");

    player.CurrentIndex = 1;
    select({1, 3});
    player.mnuDeleteSelectedItem.click();
    EXPECT_EQ(column(7), (std::vector<std::string>{"/m/4.mp3"}));
    EXPECT_EQ(player.CurrentIndex, 0);
}

TEST_F(Rows, RowsBeyondSixteenBitsCanBeDeletedAndFollowed) {
    std::vector<std::string> names;
    for (int i = 1; i <= 40000; ++i) names.push_back("/m/song" + std::to_string(i) + ".mp3");
    addRows(names);
    player.CurrentIndex = 40000;
    select({35000});
    player.mnuDeleteSelectedItem.click();
    EXPECT_EQ(list().count(), 39999);
    EXPECT_EQ(player.CurrentIndex, 39999);
    EXPECT_EQ(list().text(player.CurrentIndex, 7), "/m/song40000.mp3");

    for (int32_t i = 1; i <= list().count(); ++i) list().setSelected(i, true);
    player.mnuDeleteSelectedItem.click();
    EXPECT_EQ(list().count(), 0);
    EXPECT_EQ(player.CurrentIndex, 0);
}

TEST_F(Rows, ClearListEmptiesTheListAndLeavesPlaybackAlone) {
    addRows({"/m/1.mp3", "/m/2.mp3"});
    player.CurrentIndex = 2;
    const size_t calls = media.calls().size();
    player.mnuClear.click();
    EXPECT_EQ(list().count(), 0);
    EXPECT_EQ(player.CurrentIndex, 0);
    EXPECT_EQ(media.calls().size(), calls);
}

TEST_F(Rows, RandomOrderWritesSixDigitKeysSortsByThemAndFollowsThePlayingSong) {
    player.mnuRandomOrder.click();  // empty list: nothing happens
    EXPECT_EQ(list().count(), 0);
    EXPECT_EQ(player.CurrentIndex, 0);

    addRows({"/m/only.mp3"});
    player.mnuRandomOrder.click();
    EXPECT_EQ(list().text(1, 8), "000001");
    player.mnuClear.click();

    std::vector<std::string> names;
    for (int i = 1; i <= 50; ++i) names.push_back("/m/song" + std::to_string(i) + ".mp3");
    addRows(names);
    player.CurrentIndex = 4;
    player.mnuRandomOrder.click();

    ASSERT_EQ(list().count(), 50);
    EXPECT_EQ(list().text(player.CurrentIndex, 7), "/m/song4.mp3");
    EXPECT_EQ(list().selectedRows(), std::vector<int32_t>{player.CurrentIndex});  // shown as the one selected row
    EXPECT_EQ(list().findKey("tarvo"), 0);
    std::set<std::string> locations;
    for (int32_t i = 1; i <= 50; ++i) {
        const std::string& key = list().text(i, 8);
        ASSERT_EQ(key.size(), 6u) << key;
        const int k = std::stoi(key);
        EXPECT_GE(k, 1);
        EXPECT_LE(k, 50);
        if (i > 1) {
            EXPECT_LE(list().text(i - 1, 8), key);
        }
        locations.insert(list().text(i, 7));
    }
    EXPECT_EQ(locations.size(), 50u);
    EXPECT_NE(column(7), names);  // 50 draws from the generator's sequence do not come out in order

    player.CurrentIndex = 0;
    player.mnuRandomOrder.click();
    EXPECT_EQ(player.CurrentIndex, 0);
}

}  // namespace
}  // namespace velorra
