// "Trim Silence" and "Match Loudness": the options' menu items; the measuring, trimming and
// matching are the core's.
#include "player/window/frm_player.h"

namespace velorra {

void frmPlayer::mnuTrimSilence_Click() {
    mnuTrimSilence.setChecked(!mnuTrimSilence.Checked());
    playback.setTrimSilence(mnuTrimSilence.Checked());
}

void frmPlayer::mnuMatchLoudness_Click() {
    mnuMatchLoudness.setChecked(!mnuMatchLoudness.Checked());
    playback.setMatchLoudness(mnuMatchLoudness.Checked());
}

}  // namespace velorra
