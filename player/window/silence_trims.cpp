// "Trim Silence": while the option is on, every song's quiet lead-in and tail are measured in
// the background and trimmed on top of CutFirst and CutLast. The window asks ahead for the song
// that plays next, so that its trims are known when it starts; a measurement that arrives while
// its song plays moves that song's end (never its start: the song is not sought). Measurements
// are kept in the analysis store of the user's cache folder (a song that failed to decode as
// well, until its file changes); with the option off nothing is measured or looked up and every
// figure is the plain one.
#include "player/playlist/play_list_columns.h"
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

#include <cmath>

namespace velorra {

namespace {

int32_t wholeSecondsDown(double seconds) { return static_cast<int32_t>(std::floor(seconds)); }

}  // namespace

void frmPlayer::mnuTrimSilence_Click() {
    mnuTrimSilence.setChecked(!mnuTrimSilence.Checked());
    measureAhead();
}

frmPlayer::SilenceTrims frmPlayer::silenceTrims(const std::string& path) {
    if (!mnuTrimSilence.Checked()) return {};
    const auto silence = silenceCache_.find(path);
    if (!silence) return {};
    return {wholeSecondsDown(silence->leadIn), wholeSecondsDown(silence->tail)};
}

void frmPlayer::measureAhead() {
    if (!mnuTrimSilence.Checked()) return;
    const auto want = [this](const std::string& path) {
        if (path.empty() || silencePending_.contains(path) || silenceCache_.find(path)) return;
        silencePending_.insert(path);
        services_.silence.measure(path);
    };
    attempt([&] { want(channel(ActiveChannel).Filename()); });
    const int32_t rows = lstClipList.count();
    if (chkRndPlay.Value() == 1 || CurrentIndex < 0 || rows == 0) return;
    // After the last row the list starts again at the top.
    attempt([&] { want(lstClipList.text(CurrentIndex < rows ? CurrentIndex + 1 : 1, column::Location)); });
}

void frmPlayer::silenceMeasured(const std::string& path, const Measurement& measurement) {
    silencePending_.erase(path);
    silenceCache_.store(path, measurement);
    const Silence silence = measurement.silence;
    if (!mnuTrimSilence.Checked()) return;
    bool moved = false;
    attempt([&] {
        Player& playing = channel(ActiveChannel);
        if (playing.Filename() != path) return;
        // The song started with the plain trims: it keeps its start and its end comes the tail
        // earlier, unless all the trims together leave nothing of it (then it plays on whole).
        const int32_t leadIn = wholeSecondsDown(silence.leadIn), tail = wholeSecondsDown(silence.tail);
        if (tail == 0 || int64_t{CutFirst} + leadIn >= int64_t{playing.Duration()} - CutLast - tail) return;
        EndPos = toInt32(int64_t{EndPos} - tail);
        moved = true;
    });
    if (!moved) return;
    attempt([&] {
        if (lstClipList.text(CurrentIndex, column::Location) == path)
            lstClipList.setText(CurrentIndex, column::Length, SegToMin(double(EndPos) - StartPos));
    });
    UpdatingPosition = 1;
    attempt([&] { hscPosition.setRange(0, toInt16(int64_t{EndPos} - StartPos)); });
    UpdatingPosition = 0;
}

}  // namespace velorra
