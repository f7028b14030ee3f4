// List views and list boxes over their Qt models: rows, selection both ways, events, hit
// tests, and a play list of 100,000 rows.
#include "player/toolkit/list_box.h"
#include "player/toolkit/list_view.h"
#include "player/toolkit/qt/bound_window.h"
#include "player/toolkit/qt/list_box_widget.h"
#include "player/toolkit/qt/list_view_widget.h"
#include "tests/toolkit/qt/wait.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <iostream>

namespace velorra::toolkit::qt {
namespace {

using test::eventually;

struct ListWindow {
    Window window;
    ListView list{&window};
    ListBox box{&window};
    std::vector<KeyEvent> keys;
    std::vector<MouseEvent> mouseUps;
    std::vector<int> columnClicks;
    int dblClicks = 0, boxClicks = 0;

    ListWindow() {
        window.move(0, 0, 9000, 9000);
        list.move(120, 0, 8000, 4500);
        box.move(120, 5000, 3000, 2000);
        list.addColumn("Title", 2000);
        list.addColumn("Length", 1000);
        list.addColumn("Location", 3000);
        list.onKeyDown = [this](KeyEvent e) { keys.push_back(e); };
        list.onMouseUp = [this](MouseEvent e) { mouseUps.push_back(e); };
        list.onColumnClick = [this](int c) { columnClicks.push_back(c); };
        list.onDblClick = [this] { ++dblClicks; };
        box.onClick = [this] { ++boxClicks; };
    }
    void addRows(int n) {
        for (int i = 1; i <= n; ++i) {
            list.add("", "Song " + std::to_string(i));
            list.setText(list.count(), 1, "03:0" + std::to_string(i % 10));
            list.setText(list.count(), 2, "/music/song" + std::to_string(i) + ".mp3");
        }
    }
};

class ListTest : public ::testing::Test {
protected:
    void SetUp() override {
        rows.addRows(5);
        rows.window.show();
        ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    }
    ListViewWidget& view() { return dynamic_cast<ListViewWidget&>(*bound.widgetFor(rows.list)); }
    ListBoxWidget& box() { return dynamic_cast<ListBoxWidget&>(*bound.widgetFor(rows.box)); }
    QPoint rowCenter(int row) { return view().visualRect(view().model()->index(row - 1, 0)).center(); }
    // A viewport point in twips from the control's corner.
    QPoint twipsOf(QPoint viewportPos) {
        const QPoint p = view().viewport()->mapTo(&view(), viewportPos);
        return {p.x() * 15, p.y() * 15};
    }

    ListWindow rows;
    BoundWindow bound{rows.window};
};

TEST_F(ListTest, ModelShowsColumnsRowsAndSubItems) {
    QAbstractItemModel& m = *view().model();
    ASSERT_EQ(m.columnCount(), 3);
    EXPECT_EQ(m.headerData(2, Qt::Horizontal).toString(), "Location");
    EXPECT_EQ(view().header()->sectionSize(1), 67);  // 66.7 pixels, rounded
    EXPECT_EQ(m.rowCount(), 5);
    EXPECT_EQ(m.index(1, 0).data().toString(), "Song 2");
    EXPECT_EQ(m.index(1, 2).data().toString(), "/music/song2.mp3");

    rows.list.insert(1, "k", "First");
    rows.list.remove(4);
    rows.list.setText(2, 0, "Renamed");
    EXPECT_EQ(m.rowCount(), 5);
    EXPECT_EQ(m.index(0, 0).data().toString(), "First");
    EXPECT_EQ(m.index(1, 0).data().toString(), "Renamed");
    EXPECT_EQ(m.index(3, 0).data().toString(), "Song 4");
    rows.list.sort(0, false);
    EXPECT_EQ(m.index(0, 0).data().toString(), "Song 5");
    rows.list.clear();
    EXPECT_EQ(m.rowCount(), 0);
}

TEST_F(ListTest, TextThatIsNotUtf8ShowsReplacementCharacters) {
    rows.list.setText(1, 2, std::string("/music/caf\xe9\xff.mp3"));
    const QString shown = view().model()->index(0, 2).data().toString();
    EXPECT_TRUE(shown.startsWith("/music/caf"));
    EXPECT_TRUE(shown.contains(QChar::ReplacementCharacter));
}

TEST_F(ListTest, SelectionGoesBothWays) {
    rows.list.setMultiSelect(true);
    EXPECT_EQ(view().selectionMode(), QAbstractItemView::ExtendedSelection);
    rows.list.setSelectedItem(4);
    QModelIndexList selected = view().selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), 3);
    EXPECT_EQ(view().currentIndex().row(), 3);

