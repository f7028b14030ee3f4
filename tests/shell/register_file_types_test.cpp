#include "player/shell/basvelorra1.h"
#include "player/shell/file_classes_store.h"
#include "shell/shell_test_support.h"

#include <QDir>
#include <QFileInfo>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velorra {
namespace {

using test::EnvOverride;
using test::readBytes;
using test::TempHome;
using test::writeBytes;

QByteArray expectedStore(const QString& exe) {
    return (QStringLiteral("[.m3u]\n@=Velorra\n\n"
                           "[.mp3]\n@=Velorra\n\n"
                           "[Velorra]\n@=M3U PlayList File\n\n"
                           "[Velorra\\defaulticon]\n@=") +
            exe +
            QStringLiteral("\n\n"
                           "[Velorra\\shell]\n\n"
                           "[Velorra\\shell\\open]\n\n"
                           "[Velorra\\shell\\open\\command]\n@=\"") +
            exe + QStringLiteral("\" \"%1\"\n"))
        .toUtf8();
}

TEST(RegisterFileTypes, LeavesTheFiveKeysAfterOneRunAndAfterTwo) {
    TempHome home;
    const QString exe = home.executable();
    FileClassesStore classes(home.classesFile());

    basvelorra1::RegisterFileTypes(classes, home.folders(), exe);
    EXPECT_EQ(readBytes(home.classesFile()), expectedStore(exe));
    const QByteArray entry = readBytes(home.desktopFile());
    const QByteArray defaults = readBytes(home.mimeAppsFile());

    basvelorra1::RegisterFileTypes(classes, home.folders(), exe);
    EXPECT_EQ(readBytes(home.classesFile()), expectedStore(exe));
    EXPECT_EQ(readBytes(home.desktopFile()), entry);
    EXPECT_EQ(readBytes(home.mimeAppsFile()), defaults);
}

TEST(RegisterFileTypes, OverwritesAnotherHandlerAndKeepsForeignKeys) {
    TempHome home;
    const QString exe = home.executable();
    writeBytes(home.classesFile(), "[.mp3]\n@=OtherPlayer\n\n[.ogg]\n@=OtherPlayer\n\n[Velorra]\n@=stale\n");
    FileClassesStore classes(home.classesFile());

    basvelorra1::RegisterFileTypes(classes, home.folders(), exe);
    QByteArray expected = expectedStore(exe);
    expected.insert(expected.indexOf("[Velorra]"), "[.ogg]\n@=OtherPlayer\n\n");
    EXPECT_EQ(readBytes(home.classesFile()), expected);
}

TEST(RegisterFileTypes, QuotesAFolderWithBlanks) {
    TempHome home;
    const QString exe = home.executable(QStringLiteral("My Apps/velorra"));
    FileClassesStore classes(home.classesFile());

    basvelorra1::RegisterFileTypes(classes, home.folders(), exe);
    const QByteArray store = readBytes(home.classesFile());
    EXPECT_TRUE(store.contains(("[Velorra\\shell\\open\\command]\n@=\"" + exe + "\" \"%1\"\n").toUtf8())) << store.data();
    EXPECT_TRUE(store.contains(("[Velorra\\defaulticon]\n@=" + exe + "\n").toUtf8())) << store.data();
    EXPECT_EQ(basvelorra1::openCommand(QStringLiteral("/opt/My Apps/velorra")),
              QStringLiteral("\"/opt/My Apps/velorra\" \"%1\""));
    // A relative name is made absolute: the desktop starts the player from any folder.
    EXPECT_EQ(basvelorra1::openCommand(QStringLiteral("velorra")),
              u'"' + QDir::currentPath() + QStringLiteral("/velorra\" \"%1\""));
}

// Records every call and refuses the writes to one key.
class ScriptedClassesStore final : public ClassesStore {
public:
    explicit ScriptedClassesStore(QString refused) : refused_(std::move(refused)) {}
    bool createKey(const QString& path) override {
        calls.push_back(QStringLiteral("create ") + path);
        return path != refused_;
    }
    bool setDefaultValue(const QString& key, const QString& subkey, const QString& value) override {
        calls.push_back(QStringLiteral("set ") + key + u'|' + subkey + QStringLiteral(" = ") + value);
        return key != refused_;
    }
    std::vector<QString> calls;

private:
    QString refused_;
};

TEST(RegisterFileTypes, MakesTheSixWritesInOrderWhateverFails) {
    TempHome home;
    const QString exe = home.executable();
    ScriptedClassesStore classes(QStringLiteral(".mp3"));

    basvelorra1::RegisterFileTypes(classes, home.folders(), exe);
    EXPECT_THAT(classes.calls,
                ::testing::ElementsAre(
                    QStringLiteral("create Velorra"), QStringLiteral("set Velorra| = MP3 Music File"),
                    QStringLiteral("create .mp3"),
                    QStringLiteral("create Velorra\\shell\\open"),
                    QStringLiteral("set Velorra\\shell\\open|command = \"") + exe + QStringLiteral("\" \"%1\""),
                    QStringLiteral("create Velorra"), QStringLiteral("set Velorra| = M3U PlayList File"),
                    QStringLiteral("create .m3u"), QStringLiteral("set .m3u| = Velorra"),
                    QStringLiteral("create Velorra"), QStringLiteral("set Velorra|defaulticon = ") + exe));
    // The refused key stops neither the desktop entry nor the defaults.
    EXPECT_TRUE(QFileInfo::exists(home.desktopFile()));
    EXPECT_TRUE(readBytes(home.mimeAppsFile()).contains("audio/mpeg=velorra.desktop;"));
}

TEST(RegisterFileTypes, EndsSilentlyWhenNothingCanBeWritten) {
    TempHome home;
    const QString exe = home.executable();
    // Folders below a regular file cannot be made, whatever the rights of the user.
    const QString plainFile = home.path(QStringLiteral("plain"));
    writeBytes(plainFile, "kept\n");
    ASSERT_FALSE(QDir().mkpath(plainFile + QStringLiteral("/data")));
    {
        EnvOverride data("XDG_DATA_HOME", plainFile + QStringLiteral("/data"));
        EnvOverride config("XDG_CONFIG_HOME", plainFile + QStringLiteral("/config"));
        basvelorra1::RegisterFileTypes(exe);
    }
    EXPECT_EQ(readBytes(plainFile), "kept\n");
    EXPECT_EQ(QDir(home.root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("bin"), QStringLiteral("plain")}));

