// The play list in the real list view on the offscreen platform: the desktop's file list
// dropped on a row, rows dragged out as file URLs, and the Options menu's "Read Other Tags".
#include "playlist/play_list_fixture.h"
#include "player/toolkit/qt/bound_window.h"
#include "player/toolkit/qt/list_view_widget.h"
#include "player/toolkit/qt/uri_list.h"
#include "tests/toolkit/qt/wait.h"
#include "tools/media/tagged_encoder.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>

#include <algorithm>

namespace velorra {
namespace {

using toolkit::qt::ListViewWidget;

struct PlayListView : testing::PlayListWindow {
    toolkit::qt::BoundWindow bound{player};

    PlayListView() {
        player.setHeight(9000);
        bound.showWindow(false);  // the window was shown before it had its widgets
        EXPECT_TRUE(toolkit::qt::test::eventually([&] { return bound.isVisible(); }));
    }
    ListViewWidget& view() { return dynamic_cast<ListViewWidget&>(*bound.widgetFor(list())); }
    QPoint rowCenter(int row) { return view().visualRect(view().model()->index(row - 1, 0)).center(); }
    // The drop as the file manager makes it: entering first, then the drop at `at`.
    bool drop(const QMimeData& mime, QPoint at) {
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view().viewport(), &enter);
        QDropEvent e(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view().viewport(), &e);
        return e.isAccepted();
    }
};

TEST_F(PlayListView, AUriListDroppedOnRowTwoIsInsertedThereAsLocalPaths) {
    const std::string tagged = dir.path("Dropped Song.mp3");
    testing::writeFile(tagged, testing::taggedMp3({"From The Shell", "Them", "", "", "", 255}));
    addRows({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3"});
    ASSERT_EQ(view().model()->rowCount(), 3);

    QMimeData mime;
    mime.setData("text/uri-list", "file://" + QUrl::toPercentEncoding(QString::fromStdString(tagged), "/") +
                                      "\r\nfile:///m/Canci%C3%B3n%20n%C2%BA%202.mp3\r\nhttp://example.com/x.mp3\r\n");
    ASSERT_TRUE(drop(mime, rowCenter(2)));
    EXPECT_EQ(column(7), (std::vector<std::string>{"/m/1.mp3", tagged, "/m/Canci\xc3\xb3n n\xc2\xba 2.mp3", "/m/2.mp3",
                                                   "/m/3.mp3"}));
    EXPECT_EQ(view().model()->rowCount(), 5);
    EXPECT_EQ(view().model()->index(1, 0).data().toString(), "From The Shell");

    QMimeData text;
    text.setText("/m/not-a-file-list.mp3");
    drop(text, rowCenter(1));
    EXPECT_EQ(list().count(), 5);
}

TEST_F(PlayListView, ThePlayingRowIsBoldWhereverItMovesAndTheHeaderShowsTheLastSort) {
    addRows({"/m/b.mp3", "/m/d.mp3", "/m/a.mp3", "/m/c.mp3"});
    QAbstractItemModel& model = *view().model();
    // The locations of the rows drawn bold; the others are plain.
    const auto boldRows = [&] {
        std::vector<std::string> bold;
        for (int r = 0; r < model.rowCount(); ++r) {
            const QVariant font = model.index(r, 7).data(Qt::FontRole);
            if (font.isValid() && font.value<QFont>().bold()) bold.push_back(list().text(r + 1, 7));
        }
        return bold;
    };
    EXPECT_FALSE(view().font().bold());
    EXPECT_TRUE(boldRows().empty());
    player.CurrentIndex = 2;
    EXPECT_EQ(boldRows(), (std::vector<std::string>{"/m/d.mp3"}));
    EXPECT_FALSE(view().header()->isSortIndicatorShown());

    // Two clicks on the "Location" header: ascending, then descending.
    QHeaderView& header = *view().header();
    const QPoint location(header.sectionViewportPosition(7) + 10, header.height() / 2);
    QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, location);
    EXPECT_EQ(column(7), (std::vector<std::string>{"/m/a.mp3", "/m/b.mp3", "/m/c.mp3", "/m/d.mp3"}));
    EXPECT_EQ(boldRows(), (std::vector<std::string>{"/m/d.mp3"}));
    EXPECT_TRUE(header.isSortIndicatorShown());
    EXPECT_EQ(header.sortIndicatorSection(), 7);
    EXPECT_EQ(header.sortIndicatorOrder(), Qt::AscendingOrder);
    QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, location);
    EXPECT_EQ(header.sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(boldRows(), (std::vector<std::string>{"/m/d.mp3"}));

    int32_t pos = 1;  // a row before the playing one, then the rows around it deleted
    player.AddFileToList("/m/e.mp3", pos, list());
    EXPECT_EQ(boldRows(), (std::vector<std::string>{"/m/d.mp3"}));
    select({1, 3});
    player.mnuDeleteSelectedItem_Click();
    EXPECT_EQ(boldRows(), (std::vector<std::string>{"/m/d.mp3"}));

    player.mnuClear_Click();
    addRows({"/m/new.mp3"});
    EXPECT_TRUE(boldRows().empty());
    EXPECT_EQ(header.sortIndicatorOrder(), Qt::DescendingOrder);  // the last sort is still shown
}

TEST_F(PlayListView, DraggingOutCarriesTheSelectedRowsPaths) {
    addRows({"/m/one.mp3", "/m/with blank.mp3", "/m/three.mp3", "/m/caf\xe9.mp3"});
    select({2, 4});
    const std::unique_ptr<QMimeData> mime = view().dragMimeData();
    ASSERT_NE(mime, nullptr);
    const QList<QUrl> urls = mime->urls();
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(urls[0], QUrl::fromLocalFile("/m/with blank.mp3"));
    EXPECT_EQ(toolkit::qt::localPath(urls[1]), "/m/caf\xe9.mp3");

    select({});
    EXPECT_EQ(view().dragMimeData(), nullptr);  // nothing selected, nothing to drag
}

TEST_F(PlayListView, ReadOtherTagsIsATickItemOfOptionsThatRowsFollow) {
    const QList<QAction*> bar = bound.menuBar()->actions();
    ASSERT_GE(bar.size(), 2);
    EXPECT_EQ(bar[1]->text(), "&Options");
    const QList<QAction*> options = bar[1]->menu()->actions();
    const auto item = std::find_if(options.begin(), options.end(),
                                   [](QAction* a) { return a->text() == "Read &Other Tags"; });
    ASSERT_NE(item, options.end());
    EXPECT_EQ(options.front()->text(), "Set Velorra as Default Player");  // below the items there were
    QAction* readOtherTags = *item;
    EXPECT_TRUE(readOtherTags->isChecked());

    const std::string flac = dir.path("tone.flac");
    media::writeTagged(flac, media::TaggedFormat::Flac, media::tune(1), 0.5, {.title = "Señal", .artist = "Zoë"});
    addRows({flac});
    readOtherTags->trigger();
    EXPECT_FALSE(player.mnuReadOtherTags.Checked());
    EXPECT_FALSE(readOtherTags->isChecked());
    addRows({flac});
    EXPECT_EQ(view().model()->index(0, 0).data().toString(), "Señal");
    EXPECT_EQ(view().model()->index(0, 2).data().toString(), "Zoë");
    EXPECT_EQ(view().model()->index(1, 0).data().toString(), "tone");
    EXPECT_EQ(view().model()->index(1, 2).data().toString(), "");

    readOtherTags->trigger();
    EXPECT_TRUE(player.mnuReadOtherTags.Checked());
    EXPECT_TRUE(readOtherTags->isChecked());
}

}  // namespace
}  // namespace velorra
