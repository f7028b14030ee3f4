// The transition engine. While the next song starts on channel ActiveChannel, the song that is
// ending plays on the other one; each tick moves the two channel faders one step along the
// chosen curve, and tick L + 1 stops the old song. A fader runs from 0, loudest, to M = 85,
// silent; the listening level is the master volume L, so a playing song stands at M - L.
// The engine only moves faders: each fader's change turns its position into the channel's volume.
#include "player/playback/playback_core.h"
#include "player/playback/transition_curve.h"
#include "player/toolkit/attempt.h"

namespace velorra {

void PlaybackCore::tmrTransition_Timer() {
    attempt([&] { TransitionStep = toInt16(int64_t{TransitionStep} + 1); });
    const int32_t s = TransitionStep;
    // Read afresh at every step: a new level or curve takes effect at once.
    const int32_t level = level_;
    const auto incoming = ActiveChannel;
    const auto outgoing = static_cast<int16_t>(1 - ActiveChannel);

    if (s >= level + 1) {
        TransitionStep = 0;
        tmrTransition.setEnabled(false);
        if (Player* p = channelIn(outgoing)) p->StopFile();
        return;
    }

    const FaderPositions faders = transitionFaders(TransitionType, s, level, Top);
    if (faders.outgoing) setFader(outgoing, *faders.outgoing);
    if (faders.incoming) setFader(incoming, *faders.incoming);
    if (TransitionType == static_cast<int16_t>(TransitionCurve::Cut))
        if (Player* p = channelIn(outgoing)) p->StopFile();
}

}  // namespace velorra
