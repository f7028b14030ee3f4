// The About window as the player window opens it: its texts, its place on the screen, one
// window at a time, its links, and the menu command that makes the player the default one.
#include "shell/shell_test_support.h"
#include "support/player_harness.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velorra {
namespace {

// Stands in for the widgets the program builds for a new About window: records what the
// window asks of its view.
struct RecordedView : toolkit::WindowView {
    explicit RecordedView(frmAbout& w) : window(w) { window.attachView(this); }
    ~RecordedView() override { window.attachView(nullptr); }
    void controlChanged(toolkit::Change) override {}
    void showWindow(bool modal) override { shows.push_back(modal); }
    void hideWindow() override { ++hides; }
    void popupMenu(toolkit::MenuItem&) override {}
    void bringToFront() override { ++raises; }

    frmAbout& window;
    std::vector<bool> shows;  // the modal flag of each show
    int hides = 0, raises = 0;
};

struct AboutWindow : ::testing::Test, testing::PlayerHarness {
    AboutWindow() {
        player.bindAboutWindow = [this](frmAbout& w) {
            auto view = std::make_shared<RecordedView>(w);
            views.push_back(view);
            return view;
        };
        player.show();
    }
    ~AboutWindow() override { toolkit::screen() = savedScreen; }

    frmAbout& openAbout() {
        player.mnuAbout.click();
        return *player.About;
    }

    toolkit::Screen savedScreen = toolkit::screen();
    std::vector<std::weak_ptr<RecordedView>> views;  // one for each About window bound
};

TEST(VersionText, RunsTheMinorNumberAndTheRevisionTogether) {
    EXPECT_EQ(versionText(3, 0, 0), "Version 3.00");
    EXPECT_EQ(versionText(3, 10, 2), "Version 3.102");
    EXPECT_EQ(versionText(12, 0, 7), "Version 12.07");
}

TEST_F(AboutWindow, ShowsTheProductAndTheProgramsVersionOnceLoaded) {
    frmAbout unloaded(links);
    EXPECT_EQ(unloaded.lblVersion.Caption(), "Version");

    frmAbout& about = openAbout();
    EXPECT_EQ(about.Caption(), "Velorra team@velorra.org");
    EXPECT_EQ(about.lblVersion.Caption(), "Version 3.00");
    EXPECT_EQ(about.Label1.Caption(), "Velorra 3.0");
    EXPECT_EQ(about.Label1.font(), (toolkit::Font{8.25, true, false}));
    EXPECT_EQ(about.lblDescription.Caption(),
              "Velorra Is a software that allows you to PlayBack MP3 files with different types of transitions "
              "between songs.");
    EXPECT_FALSE(about.lblTitle.Caption().empty());
    EXPECT_EQ(about.cmdOK.Caption(), "OK");
    EXPECT_EQ(about.picIcon.source(), ":/velorra/logo-64.png");
    EXPECT_EQ(about.Label5.Caption(), "https://velorra.org/");
    EXPECT_EQ(about.Label5.ToolTipText(), "come to our website");
    EXPECT_EQ(about.Label2.Caption(), "team@velorra.org");
    EXPECT_EQ(about.Label2.ToolTipText(), "Send us an email");
}

TEST_F(AboutWindow, LinksOpenTheWebSiteAndAMailToTheMaker) {
    frmAbout& about = openAbout();
    about.Label5.click();
    about.Label2.click();
    EXPECT_EQ(links.opened, (std::vector<std::string>{"https://velorra.org/", "mailto:team@velorra.org"}));
    EXPECT_TRUE(about.shown());
}

TEST_F(AboutWindow, IsCentredByHalfTheRoomTruncatedTowardZero) {
    frmAbout probe(links);
    const int32_t w = probe.Width(), h = probe.Height();
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);

    toolkit::screen() = {w + 4241, h + 1401};
    frmAbout& about = openAbout();
    EXPECT_EQ(about.Left(), 2120);
    EXPECT_EQ(about.Top(), 700);
}

TEST_F(AboutWindow, OnAScreenSmallerThanItselfHangsOverEveryEdgeAlike) {
    frmAbout probe(links);
    toolkit::screen() = {probe.Width() - 761, probe.Height() - 601};
    frmAbout& about = openAbout();
    // -380.5 and -300.5 truncated toward zero, not down.
    EXPECT_EQ(about.Left(), -380);
    EXPECT_EQ(about.Top(), -300);
}

TEST_F(AboutWindow, ChoosingAboutAgainBringsTheOpenWindowForward) {
    frmAbout& first = openAbout();
    frmAbout& second = openAbout();
    EXPECT_EQ(&first, &second);
    ASSERT_EQ(views.size(), 1u);
    auto view = views[0].lock();
    ASSERT_TRUE(view);
    EXPECT_EQ(view->shows, (std::vector<bool>{false, false}));
    EXPECT_EQ(view->raises, 2);
    EXPECT_TRUE(second.shown());
    EXPECT_TRUE(player.shown());
}

TEST_F(AboutWindow, OkClosesItAndTheNextAboutBuildsAFreshOne) {
    frmAbout& first = openAbout();
    first.lblVersion.setCaption("changed while open");
    first.cmdOK.click();
    EXPECT_FALSE(first.shown());
    EXPECT_FALSE(first.loaded());
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].lock()->hides, 1);

    frmAbout& second = openAbout();
    ASSERT_EQ(views.size(), 2u);
    EXPECT_TRUE(views[0].expired()) << "the closed window's widgets are released";
    EXPECT_TRUE(second.shown());
    EXPECT_EQ(second.lblVersion.Caption(), "Version 3.00");
    EXPECT_EQ(views[1].lock()->raises, 1);
}

TEST_F(AboutWindow, ClosedByItsFrameItIsAlsoBuiltAfresh) {
    openAbout().unload();
    openAbout();
    EXPECT_EQ(views.size(), 2u);
    EXPECT_TRUE(player.About->shown());
}

TEST_F(AboutWindow, SetDefaultPlayerRegistersThisProgramInTheUsersHomeSilently) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    test::EnvOverride data("XDG_DATA_HOME", home.filePath(QStringLiteral("data")));
    test::EnvOverride config("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")));

    player.mnuSetDefaultPlayer.click();

    const QString exe = QCoreApplication::applicationFilePath();
    ASSERT_FALSE(exe.isEmpty());
    const QByteArray classes = test::readBytes(home.filePath(QStringLiteral("data/Velorra/classes.ini")));
    EXPECT_TRUE(classes.contains("[.mp3]\n@=Velorra\n"));
    EXPECT_TRUE(classes.contains(("[Velorra\\shell\\open\\command]\n@=\"" + exe + "\" \"%1\"").toUtf8()))
        << classes.toStdString();
    EXPECT_TRUE(test::readBytes(home.filePath(QStringLiteral("data/applications/velorra.desktop"))).contains(
        exe.toUtf8()));
    EXPECT_TRUE(test::readBytes(home.filePath(QStringLiteral("config/mimeapps.list"))).contains("velorra.desktop"));
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace velorra
