// "Calculate Total": how long the whole play list plays. Each song counts its length less the
// trims (with "Trim Silence" on, also less the silence measured so far); the songs whose length
// is not yet known are opened on the active channel, and column 9 keeps each length so that no
// file is opened twice. The transitions that overlap two songs
// (every curve but "Down  Up" and "Cut") take their time off once between each pair of rows.
// Pending events run between rows: a second click cancels, and closing the window ends the
// calculation.
#include "player/playlist/play_list_columns.h"
#include "player/toolkit/attempt.h"
#include "player/window/decimal_number.h"
#include "player/window/frm_player.h"

namespace velorra {

void frmPlayer::cmdCalculate_Click() {
    if (Calculating == 1) {
        CancelRequested = 1;
        return;
    }
    btnStop_Click();
    lblDuracionTotal.setBackColor(toolkit::colors::Red);
    lblCantDeTemas.setBackColor(toolkit::colors::Red);
    double total = 0;
    Calculating = 1;
    cmdCalculate.setCaption("Cancel Calculation");

    const double trims = double(CutFirst) + CutLast;
    const int32_t rows = lstClipList.count();
    int32_t i = 1;
    for (; i <= rows; ++i) {
        if (CancelRequested == 1 || !loaded()) break;
        // A row deleted while the calculation runs adds nothing.
        if (i <= lstClipList.count()) {
            // Measured silence counts when the option is on; this command never measures.
            const SilenceTrims silence = silenceTrims(lstClipList.text(i, column::Location));
            const double trimmed = trims + silence.leadIn + silence.tail;
            double seconds = 0;
            if (const auto known = decimalNumber(lstClipList.text(i, column::TotLength))) {
                seconds = *known;
            } else {
                attempt([&] {
                    auto& entry = Channels.at(static_cast<size_t>(ActiveChannel));
                    entry = std::make_unique<Player>(services_.media);
                    entry->setOutputDevice(chosenOutputDevice());
                    entry->setFilename(lstClipList.text(i, column::Location));
                    entry->OpenFile();
                    seconds = entry->Duration();
                });
                lstClipList.setText(i, column::TotLength, std::to_string(static_cast<int32_t>(seconds)));
                attempt([&] { lstClipList.setText(i, column::Length, SegToMin(seconds - trimmed)); });
            }
            total += seconds - trimmed;
        }
        attempt([&] { lblDuracionTotal.setCaption(SegToMin(total)); });
        lblCantDeTemas.setCaption(std::to_string(i));
        services_.loop.doEvents();
    }

    const int32_t count = lstClipList.count();
    if ((TransitionType == 0 || TransitionType == 1 || TransitionType == 3) && count >= 2)
        total -= double(TransitionTime) * (count - 1);
    attempt([&] { lblDuracionTotal.setCaption(SegToMin(total)); });
    lblCantDeTemas.setCaption(std::to_string(i - 1));
    Calculating = 0;
    CancelRequested = 0;
    cmdCalculate.setCaption("Calculate Total");
    lblDuracionTotal.setBackColor(std::nullopt);
    lblCantDeTemas.setBackColor(std::nullopt);
}

}  // namespace velorra
