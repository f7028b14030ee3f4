// The transport commands and the song change. Every song plays on a freshly created Player in
// entry ActiveChannel; the two entries take turns, so the song that is ending keeps playing on
// the other entry while the transition fades it out.
//
// Stop holds the list: after it, nothing starts by itself (no tick, no end or failure of a
// stream) until a command starts a song again. A pass over the whole list in which no song plays
// ends stopped and held as well.
#include "player/playback/playback_core.h"
#include "player/playback/seg_to_min.h"
#include "player/toolkit/attempt.h"

#include <algorithm>

namespace velorra {

PlaybackCore::PlaybackCore(toolkit::EventLoop& loop, MediaService& media, SilenceMeasurer& silence, PlayList& list)
    : tmrPosition(loop), tmrTransition(loop), loop_(loop), media_(media), silence_(silence), list_(list) {
    tmrPosition.setEnabled(false);
    tmrPosition.setInterval(PositionInterval);
    tmrTransition.setEnabled(false);
    tmrTransition.setInterval(100);
    tmrPosition.onTimer = [this] { tmrPosition_Timer(); };
    tmrTransition.onTimer = [this] { tmrTransition_Timer(); };
    Channels[1] = std::make_unique<Player>(media_);
    silence_.onMeasured = [this](const std::string& path, const Measurement& m) { silenceMeasured(path, m); };
}

PlaybackCore::~PlaybackCore() { silence_.onMeasured = nullptr; }

void PlaybackCore::addObserver(PlaybackObserver& o) { observers_.push_back(&o); }

void PlaybackCore::removeObserver(PlaybackObserver& o) { std::erase(observers_, &o); }

void PlaybackCore::tell(const std::function<void(PlaybackObserver&)>& notify) {
    // An observer may add or remove observers while it is told.
    const auto observers = observers_;
    for (PlaybackObserver* o : observers)
        if (std::find(observers_.begin(), observers_.end(), o) != observers_.end()) notify(*o);
}

Player* PlaybackCore::channelIn(int32_t i) const {
    if (i < 0 || i > 1) return nullptr;
    return Channels[static_cast<size_t>(i)].get();
}

bool PlaybackCore::activeFailed() const {
    const Player* p = channelIn(ActiveChannel);
    return p && p->Failed();
}

bool PlaybackCore::Sounding() const {
    if (state_ == PlayState::Paused) return false;
    const Player* p = channelIn(ActiveChannel);
    return p && p->Playing() && !p->Failed();
}

void PlaybackCore::setState(PlayState s) {
    state_ = s;
    tell([](PlaybackObserver& o) { o.playStateChanged(); });
}

void PlaybackCore::release() {
    held_ = false;
    unplayedInARow_ = 0;
}

void PlaybackCore::setCurrentIndex(int32_t index) {
    if (index == currentIndex_) return;
    currentIndex_ = index;
    tell([](PlaybackObserver& o) { o.rowChanged(); });
}

void PlaybackCore::Play() {
    release();
    if (state_ == PlayState::Paused) {
        if (Player* p = channelIn(ActiveChannel)) p->PlayFile();
    } else if (state_ == PlayState::Stopped) {
        // Play from the stopped state always starts at the top of the list.
        setCurrentIndex(1);
        DoTransition();
    }
    setState(PlayState::Playing);
}

void PlaybackCore::Pause() {
    if (state_ == PlayState::Paused) {
        Play();
        return;
    }
    // Only the current song pauses; a song that is fading out plays on.
    if (Player* p = channelIn(ActiveChannel)) p->PauseFile();
    setState(PlayState::Paused);
}

void PlaybackCore::Stop() {
    held_ = true;
    if (Player* p = channelIn(ActiveChannel)) p->StopFile();
    if (Player* p = channelIn(1 - ActiveChannel)) p->StopFile();
    setState(PlayState::Stopped);
}

void PlaybackCore::Back() {
    if (state_ == PlayState::Paused) Play();
    release();
    attempt([&] { setCurrentIndex(toInt32(int64_t{currentIndex_} - 1)); });
    DoTransition();
}

void PlaybackCore::Next() {
    if (state_ == PlayState::Paused) Play();
    release();
    attempt([&] { setCurrentIndex(toInt32(int64_t{currentIndex_} + 1)); });
    DoTransition();
}

void PlaybackCore::PlayRow(int32_t index) {
    release();
    if (index >= 1 && index <= list_.rowCount()) {
        setCurrentIndex(index);
        DoTransition();
    }
    setState(PlayState::Playing);
}

void PlaybackCore::DoTransition() {
    if (currentIndex_ == -1) return;
    if (list_.rowCount() == 0) {
        Stop();
        setCurrentIndex(-1);
        tmrTransition.setEnabled(false);
        return;
    }
    if (currentIndex_ > list_.rowCount()) {
        // Past the last row the current song plays on; the monitor's next advance starts row 1.
        setCurrentIndex(0);
        return;
    }
    // The next song takes the other entry, where the song that is ending fades out; the entry
    // of a song that did not play is the next one's, so the song before it fades out whole past
    // any number of such files.
    if (!activeFailed()) ActiveChannel = static_cast<int16_t>(1 - ActiveChannel);
    LoadCurrentItem();
    if (Player* p = channelIn(ActiveChannel)) p->PlayFile();
    tell([](PlaybackObserver& o) { o.songLoaded(); });
    TransitionStep = 0;
    if (TransitionTime == 0) {
        // No time to fade: one step at once, and no timer.
        tmrTransition_Timer();
        return;
    }
    // L steps take the transition's time. A level of 0 leaves the interval as it was, and so
    // does an interval the timer refuses.
    if (level_ != 0)
        attempt([&] { tmrTransition.setInterval(toInt32(static_cast<int64_t>(TransitionLead() * 1000) / level_)); });
    tmrTransition.setEnabled(true);
}

void PlaybackCore::LoadCurrentItem() {
    auto& entry = Channels[static_cast<size_t>(ActiveChannel)];
    if (entry) entry->StopFile();
    entry = std::make_unique<Player>(media_);
    endedUnplayed_ = false;
    entry->onStream = [this, index = ActiveChannel](StreamEvent e) { Channels_StreamEnd(index, e); };
    Player& p = *entry;
    p.setOutputDevice(outputDevice_);
    if (currentIndex_ < 1) setCurrentIndex(1);
    if (currentIndex_ > list_.rowCount()) setCurrentIndex(1);
    attempt([&] {
        p.setFilename(list_.location(currentIndex_));
        p.OpenFile();
    });
    // The song starts at its gain (a fresh channel stands at 1): the transition raises it from
    // silence.
    if (const double gain = loudnessGain(p.Filename()); gain != p.Loudness())
        p.setLoudness(gain, std::chrono::milliseconds{0});

    // The trimmed part of the song. A step that fails here forgets the trims; the whole song
    // then plays.
    const auto trimStep = [this](auto&& step) {
        try {
            step();
        } catch (const std::exception&) {
            StartPos = 0;
            EndPos = 0;
        }
    };
    trimStep([&] {
        const SilenceTrims silence = silenceTrims(p.Filename());
        StartPos = toInt32(int64_t{CutFirst} + silence.leadIn);
        EndPos = toInt32(int64_t{p.Duration()} - CutLast - silence.tail);
    });
    trimStep([&] {
        if (StartPos >= EndPos) {
            StartPos = 0;
            EndPos = p.Duration();
        }
    });
    trimStep([&] { list_.setLengths(currentIndex_, p.Duration(), SegToMin(double(EndPos) - StartPos)); });

    p.setPosition(StartPos);
    // The new channel starts silent; the transition raises it. The explicit call gives the new
    // Player its volume even when the fader already stood at silent.
    Faders[static_cast<size_t>(ActiveChannel)] = Top;
    vscVolume_Change(ActiveChannel);
    tell([this](PlaybackObserver& o) { o.faderMoved(ActiveChannel); });
    tmrPosition.setEnabled(true);
    measureAhead();
    if (const std::string next = nextLocation(); !next.empty()) media_.readAhead(next);
}

void PlaybackCore::shutDown() {
    shutDown_ = true;
    tmrPosition.setEnabled(false);
    tmrTransition.setEnabled(false);
    Stop();
}

}  // namespace velorra
