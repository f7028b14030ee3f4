// A real window on the offscreen platform: widgets at their places, program changes mirrored,
// user input turned into control calls.
#include "player/toolkit/button.h"
#include "player/toolkit/label.h"
#include "player/toolkit/panel.h"
#include "player/toolkit/qt/bound_window.h"
#include "player/toolkit/qt/progress_bar_widget.h"
#include "player/toolkit/qt/scroll_bar_widget.h"
#include "player/toolkit/status_bar.h"
#include "player/toolkit/text_box.h"
#include "player/toolkit/value_control.h"
#include "tests/toolkit/qt/wait.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <memory>

namespace velorra::toolkit::qt {
namespace {

using test::eventually;

// A small window like the player's: a black panel with a button, labels, bars and a check
// box, a status bar with a progress bar over its first panel, and a menu.
struct DemoWindow {
    Window window;
    Panel panel{&window};
    Button play{&panel};
    Label title{&panel};
    Label plain{&panel};
    ScrollBar volume{&panel, Orientation::Horizontal};
    ScrollBar spin{&panel, Orientation::Vertical};
    CheckBox shuffle{&panel};
    TextBox text{&window};
    StatusBar status{&window};
    ProgressBar progress{&window};
    MenuItem file{nullptr, "&File"};
    MenuItem open{&file, "Open...", "Ctrl+O"};
    MenuItem bar{&file, "-"};
    MenuItem clear{&file, "Clear List"};
    MenuItem about{nullptr, "&About"};

    int playClicks = 0, volumeChanges = 0, volumeScrolls = 0, spinChanges = 0, shuffleClicks = 0;
    int textChanges = 0, openClicks = 0, aboutClicks = 0, resizes = 0, unloads = 0;
    int32_t lastScaleWidth = 0;

    DemoWindow() {
        window.setCaption("Demo");
        window.setBackColor(colors::Black);
        window.menuBar() = {&file, &about};
        window.move(0, 0, 6645, 6000);
        panel.move(120, 1800, 6285, 3000);
        panel.setBackColor(colors::Black);
        play.move(2400, 120, 1410, 450);
        play.setCaption("&Play");
        play.setBackColor(colors::Green);
        play.setFont(Font{8.25, true});
        title.move(360, 720, 1800, 225);
        title.setCaption("Current Position");
        title.setForeColor(colors::White);
        title.setBackColor(colors::Black);
        plain.move(3000, 720, 1080, 225);
        plain.setCaption("00:00");
        volume.move(120, 960, 3300, 255);
        volume.setRange(0, 85);
        spin.move(1320, 1500, 240, 465);
        spin.setRange(100, 1);
        spin.setValue(5);
        spin.setSpinner(true);
        shuffle.move(2400, 600, 1530, 195);
        shuffle.setCaption("Shuffle Mode");
        shuffle.setForeColor(colors::Green);
        text.move(120, 0, 3000, 300);
        status.addPanel();
        status.setPanel(2, StatusBar::Panel{"www.example.com", StatusBar::Bevel::Inset, true});
        progress.move(105, 5170, 1200, 210);

        play.onClick = [this] { ++playClicks; };
        volume.onChange = [this] { ++volumeChanges; };
        volume.onScroll = [this] { ++volumeScrolls; };
        spin.onChange = [this] { ++spinChanges; };
        shuffle.onClick = [this] { ++shuffleClicks; };
        text.onChange = [this] { ++textChanges; };
        open.onClick = [this] { ++openClicks; };
        about.onClick = [this] { ++aboutClicks; };
        window.onResize = [this] {
            ++resizes;
            lastScaleWidth = window.ScaleWidth();
        };
        window.onUnload = [this] { ++unloads; };
    }
};

template <class W>
W& widget(const BoundWindow& bound, const Control& c) {
    auto* w = dynamic_cast<W*>(bound.widgetFor(c));
    if (!w) throw std::runtime_error("control has no widget of that kind");
    return *w;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_DOUBLE_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0)
            << "the expected pixel places assume 15 twips a pixel";
    }
    DemoWindow demo;
    BoundWindow bound{demo.window};
};

