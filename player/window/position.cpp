// The position monitor: ten times a second it shows where the active channel plays, relative to
// the trimmed part of the song, and when the song reaches its trimmed end less the transition
// time it starts the next one, so that the transition ends where the trimmed song ends. A song
// whose stream ends or fails before that is changed as soon as its channel tells. The position
// bar seeks unless the program itself is moving it (UpdatingPosition).
#include "player/channel/whole_seconds.h"
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

#include <cmath>
#include <ctime>
#include <random>
#include <stdexcept>

namespace velorra {

namespace {

// Seconds since local midnight, the clock the shuffle mixes in before each pick.
uint32_t secondsSinceMidnight() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<uint32_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

std::string twoDigits(int64_t v) {
    const std::string digits = std::to_string(v < 0 ? -v : v);
    return (v < 0 ? "-" : "") + (digits.size() < 2 ? "0" + digits : digits);
}

}  // namespace

std::string frmPlayer::SegToMin(double seconds) {
    if (!(std::fabs(seconds) < 9.0e18)) throw std::overflow_error("seconds beyond 64 bits");
    const auto minutes = static_cast<int64_t>(std::trunc(seconds / 60));
    const auto rest = static_cast<int64_t>(std::trunc(seconds - static_cast<double>(minutes) * 60));
    return twoDigits(minutes) + ":" + twoDigits(rest);
}

void frmPlayer::tmrPosition_Timer() {
    // One reading of the channel serves the whole tick: the labels, the bar and the test for the
    // end zone agree, and the graph is asked once.
    int32_t position = 0;
    attempt([&] { position = channel(ActiveChannel).Position(); });
    attempt([&] { lblTotal.setCaption(SegToMin(double(EndPos) - StartPos)); });
    attempt([&] { lblTimeLeft.setCaption(SegToMin(double(EndPos) - position)); });
    attempt([&] { lblPosition.setCaption(SegToMin(double(position) - StartPos)); });
    UpdatingPosition = 1;
    attempt([&] { hscPosition.setValue(toInt16(int64_t{position} - StartPos)); });
    UpdatingPosition = 0;

    // A song that did not play is in its end zone whatever length its header told.
    if (position < EndPos - TransitionLead() && !activeFailed()) return;
    AdvanceSong();
}

// A song not longer than the transition time would be in its end zone from its first tick: it
// would be changed at once, and a list of such songs (one short row) would be reloaded at every
// other tick, silent at 00:00, for good. Its transition takes half of it instead, so it rises
// for its first half and falls for its second.
double frmPlayer::TransitionLead() const {
    const int64_t length = int64_t{EndPos} - StartPos;
    return TransitionTime < length ? TransitionTime : static_cast<double>(length) / 2;
}

void frmPlayer::Channels_StreamEnd(int16_t Index) {
    if (Index == ActiveChannel) AdvanceSong();
}

void frmPlayer::AdvanceSong() {
    const int32_t rows = lstClipList.count();
    if (chkRndPlay.Value() == 1) {
        // The window's one generator, the one "Random Order" draws from, re-seeded from the clock
        // before each pick. The new seed keeps something of the old state, so two picks within one
        // second still differ (a file that fails to open is passed over 100 ms later).
        std::seed_seq seed{secondsSinceMidnight(), static_cast<uint32_t>(randomGenerator())};
        randomGenerator.seed(seed);
        // Any row can come next, the current one included: r in [0, 1) gives 1 to rows.
        const double r = nextRandom();
        CurrentIndex = static_cast<int32_t>(r * rows + 1);
    } else {
        attempt([&] { CurrentIndex = toInt32(int64_t{CurrentIndex} + 1); });
    }
    DoTransition();
}

void frmPlayer::hscPosition_Change() {
    const int32_t value = hscPosition.Value();
    const int32_t max = hscPosition.Max();
    const double percent = max > 0 ? roundHalfEven(double(value) / max * 100) : 0.0;
    prgPosition.setValue(static_cast<int32_t>(percent));
    attempt([&] { lblPosition.setCaption(SegToMin(value)); });
    attempt([&] { lblTimeLeft.setCaption(SegToMin(double(EndPos) - StartPos - value)); });
    if (UpdatingPosition == 1) return;
    attempt([&] { channel(ActiveChannel).setPosition(toInt32(int64_t{value} + StartPos)); });
    tell(Event::Seeked);
}

void frmPlayer::hscPosition_Scroll() { hscPosition_Change(); }

}  // namespace velorra
