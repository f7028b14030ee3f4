// The About window drawn by the Qt binding, as the program binds it when "&About" creates it.
#include "data/resources.h"
#include "player/toolkit/qt/bound_window.h"
#include "support/player_harness.h"

#include <QFont>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace velorra {
namespace {

struct AboutWidgets : ::testing::Test, testing::PlayerHarness {
    AboutWidgets() {
        initResources();
        player.bindAboutWindow = [this](frmAbout& w) {
            auto bound = std::make_shared<toolkit::qt::BoundWindow>(w);
            window = bound.get();
            ++binds;
            return bound;
        };
        player.mnuAbout.click();
    }

    QWidget& widget(const toolkit::Control& c) {
        QWidget* w = window->widgetFor(c);
        if (!w) throw std::logic_error("control without a widget");
        return *w;
    }

    toolkit::qt::BoundWindow* window = nullptr;
    int binds = 0;
};

TEST_F(AboutWidgets, DrawsTheWindowWithItsLogo) {
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velorra team@velorra.org"));

    const QImage shot = window->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    const QRgb corner = shot.pixel(0, 0);
    bool drawn = false;
    for (int y = 0; y < shot.height() && !drawn; ++y)
        for (int x = 0; x < shot.width() && !drawn; ++x) drawn = shot.pixel(x, y) != corner;
    EXPECT_TRUE(drawn) << "the grab is a single colour";

    const auto* logo = dynamic_cast<QLabel*>(&widget(player.About->picIcon));
    ASSERT_NE(logo, nullptr);
    EXPECT_FALSE(logo->pixmap().isNull()) << "the logo resource did not load";
}

TEST_F(AboutWidgets, LinkLabelsAreUnderlinedUnderAHandAndOpenTheirLinksWhenClicked) {
    QWidget& web = widget(player.About->Label5);
    QWidget& mail = widget(player.About->Label2);
    for (QWidget* w : {&web, &mail}) {
        EXPECT_TRUE(w->font().underline());
        EXPECT_FALSE(w->font().bold());
        EXPECT_EQ(w->cursor().shape(), Qt::PointingHandCursor);
    }
    EXPECT_FALSE(widget(player.About->lblDescription).font().underline());
    EXPECT_EQ(web.toolTip(), QStringLiteral("come to our website"));

    QTest::mouseClick(&web, Qt::LeftButton);
    QTest::mouseClick(&mail, Qt::LeftButton);
    QTest::mouseClick(&widget(player.About->lblDescription), Qt::LeftButton);
    EXPECT_EQ(links.opened, (std::vector<std::string>{"https://velorra.org/", "mailto:team@velorra.org"}));
}

TEST_F(AboutWidgets, OkEnterAndEscCloseTheRealWindowAndAboutBuildsANewOne) {
    QTest::mouseClick(&widget(player.About->cmdOK), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(player.About->loaded());

    player.mnuAbout.click();
    EXPECT_EQ(binds, 2);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(widget(player.About->cmdOK).isVisible());
    EXPECT_TRUE(dynamic_cast<QPushButton&>(widget(player.About->cmdOK)).isDefault());

    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        if (!player.About->loaded()) player.mnuAbout.click();
        QTest::keyClick(window, key);
        EXPECT_FALSE(window->isVisible()) << key;
        EXPECT_FALSE(player.About->loaded()) << key;
    }
    EXPECT_EQ(binds, 4);
}

}  // namespace
}  // namespace velorra