TEST_F(WindowTest, WidgetsSitAtTheirPlacesInPixels) {
    demo.window.show();
    EXPECT_EQ(widget<QWidget>(bound, demo.panel).geometry(), QRect(8, 120, 419, 200));
    QPushButton& play = widget<QPushButton>(bound, demo.play);
    EXPECT_EQ(play.parentWidget(), &widget<QWidget>(bound, demo.panel));
    EXPECT_EQ(play.geometry(), QRect(160, 8, 94, 30));
    EXPECT_EQ(play.text(), "&Play");
    EXPECT_TRUE(play.font().bold());
    EXPECT_EQ(play.palette().color(QPalette::Button), QColor(0, 255, 0));
    EXPECT_EQ(play.palette().color(QPalette::ButtonText), QColor(Qt::black));
    EXPECT_EQ(widget<QLabel>(bound, demo.title).geometry(), QRect(24, 48, 120, 15));
    // A label without colours shows the system's, not the black panel's.
    const QLabel& plain = widget<QLabel>(bound, demo.plain);
    EXPECT_EQ(plain.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
    EXPECT_TRUE(plain.autoFillBackground());
}

TEST_F(WindowTest, StatusBarIsDockedAtTheBottomAndBelowTheProgressBarWhichShowsItsLastValueWhole) {
    demo.window.show();
    ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    QWidget& client = bound.clientArea();
    QWidget& status = widget<QWidget>(bound, demo.status);
    EXPECT_EQ(status.geometry().bottom(), client.height() - 1);
    EXPECT_EQ(status.width(), client.width());
    // The progress bar lies over the status bar's first panel and is the one drawn there.
    demo.progress.setTop(client.height() * 15 - 150);
    QWidget& progress = widget<ProgressBarWidget>(bound, demo.progress);
    ASSERT_TRUE(progress.geometry().intersects(status.geometry()));
    const QPoint inBoth = progress.geometry().intersected(status.geometry()).center();
    EXPECT_EQ(client.childAt(inBoth), &progress);

    // A move repaints only the columns it changes: after moves up and down, what the window
    // shows of the bar (its part above the window's lower edge) is the bar drawn afresh at its
    // last value.
    for (const int32_t value : {80, 20, 55, 54}) {
        ASSERT_TRUE(demo.progress.setValue(value));
        QTest::qWait(10);
    }
    const QPoint at = progress.mapTo(progress.window(), QPoint(0, 0));
    const QImage shown = QGuiApplication::primaryScreen()
                             ->grabWindow(progress.window()->winId(), at.x(), at.y(), progress.width(), progress.height())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.width(), progress.width());
    ASSERT_GT(shown.height(), 2);
    EXPECT_EQ(shown, progress.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(shown.rect()));
}

