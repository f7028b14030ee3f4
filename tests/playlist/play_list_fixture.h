#pragma once
// A headless player window for the play list's tests (support/player_harness.h), and real files
// to fill it with: a private folder, MP3 stand-ins with an ID3v1 tag, play lists written byte by
// byte (support/temp_dir.h, support/tagged_mp3.h).
#include "support/player_harness.h"
#include "support/tagged_mp3.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velorra::testing {

// The window after start-up, with ten columns and the list wired.
struct PlayListWindow : ::testing::Test, PlayerHarness {
    TempDir dir;

    PlayListWindow() { player.show(); }

    toolkit::ListView& list() { return player.lstClipList; }
    // Appends a row for each name through AddFileToList.
    void addRows(const std::vector<std::string>& names);
    std::vector<std::string> column(int k);
    // Selects exactly the given rows.
    void select(const std::vector<int32_t>& rows);
    // A point in twips inside row `row` of the list.
    static int32_t rowY(int32_t row) { return row * toolkit::ListView::RowHeight + 10; }
};

}  // namespace velorra::testing