    QTest::mouseClick(view().viewport(), Qt::LeftButton, {}, rowCenter(2));
    EXPECT_EQ(rows.list.selectedItem(), 2);
    EXPECT_FALSE(rows.list.selected(4));
    QTest::mouseClick(view().viewport(), Qt::LeftButton, Qt::ControlModifier, rowCenter(5));
    EXPECT_EQ(rows.list.selectedRows(), (std::vector<int32_t>{2, 5}));

    // A sort keeps the control's selection and the view shows it again.
    rows.list.sort(0, false);
    selected = view().selectionModel()->selectedRows();
    EXPECT_EQ(selected.size(), 2);
}

TEST_F(ListTest, KeysMouseUpDoubleClickAndHeaderClickReachTheControl) {
    view().setFocus();
    QTest::keyClick(&view(), Qt::Key_Delete);
    QTest::keyClick(&view(), Qt::Key_A, Qt::ShiftModifier);
    QTest::keyClick(&view(), Qt::Key_Return);
    ASSERT_EQ(rows.keys.size(), 3u);
    EXPECT_EQ(rows.keys[0].keyCode, keys::Delete);
    EXPECT_EQ(rows.keys[1].keyCode, 'A');
    EXPECT_EQ(rows.keys[1].shift, shift::Shift);
    EXPECT_EQ(rows.keys[2].keyCode, keys::Return);

    const QPoint at = rowCenter(3);
    QTest::mouseClick(view().viewport(), Qt::RightButton, {}, at);
    ASSERT_EQ(rows.mouseUps.size(), 1u);
    EXPECT_EQ(rows.mouseUps[0].button, buttons::Right);
    EXPECT_EQ(QPoint(rows.mouseUps[0].x, rows.mouseUps[0].y), twipsOf(at));
    EXPECT_EQ(rows.list.hitTest(rows.mouseUps[0].x, rows.mouseUps[0].y), 3);

    QTest::mouseDClick(view().viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(rows.dblClicks, 1);

    QHeaderView& header = *view().header();
    QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, QPoint(header.sectionViewportPosition(1) + 5, 5));
    EXPECT_EQ(rows.columnClicks, std::vector<int>{2});
    EXPECT_EQ(view().model()->index(0, 0).data().toString(), "Song 1");  // Qt did not sort
}

TEST_F(ListTest, HitTestAnswersFromTheDrawnRows) {
    const QPoint second = twipsOf(rowCenter(2));
    EXPECT_EQ(rows.list.hitTest(second.x(), second.y()), 2);
    // Past the last column the row still counts; below the last row nothing does.
    EXPECT_EQ(rows.list.hitTest(7800, second.y()), 2);
    const QPoint belowLast = twipsOf(rowCenter(5) + QPoint(0, 3 * view().visualRect(view().model()->index(0, 0)).height()));
    EXPECT_EQ(rows.list.hitTest(belowLast.x(), belowLast.y()), 0);
    // The header is not a row.
    EXPECT_EQ(rows.list.hitTest(second.x(), 15), 0);
}

