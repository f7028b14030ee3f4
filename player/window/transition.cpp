// The transition engine. While the next song starts on channel ActiveChannel, the song that is
// ending plays on the other one; each tick moves the two channel faders one step along the
// chosen curve, and tick L + 1 stops the old song. A fader runs from 0, loudest, to M = 85,
// silent; the listening level is the master volume L, so a playing song stands at M - L.
// The engine only moves faders: each fader's change action turns its position into the
// channel's volume and level display.
#include "player/channel/whole_seconds.h"
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"
#include "player/window/transition_curve.h"

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
    const auto setFader = [this](int32_t entry, int32_t value) {
        attempt([&] { vscVolume.at(static_cast<size_t>(entry)).setValue(value); });
    };

    if (s >= level + 1) {
        TransitionStep = 0;
        tmrTransition.setEnabled(false);
        attempt([&] { channel(outgoing).StopFile(); });
        return;
    }

    const FaderPositions faders = transitionFaders(TransitionType, s, level, top);
    if (faders.outgoing) setFader(outgoing, *faders.outgoing);
    if (faders.incoming) setFader(incoming, *faders.incoming);
    if (TransitionType == static_cast<int16_t>(TransitionCurve::Cut))
        attempt([&] { channel(outgoing).StopFile(); });
}

}  // namespace velorra
