// The player window as the desktop sees it: a client on a private session bus drives the MPRIS2
// interfaces with QtDBus, as media keys and playerctl do, and hears what the adapter announces.
#include "player/mpris/mpris_adapter.h"
#include "support/private_bus.h"
#include "window/playback_fixture.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>

namespace velorra {
namespace {

using testing::processEventsUntil;

// What a client hears: every PropertiesChanged of the player interface, and Seeked.
class Listener : public QObject {
    Q_OBJECT
public:
    std::vector<QVariantMap> changes;
    std::vector<qlonglong> seeks;

public slots:
    void propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&) {
        if (interface == QLatin1String(mpris::PlayerInterface)) changes.push_back(changed);
    }
    void seeked(qlonglong position) { seeks.push_back(position); }
};

QVariantMap asMap(const QVariant& v) {
    return v.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(v.value<QDBusArgument>()) : v.toMap();
}

struct MprisOverBus : testing::PlaybackWindow {
    testing::PrivateBus bus;
    QDBusConnection server = bus.connect(QStringLiteral("server"));
    QDBusConnection client = bus.connect(QStringLiteral("client"));
    mpris::MprisAdapter adapter{player};
    Listener listener;

    void SetUp() override {
        ASSERT_TRUE(server.isConnected()) << "dbus-daemon did not start";
        ASSERT_TRUE(server.registerService(QString::fromLatin1(mpris::ServiceName)));
        ASSERT_TRUE(adapter.exportOn(server));
        const QString service = QString::fromLatin1(mpris::ServiceName), path = QString::fromLatin1(mpris::ObjectPath);
        ASSERT_TRUE(client.connect(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"), &listener,
                                   SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
        ASSERT_TRUE(client.connect(service, path, QString::fromLatin1(mpris::PlayerInterface), QStringLiteral("Seeked"),
                                   &listener, SLOT(seeked(qlonglong))));
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("server"));
    }

    QDBusMessage call(const QString& method, const QVariantList& args = {},
                      const char* interface = mpris::PlayerInterface) {
        QDBusMessage m = QDBusMessage::createMethodCall(QString::fromLatin1(mpris::ServiceName),
                                                        QString::fromLatin1(mpris::ObjectPath),
                                                        QString::fromLatin1(interface), method);
        m.setArguments(args);
        return client.call(m, QDBus::BlockWithGui);
    }
    QVariant get(const QString& property, const char* interface = mpris::PlayerInterface) {
        const QDBusMessage reply = call(QStringLiteral("Get"), {QString::fromLatin1(interface), property},
                                        "org.freedesktop.DBus.Properties");
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    void set(const QString& property, const QVariant& value) {
        const QDBusMessage reply = call(QStringLiteral("Set"),
                                        {QString::fromLatin1(mpris::PlayerInterface), property,
                                         QVariant::fromValue(QDBusVariant(value))},
                                        "org.freedesktop.DBus.Properties");
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }
    QString status() { return get(QStringLiteral("PlaybackStatus")).toString(); }
    QVariantMap metadata() { return asMap(get(QStringLiteral("Metadata"))); }
    QString url() { return metadata().value(QStringLiteral("xesam:url")).toString(); }
    // The last value announced for a property, empty when it never was.
    QVariant announced(const QString& property) {
        for (auto it = listener.changes.rbegin(); it != listener.changes.rend(); ++it)
            if (it->contains(property)) return it->value(property);
        return {};
    }
    bool hears(const QString& property, const QVariant& value) {
        return processEventsUntil([&] { return announced(property) == value; });
    }
};

TEST_F(MprisOverBus, TheDesktopRunsTheWindowsOwnCommandsAndHearsEachChange) {
    addSong("/music/a song.mp3", 40);
    addSong("/music/b.mp3", 30);
    player.lstClipList.setText(2, 0, "The Title");
    player.lstClipList.setText(2, 2, "The Artist");
    player.lstClipList.setText(2, 3, "The Album");
    store("Trimming", "CutFirst", "5");
    player.show();

    EXPECT_EQ(get(QStringLiteral("Identity"), "org.mpris.MediaPlayer2").toString(), "Velorra");
    EXPECT_EQ(get(QStringLiteral("DesktopEntry"), "org.mpris.MediaPlayer2").toString(), "velorra");
    EXPECT_TRUE(get(QStringLiteral("SupportedMimeTypes"), "org.mpris.MediaPlayer2").toStringList().contains("audio/mpeg"));
    EXPECT_EQ(get(QStringLiteral("LoopStatus")).toString(), "Playlist");
    EXPECT_EQ(status(), "Stopped");
    EXPECT_EQ(metadata().value("mpris:trackid").value<QDBusObjectPath>().path(), "/org/mpris/MediaPlayer2/TrackList/NoTrack");

    call(QStringLiteral("Play"));
    EXPECT_EQ(player.playback.State(), PlayState::Playing);
    EXPECT_TRUE(playing("/music/a song.mp3"));
    EXPECT_EQ(status(), "Playing");
    EXPECT_EQ(url(), "file:///music/a%20song.mp3");
    EXPECT_EQ(metadata().value("mpris:length").toLongLong(), 35'000'000);  // trimmed by 5 s
    EXPECT_TRUE(hears("PlaybackStatus", "Playing"));
    EXPECT_EQ(asMap(announced("Metadata")).value("xesam:url").toString(), "file:///music/a%20song.mp3");

    // Next is the Next button: the second row starts through a transition.
    call(QStringLiteral("Next"));
    EXPECT_EQ(player.CurrentIndex, 2);
    EXPECT_TRUE(playing("/music/b.mp3"));
    EXPECT_TRUE(player.playback.tmrTransition.Enabled());
    const QVariantMap second = metadata();
    EXPECT_EQ(second.value("xesam:url").toString(), "file:///music/b.mp3");
    EXPECT_EQ(second.value("xesam:title").toString(), "The Title");
    EXPECT_EQ(second.value("xesam:artist").toStringList(), QStringList{"The Artist"});
    EXPECT_EQ(second.value("xesam:album").toString(), "The Album");
    EXPECT_TRUE(processEventsUntil(
        [&] { return asMap(announced("Metadata")).value("xesam:url").toString() == "file:///music/b.mp3"; }));

    // Pause pauses; a second Pause leaves it paused, where the window's button would resume.
    call(QStringLiteral("Pause"));
    EXPECT_EQ(status(), "Paused");
    EXPECT_EQ(graphOf("/music/b.mp3").state, FakeGraphState::Paused);
    call(QStringLiteral("Pause"));
    EXPECT_EQ(status(), "Paused");
    EXPECT_TRUE(hears("PlaybackStatus", "Paused"));
    call(QStringLiteral("Play"));
    EXPECT_TRUE(playing("/music/b.mp3"));
    EXPECT_EQ(status(), "Playing");
    call(QStringLiteral("PlayPause"));
    EXPECT_EQ(status(), "Paused");
    call(QStringLiteral("PlayPause"));
    EXPECT_EQ(status(), "Playing");

    call(QStringLiteral("Previous"));
    EXPECT_EQ(player.CurrentIndex, 1);
    EXPECT_EQ(url(), "file:///music/a%20song.mp3");
    EXPECT_NE(metadata().value("mpris:trackid"), QVariant());
    EXPECT_NE(metadata().value("mpris:trackid").value<QDBusObjectPath>(), second.value("mpris:trackid").value<QDBusObjectPath>());

    call(QStringLiteral("Stop"));
    EXPECT_EQ(player.lblStatus.Caption(), "Stop");
    EXPECT_EQ(status(), "Stopped");
    EXPECT_TRUE(hears("PlaybackStatus", "Stopped"));
}

TEST_F(MprisOverBus, PositionIsWithinTheTrimmedSongAndSeekingMovesThePositionBar) {
    addSong("a.mp3", 60);
    addSong("b.mp3", 60);
    store("Trimming", "CutFirst", "10");
    player.show();
    call(QStringLiteral("Play"));
    loop.advance(5000);
    EXPECT_EQ(get(QStringLiteral("Position")).toLongLong(), 5'000'000);
    EXPECT_TRUE(get(QStringLiteral("CanSeek")).toBool());

    const QVariant track = metadata().value("mpris:trackid");
    call(QStringLiteral("SetPosition"), {track, qlonglong{30'000'000}});
    EXPECT_EQ(player.hscPosition.Value(), 30);
    EXPECT_NEAR(media.positionOf(graphOf("a.mp3")), 40.0, 1e-9);  // 30 s into the trimmed song
    EXPECT_EQ(get(QStringLiteral("Position")).toLongLong(), 30'000'000);
    EXPECT_TRUE(processEventsUntil([&] { return !listener.seeks.empty(); }));
    EXPECT_EQ(listener.seeks.back(), 30'000'000);

    // A position for another song, or beyond this one's end, is ignored.
    call(QStringLiteral("SetPosition"), {QVariant::fromValue(QDBusObjectPath("/org/velorra/Velorra/song/999")),
                                         qlonglong{2'000'000}});
    call(QStringLiteral("SetPosition"), {track, qlonglong{51'000'000}});
    EXPECT_EQ(player.hscPosition.Value(), 30);

    call(QStringLiteral("Seek"), {qlonglong{-7'000'000}});
    EXPECT_EQ(player.hscPosition.Value(), 23);
    EXPECT_NEAR(media.positionOf(graphOf("a.mp3")), 33.0, 1e-9);
    call(QStringLiteral("Seek"), {qlonglong{-60'000'000}});
    EXPECT_EQ(player.hscPosition.Value(), 0);
    // Beyond the end a seek is Next.
    call(QStringLiteral("Seek"), {qlonglong{120'000'000}});
    EXPECT_EQ(player.CurrentIndex, 2);
    EXPECT_TRUE(playing("b.mp3"));
}

TEST_F(MprisOverBus, VolumeShuffleAndOpenUriActOnTheWindow) {
    player.show();
    EXPECT_FALSE(get(QStringLiteral("CanPlay")).toBool());
    EXPECT_NEAR(get(QStringLiteral("Volume")).toDouble(), 64.0 / 85, 1e-9);
    set(QStringLiteral("Volume"), 1.0);
    EXPECT_EQ(player.hscVolume.Value(), 85);
    EXPECT_EQ(player.lblMasterVolume.Caption(), "100%");
    EXPECT_TRUE(hears("Volume", 1.0));
    set(QStringLiteral("Volume"), -0.5);
    EXPECT_EQ(player.hscVolume.Value(), 0);
    set(QStringLiteral("Volume"), 0.5);
    EXPECT_EQ(player.hscVolume.Value(), 42);  // 42.5 to the even neighbour

    set(QStringLiteral("Shuffle"), true);
    EXPECT_EQ(player.chkRndPlay.Value(), 1);
    EXPECT_TRUE(hears("Shuffle", true));
    player.chkRndPlay.click();
    EXPECT_TRUE(hears("Shuffle", false));

    // Any bytes of a path go through the URI and back unchanged; the new row plays.
    const std::string path = "/music/caf\xc3\xa9 #1 100%\xff.mp3";
    media.setDuration(path, 20);
    player.OpenFile("/music/first.mp3");
    call(QStringLiteral("OpenUri"), {QStringLiteral("file:///music/caf%C3%A9%20%231%20100%25%FF.mp3")});
    ASSERT_EQ(player.lstClipList.count(), 2);
    EXPECT_EQ(player.lstClipList.text(2, 7), path);
    EXPECT_EQ(player.CurrentIndex, 2);
    EXPECT_TRUE(playing(path));
    EXPECT_EQ(url(), "file:///music/caf%C3%A9%20%231%20100%25%FF.mp3");
    EXPECT_TRUE(hears("CanPlay", true));

    // Only local files open.
    call(QStringLiteral("OpenUri"), {QStringLiteral("http://example.org/a.mp3")});
    EXPECT_EQ(player.lstClipList.count(), 2);
}

TEST_F(MprisOverBus, QuitClosesTheWindowAsItsCloseBoxDoesAndSavesTheSettings) {
    addSong("a.mp3", 60);
    player.show();
    call(QStringLiteral("Play"));
    set(QStringLiteral("Volume"), 1.0);
    EXPECT_TRUE(get(QStringLiteral("CanQuit"), "org.mpris.MediaPlayer2").toBool());
    call(QStringLiteral("Quit"), {}, "org.mpris.MediaPlayer2");
    ASSERT_TRUE(processEventsUntil([&] { return !player.loaded(); }));
    EXPECT_EQ(graphOf("a.mp3").state, FakeGraphState::Stopped);
    EXPECT_EQ(settings.values.at("Velorra/BasicAudio/Volume"), "85");
    EXPECT_EQ(settings.values.at("Velorra/BasicAudio/OutputDevice"), "");
}

}  // namespace
}  // namespace velorra

#include "mpris_test.moc"
