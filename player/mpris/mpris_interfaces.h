#pragma once
// The two MPRIS2 interfaces as QtDBus exports them: each property and method hands over to the
// adapter, which owns both.
#include "player/mpris/mpris_adapter.h"

#include <QDBusAbstractAdaptor>
#include <QStringList>

namespace velorra::mpris {

class RootInterfaceAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
public:
    explicit RootInterfaceAdaptor(MprisAdapter& adapter);
    bool canQuit() const { return true; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const;
    QString desktopEntry() const;
    QStringList supportedUriSchemes() const { return {QStringLiteral("file")}; }
    QStringList supportedMimeTypes() const;

public slots:
    void Raise() { adapter_.raise(); }
    void Quit() { adapter_.quit(); }

private:
    MprisAdapter& adapter_;
};

class PlayerInterfaceAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QString LoopStatus READ loopStatus)
    Q_PROPERTY(double Rate READ rate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(bool Shuffle READ shuffle WRITE setShuffle)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ hasRows)
    Q_PROPERTY(bool CanGoPrevious READ hasRows)
    Q_PROPERTY(bool CanPlay READ hasRows)
    Q_PROPERTY(bool CanPause READ hasRows)
    Q_PROPERTY(bool CanSeek READ canSeek)
    Q_PROPERTY(bool CanControl READ canControl)
public:
    explicit PlayerInterfaceAdaptor(MprisAdapter& adapter);
    QString playbackStatus() const { return adapter_.playbackStatus(); }
    // The list always repeats; songs always play at normal speed.
    QString loopStatus() const { return QStringLiteral("Playlist"); }
    double rate() const { return 1.0; }
    bool shuffle() const { return adapter_.shuffle(); }
    void setShuffle(bool on) { adapter_.setShuffle(on); }
    QVariantMap metadata() const { return adapter_.metadata(); }
    double volume() const { return adapter_.volume(); }
    void setVolume(double v) { adapter_.setVolume(v); }
    qlonglong position() const { return adapter_.position(); }
    bool hasRows() const { return adapter_.hasRows(); }
    bool canSeek() const { return adapter_.canSeek(); }
    bool canControl() const { return true; }

public slots:
    void Next() { adapter_.next(); }
    void Previous() { adapter_.previous(); }
    void Pause() { adapter_.pause(); }
    void PlayPause() { adapter_.playPause(); }
    void Stop() { adapter_.stop(); }
    void Play() { adapter_.play(); }
    void Seek(qlonglong Offset) { adapter_.seek(Offset); }
    void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) { adapter_.setPosition(TrackId, Position); }
    void OpenUri(const QString& Uri) { adapter_.openUri(Uri); }

signals:
    void Seeked(qlonglong Position);

private:
    MprisAdapter& adapter_;
};

}  // namespace velorra::mpris
