#include "player/playlist/play_list_columns.h"
#include "player/mpris/mpris_adapter.h"

#include "player/channel/whole_seconds.h"
#include "player/mpris/mpris_interfaces.h"
#include "player/toolkit/qt/qt_strings.h"

#include <QByteArray>
#include <QDBusMessage>
#include <QMetaObject>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace velorra::mpris {

namespace {

constexpr qlonglong MicrosecondsPerSecond = 1'000'000;

using toolkit::qt::toQString;

}  // namespace

QString fileUri(const std::string& path) {
    std::string absolute = path;
    if (!path.starts_with('/')) {
        std::error_code ignored;
        absolute = (std::filesystem::current_path(ignored) / path).string();
    }
    const QByteArray bytes(absolute.data(), static_cast<qsizetype>(absolute.size()));
    return QStringLiteral("file://") + QString::fromLatin1(bytes.toPercentEncoding("/"));
}

std::string localPath(const QString& uri) {
    static const QString scheme = QStringLiteral("file://");
    if (!uri.startsWith(scheme, Qt::CaseInsensitive)) return {};
    QString rest = uri.mid(scheme.size());
    if (rest.startsWith(QStringLiteral("localhost/"), Qt::CaseInsensitive)) rest = rest.mid(9);
    if (!rest.startsWith(u'/')) return {};
    const QByteArray bytes = QByteArray::fromPercentEncoding(rest.toUtf8());
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

MprisAdapter::MprisAdapter(frmPlayer& window)
    : window_(window), core_(window.playback), player_(new PlayerInterfaceAdaptor(*this)) {
    new RootInterfaceAdaptor(*this);
    song_ = {{QStringLiteral("mpris:trackid"),
              QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")))}};
    window_.onEvent = [this](frmPlayer::Event e) { windowEvent(e); };
    core_.addObserver(*this);
}

MprisAdapter::~MprisAdapter() {
    core_.removeObserver(*this);
    window_.onEvent = nullptr;
    if (exported_) bus_.unregisterObject(QString::fromLatin1(ObjectPath));
}

bool MprisAdapter::exportOn(QDBusConnection bus) {
    if (!bus.registerObject(QString::fromLatin1(ObjectPath), this, QDBusConnection::ExportAdaptors)) return false;
    bus_ = bus;
    exported_ = true;
    lastAnnounced_ = announced();
    return true;
}

// --- what the window tells

void MprisAdapter::windowEvent(frmPlayer::Event e) {
    switch (e) {
    case frmPlayer::Event::Rows:
        // Of what is announced, rows change only the Can properties, which follow whether there
        // are any: reading a long play list costs one comparison a row.
        if (lastAnnounced_.value(QStringLiteral("CanPlay")).toBool() == hasRows()) return;
        break;
    case frmPlayer::Event::Shuffle:
        break;
    }
    announceChanges();
}

void MprisAdapter::songLoaded() {
    song_ = currentSong();
    announceChanges();
}

void MprisAdapter::seeked(int32_t seconds) {
    if (exported_) emit player_->Seeked(qlonglong{seconds} * MicrosecondsPerSecond);
}

QVariantMap MprisAdapter::announced() const {
    return {{QStringLiteral("PlaybackStatus"), playbackStatus()},
            {QStringLiteral("Metadata"), song_},
            {QStringLiteral("Volume"), volume()},
            {QStringLiteral("Shuffle"), shuffle()},
            {QStringLiteral("CanGoNext"), hasRows()},
            {QStringLiteral("CanGoPrevious"), hasRows()},
            {QStringLiteral("CanPlay"), hasRows()},
            {QStringLiteral("CanPause"), hasRows()},
            {QStringLiteral("CanSeek"), canSeek()}};
}

void MprisAdapter::announceChanges() {
    if (!exported_) return;
    const QVariantMap now = announced();
    QVariantMap changed;
    for (auto it = now.begin(); it != now.end(); ++it)
        if (lastAnnounced_.value(it.key()) != it.value()) changed.insert(it.key(), it.value());
    lastAnnounced_ = now;
    if (changed.isEmpty()) return;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(ObjectPath),
                                                     QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(PlayerInterface) << changed << QStringList();
    bus_.send(signal);
}

// The row LoadCurrentItem has just loaded; its trimmed part is what plays.
QVariantMap MprisAdapter::currentSong() {
    const auto& list = window_.lstClipList;
    const int32_t row = core_.CurrentIndex();
    if (row < 1 || row > list.count()) return song_;
    ++songsLoaded_;
    QVariantMap song{
        {QStringLiteral("mpris:trackid"),
         QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/velorra/Velorra/song/%1").arg(songsLoaded_)))},
        {QStringLiteral("xesam:title"), toQString(list.text(row, column::Title))},
        {QStringLiteral("xesam:url"), fileUri(list.text(row, column::Location))},
        {QStringLiteral("mpris:length"), songLengthUs()}};
    if (const auto& artist = list.text(row, column::Artist); !artist.empty())
        song.insert(QStringLiteral("xesam:artist"), QStringList{toQString(artist)});
    if (const auto& album = list.text(row, column::Cd); !album.empty())
        song.insert(QStringLiteral("xesam:album"), toQString(album));
    return song;
}

qlonglong MprisAdapter::songLengthUs() const {
    return (qlonglong{core_.EndPos} - core_.StartPos) * MicrosecondsPerSecond;
}

// --- properties

// What the listener hears: a song that sounds is "Playing" whatever the window reads (Next
// pressed while stopped starts the next song under a stopped label).
QString MprisAdapter::playbackStatus() const {
    switch (core_.State()) {
    case PlayState::Playing:
        return QStringLiteral("Playing");
    case PlayState::Paused:
        return QStringLiteral("Paused");
    case PlayState::Stopped:
        break;
    }
    return core_.Sounding() ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

// Within the trimmed song.
qlonglong MprisAdapter::position() const {
    return std::max<qlonglong>(0, core_.SongPosition()) * MicrosecondsPerSecond;
}

double MprisAdapter::volume() const { return double(core_.Level()) / PlaybackCore::Top; }

void MprisAdapter::setVolume(double v) {
    const double level = std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0);
    core_.setLevel(static_cast<int32_t>(roundHalfEven(level * PlaybackCore::Top)));
}

bool MprisAdapter::shuffle() const { return window_.chkRndPlay.Value() == 1; }

void MprisAdapter::setShuffle(bool on) { window_.chkRndPlay.setValue(on ? 1 : 0); }

bool MprisAdapter::hasRows() const { return window_.lstClipList.count() > 0; }

bool MprisAdapter::canSeek() const { return core_.EndPos - core_.StartPos > 0; }

// --- commands: the window's own

void MprisAdapter::quit() {
    // After the reply has left: closing ends the program.
    QMetaObject::invokeMethod(this, [this] { window_.unload(); }, Qt::QueuedConnection);
}

void MprisAdapter::raise() {
    window_.show();
    window_.bringToFront();
}

void MprisAdapter::play() { core_.Play(); }

void MprisAdapter::pause() {
    // The core's Pause resumes a paused song; a desktop's Pause never does.
    if (core_.State() != PlayState::Paused) core_.Pause();
}

void MprisAdapter::playPause() {
    if (core_.State() == PlayState::Playing)
        core_.Pause();
    else
        core_.Play();
}

void MprisAdapter::stop() { core_.Stop(); }

void MprisAdapter::next() { core_.Next(); }

void MprisAdapter::previous() { core_.Back(); }

// Seeks within the trimmed song; past its end it acts as Next.
void MprisAdapter::seek(qlonglong offsetUs) {
    if (!canSeek()) return;
    const double target = std::max(0.0, double(position()) + double(offsetUs));
    if (target > double(songLengthUs())) {
        next();
        return;
    }
    core_.Seek(static_cast<int32_t>(roundHalfEven(target / MicrosecondsPerSecond)));
}

void MprisAdapter::setPosition(const QDBusObjectPath& track, qlonglong positionUs) {
    if (!canSeek() || track != song_.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>()) return;
    if (positionUs < 0 || positionUs > songLengthUs()) return;
    core_.Seek(static_cast<int32_t>(roundHalfEven(double(positionUs) / MicrosecondsPerSecond)));
}

// As "Open..." opens a file, then the first new row plays as "Play Selected Item" plays it.
void MprisAdapter::openUri(const QString& uri) {
    const std::string path = localPath(uri);
    if (path.empty()) return;
    auto& list = window_.lstClipList;
    const int32_t before = list.count();
    window_.OpenFile(path, false, 0);
    if (list.count() == before) return;
    list.setSelectedItem(before + 1);
    window_.mnuPlaySelectedItem_Click();
}

}  // namespace velorra::mpris
