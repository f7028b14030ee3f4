// "Calculate Total" on the fake media service: the lengths less the trims and the overlaps, the
// durations cached in column 9, and what a click or the window's closing does between rows.
#include "playback_fixture.h"

namespace velorra {
namespace {

struct TotalLength : testing::PlaybackWindow {
    void threeSongs() {
        addSong("200.mp3", 200);
        addSong("150.mp3", 150);
        addSong("100.mp3", 100);
    }
    std::string total() const { return player.lblDuracionTotal.Caption(); }
    std::string count() const { return player.lblCantDeTemas.Caption(); }
    size_t probes() const { return media.callsOf("probeDuration").size(); }
};

TEST_F(TotalLength, AnEmptyListCountsNothing) {
    player.show();
    player.cmdCalculate.click();
    EXPECT_EQ(total(), "00:00");
    EXPECT_EQ(count(), "0");
    EXPECT_EQ(player.cmdCalculate.Caption(), "Calculate Total");
}

TEST_F(TotalLength, SumsTheTrimmedLengthsLessTheOverlapsAndCachesEachDuration) {
    store("Trimming", "CutFirst", "5");
    store("Trimming", "CutLast", "5");
    store("Transitions", "TransitionTime", "4");
    store("Transitions", "TransitionType", "2");
    threeSongs();
    player.show();
    player.cmdCalculate.click();
    EXPECT_EQ(total(), "07:00");  // 420 s: "Down  Up" does not overlap the songs
    EXPECT_EQ(count(), "3");
    EXPECT_EQ(player.lstClipList.text(1, 1), "03:10");
    EXPECT_EQ(player.lstClipList.text(2, 1), "02:20");
    EXPECT_EQ(player.lstClipList.text(3, 1), "01:30");
    EXPECT_EQ(player.lstClipList.text(1, 9), "200");
    EXPECT_EQ(player.lstClipList.text(2, 9), "150");
    EXPECT_EQ(player.lstClipList.text(3, 9), "100");
    EXPECT_EQ(probes(), 3u);
    EXPECT_EQ(media.graphCount(), 0);  // a duration needs no playback graph
    EXPECT_EQ(fileIn(0), "");  // measuring takes no channel
    EXPECT_EQ(fileIn(1), "");
    EXPECT_EQ(player.playback.Calculating(), false);
    EXPECT_FALSE(player.lblDuracionTotal.BackColor().has_value());
    EXPECT_FALSE(player.lblCantDeTemas.BackColor().has_value());

    // Again, with a curve that overlaps: nothing is opened a second time.
    player.optTransition[0].click();
    player.cmdCalculate.click();
    EXPECT_EQ(total(), "06:52");  // 420 - 2 x 4
    EXPECT_EQ(probes(), 3u);
    for (int type : {1, 3}) {
        player.optTransition[type].click();
        player.cmdCalculate.click();
        EXPECT_EQ(total(), "06:52");
    }
    player.optTransition[4].click();
    player.cmdCalculate.click();
    EXPECT_EQ(total(), "07:00");
}

TEST_F(TotalLength, ASecondClickCancelsBeforeTheNextRow) {
    store("Transitions", "TransitionTime", "4");
    for (int i = 1; i <= 10; ++i) addSong("song" + std::to_string(i) + ".mp3", 200);
    player.show();
    std::string captionMeanwhile;
    bool redMeanwhile = false;
    loop.post([&] {
        captionMeanwhile = player.cmdCalculate.Caption();
        redMeanwhile = player.lblDuracionTotal.BackColor() == toolkit::colors::Red &&
                       player.lblCantDeTemas.BackColor() == toolkit::colors::Red;
        player.cmdCalculate.click();
    });
    player.cmdCalculate.click();
    EXPECT_EQ(captionMeanwhile, "Cancel Calculation");
    EXPECT_TRUE(redMeanwhile);
    EXPECT_EQ(probes(), 1u);
    EXPECT_EQ(total(), "02:44");  // 200 - 9 x 4
    EXPECT_EQ(count(), "1");
    EXPECT_EQ(player.lstClipList.text(2, 9), "");
    EXPECT_EQ(player.cmdCalculate.Caption(), "Calculate Total");

    // The next calculation runs to the end, opening only the rows not yet measured.
    player.cmdCalculate.click();
    EXPECT_EQ(count(), "10");
    EXPECT_EQ(probes(), 10u);
}

TEST_F(TotalLength, StopsPlaybackAndCountsAFileThatCannotBeOpenedAsNothing) {
    store("Trimming", "CutLast", "10");
    addSong("a.mp3", 100);
    addBrokenSong("broken.mp3");
    player.show();
    player.btnPlay.click();
    loop.advance(2000);
    player.cmdCalculate.click();
    EXPECT_EQ(player.playback.State(), PlayState::Stopped);
    EXPECT_EQ(player.lblStatus.Caption(), "Stop");
    EXPECT_FALSE(playing("a.mp3"));
    EXPECT_EQ(player.lstClipList.text(2, 9), "0");
    EXPECT_EQ(player.lstClipList.text(2, 1), "00:-10");
    EXPECT_EQ(total(), "01:19");  // 100 - 10, 0 - 10, less one 1 s overlap
}

// Measuring never takes a channel: a song started while the calculation runs plays on.
TEST_F(TotalLength, ASongStartedWhileItRunsPlaysOn) {
    threeSongs();
    player.show();
    loop.post([&] { player.btnPlay.click(); });
    player.cmdCalculate.click();
    EXPECT_EQ(count(), "3");
    EXPECT_EQ(player.playback.State(), PlayState::Playing);
    EXPECT_EQ(fileIn(player.playback.ActiveChannel), "200.mp3");
    EXPECT_TRUE(playing("200.mp3"));
    loop.advance(1000);
    EXPECT_EQ(player.hscPosition.Value(), 1);
}

TEST_F(TotalLength, RowsDeletedWhileItRunsAddNothing) {
    threeSongs();
    player.show();
    loop.post([&] { player.lstClipList.remove(3); });
    player.cmdCalculate.click();
    EXPECT_EQ(total(), "05:49");  // 200 + 150, less the one overlap the two rows left have
    EXPECT_EQ(count(), "3");
}

TEST_F(TotalLength, ClosingTheWindowEndsTheCalculationAndShutsDownAsUsual) {
    for (int i = 1; i <= 5; ++i) addSong("song" + std::to_string(i) + ".mp3", 100);
    player.show();
    player.spinCutFirst.setValue(7);
    loop.post([&] { player.unload(); });
    player.cmdCalculate.click();
    EXPECT_FALSE(player.loaded());
    EXPECT_EQ(probes(), 1u);
    EXPECT_EQ(player.playback.Calculating(), false);
    EXPECT_EQ(settings.values["Velorra/Trimming/CutFirst"], "7");
    EXPECT_EQ(settings.values["Velorra/BasicAudio/Volume"], "64");
}

}  // namespace
}  // namespace velorra
