// "Calculate Total": the core sums the list; the window paints the two totals red while it
// runs, shows how far it is, and turns its button into the way to cancel.
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

namespace velorra {

void frmPlayer::cmdCalculate_Click() {
    if (playback.Calculating()) {
        playback.CalculateTotal();
        return;
    }
    lblDuracionTotal.setBackColor(toolkit::colors::Red);
    lblCantDeTemas.setBackColor(toolkit::colors::Red);
    cmdCalculate.setCaption("Cancel Calculation");
    playback.CalculateTotal();
    cmdCalculate.setCaption("Calculate Total");
    lblDuracionTotal.setBackColor(std::nullopt);
    lblCantDeTemas.setBackColor(std::nullopt);
}

void frmPlayer::totalProgress(double seconds, int32_t rows) {
    attempt([&] { lblDuracionTotal.setCaption(SegToMin(seconds)); });
    lblCantDeTemas.setCaption(std::to_string(rows));
}

void frmPlayer::totalDone(double seconds, int32_t rows) { totalProgress(seconds, rows); }

}  // namespace velorra
