// Play list files on disk: reading with its progress display, the line ends, relative paths,
// writing byte for byte, and a failed save that leaves the old file alone.
#include "playlist/play_list_fixture.h"
#include "player/toolkit/file_pattern.h"
#include "support/child_process.h"

#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velorra {
namespace {

using testing::readFile;
using testing::writeFile;

long entries(const std::string& folder) {
    const std::filesystem::directory_iterator it(folder);
    return std::distance(begin(it), end(it));
}

const std::string WebAddress = "https://velorra.org/ ";

// The most memory this process has held, in KiB.
long peakKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Records the progress bar and the status panel each time either changes while a list is read,
// and whether the progress bar showed.
struct ProgressLog : toolkit::ControlView {
    explicit ProgressLog(frmPlayer& p) : player(p) {
        player.ProgressBar1.attachView(this);
        player.StatusBar1.attachView(this);
    }
    ~ProgressLog() override {
        player.ProgressBar1.attachView(nullptr);
        player.StatusBar1.attachView(nullptr);
    }
    void controlChanged(toolkit::Change what) override {
        shown = shown || player.ProgressBar1.Visible();
        if (what == toolkit::Change::Visible) return;
        progress.push_back(player.ProgressBar1.Value());
        panels.push_back(player.StatusBar1.panel(2).text);
    }
    frmPlayer& player;
    std::vector<int32_t> progress;
    std::vector<std::string> panels;
    bool shown = false;  // the progress bar showed at some point
};

using Reading = testing::PlayListWindow;
using Writing = testing::PlayListWindow;

TEST_F(Reading, CommentLinesAreSkippedAndTheStatusPanelCountsEveryLine) {
    const std::string song = dir.path("a.mp3");
    testing::writeFile(song, testing::taggedMp3({"Tagged Title", "Who", "", "", "", 255}));
    const std::string m3u = dir.path("list.m3u");
    writeFile(m3u, "#EXTM3U\r\n#EXTINF:245,Artist - Title\r\n" + song + "\r\n");
    ProgressLog log(player);
    player.OpenFile(m3u);

    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(list().text(1, 0), "Tagged Title");
    EXPECT_EQ(list().text(1, 7), song);
    EXPECT_NE(std::find(log.panels.begin(), log.panels.end(), "3"), log.panels.end());
    EXPECT_NE(std::find(log.panels.begin(), log.panels.end(), "2"), log.panels.end());
    for (int32_t v : log.progress) EXPECT_LE(v, 100);
    EXPECT_EQ(player.StatusBar1.panel(2).text, WebAddress);
    EXPECT_EQ(player.ProgressBar1.Value(), 0);
    EXPECT_TRUE(log.shown);  // only while the list was read
    EXPECT_FALSE(player.ProgressBar1.Visible());
}

TEST_F(Reading, ProgressRisesWithTheCharactersRead) {
    // 10 lines of 9 characters and CR LF: 110 bytes; after line i, done = 1 + 9i.
    std::string text;
    for (int i = 0; i < 10; ++i) text += "#comment9\r\n";
    writeFile(dir.path("c.m3u"), text);
    ProgressLog log(player);
    player.OpenFile(dir.path("c.m3u"));
    std::vector<int32_t> expected;
    for (int i = 1; i <= 10; ++i) expected.push_back(static_cast<int32_t>((1 + 9 * i) * 100 / 110));
    std::vector<int32_t> seen;
    for (int32_t v : log.progress)
        if (seen.empty() || seen.back() != v) seen.push_back(v);
    expected.push_back(0);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(list().count(), 0);
}

TEST_F(Reading, CrLfLoneLfAndLoneCrAllEndALineAndEmptyLinesAreRows) {
    writeFile(dir.path("ends.m3u"), "/m/crlf.mp3\r\n/m/lf.mp3\n/m/cr.mp3\r\r\n/m/last.mp3");
    player.OpenFile(dir.path("ends.m3u"));
    EXPECT_EQ(column(7), (std::vector<std::string>{"/m/crlf.mp3", "/m/lf.mp3", "/m/cr.mp3", "", "/m/last.mp3"}));
    EXPECT_EQ(column(0)[3], "");
}

TEST_F(Reading, RelativePathsAreTakenFromThePlayListsFolder) {
    std::filesystem::create_directories(dir.path("lists/sub"));
    testing::writeFile(dir.path("lists/sub/near.mp3"), testing::taggedMp3({"Near", "", "", "", "", 255}));
    writeFile(dir.path("lists/mix.M3u"), "sub/near.mp3\n../far.mp3\n/abs/olute.mp3\nC:\\Music\\a.mp3\n");
    player.OpenFile(dir.path("lists/mix.M3u"));
    EXPECT_EQ(column(7), (std::vector<std::string>{dir.path("lists/sub/near.mp3"), dir.path("lists/../far.mp3"),
                                                   "/abs/olute.mp3", dir.path("lists/C:\\Music\\a.mp3")}));
    EXPECT_EQ(list().text(1, 0), "Near");  // the resolved path is the one whose tag is read
    EXPECT_EQ(list().text(4, 0), "a");     // the title cuts at the backslash all the same
}

TEST_F(Reading, ALineTooLongToBeAPathMakesNoRowAndIsNeverHeldWhole) {
    // A path of PATH_MAX bytes, a line one byte longer, then 128 MiB without a line end (a
    // sparse file: no disk is used) and a last path.
    const std::string longest = "/" + std::string(PATH_MAX - 1, 'p');
    const std::string head = longest + "\r\n" + std::string(PATH_MAX + 1, 'q') + "\r\n";
    const std::string m3u = dir.path("huge.m3u");
    writeFile(m3u, head);
    ASSERT_EQ(::truncate(m3u.c_str(), static_cast<off_t>(head.size() + (128 << 20))), 0);
    std::ofstream(m3u, std::ios::binary | std::ios::app) << "\r\n/m/after.mp3\r\n";

    // Read in a child, whose peak memory tells what the reader held.
    const auto read = testing::runInChild(testing::watchdog(120), [&] {
        const long before = peakKilobytes();
        player.OpenFile(m3u);
        const long grown = peakKilobytes() - before;
        std::string seen;
        for (const std::string& row : column(7)) seen += (row == longest ? "the longest path" : row) + ", ";
        return seen + player.StatusBar1.panel(2).text + (grown < 16 * 1024 ? ", memory flat" : ", memory grew");
    });
    EXPECT_EQ(read.output, "the longest path, /m/after.mp3, " + WebAddress + ", memory flat");
}

TEST_F(Reading, OnlyNamesEndingInM3uAreReadAsPlayLists) {
    for (const char* name : {"list.m3u", "LIST.M3U", "List.M3u"}) writeFile(dir.path(name), "/m/x.mp3\r\n");
    for (const char* name : {"list.m3u8", "m3"}) writeFile(dir.path(name), "/m/x.mp3\r\n");
    for (const char* name : {"list.m3u", "LIST.M3U", "List.M3u", "list.m3u8", "m3"}) player.OpenFile(dir.path(name));
    EXPECT_EQ(column(7), (std::vector<std::string>{"/m/x.mp3", "/m/x.mp3", "/m/x.mp3", dir.path("list.m3u8"),
                                                   dir.path("m3")}));
}

TEST_F(Reading, APlayListIsAppendedWhateverTheInsertPositionAndKeepsCurrentIndex) {
    addRows({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3"});
    player.CurrentIndex = 2;
    writeFile(dir.path("more.m3u"), "/m/a.mp3\r\n/m/b.mp3\r\n");
    player.OpenFile(dir.path("more.m3u"), false, 1);
    EXPECT_EQ(column(7), (std::vector<std::string>{"/m/1.mp3", "/m/2.mp3", "/m/3.mp3", "/m/a.mp3", "/m/b.mp3"}));
    EXPECT_EQ(player.CurrentIndex, 2);

    player.OpenFile(dir.path("more.m3u"), true);
    EXPECT_EQ(column(7), (std::vector<std::string>{"/m/a.mp3", "/m/b.mp3"}));
    EXPECT_EQ(player.CurrentIndex, 0);
}

TEST_F(Reading, AMissingPlayListAddsNothingButAMissingMediaFileIsARow) {
    addRows({"/m/keep.mp3"});
    player.CurrentIndex = 1;
    player.OpenFile(dir.path("absent.m3u"));
    EXPECT_EQ(list().count(), 1);
    EXPECT_TRUE(messages.shown.empty());
    player.OpenFile(dir.path("absent.m3u"), true);  // the list is emptied before the file is opened
    EXPECT_EQ(list().count(), 0);
    EXPECT_EQ(player.StatusBar1.panel(2).text, WebAddress);

    player.OpenFile(dir.path("absent.mp3"));
    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(list().text(1, 0), "absent");
}

TEST_F(Reading, AFailingReadStopsAtOnceAndLeavesTheProgressShown) {
    // A folder named like a play list is no play list.
    std::filesystem::create_directory(dir.path("folder.m3u"));
    player.StatusBar1.setPanelText(2, "before");
    player.OpenFile(dir.path("folder.m3u"));
    EXPECT_EQ(list().count(), 0);
    EXPECT_EQ(player.StatusBar1.panel(2).text, "before");

    // Nor is a named pipe, whose open would wait for a writer, or an endless device, whose line
    // would never end. A reader that waits or reads on hangs until the watchdog ends the child.
    ASSERT_EQ(::mkfifo(dir.path("pipe.m3u").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", dir.path("endless.m3u").c_str()), 0);
    for (const char* name : {"pipe.m3u", "endless.m3u"}) {
        const auto read = testing::runInChild(testing::watchdog(10), [&] {
            player.OpenFile(dir.path(name));
            return std::to_string(list().count()) + " rows, " + player.StatusBar1.panel(2).text;
        });
        EXPECT_EQ(read.output, "0 rows, before") << name;
    }

    // A single line without a line end reads past 100 %: its row stays, the display is not reset.
    writeFile(dir.path("one.m3u"), "/m/only.mp3");
    player.OpenFile(dir.path("one.m3u"));
    EXPECT_EQ(column(7), (std::vector<std::string>{"/m/only.mp3"}));
    EXPECT_EQ(player.StatusBar1.panel(2).text, "before");
    EXPECT_TRUE(player.ProgressBar1.Visible());
}

TEST_F(Writing, EveryLocationIsWrittenByteForByteWithCrLfAndReadBackTheSame) {
    const std::vector<std::string> paths{"/music/with blanks/Song One.mp3", "/m\xc3\xbasica/canci\xc3\xb3n.mp3",
                                         "/latin1/caf\xe9.mp3", "/C:\\Music\\win.mp3", ""};
    addRows(paths);
    player.SavePlayList(dir.path("out.m3u"));
    EXPECT_EQ(readFile(dir.path("out.m3u")), "/music/with blanks/Song One.mp3\r\n/m\xc3\xbasica/canci\xc3\xb3n.mp3\r\n"
                                             "/latin1/caf\xe9.mp3\r\n/C:\\Music\\win.mp3\r\n\r\n");
    player.OpenFile(dir.path("out.m3u"), true);
    EXPECT_EQ(column(7)[0], paths[0]);
    EXPECT_EQ(column(7)[1], paths[1]);
    EXPECT_EQ(column(7)[2], paths[2]);
    EXPECT_EQ(list().count(), 5);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Writing, AnEmptyListGivesAnEmptyFileAndAnOldFileIsReplacedWithItsPermissions) {
    writeFile(dir.path("old.m3u"), "/old/one.mp3\r\n/old/two.mp3\r\n");
    ::chmod(dir.path("old.m3u").c_str(), 0640);
    ::symlink("old.m3u", dir.path("link.m3u").c_str());
    struct stat st{};
    ASSERT_EQ(::stat(dir.path("old.m3u").c_str(), &st), 0);
    const ino_t oldFile = st.st_ino;
    player.SavePlayList(dir.path("link.m3u"));  // through a link: the file it names is replaced
    EXPECT_EQ(readFile(dir.path("old.m3u")), "");
    ASSERT_EQ(::lstat(dir.path("link.m3u").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(dir.path("old.m3u").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_NE(st.st_ino, oldFile);  // a new file took the old one's place
    EXPECT_EQ(entries(dir.path()), 2);  // no temporary left
}

TEST_F(Writing, AFolderThatTakesNoNewFilesHasItsWritableListOverwrittenInPlace) {
    // Only the owner adds files to the folder; anyone may write the list in it.
    ::chmod(dir.path().c_str(), 0755);
    const std::string folder = dir.path("shared");
    dir.makeFile("shared/list.m3u", "/old/one.mp3\r\n/old/two.mp3\r\n/old/three.mp3\r\n");
    ::chmod(folder.c_str(), 0755);
    ::chmod(dir.path("shared/list.m3u").c_str(), 0666);
    addRows({"/m/new.mp3"});

    const auto outcome = testing::runAsNobody(folder, W_OK, [&] {
        player.SavePlayList(dir.path("shared/list.m3u"));
        player.SavePlayList(dir.path("shared/other.m3u"));  // nothing to overwrite: refused and shown
        std::string seen = std::to_string(messages.shown.size());
        for (const auto& m : messages.shown)
            seen += m.text.find(dir.path("shared/other.m3u")) != std::string::npos &&
                            m.text.find("Permission denied") != std::string::npos
                        ? " other refused"
                        : " " + m.text;
        return seen;
    });
    if (!outcome.ran) GTEST_SKIP() << "cannot test as a user without access: " << outcome.whyNot;
    EXPECT_EQ(outcome.output, "1 other refused");
    EXPECT_EQ(readFile(dir.path("shared/list.m3u")), "/m/new.mp3\r\n");  // shorter: nothing of the old is left
    EXPECT_EQ(entries(folder), 1);
}

TEST_F(Writing, AFailedSaveShowsTheFileAndTheSystemsErrorAndLeavesTheOldFile) {
    addRows({"/m/a.mp3", "/m/b.mp3"});

    std::filesystem::create_directory(dir.path("taken.m3u"));
    player.SavePlayList(dir.path("taken.m3u"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(dir.path("taken.m3u")), std::string::npos);
    EXPECT_NE(messages.shown[0].text.find("Is a directory"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("taken.m3u")));

    writeFile(dir.path("plain"), "x");
    player.SavePlayList(dir.path("plain/below.m3u"));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].text.find(dir.path("plain/below.m3u")), std::string::npos);
    EXPECT_NE(messages.shown[1].text.find("Not a directory"), std::string::npos);

    // The disk fills up halfway through: a file-size limit binds root as well.
    const std::string old = "/old/kept.mp3\r\n";
    writeFile(dir.path("full.m3u"), old);
    std::vector<std::string> many(200, "/a/long/enough/path/to/overflow/the/limit.mp3");
    addRows(many);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit small{4096, saved.rlim_max};
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    player.SavePlayList(dir.path("full.m3u"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_NE(messages.shown[2].text.find(dir.path("full.m3u")), std::string::npos);
    EXPECT_NE(messages.shown[2].text.find("File too large"), std::string::npos);
    EXPECT_EQ(readFile(dir.path("full.m3u")), old);
    EXPECT_EQ(entries(dir.path()), 3);  // no temporary left
}

TEST_F(Writing, TheDialogsCarryTheirFiltersAndCancellingChangesNothing) {
    writeFile(dir.path("pick.m3u"), "/m/picked.mp3\r\n");
    dialogs.answers = {dir.path("pick.m3u"), std::nullopt, dir.path("saved.m3u"), std::nullopt};
    player.mnuOpen.click();
    player.mnuOpen.click();
    EXPECT_EQ(column(7), (std::vector<std::string>{"/m/picked.mp3"}));
    player.mnuSaveListAs.click();
    player.mnuSaveListAs.click();
    EXPECT_EQ(readFile(dir.path("saved.m3u")), "/m/picked.mp3\r\n");
    EXPECT_EQ(entries(dir.path()), 2);

    ASSERT_EQ(dialogs.requests.size(), 4u);
    // The labels are as ever; "Media File" shows every kind of file the player reads.
    std::vector<std::string> parts;
    std::istringstream filter(dialogs.requests[0].filter);
    for (std::string part; std::getline(filter, part, '|');) parts.push_back(part);
    ASSERT_EQ(parts.size(), 6u);
    EXPECT_EQ(parts[0] + "|" + parts[1], "M3U PlayList (*.M3U)|*.M3U");
    EXPECT_EQ(parts[2], "Media File (*.mp3; *.wav)");
    const auto media = toolkit::FilePattern::parse(parts[3]);
    ASSERT_TRUE(media);
    for (const char* name : {"a.mp3", "b.WAV", "c.flac", "d.ogg", "e.oga", "f.opus", "g.m4a", "h.aac", "i.mp2"})
        EXPECT_TRUE(media->matches(name)) << name;
    EXPECT_FALSE(media->matches("list.m3u"));
    EXPECT_EQ(parts[4] + "|" + parts[5], "Anything (*.*)|*.*");
    EXPECT_TRUE(dialogs.requests[0].fileMustExist);
    EXPECT_EQ(dialogs.requests[2].filter, "M3U PlayList (*.M3U)|*.M3U");
    EXPECT_TRUE(dialogs.requests[2].overwritePrompt);
    EXPECT_EQ(player.CurrentIndex, 0);
}

}  // namespace
}  // namespace velorra

namespace velorra {
namespace {

TEST(CommandLine, AQuotedPlayListNameIsReadIntoTheEmptyListAndPlays) {
    testing::TempDir dir;
    const std::string list = dir.path("My Songs.m3u");
    writeFile(list, "first.mp3\nsecond.mp3\n");
    testing::PlayerHarness window("\"" + list + "\"");
    FakeMediaService& media = window.media;
    frmPlayer& player = window.player;
    media.setDuration(dir.path("first.mp3"), 180);
    player.show();
    ASSERT_EQ(player.lstClipList.count(), 2);
    EXPECT_EQ(player.lstClipList.text(1, 7), dir.path("first.mp3"));
    EXPECT_EQ(player.CurrentIndex, 1);
    ASSERT_NE(media.lastGraphFor(dir.path("first.mp3")), nullptr);
    EXPECT_EQ(media.lastGraphFor(dir.path("first.mp3"))->state, FakeGraphState::Running);
}

}  // namespace
}  // namespace velorra
