#pragma once
// What the play list's files share.
#include "player/toolkit/list_view.h"

#include <cstdint>
#include <string>

namespace velorra {

// Sorts the list once by sub-item k and returns the new number of row `current`: that row
// carries the key "tarvo" during the sort. A `current` of 0 or less, or beyond the rows, comes
// back as it is.
int32_t sortKeepingCurrent(toolkit::ListView& list, int32_t current, int k, bool ascending);

// A relative name taken from the working directory, so that it names the same file wherever
// the program works later; an empty name and an absolute one stay as they are.
std::string absoluteLocation(const std::string& name);

// What the status bar's second panel shows while no play list is being read.
std::string webAddressPanel();

}  // namespace velorra
