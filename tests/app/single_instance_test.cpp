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

#include <climits>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

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
    // Whether the program holds `file` open: it opened the song.
    static bool holds(const QProcess& p, const std::string& file) {
        std::error_code ignored;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(p.processId()) + "/fd", ignored))
            if (std::filesystem::read_symlink(fd.path(), ignored) == file) return true;
        return false;
    }
    void withoutABus() {
        env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString("unix:path=" + dir.path("no-bus")));
    }
};

// A socket of the test's, connected to `path` (-1 when it cannot connect), or bound and
// listening there.
int connectTo(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    ::close(fd);
    return -1;
}
int bound(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
    return fd;
}
// The frame a start sends: the length in four big-endian bytes, then the name.
std::string lengthBytes(uint32_t length) {
    return {static_cast<char>(length >> 24), static_cast<char>(length >> 16), static_cast<char>(length >> 8),
            static_cast<char>(length)};
}

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
    withoutABus();
    auto first = start({});
    const std::string socket = dir.path("runtime/velorra-instance");
    ASSERT_TRUE(processEventsUntil([&] { return std::filesystem::exists(socket); }));

    // The second start names the song from its own folder, which is not the running player's.
    const QString songFolder = QString::fromStdString(std::filesystem::path(song).parent_path().string());
    EXPECT_EQ(run({QStringLiteral("a song.wav")}, songFolder), 0);
    // The running player opened the song: it holds the file.
    EXPECT_TRUE(processEventsUntil([&] { return holds(*first, song); })) << "the running player did not open " << song;
    EXPECT_EQ(run({}), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
    end(*first);
}

TEST_F(SingleInstance, ANameLongerThanPathMaxIsRefusedAndItsConnectionClosedWhileThePlayerAnswers) {
    withoutABus();
    auto first = start({});
    const std::string socket = dir.path("runtime/velorra-instance");
    ASSERT_TRUE(processEventsUntil([&] { return std::filesystem::exists(socket); }));

    // A start that announces a name of 100 MB is cut off after the length: its sending fails
    // long before the name is through (an answer of 0 bytes, or a broken pipe).
    const int huge = connectTo(socket);
    ASSERT_GE(huge, 0);
    const timeval patience{20, 0};
    ::setsockopt(huge, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
    const uint32_t hundredMegabytes = 100u << 20;
    std::string bytes = lengthBytes(hundredMegabytes) + std::string(1 << 16, 'x');
    size_t sent = 0;
    int failure = 0;
    while (sent < hundredMegabytes) {
        const ssize_t n = ::send(huge, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) {
            failure = errno;
            break;
        }
        sent += static_cast<size_t>(n);
        bytes.assign(1 << 16, 'x');
    }
    EXPECT_LT(sent, hundredMegabytes / 10) << "the player went on taking the name";
    EXPECT_TRUE(failure == EPIPE || failure == ECONNRESET) << "not closed: " << std::strerror(failure);
    ::close(huge);

    // A name one byte over the limit is refused too; one that has not all come yet holds up no
    // one: a start hands its name over meanwhile.
    const int over = connectTo(socket);
    const std::string overName = lengthBytes(PATH_MAX + 1) + std::string(PATH_MAX + 1, 'y');
    ::send(over, overName.data(), overName.size(), MSG_NOSIGNAL);
    char answer = 0;
    EXPECT_LE(::recv(over, &answer, 1, 0), 0) << "closed without an answer";
    ::close(over);
    const int stalled = connectTo(socket);
    const std::string half = lengthBytes(40) + "/a name that does";
    ::send(stalled, half.data(), half.size(), MSG_NOSIGNAL);
    EXPECT_EQ(run({QString::fromStdString(song)}), 0);
    EXPECT_TRUE(processEventsUntil([&] { return holds(*first, song); })) << "the running player did not open " << song;
    EXPECT_EQ(first->state(), QProcess::Running);
    ::close(stalled);
    end(*first);
}

TEST_F(SingleInstance, OnlyAListenerOfTheUsersOwnInItsOwnPrivateRuntimeFolderIsHandedAName) {
    withoutABus();
    const std::string runtime = dir.path("runtime");
    const std::string socket = runtime + "/velorra-instance";
    // Whoever listens there: a start with a name does not hand it over, it plays the song in a
    // window of its own; and it does not take the place over either.
    const auto playsItself = [&](const char* why) {
        SCOPED_TRACE(why);
        auto p = start({QString::fromStdString(song)});
        EXPECT_TRUE(processEventsUntil([&] { return holds(*p, song); })) << "the start did not play " << song;
        EXPECT_EQ(p->state(), QProcess::Running);
        end(*p);
    };
    const auto unclaimed = [&](int listener) {
        const int pending = ::accept(listener, nullptr, nullptr);
        if (pending >= 0) ::close(pending);
        return pending < 0 && std::filesystem::exists(socket);
    };

    // A world-writable runtime folder: anyone could have put the socket there.
    ASSERT_EQ(::chmod(runtime.c_str(), 0777), 0);
    int listener = bound(socket);
    ASSERT_EQ(::listen(listener, 4), 0);
    playsItself("world-writable");
    EXPECT_TRUE(unclaimed(listener));
    ::close(listener);
    ::unlink(socket.c_str());
    ASSERT_EQ(::chmod(runtime.c_str(), 0700), 0);
    if (::geteuid() != 0) GTEST_SKIP() << "the folder and the listener of another user need root";

    // A private folder that is another user's.
    ASSERT_EQ(::chown(runtime.c_str(), 65534, 65534), 0);
    listener = bound(socket);
    ASSERT_EQ(::listen(listener, 4), 0);
    playsItself("another user's folder");
    EXPECT_TRUE(unclaimed(listener));
    ::close(listener);
    ::unlink(socket.c_str());
    ASSERT_EQ(::chown(runtime.c_str(), 0, 0), 0);

    // The user's own private folder, with a listener of another user's: the start meets it and
    // hangs up without a word. The listener listens as nobody, which its credentials then say.
    listener = bound(socket);
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(60);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0 || ::listen(listener, 4) != 0) ::_exit(1);
        ::fcntl(listener, F_SETFL, 0);
        [[maybe_unused]] ssize_t w = ::write(report[1], "L", 1);
        const int peer = ::accept(listener, nullptr, nullptr);
        char byte;
        size_t got = 0;
        while (peer >= 0 && ::read(peer, &byte, 1) == 1) ++got;
        const char said = peer < 0 ? 'n' : got == 0 ? '0' : '+';
        w = ::write(report[1], &said, 1);
        ::_exit(0);
    }
    ::close(listener);
    ::close(report[1]);
    char ready = 0;
    ASSERT_EQ(::read(report[0], &ready, 1), 1);
    playsItself("a listener of another user's");
    char said = 0;
    EXPECT_EQ(::read(report[0], &said, 1), 1);
    EXPECT_EQ(said, '0') << "n: the start never came; +: it sent its name";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(report[0]);
}

}  // namespace
}  // namespace velorra
