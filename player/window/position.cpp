// The position bar and its labels: where the core's active channel plays, relative to the
// trimmed part of the song. The bar seeks unless the program itself is moving it
// (UpdatingPosition).
#include "player/channel/whole_seconds.h"
#include "player/playback/seg_to_min.h"
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

namespace velorra {

std::string frmPlayer::SegToMin(double seconds) { return velorra::SegToMin(seconds); }

void frmPlayer::positionTick(int32_t position) {
    const int32_t start = playback.StartPos, end = playback.EndPos;
    attempt([&] { lblTotal.setCaption(SegToMin(double(end) - start)); });
    attempt([&] { lblTimeLeft.setCaption(SegToMin(double(end) - position)); });
    attempt([&] { lblPosition.setCaption(SegToMin(double(position) - start)); });
    UpdatingPosition = 1;
    attempt([&] { hscPosition.setValue(toInt16(int64_t{position} - start)); });
    UpdatingPosition = 0;
}

void frmPlayer::showPositionRange() {
    attempt([&] { hscPosition.setRange(0, toInt16(int64_t{playback.EndPos} - playback.StartPos)); });
}

void frmPlayer::trimsChanged() {
    UpdatingPosition = 1;
    showPositionRange();
    UpdatingPosition = 0;
}

void frmPlayer::seeked(int32_t seconds) {
    UpdatingPosition = 1;
    hscPosition.setValue(seconds);
    UpdatingPosition = 0;
}

void frmPlayer::hscPosition_Change() {
    const int32_t value = hscPosition.Value();
    const int32_t max = hscPosition.Max();
    const double percent = max > 0 ? roundHalfEven(double(value) / max * 100) : 0.0;
    prgPosition.setValue(static_cast<int32_t>(percent));
    attempt([&] { lblPosition.setCaption(SegToMin(value)); });
    attempt([&] { lblTimeLeft.setCaption(SegToMin(double(playback.EndPos) - playback.StartPos - value)); });
    if (UpdatingPosition == 1) return;
    playback.Seek(value);
}

void frmPlayer::hscPosition_Scroll() { hscPosition_Change(); }

}  // namespace velorra