TEST_F(WindowTest, ProgramChangesAreMirroredAndRefusedValuesNeverReachTheWidget) {
    QScrollBar& bar = widget<ScrollBarWidget>(bound, demo.volume).bar();
    EXPECT_TRUE(demo.volume.setValue(40));
    EXPECT_EQ(bar.value(), 40);
    EXPECT_EQ(demo.volumeChanges, 1);
    EXPECT_FALSE(demo.volume.setValue(90));
    EXPECT_EQ(bar.value(), 40);
    EXPECT_EQ(demo.volumeChanges, 1);
    // A narrower range moves the value to its end: one change, and the bar agrees.
    demo.volume.setRange(0, 10);
    EXPECT_EQ(demo.volume.Value(), 10);
    EXPECT_EQ(demo.volumeChanges, 1 + 1);
    EXPECT_EQ(bar.maximum(), 10);
    EXPECT_EQ(bar.value(), 10);
    // Moved while hidden, the bar shows where it stands once it is shown again.
    demo.volume.setVisible(false);
    EXPECT_TRUE(demo.volume.setValue(3));
    demo.volume.setVisible(true);
    EXPECT_EQ(bar.value(), 3);

    demo.title.setCaption("Master Volume");
    EXPECT_EQ(widget<QLabel>(bound, demo.title).text(), "Master Volume");
    demo.play.setVisible(false);
    EXPECT_TRUE(widget<QPushButton>(bound, demo.play).isHidden());
    demo.play.setEnabled(false);
    EXPECT_FALSE(widget<QPushButton>(bound, demo.play).isEnabled());
    demo.shuffle.setValue(2);
    EXPECT_EQ(widget<QCheckBox>(bound, demo.shuffle).checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(demo.shuffleClicks, 1);
    demo.text.setText("abc");
    EXPECT_EQ(widget<QLineEdit>(bound, demo.text).text(), "abc");
    EXPECT_EQ(demo.textChanges, 1);
    demo.play.move(0, 0, 1500, 300);
    EXPECT_EQ(widget<QPushButton>(bound, demo.play).geometry(), QRect(0, 0, 100, 20));
}

TEST_F(WindowTest, UserInputReachesTheControlsOnce) {
    demo.window.show();
    ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    QTest::mouseClick(&widget<QPushButton>(bound, demo.play), Qt::LeftButton);
    EXPECT_EQ(demo.playClicks, 1);

    QTest::mouseClick(&widget<QCheckBox>(bound, demo.shuffle), Qt::LeftButton);
    EXPECT_EQ(demo.shuffle.Value(), 1);
    EXPECT_EQ(demo.shuffleClicks, 1);
    EXPECT_TRUE(widget<QCheckBox>(bound, demo.shuffle).isChecked());

    QLineEdit& edit = widget<QLineEdit>(bound, demo.text);
    QTest::keyClicks(&edit, "ab");
    EXPECT_EQ(demo.text.Text(), "ab");
    EXPECT_EQ(demo.textChanges, 2);
}

TEST_F(WindowTest, TextSelectionAndFocusGoBothWays) {
    demo.window.show();
    ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    QLineEdit& edit = widget<QLineEdit>(bound, demo.text);
    demo.text.setText("Día uno");  // a two-byte letter: the control counts bytes, the box characters
    ASSERT_TRUE(demo.text.setSelection(5, 3));  // "uno"
    EXPECT_EQ(edit.selectedText(), "uno");
    EXPECT_FALSE(demo.text.setSelection(5, 9));
    EXPECT_EQ(edit.selectedText(), "uno");

    edit.setSelection(0, 3);  // the user selects "Día"
    EXPECT_EQ(demo.text.SelStart(), 0);
    EXPECT_EQ(demo.text.SelLength(), 4);

    int gotFocus = 0;
    demo.text.onGotFocus = [&] {
        ++gotFocus;
        demo.text.selectAll();
    };
    bound.activateWindow();
    demo.text.setFocus();
    ASSERT_TRUE(eventually([&] { return edit.hasFocus(); }));
    EXPECT_EQ(gotFocus, 1);  // the real focus-in that follows is the same entry, not a second one
    EXPECT_TRUE(eventually([&] { return edit.selectedText() == "Día uno"; }));
    widget<QPushButton>(bound, demo.play).setFocus();
    ASSERT_TRUE(eventually([&] { return !demo.text.focused(); }));
    edit.setFocus(Qt::MouseFocusReason);  // the user comes back
    EXPECT_TRUE(eventually([&] { return gotFocus == 2; }));
}

// Clicks a scroll bar's part, found through the style as a user would see it.
void clickPart(QScrollBar& bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    const QRect r = bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, r.center());
}

