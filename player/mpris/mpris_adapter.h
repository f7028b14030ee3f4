#pragma once
// The desktop adapter: the player as the desktop sees it through MPRIS2 (media keys, the sound
// menu, playerctl). Its transport commands drive the playback core, and it listens to the core
// to tell the desktop what changed; the play list, the shuffle box, raising and quitting are the
// window's. Neither the core nor the window knows anything of D-Bus.
#include "player/window/frm_player.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace velorra::mpris {

inline constexpr const char* ServiceName = "org.mpris.MediaPlayer2.velorra";
inline constexpr const char* ObjectPath = "/org/mpris/MediaPlayer2";
inline constexpr const char* PlayerInterface = "org.mpris.MediaPlayer2.Player";

class PlayerInterfaceAdaptor;

class MprisAdapter : public QObject, private PlaybackObserver {
    Q_OBJECT
public:
    // Listens to the window from now on; nothing is exported until exportOn.
    explicit MprisAdapter(frmPlayer& window);
    ~MprisAdapter() override;

    // Exports the object with both interfaces at ObjectPath; false when the connection refuses
    // it. Owning ServiceName is the caller's part.
    bool exportOn(QDBusConnection bus);

    // org.mpris.MediaPlayer2
    void quit();
    void raise();

    // org.mpris.MediaPlayer2.Player
    void play();
    void pause();
    void playPause();
    void stop();
    void next();
    void previous();
    void seek(qlonglong offsetUs);
    void setPosition(const QDBusObjectPath& track, qlonglong positionUs);
    void openUri(const QString& uri);

    QString playbackStatus() const;
    QVariantMap metadata() const { return song_; }
    qlonglong position() const;
    double volume() const;
    void setVolume(double volume);
    bool shuffle() const;
    void setShuffle(bool on);
    bool hasRows() const;
    bool canSeek() const;

private:
    void windowEvent(frmPlayer::Event e);
    // What the core tells.
    void playStateChanged() override { announceChanges(); }
    void songLoaded() override;
    void trimsChanged() override { announceChanges(); }
    void seeked(int32_t seconds) override;
    void levelChanged() override { announceChanges(); }
    // A song that sounds under a stopped label may end at any tick.
    void positionTick(int32_t) override { announceChanges(); }
    // The Player properties that are announced when they change.
    QVariantMap announced() const;
    void announceChanges();
    QVariantMap currentSong();
    qlonglong songLengthUs() const;

    frmPlayer& window_;
    PlaybackCore& core_;
    PlayerInterfaceAdaptor* player_;
    QDBusConnection bus_{QString()};
    bool exported_ = false;
    QVariantMap song_;
    QVariantMap lastAnnounced_;
    qulonglong songsLoaded_ = 0;
};

// A local path as a file URI: every byte but letters, digits, "-._~" and "/" percent-encoded, so
// any path goes through unchanged. A relative path is taken from the working directory.
QString fileUri(const std::string& path);
// The path of a file URI ("file:///..." or "file://localhost/..."), its escapes decoded to bytes;
// empty for any other URI.
std::string localPath(const QString& uri);

}  // namespace velorra::mpris
