// A storm of random commands on real GStreamer graphs (the fast silent output): songs started,
// paused, sought, dropped and deleted in the middle of transitions, the options that measure songs
// and match their loudness turned on and off, files that do not play among
// them. Under the sanitizers this is where a use after free, a leak or a race between GStreamer's
// threads and the window's would show. VELORRA_STORM_SECONDS sets its length (about 3 s by default;
// the sanitizer run takes about 30). Afterwards the player still plays a song from the top.
#include "channel/media_fixtures.h"
#include "player/channel/gst/gst_media_service.h"
#include "support/real_player.h"
#include "support/song_rows.h"
#include "support/temp_dir.h"
#include "tools/media/mp3_encoder.h"
#include "tools/media/wav_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace velorra {
namespace {

using testing::spinUntil;

void spinFor(int ms) {
    spinUntil([] { return false; }, ms);
}

TEST(PlaybackStormOnGStreamer, RandomCommandsOnRealGraphsLeaveAPlayerThatPlays) {
    const char* asked = std::getenv("VELORRA_STORM_SECONDS");
    const int seconds = asked && *asked ? std::atoi(asked) : 3;
    testing::TempDir folder("velorra-storm");
    std::vector<std::string> files;
    for (int i = 0; i < 4; ++i) {
        files.push_back(folder.path("song" + std::to_string(i) + ".mp3"));
        media::writeMp3(files.back(), media::tune(i + 1), 3.0 + i, media::Mp3Kind::ConstantNoXing);
    }
    files.push_back(folder.path("tone.wav"));
    media::writeWav(files.back(), media::tune(5), 2.0);
    files.push_back(folder.path("gone.mp3"));
    files.push_back(folder.path("odd.wav"));
    testing::writeFile(files.back(), test::undecodableWav(3.0));

    toolkit::qt::QtEventLoop loop;
    GstMediaService gst{loop, AudioOutput::SilentFast};
    testing::RealPlayer real{loop, gst};
    real.settings.values["Velorra/Transitions/TransitionTime"] = "1";
    real.settings.values["Velorra/BasicAudio/Volume"] = "85";
    frmPlayer& player = real.player;
    player.show();
    for (const auto& f : files) testing::addSongRow(player.lstClipList, f);

    std::mt19937 rng(static_cast<uint32_t>(seconds));
    ::testing::internal::CaptureStderr();  // the failed files' lines
    // About twenty commands a second, each followed by up to 100 ms of the loop.
    for (int command = 0; command < seconds * 20; ++command) {
        auto& list = player.lstClipList;
        const auto anyRow = [&] { return list.count() ? 1 + static_cast<int32_t>(rng() % static_cast<unsigned>(list.count())) : 0; };
        switch (rng() % 15) {
        case 0: player.btnPlay.click(); break;
        case 1: player.btnPause.click(); break;
        case 2: player.btnStop.click(); break;
        case 3: case 4: player.btnNext.click(); break;
        case 5: player.btnBack.click(); break;
        case 6:
            if (list.count()) list.setSelectedItem(anyRow());
            player.mnuPlaySelectedItem_Click();
            break;
        case 7:
            if (player.hscPosition.Max() > 0) player.hscPosition.setValue(static_cast<int32_t>(rng() % static_cast<unsigned>(player.hscPosition.Max() + 1)));
            break;
        case 8: player.hscVolume.setValue(static_cast<int32_t>(rng() % 86)); break;
        case 9: player.optTransition[rng() % 5].click(); break;
        case 10:
            if (list.count() > 2) {
                list.setSelectedItem(anyRow());
                player.mnuDeleteSelectedItem_Click();
            }
            break;
        case 11: testing::addSongRow(list, files[rng() % files.size()]); break;
        case 12: player.mnuRandomOrder_Click(); break;
        case 13: player.mnuTrimSilence.click(); break;
        case 14: player.mnuMatchLoudness.click(); break;
        }
        spinFor(static_cast<int>(rng() % 100));
    }
    ::testing::internal::GetCapturedStderr();

    // What is left: a list with one good song, played from the top.
    player.btnStop.click();
    player.mnuClear_Click();
    testing::addSongRow(player.lstClipList, files[3]);
    player.btnPlay.click();
    EXPECT_EQ(player.playback.State(), PlayState::Playing);
    ASSERT_TRUE(spinUntil([&] { return player.playback.SongPosition() >= 1; }, 10000));
    player.unload();
}

}  // namespace
}  // namespace velorra
