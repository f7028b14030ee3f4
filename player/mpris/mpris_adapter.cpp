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

MprisAdapter::MprisAdapter(frmPlayer& window) : window_(window), player_(new PlayerInterfaceAdaptor(*this)) {
    new RootInterfaceAdaptor(*this);
    song_ = {{QStringLiteral("mpris:trackid"),
              QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")))}};
    window_.onEvent = [this](frmPlayer::Event e) { windowEvent(e); };
}

MprisAdapter::~MprisAdapter() {
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
    case frmPlayer::Event::Seeked:
        if (exported_) emit player_->Seeked(position());
        return;
    case frmPlayer::Event::Song:
        song_ = currentSong();
        break;
    case frmPlayer::Event::Rows:
        // Of what is announced, rows change only the Can properties, which follow whether there
        // are any: reading a long play list costs one comparison a row.
        if (lastAnnounced_.value(QStringLiteral("CanPlay")).toBool() == hasRows()) return;
        break;
    case frmPlayer::Event::PlayState:
    case frmPlayer::Event::Volume:
    case frmPlayer::Event::Shuffle:
        break;
    }
    announceChanges();
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
    const int32_t row = window_.CurrentIndex;
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
    return (qlonglong{window_.EndPos} - window_.StartPos) * MicrosecondsPerSecond;
}

// --- properties

QString MprisAdapter::playbackStatus() const {
    switch (window_.PlayState) {
    case 1:
        return QStringLiteral("Playing");
    case 2:
        return QStringLiteral("Paused");
    default:
        return QStringLiteral("Stopped");
    }
}

// Within the trimmed song, as the position bar shows it.
qlonglong MprisAdapter::position() const { return qlonglong{window_.hscPosition.Value()} * MicrosecondsPerSecond; }

double MprisAdapter::volume() const {
    const auto& bar = window_.hscVolume;
    return bar.Max() > 0 ? double(bar.Value()) / bar.Max() : 0.0;
}

void MprisAdapter::setVolume(double v) {
    auto& bar = window_.hscVolume;
    const double level = std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0);
    bar.setValue(static_cast<int32_t>(roundHalfEven(level * bar.Max())));
}

bool MprisAdapter::shuffle() const { return window_.chkRndPlay.Value() == 1; }

void MprisAdapter::setShuffle(bool on) { window_.chkRndPlay.setValue(on ? 1 : 0); }

bool MprisAdapter::hasRows() const { return window_.lstClipList.count() > 0; }

bool MprisAdapter::canSeek() const { return window_.hscPosition.Max() > 0; }

// --- commands: the window's own

void MprisAdapter::quit() {
    // After the reply has left: closing ends the program.
    QMetaObject::invokeMethod(this, [this] { window_.unload(); }, Qt::QueuedConnection);
}

void MprisAdapter::raise() {
    window_.show();
    window_.bringToFront();
}

void MprisAdapter::play() { window_.btnPlay_Click(); }

void MprisAdapter::pause() {
    // The window's Pause resumes a paused song; a desktop's Pause never does.
    if (window_.PlayState != 2) window_.btnPause_Click();
}

void MprisAdapter::playPause() {
    if (window_.PlayState == 1)
        window_.btnPause_Click();
    else
        window_.btnPlay_Click();
}

void MprisAdapter::stop() { window_.btnStop_Click(); }

void MprisAdapter::next() { window_.btnNext_Click(); }

void MprisAdapter::previous() { window_.btnBack_Click(); }

// Moves the position bar, whose change action seeks; past the end of the song it acts as Next.
void MprisAdapter::seek(qlonglong offsetUs) {
    if (!canSeek()) return;
    const double target = std::max(0.0, double(position()) + double(offsetUs));
    if (target > double(songLengthUs())) {
        next();
        return;
    }
    window_.hscPosition.setValue(static_cast<int32_t>(roundHalfEven(target / MicrosecondsPerSecond)));
}

void MprisAdapter::setPosition(const QDBusObjectPath& track, qlonglong positionUs) {
    if (!canSeek() || track != song_.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>()) return;
    if (positionUs < 0 || positionUs > songLengthUs()) return;
    window_.hscPosition.setValue(static_cast<int32_t>(roundHalfEven(double(positionUs) / MicrosecondsPerSecond)));
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
