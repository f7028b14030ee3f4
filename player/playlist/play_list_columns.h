#pragma once
// The play list's ten columns, named after their captions, in their order: column 0 is a row's own
// text, the others its sub-items. The search window's result list has the same columns.
#include "player/toolkit/list_view.h"

#include <cstdint>

namespace velorra {

namespace column {
enum : int { Title, Length, Artist, Cd, Year, Genre, Comment, Location, Azar, TotLength };
}

// Adds the ten columns with their captions and widths in twips (the last three get the
// toolkit's default width of one inch).
inline void addPlayListColumns(toolkit::ListView& list) {
    static constexpr struct {
        const char* caption;
        int32_t width;
    } columns[] = {{"Title", 2500},    {"Length", 700},  {"Artist", 1200},   {"Cd", 1900},   {"Year", 300},
                   {"Genre", 1600},    {"Comment", 1900}, {"Location", 1440}, {"Azar", 1440}, {"TotLength", 1440}};
    for (const auto& c : columns) list.addColumn(c.caption, c.width);
}

}  // namespace velorra
