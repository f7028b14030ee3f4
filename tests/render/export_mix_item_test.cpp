// File > "Export Mix..." on the headless player window: the item stands right below "Save List
// As...", asks for a name with the audio filter, renders on a thread of its own while the window
// goes on (the progress bar shown, the item ticked) and a second choice cancels, leaving no file.
#include "player/playback/playback_core.h"
#include "support/player_harness.h"
#include "support/song_rows.h"
#include "support/temp_dir.h"
#include "tools/media/wav_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace velorra {
namespace {

// Runs the window's posted events until the export has ended (the item unticked).
void waitForExport(testing::PlayerHarness& h) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (h.player.mnuExportMix.Checked() && std::chrono::steady_clock::now() < giveUp) {
        h.loop.doEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

TEST(ExportMixItem, RendersOnAThreadOfItsOwnAndASecondChoiceCancels) {
    testing::TempDir folder("velorra-export-item");
    testing::PlayerHarness h;
    h.player.show();
    const auto& file = h.player.mnuList.items();
    const auto saveAs = std::find(file.begin(), file.end(), &h.player.mnuSaveListAs);
    ASSERT_NE(saveAs, file.end());
    ASSERT_NE(saveAs + 1, file.end());
    EXPECT_EQ(*(saveAs + 1), &h.player.mnuExportMix);
    EXPECT_EQ(h.player.mnuExportMix.Caption(), "Export &Mix...");

    for (int i = 0; i < 2; ++i) {
        const std::string song = folder.path("song" + std::to_string(i) + ".wav");
        media::writeWav(song, media::tune(i), 60);
        testing::addSongRow(h.player.lstClipList, song);
    }
    h.player.playback.setTransitionTime(3);

    // Cancelled at once by a second choice: no file, no message, the window as it was.
    h.dialogs.answers = {folder.path("cancelled.flac")};
    h.player.mnuExportMix.click();
    ASSERT_EQ(h.dialogs.requests.size(), 1u);
    EXPECT_EQ(h.dialogs.requests[0].filter.substr(0, h.dialogs.requests[0].filter.find('|')),
              "Audio (*.flac;*.ogg;*.opus;*.mp3;*.wav)");
    EXPECT_TRUE(h.dialogs.requests[0].overwritePrompt);
    EXPECT_TRUE(h.player.mnuExportMix.Checked());
    EXPECT_TRUE(h.player.ProgressBar1.Visible());
    h.player.mnuExportMix.click();
    EXPECT_EQ(h.dialogs.requests.size(), 1u);
    waitForExport(h);
    EXPECT_FALSE(h.player.mnuExportMix.Checked());
    EXPECT_FALSE(h.player.ProgressBar1.Visible());
    EXPECT_EQ(h.player.StatusBar1.panel(2).text, "Export cancelled");
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.path("cancelled.flac")));

    // Rendered while the window plays on.
    h.dialogs.answers = {folder.path("mix.wav")};
    h.player.mnuExportMix.click();
    h.player.btnPlay.click();
    EXPECT_EQ(h.player.playback.State(), PlayState::Playing);
    waitForExport(h);
    EXPECT_FALSE(h.player.mnuExportMix.Checked());
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_EQ(h.player.StatusBar1.panel(2).text, "Mix exported to " + folder.path("mix.wav"));
    // The second song starts at the tick where the first one's position reads 57 (its end less
    // the 3 s transition), 56.6 s in, and plays its 60 s: 32-bit float stereo frames.
    const auto bytes = std::filesystem::file_size(folder.path("mix.wav"));
    EXPECT_NEAR(static_cast<double>(bytes) / (44100.0 * 8), 116.6, 0.001);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), std::filesystem::directory_iterator()), 3);
}

}  // namespace
}  // namespace velorra
