#include "data/resources.h"
#include "player/shell/desktop_entry.h"
#include "shell/shell_test_support.h"

#include <QFile>
#include <QImage>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace velorra {
namespace {

using test::readBytes;
using test::runTool;

const QString sourceData = QStringLiteral(VELORRA_SOURCE_DIR "/data");

TEST(InstalledFiles, DesktopEntryAndMetainfoValidate) {
    const QString entry = sourceData + QStringLiteral("/velorra.desktop");
    const test::ToolRun desktop = runTool(QStringLiteral("desktop-file-validate"), {entry});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.output.toStdString();
    EXPECT_TRUE(desktop.output.isEmpty()) << desktop.output.toStdString();
    // The installed entry is the one the player registers, started by name from the PATH.
    EXPECT_EQ(readBytes(entry), desktopEntry(QStringLiteral("velorra %f")));

    const test::ToolRun metainfo = runTool(QStringLiteral("appstreamcli"),
        {QStringLiteral("validate"), QStringLiteral("--no-net"), sourceData + QStringLiteral("/org.velorra.Velorra.metainfo.xml")});
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.output.toStdString();
}

TEST(InstalledFiles, InstallPutsThemWhereTheDesktopLooks) {
    QTemporaryDir prefix;
    const test::ToolRun install = runTool(QStringLiteral("cmake"),
        {QStringLiteral("--install"), QStringLiteral(VELORRA_BUILD_DIR), QStringLiteral("--prefix"), prefix.path(),
         QStringLiteral("--component"), QStringLiteral("desktop")});
    ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();

    const QString share = prefix.path() + QStringLiteral("/share");
    EXPECT_EQ(readBytes(share + QStringLiteral("/applications/velorra.desktop")),
              readBytes(sourceData + QStringLiteral("/velorra.desktop")));
    EXPECT_EQ(readBytes(share + QStringLiteral("/metainfo/org.velorra.Velorra.metainfo.xml")),
              readBytes(sourceData + QStringLiteral("/org.velorra.Velorra.metainfo.xml")));
    EXPECT_EQ(readBytes(share + QStringLiteral("/icons/hicolor/scalable/apps/velorra.svg")),
              readBytes(sourceData + QStringLiteral("/logo.svg")));
    EXPECT_EQ(QImage(share + QStringLiteral("/icons/hicolor/64x64/apps/velorra.png")).size(), QSize(64, 64));
}

TEST(InstalledFiles, ArtworkIsInTheResourcesOfALinkingProgram) {
    initResources();
    initResources();  // a second call changes nothing

    QFile svg(QStringLiteral(":/velorra/logo.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QStringLiteral("svg"));
    EXPECT_EQ(xml.attributes().value(QStringLiteral("viewBox")), QStringLiteral("0 0 256 256"));
    while (!xml.atEnd()) {
        xml.readNext();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();

    const QImage png(QStringLiteral(":/velorra/logo-64.png"));
    ASSERT_EQ(png.size(), QSize(64, 64));
    // Black ground, transparent corners, and the red and blue curves crossing in the middle.
    EXPECT_EQ(qAlpha(png.pixel(0, 0)), 0);
    EXPECT_EQ(png.pixelColor(32, 6), QColor(Qt::black));
    int red = 0;
    int blue = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const QColor c = png.pixelColor(x, y);
            red += c.red() > 180 && c.blue() < 100;
            blue += c.blue() > 180 && c.red() < 100;
        }
    }
    EXPECT_GT(red, 150);
    EXPECT_GT(blue, 150);
}

}  // namespace
}  // namespace velorra
