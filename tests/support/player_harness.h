#pragma once
// The headless player window with the fakes it runs on: the manual loop with its virtual clock,
// the fake media service on that clock, settings in memory, scripted dialogs, the recorded
// message boxes and links, and a silence measurer that answers when told. Fixtures derive from it and add what they need.
#include "player/window/frm_player.h"
#include "support/fake_media_service.h"
#include "support/fake_silence_measurer.h"
#include "support/manual_loop.h"
#include "support/scripted_dialogs.h"

#include <string>
#include <utility>

namespace velorra::testing {

// The services come first, so the player is built after them and goes before them. `Loop` is
// the manual loop or one derived from it.
template <class Loop = ManualLoop>
struct BasicPlayerHarness {
    explicit BasicPlayerHarness(std::string commandLine = {})
        : player{{loop, media, settings, dialogs, messages, links, silence}, std::move(commandLine)} {}

    Loop loop;
    FakeMediaService media{loop};
    MemorySettings settings;
    ScriptedDialogs dialogs;
    RecordedMessages messages;
    RecordedLinks links;
    FakeSilenceMeasurer silence{loop};
    frmPlayer player;
};

using PlayerHarness = BasicPlayerHarness<>;

}  // namespace velorra::testing
