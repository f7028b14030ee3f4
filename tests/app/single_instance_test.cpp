// One player per desktop, with real processes of the program: a start with a name while a player
// runs hands the name over and ends with 0, and the running player plays it; a start without a
// name ends the same way. On a private session bus, and on the local socket where there is no bus.
#include "player/mpris/mpris_adapter.h"
#include "support/private_bus.h"
#include "support/temp_dir.h"
#include "tools/media/wav_writer.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>

#include <filesystem>
#include <memory>

#include <sys/stat.h>

namespace velorra {
namespace {

using testing::processEventsUntil;

struct SingleInstance : ::testing::Test {
    testing::TempDir dir{"velorra-single"};
    std::string song = dir.path("a song.wav");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

    SingleInstance() {
        media::writeWav(song, media::tune(1), 30.0);
        const std::string runtime = dir.path("runtime");
        ::mkdir(runtime.c_str(), 0700);
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // No sound server of the user's: the default output is whatever GStreamer finds without it.
        env.insert("PULSE_SERVER", QString::fromStdString("unix:" + dir.path("no-sound-server")));
    }

    std::unique_ptr<QProcess> start(const QStringList& arguments, const QString& folder = {}) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        if (!folder.isEmpty()) p->setWorkingDirectory(folder);
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QStringLiteral(VELORRA_PROGRAM), arguments);
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }
    // Starts the program and waits for it to end: its exit code, -1 when it did not end.
    int run(const QStringList& arguments, const QString& folder = {}) {
        auto p = start(arguments, folder);
        if (!p->waitForFinished(30000) || p->exitStatus() != QProcess::NormalExit) {
            p->kill();
            p->waitForFinished();
            return -1;
        }
        return p->exitCode();
    }
    static void end(QProcess& p) {
        if (p.state() == QProcess::NotRunning) return;
        p.kill();
        p.waitForFinished();
    }
};

TEST_F(SingleInstance, OnTheSessionBusASecondStartHandsItsNameToTheRunningPlayer) {
    testing::PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
    QDBusConnection client = bus.connect(QStringLiteral("watcher"));
    const QString service = QString::fromLatin1(mpris::ServiceName);
    const auto get = [&](const QString& property) {
        QDBusMessage m = QDBusMessage::createMethodCall(service, QString::fromLatin1(mpris::ObjectPath),
                                                        QStringLiteral("org.freedesktop.DBus.Properties"),
                                                        QStringLiteral("Get"));
        m << QString::fromLatin1(mpris::PlayerInterface) << property;
        return client.call(m).arguments().value(0).value<QDBusVariant>().variant();
    };

    auto first = start({});
    ASSERT_TRUE(processEventsUntil([&] { return client.interface()->isServiceRegistered(service).value(); }));
    EXPECT_EQ(get(QStringLiteral("PlaybackStatus")).toString(), "Stopped");

    EXPECT_EQ(run({QString::fromStdString(song)}), 0);
    const QString url = mpris::fileUri(song);
    EXPECT_TRUE(processEventsUntil([&] {
        const auto metadata = qdbus_cast<QVariantMap>(get(QStringLiteral("Metadata")).value<QDBusArgument>());
        return metadata.value("xesam:url").toString() == url && get(QStringLiteral("PlaybackStatus")) == "Playing";
    })) << "the running player did not play " << url.toStdString();

    // A start without a name raises the running window and ends too.
    EXPECT_EQ(run({}), 0);
    EXPECT_EQ(first->state(), QProcess::Running);

    // Quit closes it as its close box does: the settings are saved and the program ends with 0.
    client.call(QDBusMessage::createMethodCall(service, QString::fromLatin1(mpris::ObjectPath),
                                               QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Quit")));
    ASSERT_TRUE(first->waitForFinished(30000));
    EXPECT_EQ(first->exitCode(), 0);
    const QSettings saved(env.value("XDG_CONFIG_HOME") + "/Velorra/Velorra.conf", QSettings::IniFormat);
    EXPECT_TRUE(saved.contains("BasicAudio/OutputDevice"));
    QDBusConnection::disconnectFromBus(QStringLiteral("watcher"));
}

TEST_F(SingleInstance, WithoutABusTheStartsMeetOnTheLocalSocket) {
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString("unix:path=" + dir.path("no-bus")));
    auto first = start({});
    const std::string socket = dir.path("runtime/velorra-instance");
    ASSERT_TRUE(processEventsUntil([&] { return std::filesystem::exists(socket); }));

    // The second start names the song from its own folder, which is not the running player's.
    const QString songFolder = QString::fromStdString(std::filesystem::path(song).parent_path().string());
    EXPECT_EQ(run({QStringLiteral("a song.wav")}, songFolder), 0);
    // The running player opened the song: it holds the file.
    const auto holds = [&] {
        std::error_code ignored;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(first->processId()) + "/fd", ignored))
            if (std::filesystem::read_symlink(fd.path(), ignored) == song) return true;
        return false;
    };
    EXPECT_TRUE(processEventsUntil(holds)) << "the running player did not open " << song;
    EXPECT_EQ(run({}), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
    end(*first);
}

}  // namespace
}  // namespace velorra
