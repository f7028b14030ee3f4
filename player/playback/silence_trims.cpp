// "Trim Silence": while the option is on, every song's quiet lead-in and tail are measured in
// the background and trimmed on top of CutFirst and CutLast. The core asks ahead for the song
// that plays next, so that its trims are known when it starts; a measurement that arrives while
// its song plays moves that song's end (never its start: the song is not sought). Measurements
// are kept in the analysis store of the user's cache folder (a song that failed to decode as
// well, until its file changes); with the option off no trim is looked up and every figure is
// the plain one, and unless "Match Loudness" is on (loudness_match.cpp: one decode gives both)
// nothing is measured either.
#include "player/playback/playback_core.h"
#include "player/playback/seg_to_min.h"
#include "player/toolkit/attempt.h"

#include <cmath>

namespace velorra {

namespace {

int32_t wholeSecondsDown(double seconds) { return static_cast<int32_t>(std::floor(seconds)); }

}  // namespace

void PlaybackCore::setTrimSilence(bool on) {
    trimSilence_ = on;
    measureAhead();
}

PlaybackCore::SilenceTrims PlaybackCore::silenceTrims(const std::string& path) {
    if (!trimSilence_) return {};
    const auto silence = silenceCache_.find(path);
    if (!silence) return {};
    return {wholeSecondsDown(silence->leadIn), wholeSecondsDown(silence->tail)};
}

void PlaybackCore::measureAhead() {
    // One decode measures the silence and the loudness: either option asks for it.
    if (!trimSilence_ && !matchLoudness_) return;
    const auto want = [this](const std::string& path) {
        if (path.empty() || silencePending_.contains(path) || silenceCache_.find(path)) return;
        silencePending_.insert(path);
        silence_.measure(path);
    };
    if (const Player* p = channelIn(ActiveChannel)) want(p->Filename());
    want(nextLocation());
}

std::string PlaybackCore::nextLocation() {
    const int32_t rows = list_.rowCount();
    if (list_.shuffle() || currentIndex_ < 0 || rows == 0) return {};
    std::string next;
    // After the last row the list starts again at the top.
    attempt([&] { next = list_.location(currentIndex_ < rows ? currentIndex_ + 1 : 1); });
    return next;
}

void PlaybackCore::silenceMeasured(const std::string& path, const Measurement& measurement) {
    silencePending_.erase(path);
    silenceCache_.store(path, measurement);
    const Silence silence = measurement.silence;
    if (matchLoudness_) matchPlaying(path);
    if (!trimSilence_) return;
    const Player* playing = channelIn(ActiveChannel);
    if (!playing || playing->Filename() != path) return;
    // The song started with the plain trims: it keeps its start and its end comes the tail
    // earlier, unless all the trims together leave nothing of it (then it plays on whole).
    const int32_t leadIn = wholeSecondsDown(silence.leadIn), tail = wholeSecondsDown(silence.tail);
    if (tail == 0 || int64_t{CutFirst} + leadIn >= int64_t{playing->Duration()} - CutLast - tail) return;
    EndPos -= tail;
    attempt([&] {
        if (list_.location(currentIndex_) == path)
            list_.setLengths(currentIndex_, std::nullopt, SegToMin(double(EndPos) - StartPos));
    });
    tell([](PlaybackObserver& o) { o.trimsChanged(); });
}

}  // namespace velorra