TEST_F(ListTest, ListBoxMirrorsItemsAndSelection) {
    rows.box.AddItem("one");
    rows.box.AddItem("three");
    rows.box.AddItem("two", 1);
    QAbstractItemModel& m = *box().model();
    ASSERT_EQ(m.rowCount(), 3);
    EXPECT_EQ(m.index(1, 0).data().toString(), "two");

    rows.box.setListIndex(2);
    EXPECT_EQ(box().currentIndex().row(), 2);
    EXPECT_EQ(rows.boxClicks, 1);
    QTest::mouseClick(box().viewport(), Qt::LeftButton, {}, box().visualRect(m.index(0, 0)).center());
    EXPECT_EQ(rows.box.ListIndex(), 0);
    EXPECT_EQ(rows.boxClicks, 2);

    rows.box.setMultiSelect(true);
    EXPECT_EQ(box().selectionMode(), QAbstractItemView::ExtendedSelection);
    QTest::mouseClick(box().viewport(), Qt::LeftButton, Qt::ControlModifier, box().visualRect(m.index(2, 0)).center());
    EXPECT_TRUE(rows.box.Selected(0));
    EXPECT_TRUE(rows.box.Selected(2));
    rows.box.RemoveItem(1);
    EXPECT_EQ(m.rowCount(), 2);
    rows.box.Clear();
    EXPECT_EQ(m.rowCount(), 0);
}

TEST(ListBindingTest, RowsAndSelectionMadeBeforeBindingAreShown) {
    ListWindow rows;
    rows.addRows(3);
    rows.list.setSelectedItem(2);
    rows.box.AddItem("a");
    rows.box.AddItem("b");
    rows.box.setListIndex(1);
    BoundWindow bound(rows.window);
    auto& view = dynamic_cast<ListViewWidget&>(*bound.widgetFor(rows.list));
    EXPECT_EQ(view.model()->rowCount(), 3);
    const QModelIndexList selected = view.selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), 1);
    auto& box = dynamic_cast<ListBoxWidget&>(*bound.widgetFor(rows.box));
    EXPECT_EQ(box.currentIndex().row(), 1);
    EXPECT_TRUE(box.selectionModel()->isSelected(box.model()->index(1, 0)));
}

TEST(BigListTest, HundredThousandRowsInsertedOneByOneAndScrolled) {
    ListWindow rows;
    BoundWindow bound(rows.window);
    rows.window.show();
    ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    auto& view = dynamic_cast<ListViewWidget&>(*bound.widgetFor(rows.list));

    constexpr int N = 100000;
    QElapsedTimer clock;
    clock.start();
    rows.addRows(N);
    const qint64 insertMs = clock.elapsed();
    clock.restart();
    view.scrollToBottom();
    QCoreApplication::processEvents();
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
    QCoreApplication::processEvents();
    rows.list.ensureVisible(N);
    QCoreApplication::processEvents();
    const qint64 scrollMs = clock.elapsed();
    std::cout << "[ measured ] " << N << " rows inserted one by one in " << insertMs << " ms, scrolled in "
              << scrollMs << " ms\n";

    EXPECT_EQ(view.model()->rowCount(), N);
    const QModelIndex last = view.model()->index(N - 1, 0);
    EXPECT_TRUE(view.viewport()->rect().contains(view.visualRect(last).center()));
    const QPoint p = view.viewport()->mapTo(&view, view.visualRect(last).center());
    EXPECT_EQ(rows.list.hitTest(p.x() * 15, p.y() * 15), N);
    EXPECT_EQ(last.data().toString(), QString("Song %1").arg(N));

    // Reading a play list lets events run now and then, which lays the rows out each time.
    rows.list.clear();
    clock.restart();
    for (int i = 0; i < N / 100; ++i) {
        rows.addRows(100);
        QCoreApplication::processEvents();
    }
    std::cout << "[ measured ] " << N << " rows with events run every 100 rows in " << clock.elapsed() << " ms\n";
    EXPECT_EQ(view.model()->rowCount(), N);

    // The total-length calculation writes every row's length and lets events run after each.
    clock.restart();
    for (int32_t r = 1; r <= N; ++r) {
        rows.list.setText(r, 1, "04:00");
        QCoreApplication::processEvents();
    }
    std::cout << "[ measured ] " << N << " row texts changed with events run after each in " << clock.elapsed()
              << " ms\n";
    EXPECT_EQ(view.model()->index(N - 1, 1).data().toString(), "04:00");
}

}  // namespace
}  // namespace velorra::toolkit::qt
