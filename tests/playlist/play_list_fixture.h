#pragma once
// A headless player window for the play list's tests, and real files to fill it with: a private
// folder, MP3 stand-ins with an ID3v1 tag, play lists written byte by byte.
#include "player/window/frm_player.h"
#include "support/fake_media_service.h"
#include "support/manual_loop.h"
#include "support/scripted_dialogs.h"
#include "support/tagged_mp3.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velorra::testing {

// The window after start-up, with ten columns and the list wired.
struct PlayListWindow : ::testing::Test {
    ManualLoop loop;
    FakeMediaService media{[this] { return loop.nowMs(); }};
    MemorySettings settings;
    ScriptedDialogs dialogs;
    RecordedMessages messages;
    RecordedLinks links;
    frmPlayer player{{loop, media, settings, dialogs, messages, links}, ""};
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
