// "Trim Silence" and "Match Loudness" on the virtual clock: songs of near-silence, tone and
// near-silence joined by a 2 s cross dissolve, the measurements (and the next song's length) asked
// ahead and answered when the test says, a measurement that arrives while its song plays, the cache across runs, Calculate
// Total, and the loudness gain each channel plays its song at.
#include "playback_fixture.h"
#include "support/temp_dir.h"

#include <chrono>
#include <cmath>
#include <fstream>

namespace velorra {
namespace {

// Each song: 3.5 s of near-silence, 8 s of tone, 4.5 s of near-silence, as the GStreamer
// measurer finds them in generated files (a little of the encoder's delay before the tone).
constexpr double ToneAt = 3.5;
constexpr Silence Measured{3.52, 4.47};

struct SilenceTrimsWindow : testing::PlaybackWindow {
    testing::TempDir folder{"velorra-silence"};

    // A song that exists on disk (the cache keys files by their size and modification time).
    std::string song(const std::string& name, double seconds) {
        const std::string path = folder.makeFile(name, name);
        addSong(path, seconds);
        return path;
    }
    void trimSilence() { player.mnuTrimSilence.click(); }
    // The time on the virtual clock at which each row's tone starts, for the next `count` songs
    // to start: the song's start time plus the tone's place past the song's start position.
    std::vector<double> toneStarts(int count) {
        std::vector<double> starts;
        for (int32_t row = player.CurrentIndex; static_cast<int>(starts.size()) < count;) {
            // Past the last row the index reads 0 for one tick before row 1 starts.
            if (!runUntil([&] { return player.CurrentIndex != row && player.CurrentIndex > 0; }, 60000)) break;
            row = player.CurrentIndex;
            starts.push_back(loop.nowMs() / 1000.0 + ToneAt - player.playback.StartPos);
        }
        return starts;
    }
};

TEST_F(SilenceTrimsWindow, WithTheOptionOnEachToneFollowsThePreviousOneSixAndAHalfSecondsLater) {
    store("Transitions", "TransitionTime", "2");
    store("Transitions", "TransitionType", "0");
    const std::string a = song("a.mp3", 16), b = song("b.mp3", 16), c = song("c.mp3", 16);
    player.show();
    trimSilence();
    EXPECT_EQ(silence.requests, (std::vector<std::string>{a}));  // the next song to play: row 1

    player.btnPlay.click();
    // Row 1 starts before its measurement arrives: plain trims, and its successor is asked for.
    EXPECT_EQ(player.playback.StartPos, 0);
    EXPECT_EQ(player.playback.EndPos, 16);
    EXPECT_EQ(silence.requests, (std::vector<std::string>{a, b}));
    EXPECT_EQ(media.readAheads(), (std::vector<std::string>{b}));

    // Its measurement arrives while it plays: from then on it ends 4 s early, and it is not
    // sought over its lead-in.
    loop.advance(1000);
    silence.answer(a, Measured);
    silence.answer(b, Measured);
    loop.advance(100);
    EXPECT_EQ(player.playback.StartPos, 0);
    EXPECT_EQ(player.playback.EndPos, 12);
    EXPECT_EQ(player.hscPosition.Max(), 12);
    EXPECT_EQ(player.lstClipList.text(1, 1), "00:12");
    EXPECT_EQ(media.callsOf("setPosition").size(), 1u);

    const auto starts = toneStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_NEAR(starts[0] - ToneAt, 6.5, 0.11);  // row 1 started at 0 from its start
    // Row 2 was known when it started: 3 s of lead-in and 4 s of tail trimmed, whole seconds.
    EXPECT_EQ(player.playback.StartPos, 3);
    EXPECT_EQ(player.playback.EndPos, 12);
    EXPECT_EQ(player.lstClipList.text(2, 1), "00:09");
    EXPECT_EQ(media.positionOf(graphOf(b)), 3.0);
    EXPECT_EQ(silence.requests, (std::vector<std::string>{a, b, c}));
    EXPECT_EQ(media.readAheads(), (std::vector<std::string>{b, c}));

    silence.answer(c, Measured);
    const auto next = toneStarts(2);
    ASSERT_EQ(next.size(), 2u);
    EXPECT_NEAR(next[0] - starts[0], 6.5, 0.11);
    EXPECT_NEAR(next[1] - next[0], 6.6, 0.11);  // row 1 again, one tick later, measured once
    EXPECT_EQ(silence.requests.size(), 3u);
}

TEST_F(SilenceTrimsWindow, TheTrimsAddToTheFixedOnesAndASongTheyLeaveNothingOfPlaysWhole) {
    store("Trimming", "CutFirst", "2");
    store("Trimming", "CutLast", "1");
    const std::string a = song("a.mp3", 60), b = song("b.mp3", 10);
    player.show();
    trimSilence();
    silence.answer(a, {4.99, 7.0});
    loop.advance(0);

    player.btnPlay.click();
    EXPECT_EQ(player.playback.StartPos, 6);   // 2 + 4
    EXPECT_EQ(player.playback.EndPos, 52);    // 60 - 1 - 7
    EXPECT_EQ(player.lstClipList.text(1, 1), "00:46");
    // Row 2 starts unmeasured; its measurement would leave nothing of it (2 + 3 and 1 + 4 of
    // 10 s), so it plays on with its plain trims, and whole the next time.
    player.btnNext.click();
    silence.answer(b, {3.5, 4.2});
    loop.advance(0);
    EXPECT_EQ(player.playback.StartPos, 2);
    EXPECT_EQ(player.playback.EndPos, 9);
    player.btnBack.click();
    player.btnNext.click();
    EXPECT_EQ(player.playback.StartPos, 0);
    EXPECT_EQ(player.playback.EndPos, 10);
    EXPECT_EQ(player.lstClipList.text(2, 1), "00:10");
}

TEST_F(SilenceTrimsWindow, InShuffleModeTheChosenRowIsMeasuredWhenItIsChosen) {
    store("RandomPlayback", "rnd", "1");
    const std::string a = song("a.mp3", 30);
    song("b.mp3", 30);
    player.show();
    trimSilence();
    EXPECT_TRUE(silence.requests.empty());  // nothing is known of the next row
    player.btnPlay.click();
    EXPECT_EQ(silence.requests, (std::vector<std::string>{a}));
    // A measurement that never comes stalls nothing: the song plays on and the next is chosen,
    // and asked for unless it is the one still being measured.
    ASSERT_TRUE(runUntil([&] { return player.playback.ActiveChannel == 0; }, 40000));
    const std::string chosen = player.playback.Channels[0]->Filename();
    const std::vector<std::string> asked = chosen == a ? std::vector<std::string>{a} : std::vector<std::string>{a, chosen};
    EXPECT_EQ(silence.requests, asked);
    EXPECT_TRUE(media.readAheads().empty());  // nor is its length read ahead
}

TEST_F(SilenceTrimsWindow, TheCacheAnswersTheNextRunUntilTheFileChanges) {
    const std::string a = song("a.mp3", 30);
    {
        testing::PlayerHarness first;
        first.media.setDuration(a, 30);
        first.player.show();
        first.player.lstClipList.add("", a);
        first.player.lstClipList.setText(1, 7, a);
        first.player.mnuTrimSilence.click();
        first.silence.answer(a, {2.2, 3.9});
        first.loop.advance(0);
        first.player.unload();
        EXPECT_EQ(first.settings.values["Velorra/Trimming/TrimSilence"], "1");
    }
    player.show();
    // The store loads in its own thread; until then it knows nothing.
    player.playback.measurements().waitUntilLoaded();
    trimSilence();
    player.btnPlay.click();
    EXPECT_TRUE(silence.requests.empty());
    EXPECT_EQ(player.playback.StartPos, 2);
    EXPECT_EQ(player.playback.EndPos, 27);

    // The file changes on disk: its measurement no longer holds.
    std::ofstream(a, std::ios::app) << "more";
    player.btnBack.click();
    EXPECT_EQ(player.playback.StartPos, 0);
    EXPECT_EQ(player.playback.EndPos, 30);
    EXPECT_EQ(silence.requests, (std::vector<std::string>{a}));
}

// A measurement with its loudness: `lufs` integrated, its largest sample at `peak`.
Measurement loudnessOf(double lufs, double peak) {
    Measurement m;
    m.loudness = lufs;
    m.peak = peak;
    m.source = LoudnessSource::Decoded;
    return m;
}

TEST_F(SilenceTrimsWindow, MatchLoudnessGivesEachSongItsGainAndGlidesToOneThatComesLate) {
    store("Transitions", "TransitionTime", "2");
    store("Transitions", "TransitionType", "0");
    const std::string a = song("a.mp3", 20), b = song("b.mp3", 20);
    const auto loudnessCalls = [&](const std::string& file) {
        std::vector<MediaCall> calls;
        for (const auto& call : media.callsOf("setLoudness"))
            if (call.graph == graphOf(file).id) calls.push_back(call);
        return calls;
    };
    player.show();
    trimSilence();
    silence.answer(a, loudnessOf(-10.0, 1.0));
    loop.advance(0);

    // Off, a measured song plays as it is: no gain is ever set.
    player.btnPlay.click();
    EXPECT_TRUE(media.callsOf("setLoudness").empty());
    EXPECT_EQ(graphOf(a).loudness, 1.0);

    // Turned on while it plays, the song glides to 8 dB down (-10 LUFS to -18) over half a second,
    // a gain of its own: the fader's volume is untouched.
    const int32_t volume = graphOf(a).volume;
    player.mnuMatchLoudness.click();
    EXPECT_NEAR(graphOf(a).loudness, std::pow(10.0, -8.0 / 20), 1e-12);
    EXPECT_EQ(graphOf(a).loudnessRamp, std::chrono::milliseconds(500));
    EXPECT_EQ(graphOf(a).volume, volume);
    EXPECT_EQ(silence.requests, (std::vector<std::string>{a, b}));

    // Row 2 starts unmeasured, at its own level; its measurement arrives while it plays: raised
    // towards -18 LUFS, but only as far as its peak (-6 dBFS) reaching -1 dBFS, over half a second.
    ASSERT_TRUE(runUntil([&] { return fileIn(player.playback.ActiveChannel) == b; }, 30000));
    EXPECT_EQ(graphOf(b).loudness, 1.0);
    EXPECT_TRUE(loudnessCalls(b).empty());
    loop.advance(500);
    silence.answer(b, loudnessOf(-26.0, 0.5));
    loop.advance(0);
    EXPECT_NEAR(graphOf(b).loudness, std::pow(10.0, (-1.0 - 20 * std::log10(0.5)) / 20), 1e-12);
    EXPECT_EQ(graphOf(b).loudnessRamp, std::chrono::milliseconds(500));
    EXPECT_EQ(loudnessCalls(b).size(), 1u);

    // Row 1 again: known, it starts at its gain at once (its transition raises it from silence).
    player.btnBack.click();
    ASSERT_EQ(fileIn(player.playback.ActiveChannel), a);
    EXPECT_NEAR(graphOf(a).loudness, std::pow(10.0, -8.0 / 20), 1e-12);
    EXPECT_EQ(graphOf(a).loudnessRamp, std::chrono::milliseconds(0));

    // Off again: back to exactly 1, over half a second, and nothing more is measured.
    player.mnuMatchLoudness.click();
    EXPECT_EQ(graphOf(a).loudness, 1.0);
    EXPECT_EQ(graphOf(a).loudnessRamp, std::chrono::milliseconds(500));
    trimSilence();
    player.btnNext.click();
    EXPECT_EQ(silence.requests.size(), 2u);
    EXPECT_EQ(graphOf(b).loudness, 1.0);
}

TEST_F(SilenceTrimsWindow, CalculateTotalCountsWhatIsMeasuredAndMeasuresNothing) {
    store("Transitions", "TransitionType", "2");
    const std::string a = song("a.mp3", 200), b = song("b.mp3", 100);
    player.show();
    player.cmdCalculate.click();
    EXPECT_EQ(player.lblDuracionTotal.Caption(), "05:00");

    // Switched on, the window asks for row 1, the next to play: the calculation opened no channel.
    trimSilence();
    EXPECT_EQ(silence.requests, (std::vector<std::string>{a}));
    silence.answer(a, {10.7, 20.2});
    loop.advance(0);
    player.lstClipList.setText(1, 9, "");
    player.lstClipList.setText(2, 9, "");
    player.cmdCalculate.click();
    EXPECT_EQ(player.lblDuracionTotal.Caption(), "04:30");  // 200 - 10 - 20, and 100 unmeasured
    EXPECT_EQ(player.lstClipList.text(1, 1), "02:50");
    EXPECT_EQ(player.lstClipList.text(2, 1), "01:40");
    EXPECT_EQ(silence.requests.size(), 1u);

    trimSilence();
    player.cmdCalculate.click();
    EXPECT_EQ(player.lblDuracionTotal.Caption(), "05:00");
}

}  // namespace
}  // namespace velorra
