// The dialogs' translations of the program's requests.
#include "player/toolkit/qt/qt_dialogs.h"

#include <gtest/gtest.h>

namespace velorra::toolkit::qt {
namespace {

TEST(DialogsTest, FiltersBecomeQtNameFilters) {
    EXPECT_EQ(nameFilters("Media Files|*.mp3;*.wav|M3U Play List|*.m3u|All Files|*.*"),
              (QStringList{"Media Files (*.mp3 *.wav)", "M3U Play List (*.m3u)", "All Files (*)"}));
    EXPECT_TRUE(nameFilters("").isEmpty());
    EXPECT_TRUE(nameFilters("Label without pattern").isEmpty());
}

TEST(DialogsTest, MailAddressesGetMailtoAndWebLinksStayLinks) {
    EXPECT_EQ(linkUrl("someone@example.com").toString(), "mailto:someone@example.com");
    EXPECT_EQ(linkUrl("mailto:someone@example.com").toString(), "mailto:someone@example.com");
    EXPECT_EQ(linkUrl("http://www.example.com/").toString(), "http://www.example.com/");
    EXPECT_EQ(linkUrl("www.example.com").scheme(), "http");
}

}  // namespace
}  // namespace velorra::toolkit::qt
