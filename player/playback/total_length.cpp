// "Calculate Total": how long the whole play list plays. Each song counts its length less the
// trims (with "Trim Silence" on, also less the silence measured so far); a song whose length the
// list does not know yet is opened on a channel of its own, never on one that plays, and the
// list keeps each length so that no file is opened twice. The transitions that overlap two
// songs (every curve but "Down  Up" and "Cut") take their time off once between each pair of
// rows. Pending events run between rows: a second call cancels, and shutting down ends it.
#include "player/playback/playback_core.h"
#include "player/playback/seg_to_min.h"
#include "player/playback/transition_curve.h"
#include "player/toolkit/attempt.h"

namespace velorra {

void PlaybackCore::CalculateTotal() {
    if (calculating_) {
        cancelRequested_ = true;
        return;
    }
    Stop();
    double total = 0;
    calculating_ = true;

    const double trims = double(CutFirst) + CutLast;
    const int32_t rows = list_.rowCount();
    int32_t i = 1;
    for (; i <= rows; ++i) {
        if (cancelRequested_ || shutDown_) break;
        // A row deleted while the calculation runs adds nothing.
        if (i <= list_.rowCount()) {
            // Measured silence counts when the option is on; this command never measures.
            const SilenceTrims silence = silenceTrims(list_.location(i));
            const double trimmed = trims + silence.leadIn + silence.tail;
            double seconds = 0;
            if (const auto known = list_.knownLength(i)) {
                seconds = *known;
            } else {
                Player probe(media_);
                probe.setOutputDevice(outputDevice_);
                probe.setFilename(list_.location(i));
                probe.OpenFile();
                seconds = probe.Duration();
                attempt([&] { list_.setLengths(i, static_cast<int32_t>(seconds), SegToMin(seconds - trimmed)); });
            }
            total += seconds - trimmed;
        }
        tell([total, i](PlaybackObserver& o) { o.totalProgress(total, i); });
        loop_.doEvents();
    }

    const int32_t count = list_.rowCount();
    const auto overlaps = [](int16_t type) {
        return type == static_cast<int16_t>(TransitionCurve::CrossDissolve) ||
               type == static_cast<int16_t>(TransitionCurve::UpDown) || type == static_cast<int16_t>(TransitionCurve::Mix);
    };
    if (overlaps(TransitionType) && count >= 2) total -= double(TransitionTime) * (count - 1);
    calculating_ = false;
    cancelRequested_ = false;
    tell([total, i](PlaybackObserver& o) { o.totalDone(total, i - 1); });
}

}  // namespace velorra
