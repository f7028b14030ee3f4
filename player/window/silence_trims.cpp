// "Trim Silence": the option's menu item; the measuring and trimming are the core's.
#include "player/window/frm_player.h"

namespace velorra {

void frmPlayer::mnuTrimSilence_Click() {
    mnuTrimSilence.setChecked(!mnuTrimSilence.Checked());
    playback.setTrimSilence(mnuTrimSilence.Checked());
}

}  // namespace velorra
