// The drive, directory and file lists on real directories: refused values change nothing, the
// value already held runs nothing, change actions run inside the setting call; patterns match
// without letter case; links to directories are never entered.
#include "player/toolkit/dir_list_box.h"
#include "player/toolkit/drive_list_box.h"
#include "player/toolkit/file_list_box.h"
#include "player/toolkit/file_pattern.h"
#include "player/toolkit/file_system.h"
#include "search/search_fixtures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

namespace velorra::toolkit {
namespace {

bool matches(const std::string& pattern, const std::string& name) { return FilePattern::parse(pattern)->matches(name); }

TEST(FilePattern, WildcardsMatchWithoutLetterCase) {
    EXPECT_TRUE(matches("*.mp3", "SONG.MP3"));
    EXPECT_FALSE(matches("*.mp3", "song.mp3x"));
    EXPECT_TRUE(matches("*love*.mp3", "I Love You.Mp3"));
    EXPECT_FALSE(matches("*love*.mp3", "glove.wav"));
    EXPECT_TRUE(matches("**.mp3", "a.mp3"));
    EXPECT_TRUE(matches("?.mp3", "\xc3\xa9.mp3"));  // one character, two bytes
    EXPECT_FALSE(matches("?.mp3", "ab.mp3"));
    EXPECT_TRUE(matches("*.mp3; *.M3U", "list.m3u"));
    EXPECT_TRUE(matches("*.*", "README"));
    EXPECT_TRUE(matches("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(matches("a*b*c", "aXbYbZ"));
    EXPECT_FALSE(FilePattern::parse(""));
    EXPECT_FALSE(FilePattern::parse(" ; "));
    EXPECT_FALSE(FilePattern::parse("music/*.mp3"));
}

TEST(Paths, JoinWithOneSeparatorAndTidy) {
    EXPECT_EQ(joinPath("/", "song.mp3"), "/song.mp3");
    EXPECT_EQ(joinPath("/music", "song.mp3"), "/music/song.mp3");
    EXPECT_EQ(tidyPath("//music/./live/../x/"), "/music/x");
    EXPECT_EQ(tidyPath("/.."), "/");
    EXPECT_FALSE(tidyPath("music"));
    EXPECT_TRUE(isWithin("/home/u/Music", "/home/u"));
    EXPECT_FALSE(isWithin("/home/user", "/home/u"));
    EXPECT_TRUE(isWithin("/tmp", "/"));
}

struct Tree : ::testing::Test {
    testing::TempDir tree;
};

TEST_F(Tree, DirectoryListShowsSubdirectoriesInNameOrderButNoLinksOrHiddenOnes) {
    tree.makeDir("b");
    tree.makeDir("A");
    tree.makeDir("c/deeper");
    tree.makeDir(".hidden");
    tree.makeFile("x.mp3");
    std::filesystem::create_directory_symlink(tree.path(), tree.path("loop"));

    DirListBox dirs(nullptr);
    int changes = 0;
    dirs.onChange = [&] { ++changes; };
    ASSERT_TRUE(dirs.setPath(tree.path() + "/"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(dirs.Path(), tree.path());
    ASSERT_EQ(dirs.ListCount(), 3);
    EXPECT_EQ(dirs.List(0), tree.path("A"));
    EXPECT_EQ(dirs.List(1), tree.path("b"));
    EXPECT_EQ(dirs.List(2), tree.path("c"));
    EXPECT_EQ(dirs.List(-1), tree.path());
    EXPECT_EQ(dirs.List(-dirs.ancestorCount()), "/");
    EXPECT_THROW(dirs.List(3), std::out_of_range);

    EXPECT_TRUE(dirs.setListIndex(2));
    EXPECT_FALSE(dirs.setListIndex(3));
    EXPECT_EQ(dirs.ListIndex(), 2);
    dirs.dblClick();  // opens the highlighted entry
    EXPECT_EQ(dirs.Path(), tree.path("c"));
    EXPECT_EQ(dirs.ListIndex(), -1);
    EXPECT_EQ(changes, 2);

    EXPECT_TRUE(dirs.setPath(tree.path("c/.")));  // the same directory: nothing runs
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(dirs.setPath(tree.path("missing")));
    EXPECT_FALSE(dirs.setPath(tree.path("x.mp3")));
    EXPECT_FALSE(dirs.setPath("relative"));
    EXPECT_EQ(dirs.Path(), tree.path("c"));
    EXPECT_EQ(dirs.ListCount(), 1);
    EXPECT_EQ(changes, 2);

    ASSERT_TRUE(dirs.setPath("/"));
    EXPECT_EQ(dirs.ancestorCount(), 1);
    EXPECT_EQ(dirs.List(-1), "/");
}

TEST_F(Tree, FileListFollowsPathAndPatternListingLinksToFiles) {
    tree.makeFile("b.MP3");
    tree.makeFile("a.mp3");
    tree.makeFile("c.wav");
    tree.makeFile("list.m3u");
    tree.makeFile(".hidden.mp3");
    tree.makeDir("dir.mp3");
    std::filesystem::create_symlink(tree.path("a.mp3"), tree.path("link.mp3"));
    std::filesystem::create_symlink(tree.path("gone"), tree.path("dangling.mp3"));

    FileListBox files(nullptr);
    ASSERT_TRUE(files.setPattern("*.mp3"));
    ASSERT_TRUE(files.setPath(tree.path()));
    ASSERT_EQ(files.ListCount(), 3);
    EXPECT_EQ(files.List(0), "a.mp3");
    EXPECT_EQ(files.List(1), "b.MP3");
    EXPECT_EQ(files.List(2), "link.mp3");

    files.setMultiSelect(true);
    EXPECT_TRUE(files.setSelected(0, true));
    EXPECT_TRUE(files.setSelected(2, true));
    EXPECT_FALSE(files.setSelected(3, true));

    EXPECT_FALSE(files.setPattern("a/b"));
    EXPECT_EQ(files.Pattern(), "*.mp3");
    EXPECT_TRUE(files.Selected(0));  // a refused pattern changed nothing
    EXPECT_FALSE(files.setPath(tree.path("nowhere")));
    EXPECT_EQ(files.Path(), tree.path());

    ASSERT_TRUE(files.setPattern("*.m3u"));
    ASSERT_EQ(files.ListCount(), 1);
    EXPECT_EQ(files.List(0), "list.m3u");
    EXPECT_EQ(files.ListIndex(), -1);
}

TEST(Volumes, RootHomeAndMountedMediaButNoPseudoFileSystems) {
    std::istringstream mounts(
        "proc /proc proc rw 0 0\n"
        "/dev/vda / ext4 rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sdb1 /media/user/MY\\040STICK vfat rw 0 0\n"
        "tmpfs /mnt/scratch tmpfs rw 0 0\n"
        "//server/share /mnt/share cifs rw 0 0\n"
        "/dev/sda2 /boot ext4 rw 0 0\n"
        "/dev/sdc1 /run/media/user/CARD exfat rw 0 0\n");
    const auto v = volumesFrom(mounts, "/home/user/");
    ASSERT_EQ(v.size(), 5u);
    EXPECT_EQ(v[0].root, "/");
    EXPECT_EQ(v[1], (Volume{"/home/user", "Home"}));
    EXPECT_EQ(v[2], (Volume{"/media/user/MY STICK", "MY STICK"}));
    EXPECT_EQ(v[3].root, "/mnt/share");
    EXPECT_EQ(v[4].root, "/run/media/user/CARD");
}

TEST(DriveList, TheDriveOfAPathIsTheClosestVolume) {
    DriveListBox drives(nullptr, [] { return std::vector<Volume>{{"/", "File System"}, {"/home/u", "Home"}}; });
    int changes = 0;
    drives.onChange = [&] { ++changes; };
    ASSERT_TRUE(drives.setDrive("/tmp/x"));
    const int before = changes;
    EXPECT_EQ(drives.Drive(), "/");
    EXPECT_TRUE(drives.setDrive("/usr"));  // the same drive: nothing runs
    EXPECT_EQ(changes, before);
    EXPECT_TRUE(drives.setDrive("/home/u/Music"));
    EXPECT_EQ(drives.Drive(), "/home/u");
    EXPECT_EQ(changes, before + 1);
    EXPECT_EQ(drives.driveOf("/home/user"), "/");
    EXPECT_FALSE(drives.setDrive("relative"));
    EXPECT_FALSE(drives.setListIndex(2));
    EXPECT_EQ(drives.Drive(), "/home/u");
}

}  // namespace
}  // namespace velorra::toolkit
