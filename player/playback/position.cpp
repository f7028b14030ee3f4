// The position monitor: ten times a second it reads where the active channel plays, and when the
// song reaches its trimmed end less the transition time it starts the next one, so that the
// transition ends where the trimmed song ends. A song whose stream ends or fails before that is
// changed as soon as its channel tells. After Stop, and while the song is paused, the monitor
// only watches: nothing starts until a command.
#include "player/channel/whole_seconds.h"
#include "player/playback/playback_core.h"
#include "player/playback/seg_to_min.h"
#include "player/toolkit/attempt.h"

#include <cmath>
#include <iostream>
#include <stdexcept>

namespace velorra {

namespace {

std::string twoDigits(int64_t v) {
    const std::string digits = std::to_string(v < 0 ? -v : v);
    return (v < 0 ? "-" : "") + (digits.size() < 2 ? "0" + digits : digits);
}

}  // namespace

std::string SegToMin(double seconds) {
    if (!(std::fabs(seconds) < 9.0e18)) throw std::overflow_error("seconds beyond 64 bits");
    const auto minutes = static_cast<int64_t>(std::trunc(seconds / 60));
    const auto rest = static_cast<int64_t>(std::trunc(seconds - static_cast<double>(minutes) * 60));
    return twoDigits(minutes) + ":" + twoDigits(rest);
}

void PlaybackCore::tmrPosition_Timer() {
    // One reading of the channel serves the whole tick: the window's labels, its bar and the
    // test for the end zone agree, and the graph is asked once.
    Player* active = channelIn(ActiveChannel);
    const int32_t position = active ? active->Position() : 0;
    tell([position](PlaybackObserver& o) { o.positionTick(position); });
    if (active && active->Playing() && !active->Failed() && position > StartPos) unplayedInARow_ = 0;

    if (!advancing()) return;
    // A song that did not play is in its end zone whatever length its header told.
    if (position < EndPos - TransitionLead() && !activeFailed()) return;
    AdvanceSong();
}

// A song not longer than the transition time would be in its end zone from its first tick: it
// would be changed at once, and a list of such songs (one short row) would be reloaded at every
// other tick, silent at 00:00, for good. Its transition takes half of it instead, so it rises
// for its first half and falls for its second.
double PlaybackCore::TransitionLead() const {
    const int64_t length = int64_t{EndPos} - StartPos;
    return TransitionTime < length ? TransitionTime : static_cast<double>(length) / 2;
}

bool PlaybackCore::advancing() const { return !held_ && state_ != PlayState::Paused; }

void PlaybackCore::Channels_StreamEnd(int16_t Index, StreamEvent event) {
    if (event == StreamEvent::Failed) channelFailed(Index);
    if (Index != ActiveChannel) return;
    // A stream that ends where its song starts (trimmed past its true end) played nothing.
    if (event == StreamEvent::Ended) {
        Player* p = channelIn(Index);
        if (p && p->Position() > StartPos)
            unplayedInARow_ = 0;
        else
            endedUnplayed_ = true;
    }
    if (advancing()) AdvanceSong();
}

void PlaybackCore::channelFailed(int16_t index) {
    const Player* p = channelIn(index);
    if (!p) return;
    std::cerr << "velorra: cannot play \"" << p->Filename() << "\": " << p->FailureText() << '\n';
    tell([p](PlaybackObserver& o) { o.songFailed(p->Filename(), p->FailureText()); });
}

void PlaybackCore::AdvanceSong() {
    const int32_t rows = list_.rowCount();
    if ((activeFailed() || endedUnplayed_) && rows > 0) {
        // A pass over the whole list in which no song played ends stopped.
        if (++unplayedInARow_ >= rows) {
            const int32_t failures = unplayedInARow_;
            Stop();
            tell([failures](PlaybackObserver& o) { o.nothingPlayable(failures); });
            return;
        }
    }
    if (list_.shuffle()) {
        // Any row can come next, the current one included: r in [0, 1) gives 1 to rows.
        const double r = list_.shufflePick();
        setCurrentIndex(static_cast<int32_t>(r * rows + 1));
    } else {
        attempt([&] { setCurrentIndex(toInt32(int64_t{currentIndex_} + 1)); });
    }
    DoTransition();
}

void PlaybackCore::Seek(int32_t seconds) {
    attempt([&] {
        if (Player* p = channelIn(ActiveChannel)) p->setPosition(toInt32(int64_t{seconds} + StartPos));
    });
    tell([seconds](PlaybackObserver& o) { o.seeked(seconds); });
}

int32_t PlaybackCore::SongPosition() const {
    Player* p = channelIn(ActiveChannel);
    return p ? p->Position() - StartPos : 0;
}

}  // namespace velorra
