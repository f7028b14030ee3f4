// Files dragged in from the desktop and rows dragged out, in its file-list format.
#include "player/toolkit/list_view.h"
#include "player/toolkit/qt/bound_window.h"
#include "player/toolkit/qt/list_view_widget.h"
#include "player/toolkit/qt/uri_list.h"
#include "tests/toolkit/qt/wait.h"

#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace velorra::toolkit::qt {
namespace {

using test::eventually;

TEST(UriListTest, FileUrlsBecomeAFileListOfLocalPaths) {
    QMimeData mime;
    mime.setData("text/uri-list", "file:///tmp/My%20Songs/Canci%C3%B3n.mp3\r\nhttp://example.com/a.mp3\r\n");
    const DragData data = toDragData(mime);
    EXPECT_TRUE(data.hasFiles);
    EXPECT_EQ(data.files, std::vector<std::string>{"/tmp/My Songs/Canci\xc3\xb3n.mp3"});
}

TEST(UriListTest, OtherUrlsAndPlainTextAreNoFileList) {
    QMimeData web;
    web.setData("text/uri-list", "http://example.com/a.mp3\r\n");
    DragData data = toDragData(web);
    EXPECT_FALSE(data.hasFiles);
    EXPECT_TRUE(data.files.empty());
    EXPECT_EQ(data.text, "http://example.com/a.mp3");

    QMimeData text;
    text.setText("/tmp/song.mp3");
    data = toDragData(text);
    EXPECT_FALSE(data.hasFiles);
    EXPECT_EQ(data.text, "/tmp/song.mp3");
}

TEST(UriListTest, AnyBytePathSurvivesTheRoundTrip) {
    DragData out;
    const std::string latin1 = "/tmp/caf\xe9 \xff.mp3", utf8 = "/tmp/Canci\xc3\xb3n #1%.mp3";
    out.setFiles({latin1, utf8});
    const std::unique_ptr<QMimeData> mime = toMimeData(out);
    ASSERT_TRUE(mime->hasUrls());
    EXPECT_EQ(mime->urls().size(), 2);
    EXPECT_TRUE(mime->urls()[0].isLocalFile());
    EXPECT_TRUE(mime->text().contains("Canci\u00f3n #1%.mp3"));
    const DragData back = toDragData(*mime);
    EXPECT_TRUE(back.hasFiles);
    EXPECT_EQ(back.files, out.files);
}

class ListDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.move(0, 0, 9000, 6000);
        list.move(0, 0, 8000, 4000);
        list.addColumn("Title", 3000);
        list.addColumn("Location", 4000);
        list.setMultiSelect(true);
        for (int i = 1; i <= 4; ++i) {
            list.add("", "Song " + std::to_string(i));
            list.setText(i, 1, "/music/song " + std::to_string(i) + ".mp3");
        }
        window.show();
        ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    }
    ListViewWidget& view() { return dynamic_cast<ListViewWidget&>(*bound.widgetFor(list)); }
    // Qt hands moves and the drop only to a widget that took the drag on entering.
    bool enter(const QMimeData& mime, QPoint at) {
        QDragEnterEvent e(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view().viewport(), &e);
        return e.isAccepted();
    }
    QPoint rowCenter(int row) { return view().visualRect(view().model()->index(row - 1, 0)).center(); }

    Window window;
    ListView list{&window};
    BoundWindow bound{window};
};

