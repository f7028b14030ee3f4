#pragma once
// A play-list row that is only a file's location, the way the tests and benchmarks fill a list.
#include "player/playlist/play_list_columns.h"
#include "player/toolkit/list_view.h"

#include <string>

namespace velorra::testing {

inline void addSongRow(toolkit::ListView& list, const std::string& location) {
    list.add("", location);
    list.setText(list.count(), column::Location, location);
}

}  // namespace velorra::testing
