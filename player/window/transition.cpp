// The transition engine. While the next song starts on channel ActiveChannel, the song that is
// ending plays on the other one; each tick moves the two channel faders one step along the
// chosen curve, and tick L + 1 stops the old song. A fader runs from 0, loudest, to M = 85,
// silent; the listening level is the master volume L, so a playing song stands at M - L.
// The engine only moves faders: each fader's change action turns its position into the
// channel's volume and level display.
#include "player/channel/whole_seconds.h"
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

namespace velorra {

void frmPlayer::optTransition_Click(int16_t Index) { TransitionType = Index; }

void frmPlayer::spinTransitionTime_Change() {
    TransitionTime = spinTransitionTime.Value();
    lblTransitionTime.setCaption(std::to_string(TransitionTime));
}

void frmPlayer::spinCutFirst_Change() {
    CutFirst = spinCutFirst.Value();
    lblCutFirst.setCaption(std::to_string(CutFirst));
}

void frmPlayer::spinCutLast_Change() {
    CutLast = spinCutLast.Value();
    lblCutLast.setCaption(std::to_string(CutLast));
}

void frmPlayer::tmrTransition_Timer() {
    attempt([&] { TransitionStep = toInt16(int64_t{TransitionStep} + 1); });
    const int32_t s = TransitionStep;
    // Read afresh at every step: a new level or curve takes effect at once.
    const int32_t level = hscVolume.Value();
    const int32_t top = hscVolume.Max();
    const int32_t incoming = ActiveChannel;
    const int32_t outgoing = 1 - ActiveChannel;
    const auto setFader = [this](int32_t entry, double value) {
        attempt([&] { vscVolume.at(static_cast<size_t>(entry)).setValue(toInt32(static_cast<int64_t>(roundHalfEven(value)))); });
    };

    if (s >= level + 1) {
        TransitionStep = 0;
        tmrTransition.setEnabled(false);
        attempt([&] { channel(outgoing).StopFile(); });
        return;
    }

    const double half = level / 2.0;
    switch (TransitionType) {
    case 0:  // "Cross Dissolve"
        setFader(incoming, top - s);
        setFader(outgoing, s + (top - level));
        break;
    case 1:  // "Up Down": the new song rises first, then the old one falls
        if (half >= s)
            setFader(incoming, top - 2 * s);
        else
            setFader(outgoing, (s - half) * 2 + (top - level));
        break;
    case 2:  // "Down  Up": the old song falls first, then the new one rises
        if (half >= s)
            setFader(outgoing, 2 * s + (top - level));
        else
            setFader(incoming, top - (s - half) * 2);
        break;
    case 3:  // "Mix": the new song at the listening level, the old one plays on
        hscVolume_Change();
        break;
    case 4:  // "Cut"
        setFader(outgoing, top);
        setFader(incoming, top - level);
        attempt([&] { channel(outgoing).StopFile(); });
        break;
    default:
        break;
    }
}

}  // namespace velorra