TEST_F(WindowTest, ScrollBarArrowsStepByTheControlsRulesEvenWhenMinIsAboveMax) {
    demo.window.show();
    ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    QScrollBar& bar = widget<ScrollBarWidget>(bound, demo.volume).bar();
    demo.volume.setSmallChange(5);  // set after binding: the arrow still steps by it
    clickPart(bar, QStyle::SC_ScrollBarAddLine);
    EXPECT_EQ(demo.volume.Value(), 5);
    EXPECT_EQ(demo.volumeChanges, 1);
    EXPECT_EQ(bar.value(), 5);

    demo.volume.setRange(85, 0);  // the left end is now 85
    demo.volume.setValue(85);
    const int before = demo.volumeChanges;
    clickPart(bar, QStyle::SC_ScrollBarAddLine);
    EXPECT_EQ(demo.volume.Value(), 80);
    EXPECT_EQ(demo.volumeChanges, before + 1);
    clickPart(bar, QStyle::SC_ScrollBarSubLine);
    clickPart(bar, QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(demo.volume.Value(), 85);  // stops at the end
    EXPECT_EQ(demo.volumeChanges, before + 2);
}

// Turns the wheel over `w` by `angle` eighths of a degree (120 a notch; up is positive).
void turnWheel(QWidget& w, int angle) {
    const QPointF at(w.rect().center());
    QWheelEvent e(at, w.mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(&w, &e);
}

TEST_F(WindowTest, TroughClicksAndTheWheelMoveABarAndStopAtItsEnd) {
    demo.window.show();
    ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    QScrollBar& bar = widget<ScrollBarWidget>(bound, demo.volume).bar();
    demo.volume.setLargeChange(10);  // set after binding: the trough still pages by it
    clickPart(bar, QStyle::SC_ScrollBarAddPage);
    EXPECT_EQ(demo.volume.Value(), 10);
    demo.volume.setValue(80);
    clickPart(bar, QStyle::SC_ScrollBarAddPage);
    EXPECT_EQ(demo.volume.Value(), 85);  // a page past the end goes to the end

    // Wheel-up moves a horizontal bar to the right, Qt's wheel step a notch.
    const int notch = QApplication::wheelScrollLines();
    demo.volume.setValue(40);
    const int before = demo.volumeChanges;
    turnWheel(bar, 120);
    EXPECT_EQ(demo.volume.Value(), 40 + notch);
    turnWheel(bar, -60);  // half a notch waits for the other half
    EXPECT_EQ(demo.volume.Value(), 40 + notch);
    turnWheel(bar, -60);
    EXPECT_EQ(demo.volume.Value(), 40);
    EXPECT_EQ(demo.volumeChanges, before + 2);
    turnWheel(bar, 120 * 100);
    EXPECT_EQ(demo.volume.Value(), 85);
    EXPECT_EQ(bar.value(), 85);

    // Over a spinner the wheel steps as its arrows do: up towards Min, which here is 100.
    ScrollBarWidget& spin = widget<ScrollBarWidget>(bound, demo.spin);
    turnWheel(spin.upArrow(), 120);
    EXPECT_EQ(demo.spin.Value(), 6);
    turnWheel(spin.downArrow(), -240);
    EXPECT_EQ(demo.spin.Value(), 4);
    EXPECT_EQ(demo.spinChanges, 3);
}

TEST_F(WindowTest, ThumbDragScrollsThenChangesOnceOnRelease) {
    demo.window.show();
    ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    QScrollBar& bar = widget<ScrollBarWidget>(bound, demo.volume).bar();
    bar.setSliderDown(true);
    bar.setSliderPosition(30);  // what dragging the thumb does
    EXPECT_EQ(demo.volume.Value(), 30);
    EXPECT_GE(demo.volumeScrolls, 1);
    EXPECT_EQ(demo.volumeChanges, 0);
    bar.setSliderDown(false);
    EXPECT_EQ(demo.volumeChanges, 1);
}

TEST_F(WindowTest, SpinnerArrowsStepTowardsMinAndMax) {
    demo.window.show();
    ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    ScrollBarWidget& spin = widget<ScrollBarWidget>(bound, demo.spin);
    EXPECT_TRUE(spin.bar().isHidden());
    EXPECT_FALSE(spin.upArrow().isHidden());
    QTest::mouseClick(&spin.upArrow(), Qt::LeftButton);
    EXPECT_EQ(demo.spin.Value(), 6);  // Min is 100: up goes towards it
    QTest::mouseClick(&spin.downArrow(), Qt::LeftButton);
    QTest::mouseClick(&spin.downArrow(), Qt::LeftButton);
    EXPECT_EQ(demo.spin.Value(), 4);
    EXPECT_EQ(demo.spinChanges, 3);
}

TEST_F(WindowTest, MenusFollowTheirItems) {
    const QList<QAction*> top = bound.menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), "&File");
    QMenu* file = top[0]->menu();
    ASSERT_NE(file, nullptr);
    const QList<QAction*> items = file->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_TRUE(items[1]->isSeparator());
    items[0]->trigger();
    EXPECT_EQ(demo.openClicks, 1);
    top[1]->trigger();
    EXPECT_EQ(demo.aboutClicks, 1);

    demo.clear.setEnabled(false);
    EXPECT_FALSE(items[2]->isEnabled());
    demo.clear.setChecked(true);
    EXPECT_TRUE(items[2]->isChecked());
    demo.file.setVisible(false);
    EXPECT_FALSE(top[0]->isVisible());
}

