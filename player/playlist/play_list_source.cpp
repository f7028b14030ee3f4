// The play list as the playback core reads it: the rows' files and lengths, and the shuffle
// box with the window's one random generator.
#include "player/playlist/play_list_columns.h"
#include "player/window/decimal_number.h"
#include "player/window/frm_player.h"

#include <ctime>
#include <random>
#include <stdexcept>

namespace velorra {

namespace {

// Seconds since local midnight, the clock the shuffle mixes in before each pick.
uint32_t secondsSinceMidnight() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<uint32_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

}  // namespace

int32_t frmPlayer::rowCount() const { return lstClipList.count(); }

std::string frmPlayer::location(int32_t row) const {
    if (row < 1 || row > lstClipList.count()) throw std::out_of_range("no such row");
    return lstClipList.text(row, column::Location);
}

std::optional<double> frmPlayer::knownLength(int32_t row) const {
    if (row < 1 || row > lstClipList.count()) return std::nullopt;
    return decimalNumber(lstClipList.text(row, column::TotLength));
}

void frmPlayer::setLengths(int32_t row, std::optional<int32_t> fullSeconds, const std::string& trimmed) {
    if (row < 1 || row > lstClipList.count()) throw std::out_of_range("no such row");
    if (fullSeconds) lstClipList.setText(row, column::TotLength, std::to_string(*fullSeconds));
    lstClipList.setText(row, column::Length, trimmed);
}

bool frmPlayer::shuffle() const { return chkRndPlay.Value() == 1; }

double frmPlayer::shufflePick() {
    // The window's one generator, the one "Random Order" draws from, re-seeded from the clock
    // before each pick. The new seed keeps something of the old state, so two picks within one
    // second still differ (a file that fails to open is passed over at once).
    std::seed_seq seed{secondsSinceMidnight(), static_cast<uint32_t>(randomGenerator())};
    randomGenerator.seed(seed);
    return nextRandom();
}

}  // namespace velorra