TEST_F(ListDropTest, DropOverARowGivesTheFileListAndThePoint) {
    std::vector<DragData> drops;
    int32_t hit = -1;
    list.onDrop = [&](const DragData& d, int32_t x, int32_t y) {
        drops.push_back(d);
        hit = list.hitTest(x, y);
    };
    QMimeData mime;
    mime.setData("text/uri-list", "file:///tmp/My%20Songs/Canci%C3%B3n.mp3\r\nhttp://example.com/a.mp3\r\n");
    ASSERT_TRUE(enter(mime, rowCenter(1)));
    QDropEvent drop(rowCenter(2), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view().viewport(), &drop);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_TRUE(drops[0].hasFiles);
    EXPECT_EQ(drops[0].files, std::vector<std::string>{"/tmp/My Songs/Canci\xc3\xb3n.mp3"});
    EXPECT_EQ(hit, 2);

    QMimeData text;
    text.setText("just text");
    ASSERT_TRUE(enter(text, rowCenter(1)));
    QDropEvent textDrop(rowCenter(3), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view().viewport(), &textDrop);
    ASSERT_EQ(drops.size(), 2u);
    EXPECT_FALSE(drops[1].hasFiles);
    EXPECT_EQ(drops[1].text, "just text");
    EXPECT_EQ(hit, 3);
}

TEST_F(ListDropTest, DragOverShowsTheEffectTheControlGives) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/tmp/a.mp3")});
    EXPECT_FALSE(enter(mime, rowCenter(1)));  // without drag-over or drop actions the list takes nothing
    std::vector<int32_t> overRows;
    list.onDragOver = [&](const DragData& d, int32_t x, int32_t y) {
        overRows.push_back(list.hitTest(x, y));
        return d.hasFiles && list.hitTest(x, y) != 1 ? DropEffect::Copy : DropEffect::None;
    };
    EXPECT_TRUE(enter(mime, rowCenter(1)));
    QDragMoveEvent refused(rowCenter(1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view().viewport(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    QDragMoveEvent taken(rowCenter(3), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view().viewport(), &taken);
    EXPECT_TRUE(taken.isAccepted());
    EXPECT_EQ(taken.dropAction(), Qt::CopyAction);
    EXPECT_EQ(overRows, (std::vector<int32_t>{1, 1, 3}));  // entering asks too
}

TEST_F(ListDropTest, DraggingSelectedRowsOutCarriesTheirPathsAsFileUrls) {
    EXPECT_EQ(view().dragMimeData(), nullptr);  // no start-drag action: no drag
    list.onStartDrag = [&](DragData& d) {
        std::vector<std::string> paths;
        for (int32_t r : list.selectedRows()) paths.push_back(list.text(r, 1));
        if (paths.empty()) return false;
        d.setFiles(paths);
        return true;
    };
    EXPECT_EQ(view().dragMimeData(), nullptr);  // nothing selected: refused
    list.setSelected(2, true);
    list.setSelected(4, true);
    const std::unique_ptr<QMimeData> mime = view().dragMimeData();
    ASSERT_NE(mime, nullptr);
    const QList<QUrl> urls = mime->urls();
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(urls[0].toString(), "file:///music/song 2.mp3");
    EXPECT_EQ(urls[1], QUrl::fromLocalFile("/music/song 4.mp3"));
    EXPECT_TRUE(mime->data("text/uri-list").contains("file:///music/song%202.mp3"));
    EXPECT_EQ(mime->text(), "/music/song 2.mp3\n/music/song 4.mp3");
}

TEST_F(ListDropTest, DraggingASelectedRowStartsTheControlsDrag) {
    std::vector<int32_t> startedFrom;
    list.onStartDrag = [&](DragData& d) {
        startedFrom.push_back(list.selectedItem());
        d.setFiles({list.text(list.selectedItem(), 1)});
        // Where the platform runs a drag loop, end it.
        QTimer::singleShot(0, [] { QDrag::cancel(); });
        return true;
    };
    list.setSelectedItem(3);
    const QPoint from = rowCenter(3);
    QTest::mousePress(view().viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(view().viewport(), from + QPoint(QApplication::startDragDistance() + 5, 0));
    QTest::mouseMove(view().viewport(), from + QPoint(2 * QApplication::startDragDistance() + 10, 0));
    QTest::mouseRelease(view().viewport(), Qt::LeftButton, {}, from);
    EXPECT_EQ(startedFrom, std::vector<int32_t>{3});
}

}  // namespace
}  // namespace velorra::toolkit::qt
