#include "player/shell/basvelorra1.h"
#include "player/shell/desktop_entry.h"
#include "player/shell/file_classes_store.h"
#include "player/shell/mime_apps.h"
#include "shell/shell_test_support.h"

#include <gtest/gtest.h>

namespace velorra {
namespace {

using test::readBytes;
using test::runTool;
using test::TempHome;
using test::writeBytes;

QString queryDefault(const TempHome& home, const QString& type) {
    return runTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type},
                   home.environment())
        .output.trimmed();
}

TEST(FreedesktopExport, MakesThePlayerTheDefaultAndKeepsOtherEntries) {
    TempHome home;
    const QString exe = home.executable();
    writeBytes(home.mimeAppsFile(),
               "[Added Associations]\n"
               "audio/mpeg=other.desktop;\n"
               "\n"
               "[Default Applications]\n"
               "text/plain=editor.desktop;\n"
               "audio/mpeg=other.desktop;\n"
               "# left by hand\n"
               "\n"
               "[Removed Associations]\n"
               "image/png=viewer.desktop;\n");
    // The handler it names is real, so only the new defaults can make xdg-mime answer otherwise.
    writeBytes(home.path(QStringLiteral("data/applications/other.desktop")),
               ("[Desktop Entry]\nType=Application\nName=Other\nExec=" + home.executable(QStringLiteral("other")) +
                " %f\nMimeType=audio/mpeg;audio/x-mpegurl;\n")
                   .toUtf8());
    ASSERT_EQ(queryDefault(home, QStringLiteral("audio/mpeg")), QStringLiteral("other.desktop"));
    FileClassesStore classes(home.classesFile());

    basvelorra1::RegisterFileTypes(classes, home.folders(), exe);
    EXPECT_EQ(queryDefault(home, QStringLiteral("audio/mpeg")), QStringLiteral("velorra.desktop"));
    EXPECT_EQ(queryDefault(home, QStringLiteral("audio/x-mpegurl")), QStringLiteral("velorra.desktop"));

    QByteArray expected =
        "[Added Associations]\n"
        "audio/mpeg=other.desktop;\n"
        "\n"
        "[Default Applications]\n"
        "text/plain=editor.desktop;\n"
        "# left by hand\n";
    for (const QString& type : handledMimeTypes()) {
        expected += (type + QStringLiteral("=velorra.desktop;\n")).toUtf8();
    }
    expected += "\n[Removed Associations]\nimage/png=viewer.desktop;\n";
    EXPECT_EQ(readBytes(home.mimeAppsFile()), expected);
    // update-desktop-database indexed the new entry.
    EXPECT_TRUE(readBytes(home.path(QStringLiteral("data/applications/mimeinfo.cache")))
                    .contains("velorra.desktop;"));
}

TEST(FreedesktopExport, AddsTheDefaultsGroupWhereThereIsNone) {
    const QStringList types{QStringLiteral("audio/mpeg"), QStringLiteral("audio/x-mpegurl")};
    const QString id = QStringLiteral("velorra.desktop");
    EXPECT_EQ(withDefaultApplication({}, types, id),
              "[Default Applications]\naudio/mpeg=velorra.desktop;\naudio/x-mpegurl=velorra.desktop;\n");
    EXPECT_EQ(withDefaultApplication("[Added Associations]\ntext/plain=editor.desktop;", types, id),
              "[Added Associations]\ntext/plain=editor.desktop;\n\n"
              "[Default Applications]\naudio/mpeg=velorra.desktop;\naudio/x-mpegurl=velorra.desktop;\n");
    // A defaults group at the end of the file, with an entry of ours spelt with blanks.
    EXPECT_EQ(withDefaultApplication("[Default Applications]\naudio/mpeg = old.desktop\nimage/png=v.desktop;\n",
                                     types, id),
              "[Default Applications]\nimage/png=v.desktop;\n"
              "audio/mpeg=velorra.desktop;\naudio/x-mpegurl=velorra.desktop;\n");
}

TEST(FreedesktopExport, WritesAValidEntryForAnyExecutablePath) {
    TempHome home;
    for (const QString& name : {QStringLiteral("velorra"), QStringLiteral("My Apps/velorra"),
                                QStringLiteral("odd $dollar %percent \"quote\" back\\slash/velorra")}) {
        const QString exe = home.executable(name);
        FileClassesStore classes(home.classesFile());
        basvelorra1::RegisterFileTypes(classes, home.folders(), exe);

        const test::ToolRun validation = runTool(QStringLiteral("desktop-file-validate"), {home.desktopFile()});
        EXPECT_EQ(validation.exitCode, 0) << validation.output.toStdString();
        EXPECT_TRUE(validation.output.isEmpty()) << validation.output.toStdString();
        EXPECT_TRUE(readBytes(home.desktopFile()).contains(("\nExec=" + execValue(exe) + "\n").toUtf8()));
    }
    EXPECT_EQ(execValue(QStringLiteral("/usr/bin/velorra")), QStringLiteral("/usr/bin/velorra %f"));
    EXPECT_EQ(execValue(QStringLiteral("/opt/My Apps/velorra")), QStringLiteral("\"/opt/My Apps/velorra\" %f"));
    // Inside the quotes $ and \ take a backslash, and the string value doubles every backslash.
    EXPECT_EQ(execValue(QStringLiteral("/opt/a$b\\c%d/velorra")), QStringLiteral("\"/opt/a\\\\$b\\\\\\\\c%%d/velorra\" %f"));
}

}  // namespace
}  // namespace velorra
