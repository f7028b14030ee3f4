// The drive, directory and file lists as real widgets: rows mirror the controls, the user's
// picks reach the controls, and a drag out of the file list carries file URLs.
#include "player/toolkit/dir_list_box.h"
#include "player/toolkit/drive_list_box.h"
#include "player/toolkit/file_list_box.h"
#include "player/toolkit/qt/bound_window.h"
#include "player/toolkit/qt/dir_list_widget.h"
#include "player/toolkit/qt/drive_list_widget.h"
#include "player/toolkit/qt/file_list_widget.h"
#include "player/toolkit/qt/list_drag.h"
#include "search/search_fixtures.h"

#include <gtest/gtest.h>

#include <QMimeData>
#include <QUrl>

namespace velorra::toolkit {
namespace {

TEST(ListWidgets, MirrorTheControlsAndPassTheUsersPicksOn) {
    testing::TempDir tree;
    tree.makeFile("b.mp3");
    tree.makeFile("a.MP3");
    tree.makeFile("skip.txt");
    tree.makeDir("sub");
    Window window;
    window.move(0, 0, 6000, 6000);
    DriveListBox drives(&window, [&] { return std::vector<Volume>{{"/", "File System"}, {tree.path(), "Tree"}}; });
    DirListBox dirs(&window);
    FileListBox files(&window);
    ASSERT_TRUE(dirs.setPath(tree.path()));
    ASSERT_TRUE(files.setPath(tree.path()));
    ASSERT_TRUE(files.setPattern("*.mp3"));
    files.setMultiSelect(true);
    files.onStartDrag = [&](DragData& d) {
        std::vector<std::string> paths;
        for (int32_t i = 0; i < files.ListCount(); ++i)
            if (files.Selected(i)) paths.push_back(tree.path(files.List(i)));
        d.setFiles(paths);
        return true;
    };
    qt::BoundWindow bound(window);
    window.show();

    auto* driveWidget = dynamic_cast<qt::DriveListWidget*>(bound.widgetFor(drives));
    auto* dirWidget = dynamic_cast<qt::DirListWidget*>(bound.widgetFor(dirs));
    auto* fileWidget = dynamic_cast<qt::FileListWidget*>(bound.widgetFor(files));
    ASSERT_TRUE(driveWidget && dirWidget && fileWidget);

    EXPECT_EQ(driveWidget->count(), 2);
    emit driveWidget->activated(1);
    EXPECT_EQ(drives.Drive(), tree.path());

    ASSERT_EQ(dirWidget->count(), dirs.ancestorCount() + 1);
    EXPECT_EQ(dirWidget->item(dirWidget->count() - 1)->text().trimmed(), "sub");
    dirWidget->setCurrentRow(dirWidget->count() - 1);
    EXPECT_EQ(dirs.ListIndex(), 0);

    ASSERT_EQ(fileWidget->count(), 2);
    EXPECT_EQ(fileWidget->item(0)->text(), "a.MP3");
    fileWidget->item(1)->setSelected(true);
    EXPECT_TRUE(files.Selected(1));
    EXPECT_FALSE(files.Selected(0));
    const auto mime = qt::outgoingDragData(files.onStartDrag);
    ASSERT_TRUE(mime);
    ASSERT_EQ(mime->urls().size(), 1);
    EXPECT_EQ(mime->urls()[0].toLocalFile().toStdString(), tree.path("b.mp3"));

    ASSERT_TRUE(files.setPattern("*.txt"));  // the program's change shows at once
    ASSERT_EQ(fileWidget->count(), 1);
    EXPECT_EQ(fileWidget->item(0)->text(), "skip.txt");
}

}  // namespace
}  // namespace velorra::toolkit