TEST_F(WindowTest, ASubMenuMakesItsEntriesAsItOpens) {
    // Like "Output &Device": a fixed first entry, then one entry per name known when it opens.
    Window window;
    MenuItem options{nullptr, "&Options"};
    MenuItem first{&options, "First Item"};
    MenuItem devices{&options, "&Device"};
    MenuItem fixed{&devices, "Default"};
    std::vector<std::unique_ptr<MenuItem>> made;
    std::vector<std::string> names{"One", "Two"};
    std::string chosen;
    devices.onClick = [&] {
        made.clear();
        for (const auto& name : names) {
            made.push_back(std::make_unique<MenuItem>(&devices, name));
            made.back()->onClick = [&chosen, name] { chosen = name; };
        }
    };
    window.menuBar() = {&options};
    BoundWindow shown(window);

    QMenu* sub = shown.menuBar()->actions()[0]->menu()->actions()[1]->menu();
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(sub->actions().size(), 1);
    emit sub->aboutToShow();
    ASSERT_EQ(sub->actions().size(), 3);
    EXPECT_EQ(sub->actions()[2]->text(), "Two");
    sub->actions()[2]->trigger();
    EXPECT_EQ(chosen, "Two");
    made[0]->setChecked(true);
    EXPECT_TRUE(sub->actions()[1]->isChecked());

    names = {"Three"};
    emit sub->aboutToShow();
    ASSERT_EQ(sub->actions().size(), 2);
    EXPECT_EQ(sub->actions()[0]->text(), "Default");
    EXPECT_EQ(sub->actions()[1]->text(), "Three");
    EXPECT_FALSE(sub->actions()[1]->isChecked());
    sub->actions()[1]->trigger();
    EXPECT_EQ(chosen, "Three");
}

TEST_F(WindowTest, APopupMenuOpensEvenWhenItsBarEntryIsHidden) {
    demo.window.show();
    ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    demo.file.setVisible(false);
    QWidget* shown = nullptr;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activePopupWidget();
        if (shown) shown->close();
    });
    demo.window.popupMenu(demo.file);  // returns once the menu is closed
    EXPECT_EQ(shown, bound.menuBar()->actions()[0]->menu());
}

