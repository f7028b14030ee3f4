// Whole stories of the transport, the song change and the position monitor on the virtual
// clock: a list plays by itself, each song joined to the next, trimmed, repeated and shuffled.
#include "playback_fixture.h"

namespace velorra {
namespace {

using testing::PlaybackWindow;
using Transport = PlaybackWindow;

TEST_F(Transport, ThreeSongsPlayThroughOneAfterAnotherAndTheListRepeats) {
    store("Transitions", "TransitionTime", "5");
    addSong("a.mp3", 20);
    addSong("b.mp3", 30);
    addSong("c.mp3", 25);
    player.show();
    player.lstClipList.setSelectedItem(3);

    player.btnPlay.click();
    // Play from stopped starts row 1, on entry 1, silent, and raises it along the curve.
    EXPECT_EQ(player.CurrentIndex, 1);
    EXPECT_EQ(player.playback.ActiveChannel, 1);
    EXPECT_EQ(fileIn(1), "a.mp3");
    EXPECT_EQ(player.playback.Channels[0], nullptr);
    EXPECT_TRUE(playing("a.mp3"));
    EXPECT_EQ(player.lblStatus.Caption(), "Play");
    EXPECT_EQ(player.lstClipList.selectedItem(), 1);
    EXPECT_EQ(fader(1), 85);
    EXPECT_EQ(player.playback.tmrTransition.Interval(), 78);  // 5 s over a listening level of 64
    ASSERT_TRUE(runUntil([&] { return !player.playback.tmrTransition.Enabled(); }, 10000));
    EXPECT_EQ(fader(1), 21);
    EXPECT_EQ(graphOf("a.mp3").volume, -441);

    // Five seconds before its end the next song starts on the other entry...
    ASSERT_TRUE(runUntil([&] { return fileIn(0) == "b.mp3"; }, 30000));
    EXPECT_GE(media.positionOf(graphOf("a.mp3")), 14.5);
    EXPECT_EQ(player.CurrentIndex, 2);
    EXPECT_EQ(player.playback.ActiveChannel, 0);
    EXPECT_TRUE(playing("a.mp3"));
    EXPECT_TRUE(playing("b.mp3"));
    EXPECT_EQ(player.lstClipList.selectedItem(), 2);
    // ...and when the transition ends, where the first song ends, the first one is stopped.
    ASSERT_TRUE(runUntil([&] { return !player.playback.tmrTransition.Enabled(); }, 10000));
    EXPECT_EQ(graphOf("a.mp3").state, FakeGraphState::Stopped);
    EXPECT_NEAR(media.positionOf(graphOf("a.mp3")), 20.0, 0.6);
    EXPECT_EQ(fader(0), 21);
    EXPECT_EQ(fader(1), 85);
    EXPECT_EQ(graphOf("b.mp3").volume, -441);

    // The third song takes entry 1 and replaces the first song's channel.
    ASSERT_TRUE(runUntil([&] { return fileIn(1) == "c.mp3"; }, 30000));
    EXPECT_FALSE(graphOf("a.mp3").alive);
    EXPECT_EQ(player.lstClipList.text(2, 9), "30");
    EXPECT_EQ(player.lstClipList.text(2, 1), "00:30");

    // Past the last row nothing starts; one tick later row 1 does.
    ASSERT_TRUE(runUntil([&] { return player.CurrentIndex == 0; }, 30000));
    EXPECT_TRUE(playing("c.mp3"));
    EXPECT_EQ(fileIn(0), "b.mp3");
    loop.advance(100);
    EXPECT_EQ(player.CurrentIndex, 1);
    EXPECT_EQ(fileIn(0), "a.mp3");
    EXPECT_TRUE(playing("c.mp3"));
    EXPECT_EQ(rendered(), (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3", "a.mp3"}));
    EXPECT_EQ(player.playback.State(), PlayState::Playing);
    EXPECT_TRUE(silence.requests.empty());  // "Trim Silence" is off: nothing is measured
}

TEST_F(Transport, NextOnTheLastRowLetsTheSongPlayOnUntilTheListStartsAgain) {
    store("Transitions", "TransitionTime", "2");
    addSong("a.mp3", 40);
    addSong("b.mp3", 12);
    player.show();
    player.btnPlay.click();
    loop.advance(3000);
    player.btnNext.click();
    EXPECT_EQ(fileIn(0), "b.mp3");
    loop.advance(1000);
    player.btnNext.click();
    EXPECT_EQ(player.CurrentIndex, 0);
    EXPECT_TRUE(playing("b.mp3"));
    EXPECT_EQ(player.playback.ActiveChannel, 0);
    ASSERT_TRUE(runUntil([&] { return fileIn(1) == "a.mp3" && player.CurrentIndex == 1; }, 15000));
    EXPECT_GE(media.positionOf(graphOf("b.mp3")), 9.5);
}

TEST_F(Transport, BackOnRowOneReplaysItAndBackFromNoRowDoesNothing) {
    store("Trimming", "CutFirst", "4");
    addSong("a.mp3", 60);
    addSong("b.mp3", 60);
    player.show();
    player.btnPlay.click();
    loop.advance(5000);
    player.btnBack.click();
    EXPECT_EQ(player.CurrentIndex, 1);
    EXPECT_EQ(player.playback.ActiveChannel, 0);
    EXPECT_EQ(fileIn(0), "a.mp3");
    EXPECT_EQ(media.positionOf(graphOf("a.mp3")), 4.0);  // from its trimmed start
    EXPECT_EQ(media.callsOf("render").size(), 2u);

    player.btnNext.click();
    player.btnNext.click();  // past the last row: no row chosen
    ASSERT_EQ(player.CurrentIndex, 0);
    const int graphs = media.graphCount();
    player.btnBack.click();
    EXPECT_EQ(player.CurrentIndex, -1);
    EXPECT_EQ(media.graphCount(), graphs);
    EXPECT_TRUE(playing("b.mp3"));
}

TEST_F(Transport, AnAdvanceOnAnEmptyListStopsBothChannels) {
    store("Transitions", "TransitionTime", "5");
    addSong("a.mp3", 20);
    addSong("b.mp3", 20);
    player.show();
    player.btnPlay.click();
    ASSERT_TRUE(runUntil([&] { return fileIn(0) == "b.mp3"; }, 20000));
    ASSERT_TRUE(player.playback.tmrTransition.Enabled());
    player.lstClipList.clear();
    player.btnNext.click();
    EXPECT_FALSE(playing("a.mp3"));
    EXPECT_FALSE(playing("b.mp3"));
    EXPECT_EQ(player.CurrentIndex, -1);
    EXPECT_FALSE(player.playback.tmrTransition.Enabled());
    EXPECT_EQ(player.lblStatus.Caption(), "Stop");
    EXPECT_EQ(player.playback.State(), PlayState::Stopped);

    // Play on the empty list stops again but reads as playing.
    player.btnPlay.click();
    EXPECT_EQ(player.CurrentIndex, -1);
    EXPECT_EQ(player.lblStatus.Caption(), "Play");
}

TEST_F(Transport, PauseToggles_AndDuringATransitionOnlyTheNewSongWaits) {
    store("Transitions", "TransitionTime", "5");
    addSong("a.mp3", 20);
    addSong("b.mp3", 30);
    addSong("c.mp3", 30);
    player.show();
    player.btnPlay.click();
    ASSERT_TRUE(runUntil([&] { return fileIn(0) == "b.mp3"; }, 20000));
    loop.advance(1000);

    player.btnPause.click();
    EXPECT_EQ(player.lblStatus.Caption(), "Pause");
    EXPECT_EQ(graphOf("b.mp3").state, FakeGraphState::Paused);
    EXPECT_TRUE(playing("a.mp3"));
    const double pausedAt = media.positionOf(graphOf("b.mp3"));
    // The transition goes on stepping and stops the old song.
    ASSERT_TRUE(runUntil([&] { return !player.playback.tmrTransition.Enabled(); }, 10000));
    EXPECT_EQ(graphOf("a.mp3").state, FakeGraphState::Stopped);
    EXPECT_EQ(fader(0), 21);
    EXPECT_EQ(media.positionOf(graphOf("b.mp3")), pausedAt);

    player.btnPause.click();
    EXPECT_EQ(player.lblStatus.Caption(), "Play");
    EXPECT_TRUE(playing("b.mp3"));

    // Next while paused resumes first, then changes song.
    player.btnPause.click();
    player.btnNext.click();
    EXPECT_TRUE(playing("b.mp3"));
    EXPECT_TRUE(playing("c.mp3"));
    EXPECT_EQ(player.playback.State(), PlayState::Playing);
    EXPECT_EQ(player.lblStatus.Caption(), "Play");
}

TEST_F(Transport, StopStopsBothChannelsAndPlayStartsAgainFromTheTop) {
    store("Transitions", "TransitionTime", "5");
    addSong("a.mp3", 20);
    addSong("b.mp3", 30);
    player.show();
    player.btnPlay.click();
    ASSERT_TRUE(runUntil([&] { return fileIn(0) == "b.mp3"; }, 20000));
    player.btnStop.click();
    EXPECT_FALSE(playing("a.mp3"));
    EXPECT_FALSE(playing("b.mp3"));
    EXPECT_EQ(player.lblStatus.Caption(), "Stop");
    EXPECT_EQ(player.CurrentIndex, 2);
    player.btnPlay.click();
    EXPECT_EQ(player.CurrentIndex, 1);
    EXPECT_EQ(fileIn(1), "a.mp3");
    EXPECT_TRUE(playing("a.mp3"));
}

// Stop holds the list: nothing starts by itself, not the row after a song that did not play, not
// a failure told after Stop, until a command starts a song again.
TEST_F(Transport, AfterStopNothingStartsUntilACommandAndAListThatPlaysNothingEndsStopped) {
    addBrokenSong("gone1.mp3");
    addBrokenSong("gone2.mp3");
    addBrokenSong("gone3.mp3");
    player.show();
    player.btnPlay.click();
    player.btnStop.click();  // before the failure of row 1 is told
    const size_t graphs = media.graphCount();
    loop.advance(10000);
    EXPECT_EQ(media.graphCount(), graphs);
    EXPECT_EQ(player.CurrentIndex, 1);
    EXPECT_EQ(player.lblStatus.Caption(), "Stop");

    // A pass over the whole list that plays nothing ends stopped, and says so until a command.
    player.btnNext.click();
    loop.advance(2000);
    EXPECT_EQ(player.playback.State(), PlayState::Stopped);
    EXPECT_TRUE(player.playback.Held());
    EXPECT_EQ(player.StatusBar1.panel(1).text, "3 files could not be played");
    const size_t afterPass = media.graphCount();
    loop.advance(10000);
    EXPECT_EQ(media.graphCount(), afterPass);

    // A row that plays ends the count: Play starts over and the status clears.
    addSong("d.mp3", 30);
    player.btnPlay.click();
    EXPECT_EQ(player.StatusBar1.panel(1).text, "");
    loop.advance(1000);
    EXPECT_TRUE(playing("d.mp3"));
    EXPECT_EQ(player.CurrentIndex, 4);
}

TEST_F(Transport, TrimsSetTheWindowOfEachSongAndASongShorterThanItsTrimsPlaysWhole) {
    store("Trimming", "CutFirst", "15");
    store("Trimming", "CutLast", "10");
    addSong("long.mp3", 200);
    addSong("short.mp3", 20);
    addSong("exact.mp3", 25);
    player.show();
    player.btnPlay.click();
    EXPECT_EQ(player.playback.StartPos, 15);
    EXPECT_EQ(player.playback.EndPos, 190);
    EXPECT_EQ(media.positionOf(graphOf("long.mp3")), 15.0);
    EXPECT_EQ(player.lstClipList.text(1, 1), "02:55");
    EXPECT_EQ(player.lstClipList.text(1, 9), "200");
    EXPECT_EQ(player.hscPosition.Max(), 175);
    EXPECT_EQ(player.hscPosition.LargeChange(), 17);  // a click in the trough: a tenth of the song

    player.btnNext.click();
    EXPECT_EQ(player.playback.StartPos, 0);
    EXPECT_EQ(player.playback.EndPos, 20);
    EXPECT_EQ(media.positionOf(graphOf("short.mp3")), 0.0);
    EXPECT_EQ(player.lstClipList.text(2, 1), "00:20");
    EXPECT_EQ(player.lstClipList.text(2, 9), "20");
    EXPECT_EQ(player.hscPosition.LargeChange(), 2);

    // Trims that leave nothing at all, not even less than nothing, play the whole song too.
    player.btnNext.click();
    EXPECT_EQ(player.playback.StartPos, 0);
    EXPECT_EQ(player.playback.EndPos, 25);
    EXPECT_EQ(media.positionOf(graphOf("exact.mp3")), 0.0);
    EXPECT_EQ(player.lstClipList.text(3, 1), "00:25");
}

TEST_F(Transport, ASongThatFailsToOpenIsPassedOverAtTheNextTick) {
    addBrokenSong("broken.mp3");
    addSong("b.mp3", 30);
    player.show();
    ::testing::internal::CaptureStderr();
    player.btnPlay.click();
    EXPECT_EQ(player.lstClipList.text(1, 1), "00:00");
    EXPECT_EQ(player.lstClipList.text(1, 9), "0");
    EXPECT_EQ(player.playback.EndPos, 0);
    EXPECT_EQ(fileIn(0), "");
    loop.advance(100);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "velorra: cannot play \"broken.mp3\": fake: the file does not play\n");
    EXPECT_EQ(player.CurrentIndex, 2);
    EXPECT_EQ(fileIn(1), "b.mp3");  // in the entry of the song that did not play
    EXPECT_EQ(fileIn(0), "");
    EXPECT_TRUE(playing("b.mp3"));
}

TEST_F(Transport, ShuffleReplaysASingleRowAndPicksOnlyRowsOfTheList) {
    store("Transitions", "TransitionTime", "2");
    store("RandomPlayback", "rnd", "1");
    addSong("only.mp3", 10);
    player.show();
    player.btnPlay.click();
    ASSERT_TRUE(runUntil([&] { return media.callsOf("render").size() == 2; }, 15000));
    EXPECT_EQ(player.CurrentIndex, 1);
    EXPECT_EQ(fileIn(0), "only.mp3");
    EXPECT_EQ(fileIn(1), "only.mp3");

    addSong("two.mp3", 5);
    addSong("three.mp3", 5);
    for (int change = 0; change < 12; ++change) {
        const size_t before = media.callsOf("render").size();
        ASSERT_TRUE(runUntil([&] { return media.callsOf("render").size() > before; }, 15000));
        EXPECT_GE(player.CurrentIndex, 1);
        EXPECT_LE(player.CurrentIndex, 3);
    }
}

TEST_F(Transport, ShuffleDrawsFromTheGeneratorRandomOrderUsesAndOnlyShuffleReseedsIt) {
    store("Transitions", "TransitionTime", "2");
    addSong("a.mp3", 10);
    addSong("b.mp3", 10);
    addSong("c.mp3", 10);
    player.show();
    player.btnPlay.click();
    // In order, an advance draws nothing: "Random Order" would still start from the initial
    // sequence.
    ASSERT_TRUE(runUntil([&] { return media.callsOf("render").size() == 2; }, 15000));
    EXPECT_TRUE(player.randomGenerator == std::mt19937{});

    // A shuffle pick re-seeds the window's one generator and draws from it.
    player.chkRndPlay.click();
    ASSERT_TRUE(runUntil([&] { return media.callsOf("render").size() == 3; }, 15000));
    EXPECT_FALSE(player.randomGenerator == std::mt19937{});
    const std::mt19937 afterPick = player.randomGenerator;
    ASSERT_TRUE(runUntil([&] { return media.callsOf("render").size() == 4; }, 15000));
    EXPECT_FALSE(player.randomGenerator == afterPick);
}

TEST_F(Transport, TheAdvanceComesAtTheFirstTickThatReadsTheTrimmedEndLessTheTransitionTime) {
    store("Transitions", "TransitionTime", "5");
    addSong("a.mp3", 200);
    addSong("b.mp3", 200);
    player.show();
    player.btnPlay.click();
    ASSERT_EQ(player.playback.EndPos, 200);
    // Ticks every 100 ms from the start; 194.5 s reads as 194 (the half goes to the even
    // neighbour), 194.6 s as 195.
    loop.advance(194500);
    EXPECT_EQ(fileIn(0), "");
    EXPECT_EQ(player.lblTimeLeft.Caption(), "00:06");
    loop.advance(100);
    EXPECT_EQ(fileIn(0), "b.mp3");
    EXPECT_EQ(player.CurrentIndex, 2);
}

// A song not longer than the transition time was in its end zone from its first tick: alone in
// the list it was reloaded at every other tick, silent at 00:00, whatever the trims. Its
// transition now takes half of it: it rises for its first half and falls for its second.
TEST_F(Transport, ASongNotLongerThanTheTransitionRisesForHalfOfItAndFallsForTheOtherHalf) {
    store("Transitions", "TransitionTime", "5");
    store("Trimming", "CutFirst", "5");
    store("Trimming", "CutLast", "5");
    addSong("short.mp3", 3);
    player.show();
    player.btnPlay.click();
    ASSERT_EQ(player.playback.EndPos, 3);
    EXPECT_EQ(player.playback.tmrTransition.Interval(), 23);  // 1.5 s over a listening level of 64
    loop.advance(1499);
    EXPECT_EQ(rendered().size(), 1u);
    EXPECT_EQ(fader(1), 21);
    EXPECT_EQ(player.lblPosition.Caption(), "00:01");

    // Past the last row nothing starts; one tick later the row starts again and the first
    // channel falls while the song ends.
    ASSERT_TRUE(runUntil([&] { return fileIn(0) == "short.mp3"; }, 1000));
    ASSERT_TRUE(runUntil([&] { return !player.playback.tmrTransition.Enabled(); }, 2000));
    EXPECT_EQ(fader(0), 21);
    EXPECT_EQ(fader(1), 85);
    loop.advance(10000);
    EXPECT_LE(rendered().size(), 9u);
}

// A stream that ends or fails before its trimmed end changes the song at once, as its end zone
// would; so does a file whose header tells a length but that cannot be rendered. Each song
// that failed gives its entry to the next one.
TEST_F(Transport, ASongWhoseStreamEndsOrFailsEarlyIsChangedAtOnce) {
    store("Transitions", "TransitionTime", "2");
    media.breakAt("cut.mp3", 60, 10, StreamEvent::Ended);
    media.breakAt("damaged.mp3", 60, 5, StreamEvent::Failed);
    media.failToRender("odd.wav", 30);
    addRow("cut.mp3");
    addRow("damaged.mp3");
    addRow("odd.wav");
    addSong("good.mp3", 30);
    player.show();
    player.btnPlay.click();
    loop.advance(9999);
    EXPECT_EQ(player.CurrentIndex, 1);
    loop.advance(1);
    EXPECT_EQ(player.CurrentIndex, 2);
    EXPECT_EQ(fileIn(0), "damaged.mp3");
    EXPECT_TRUE(playing("cut.mp3"));  // what is left fades out

    loop.advance(5000);
    EXPECT_EQ(player.CurrentIndex, 4);
    EXPECT_EQ(fileIn(0), "good.mp3");
    EXPECT_EQ(fileIn(1), "cut.mp3");
    EXPECT_EQ(player.lstClipList.text(3, 9), "30");
    EXPECT_EQ(rendered(), (std::vector<std::string>{"cut.mp3", "damaged.mp3", "odd.wav", "good.mp3"}));
    loop.advance(20000);
    EXPECT_EQ(player.CurrentIndex, 4);
    EXPECT_TRUE(playing("good.mp3"));
}

// Files that do not play never cut short the song before them: each one that fails gives its
// entry to the next, so the song on the other entry fades out whole, here past two such files
// in a row and past one on the last row, whose header still tells a length.
TEST_F(Transport, ASongFadesOutWholePastTheFilesAfterItThatDoNotPlay) {
    store("Transitions", "TransitionTime", "2");
    addSong("a.mp3", 30);
    media.failToRender("odd.wav", 30);
    addRow("odd.wav");
    addRow("gone.mp3");
    addSong("b.mp3", 30);
    media.failToRender("last.wav", 30);
    addRow("last.wav");
    player.show();
    player.btnPlay.click();

    ASSERT_TRUE(runUntil([&] { return player.CurrentIndex == 4; }, 30000));
    EXPECT_EQ(fileIn(0), "b.mp3");
    EXPECT_TRUE(playing("a.mp3"));
    const int32_t falling = fader(1);
    ASSERT_TRUE(runUntil([&] { return !player.playback.tmrTransition.Enabled(); }, 3000));
    EXPECT_GT(fader(1), falling);
    EXPECT_EQ(graphOf("a.mp3").state, FakeGraphState::Stopped);
    EXPECT_NEAR(media.positionOf(graphOf("a.mp3")), 30.0, 0.6);

    // Past the last row the list starts again at the next tick, where last.wav was.
    ASSERT_TRUE(runUntil([&] { return player.CurrentIndex == 0; }, 30000));
    EXPECT_EQ(fileIn(1), "last.wav");
    ASSERT_TRUE(runUntil([&] { return player.CurrentIndex == 1; }, 100));
    EXPECT_EQ(fileIn(1), "a.mp3");
    EXPECT_TRUE(playing("b.mp3"));
    ASSERT_TRUE(runUntil([&] { return !player.playback.tmrTransition.Enabled(); }, 3000));
    EXPECT_NEAR(media.positionOf(graphOf("b.mp3")), 30.0, 0.6);
}

// What a dropped channel's graph had to tell is not heard: here the failure of odd.wav, whose
// channel is replaced before the loop runs again.
TEST_F(Transport, AFailureToldByADroppedChannelIsIgnored) {
    media.failToRender("odd.wav", 30);
    addSong("a.mp3", 30);
    addRow("odd.wav");
    addSong("b.mp3", 30);
    addSong("c.mp3", 30);
    player.show();
    player.btnPlay.click();
    player.btnNext.click();
    player.btnNext.click();
    player.btnNext.click();
    ASSERT_EQ(fileIn(0), "c.mp3");
    ASSERT_EQ(media.callsOf("tell").size(), 1u);
    loop.advance(100);
    EXPECT_EQ(player.CurrentIndex, 4);
    EXPECT_TRUE(playing("c.mp3"));
}

TEST_F(Transport, LoadingASongSeeksItAndSilencesItsNewChannelBeforeItRuns) {
    store("Trimming", "CutFirst", "3");
    addSong("a.mp3", 60);
    addSong("b.mp3", 60);
    player.show();
    player.btnPlay.click();
    loop.advance(1000);
    player.btnNext.click();
    std::vector<std::string> steps;
    for (const MediaCall& call : media.calls())
        if (call.graph == graphOf("b.mp3").id && call.operation != "position")
            steps.push_back(call.operation + (call.argument.empty() ? "" : " " + call.argument));
    // Entry 0's fader already stood at silent (the first song's fade-in left it there), so only
    // the explicit change action gives the new channel its volume; it runs only once it stands
    // at its trimmed start and is silent.
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0], "render b.mp3");
    EXPECT_EQ(steps[1], "setPosition 3");
    EXPECT_EQ(steps.back(), "run");
    for (size_t i = 2; i + 1 < steps.size(); ++i) EXPECT_EQ(steps[i], "setVolume -7225");
    EXPECT_EQ(fileIn(1), "a.mp3");
    EXPECT_TRUE(playing("a.mp3"));
}

TEST_F(Transport, ThePositionPercentageRoundsHalvesToTheEvenNeighbour) {
    addSong("a.mp3", 8);
    player.show();
    player.btnPlay.click();
    ASSERT_EQ(player.hscPosition.Max(), 8);
    EXPECT_EQ(player.hscPosition.LargeChange(), 1);  // a tenth of a short song is still a second
    for (const auto& [value, percent] : {std::pair{1, 12}, {3, 38}, {5, 62}, {7, 88}, {2, 25}}) {
        player.hscPosition.setValue(value);  // 12.5, 37.5, 62.5, 87.5 and 25 exactly
        EXPECT_EQ(player.prgPosition.Value(), percent) << value;
    }
}

TEST_F(Transport, ThePositionBarShowsTheTrimmedPositionAndSeeksOnlyWhenTheUserMovesIt) {
    store("Trimming", "CutFirst", "15");
    addSong("a.mp3", 200);
    player.show();
    player.btnPlay.click();
    loop.advance(10000);
    EXPECT_EQ(player.lblPosition.Caption(), "00:10");
    EXPECT_EQ(player.lblTimeLeft.Caption(), "02:55");
    EXPECT_EQ(player.lblTotal.Caption(), "03:05");
    EXPECT_EQ(player.hscPosition.Value(), 10);
    EXPECT_EQ(player.prgPosition.Value(), 5);  // 10 of 185
    EXPECT_EQ(media.callsOf("setPosition").size(), 1u);

    player.hscPosition.setValue(30);
    EXPECT_EQ(media.positionOf(graphOf("a.mp3")), 45.0);
    EXPECT_EQ(player.lblPosition.Caption(), "00:30");
    EXPECT_EQ(player.lblTimeLeft.Caption(), "02:35");
    player.hscPosition.scrollTo(40);
    EXPECT_EQ(media.positionOf(graphOf("a.mp3")), 55.0);
}

TEST_F(Transport, PlaySelectedItemPlaysTheChosenRowOrOnlyReadsAsPlaying) {
    addSong("a.mp3", 30);
    addSong("b.mp3", 30);
    player.show();
    player.mnuPlaySelectedItem.click();
    EXPECT_EQ(media.graphCount(), 0);
    EXPECT_EQ(player.lblStatus.Caption(), "Play");
    EXPECT_EQ(player.playback.State(), PlayState::Playing);

    player.lstClipList.setSelectedItem(2);
    player.mnuPlaySelectedItem.click();
    EXPECT_EQ(player.CurrentIndex, 2);
    EXPECT_EQ(fileIn(1), "b.mp3");
    EXPECT_TRUE(playing("b.mp3"));
    EXPECT_EQ(player.lstClipList.selectedItem(), 2);
    EXPECT_TRUE(player.lstClipList.multiSelect());
}

TEST(SegToMin, TruncatesMinutesAndSecondsIntoTwoDigitFields) {
    EXPECT_EQ(frmPlayer::SegToMin(0), "00:00");
    EXPECT_EQ(frmPlayer::SegToMin(59.9), "00:59");
    EXPECT_EQ(frmPlayer::SegToMin(61), "01:01");
    EXPECT_EQ(frmPlayer::SegToMin(3600), "60:00");
    EXPECT_EQ(frmPlayer::SegToMin(6000), "100:00");
    EXPECT_EQ(frmPlayer::SegToMin(-75), "-01:-15");
    EXPECT_EQ(frmPlayer::SegToMin(-5), "00:-05");
    EXPECT_THROW(frmPlayer::SegToMin(1e300), std::overflow_error);
}

}  // namespace
}  // namespace velorra
