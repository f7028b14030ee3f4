#include "player/shell/file_classes_store.h"
#include "shell/shell_test_support.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace velorra {
namespace {

using test::readBytes;
using test::TempHome;
using test::writeBytes;

TEST(FileClassesStore, KeepsKeysAndEscapedValuesAcrossRewrites) {
    TempHome home;
    const QString file = home.classesFile();
    FileClassesStore store(file);

    ASSERT_TRUE(store.createKey(QStringLiteral("Velorra\\shell\\open")));
    ASSERT_TRUE(store.setDefaultValue(QStringLiteral("Velorra"), QStringLiteral("odd"),
                                      QStringLiteral("C:\\path\nsecond line\\n")));
    // A later write rereads the file: the first value must survive the round trip unchanged.
    ASSERT_TRUE(store.setDefaultValue(QStringLiteral(".mp3"), {}, QStringLiteral("Velorra")));
    EXPECT_EQ(readBytes(file),
              "[.mp3]\n@=Velorra\n\n"
              "[Velorra]\n\n"
              "[Velorra\\odd]\n@=C:\\\\path\\nsecond line\\\\n\n\n"
              "[Velorra\\shell]\n\n"
              "[Velorra\\shell\\open]\n");

    ASSERT_TRUE(store.setDefaultValue(QStringLiteral("Velorra"), QStringLiteral("odd"), QStringLiteral("plain")));
    EXPECT_TRUE(readBytes(file).contains("[Velorra\\odd]\n@=plain\n"));

    // Names that the file could not hold back are refused and leave it as it was.
    const QByteArray before = readBytes(file);
    EXPECT_FALSE(store.createKey(QStringLiteral("Velorra\\\\shell")));
    EXPECT_FALSE(store.createKey(QStringLiteral("bad]name")));
    EXPECT_FALSE(store.setDefaultValue(QStringLiteral("Velorra"), QStringLiteral("two\nlines"), QStringLiteral("x")));
    EXPECT_FALSE(store.createKey(QString()));
    EXPECT_EQ(readBytes(file), before);
}

TEST(FileClassesStore, FailsWithoutTouchingWhatItCannotRead) {
    TempHome home;
    // A folder where the file should be: it can be neither read nor replaced.
    const QString inTheWay = home.path(QStringLiteral("classes.ini"));
    ASSERT_TRUE(QDir().mkpath(inTheWay + QStringLiteral("/kept")));
    FileClassesStore blocked(inTheWay);
    EXPECT_FALSE(blocked.createKey(QStringLiteral("Velorra")));
    EXPECT_FALSE(blocked.setDefaultValue(QStringLiteral(".mp3"), {}, QStringLiteral("Velorra")));
    EXPECT_TRUE(QFileInfo(inTheWay + QStringLiteral("/kept")).isDir());

    // A folder below a regular file cannot be made, not even by root.
    const QString plainFile = home.path(QStringLiteral("plain"));
    writeBytes(plainFile, "not a folder\n");
    FileClassesStore unwritable(plainFile + QStringLiteral("/Velorra/classes.ini"));
    EXPECT_FALSE(unwritable.createKey(QStringLiteral("Velorra")));
    EXPECT_EQ(readBytes(plainFile), "not a folder\n");
}

}  // namespace
}  // namespace velorra