TEST_F(WindowTest, OuterSizeInTwipsFollowsTheProgramAndTheUser) {
    demo.window.show();
    ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    EXPECT_EQ(bound.frameGeometry().size(), QSize(443, 400));
    // The inner size leaves out the frame and the menu bar.
    EXPECT_EQ(demo.window.ScaleWidth(), bound.clientArea().width() * 15);
    EXPECT_EQ(demo.window.ScaleHeight(), bound.clientArea().height() * 15);
    EXPECT_EQ(bound.clientArea().height(), bound.geometry().height() - bound.menuBar()->height());
    // The last resize action saw the inner size the window has now.
    EXPECT_EQ(demo.lastScaleWidth, demo.window.ScaleWidth());

    // A size that is not a whole number of pixels stays as the program set it.
    const int resizesBefore = demo.resizes;
    demo.window.setWidth(7001);
    ASSERT_TRUE(eventually([&] { return bound.frameGeometry().width() == 467; }));
    EXPECT_EQ(demo.window.Width(), 7001);
    EXPECT_EQ(demo.resizes, resizesBefore + 1);

    bound.resize(500, 450);  // the user drags the frame
    const QSize frame = bound.frameGeometry().size() - bound.size();
    ASSERT_TRUE(eventually([&] { return demo.window.Width() == (500 + frame.width()) * 15; }));
    EXPECT_EQ(demo.window.Height(), (450 + frame.height()) * 15);
    EXPECT_EQ(demo.resizes, resizesBefore + 2);

    // A resize action that sizes the window itself is carried out on the real window.
    demo.window.onResize = [&] { demo.window.setWidth(9000); };
    bound.resize(520, 450);
    ASSERT_TRUE(eventually([&] { return bound.frameGeometry().width() == 600; }));
    EXPECT_EQ(demo.window.Width(), 9000);
    demo.window.onResize = [&] { ++demo.resizes; };

    bound.move(100, 50);  // the user moves it: the position follows, the size stays
    ASSERT_TRUE(eventually([&] { return demo.window.Left() == 1500; }));
    EXPECT_EQ(demo.window.Top(), 750);
    EXPECT_EQ(demo.window.Width(), 9000);
    EXPECT_EQ(demo.resizes, resizesBefore + 2);
}

TEST_F(WindowTest, ClosingByTheUserUnloadsTheWindow) {
    demo.window.show();
    ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    bound.close();
    EXPECT_EQ(demo.unloads, 1);
    EXPECT_FALSE(demo.window.loaded());
    EXPECT_FALSE(bound.isVisible());
}

TEST_F(WindowTest, GrabShowsThePanelsAndButtonsColours) {
    demo.window.show();
    ASSERT_TRUE(eventually([&] { return bound.isVisible(); }));
    const QImage image = bound.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), bound.size());
    QWidget& panel = widget<QWidget>(bound, demo.panel);
    const QPoint panelSpot = panel.mapTo(&bound, QPoint(400, 190));
    EXPECT_EQ(QColor(image.pixel(panelSpot)), QColor(Qt::black));
    QPushButton& play = widget<QPushButton>(bound, demo.play);
    const QColor inButton = image.pixel(play.mapTo(&bound, QPoint(6, play.height() / 2)));
    EXPECT_GT(inButton.green(), 180);
    EXPECT_LT(inButton.red(), 120);
    EXPECT_LT(inButton.blue(), 120);
}

TEST_F(WindowTest, AModalWindowReturnsOnceHiddenAndTheOwnerStaysUsable) {
    demo.window.show();
    Window dialog;
    dialog.move(0, 0, 3000, 2000);
    int dialogResizes = 0;
    dialog.onResize = [&] { ++dialogResizes; };
    BoundWindow boundDialog(dialog, &bound);
    bool sawModal = false;
    QTimer::singleShot(0, [&] {
        sawModal = boundDialog.isVisible() && boundDialog.windowModality() == Qt::WindowModal;
        dialog.unload();
    });
    dialog.show(true);  // returns only when the timer above has closed it
    EXPECT_TRUE(sawModal);
    EXPECT_FALSE(boundDialog.isVisible());
    EXPECT_GE(dialogResizes, 1);
    EXPECT_TRUE(bound.isVisible());
}

TEST(ScreenTest, BindingAWindowTakesTheScreenSizeInTwips) {
    Window window;
    BoundWindow bound(window);
    const QSize px = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(screen().width, px.width() * 15);
    EXPECT_EQ(screen().height, px.height() * 15);
}

}  // namespace
}  // namespace velorra::toolkit::qt
