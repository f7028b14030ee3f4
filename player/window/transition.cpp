// The transition choices: the curve, the transition time and the two trims, handed to the core.
#include "player/window/frm_player.h"

namespace velorra {

void frmPlayer::optTransition_Click(int16_t Index) { playback.setTransitionType(Index); }

void frmPlayer::spinTransitionTime_Change() {
    playback.setTransitionTime(spinTransitionTime.Value());
    lblTransitionTime.setCaption(std::to_string(playback.TransitionTime));
}

void frmPlayer::spinCutFirst_Change() {
    playback.setCutFirst(spinCutFirst.Value());
    lblCutFirst.setCaption(std::to_string(playback.CutFirst));
}

void frmPlayer::spinCutLast_Change() {
    playback.setCutLast(spinCutLast.Value());
    lblCutLast.setCaption(std::to_string(playback.CutLast));
}

}  // namespace velorra