    // With only the data folder blocked, the defaults are still written.
    {
        EnvOverride data("XDG_DATA_HOME", plainFile + QStringLiteral("/data"));
        EnvOverride config("XDG_CONFIG_HOME", home.path(QStringLiteral("config")));
        basvelorra1::RegisterFileTypes(exe);
    }
    EXPECT_TRUE(readBytes(home.mimeAppsFile()).contains("audio/x-mpegurl=velorra.desktop;"));
    EXPECT_EQ(readBytes(plainFile), "kept\n");
}

TEST(RegisterFileTypes, UsesTheXdgFoldersOfTheEnvironmentAtCallTime) {
    TempHome home;
    const QString exe = home.executable();
    {
        EnvOverride data("XDG_DATA_HOME", home.path(QStringLiteral("data")));
        EnvOverride config("XDG_CONFIG_HOME", home.path(QStringLiteral("config")));
        basvelorra1::RegisterFileTypes(exe);
    }
    EXPECT_EQ(readBytes(home.classesFile()), expectedStore(exe));
    EXPECT_TRUE(QFileInfo::exists(home.desktopFile()));

    // Unset, empty or relative variables fall back to the folders below the home directory.
    EnvOverride homeDir("HOME", home.path(QStringLiteral("home")));
    EnvOverride relative("XDG_DATA_HOME", QStringLiteral("relative/data"));
    EnvOverride empty("XDG_CONFIG_HOME", QString());
    const XdgFolders folders = XdgFolders::fromEnvironment();
    EXPECT_EQ(folders.dataHome, home.path(QStringLiteral("home/.local/share")));
    EXPECT_EQ(folders.configHome, home.path(QStringLiteral("home/.config")));
}

}  // namespace
}  // namespace velorra
