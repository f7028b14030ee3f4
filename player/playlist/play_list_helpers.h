#pragma once
// What the play list's files share.
#include "player/toolkit/list_view.h"

#include <cstdint>
#include <string>

namespace velorra {

// Sorts the list once by sub-item k while `current` keeps naming the same row: that row carries
// the key "tarvo" during the sort. A `current` of 0 or less, or beyond the rows, stays as it is.
void sortKeepingCurrent(toolkit::ListView& list, int32_t& current, int k, bool ascending);

// What the status bar's second panel shows while no play list is being read.
std::string webAddressPanel();

}  // namespace velorra
