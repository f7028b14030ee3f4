// The transition curves step by step, and the audio adjustments that turn fader positions into
// channel volumes. Songs are long, so that only the transition under test runs.
#include "playback_fixture.h"
#include "support/temp_dir.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace velorra {
namespace {

// The numbers of the process in a locale whose decimal separator is a comma, for as long as it
// lives: an installed German locale, or else one built for the test from the system's locale
// sources. Without either, active() is false.
class CommaLocale {
public:
    CommaLocale() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
            if (std::setlocale(LC_NUMERIC, name)) return;
        if (!std::filesystem::exists("/usr/share/i18n/locales/de_DE")) return;
        const std::string built = folder_.path("de_DE.UTF-8");
        const std::string command = "localedef -i de_DE -f UTF-8 '" + built + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) return;
        if (const char* old = std::getenv("LOCPATH")) oldLocPath_ = old;
        ::setenv("LOCPATH", folder_.path().c_str(), 1);
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    }
    ~CommaLocale() {
        std::setlocale(LC_NUMERIC, "C");
        if (oldLocPath_)
            ::setenv("LOCPATH", oldLocPath_->c_str(), 1);
        else
            ::unsetenv("LOCPATH");
    }
    bool active() const { return std::string(std::localeconv()->decimal_point) == ","; }

private:
    testing::TempDir folder_{"velorra-locale"};
    std::optional<std::string> oldLocPath_;
};

struct Transition : testing::PlaybackWindow {
    // The first song playing on entry 1 at the listening level, its own fade-in done; Next then
    // starts song two on entry 0 with `type`.
    void startSecondSong(int type, const std::string& level = "85") {
        store("Transitions", "TransitionTime", "5");
        store("Transitions", "TransitionType", std::to_string(type));
        store("BasicAudio", "Volume", level);
        addSong("one.mp3", 600);
        addSong("two.mp3", 600);
        addSong("three.mp3", 600);
        addSong("four.mp3", 600);
        player.show();
        player.btnPlay.click();
        ASSERT_TRUE(runUntil([&] { return !player.playback.tmrTransition.Enabled(); }, 10000));
        player.btnNext.click();
        ASSERT_EQ(player.playback.ActiveChannel, 0);
        ASSERT_EQ(fader(0), 85);
    }
    // Runs the clock to the tick that makes step s (0 once the transition ended).
    void stepTo(int s) {
        ASSERT_TRUE(runUntilStep(s)) << "step " << s << " never came";
    }
    bool runUntilStep(int s) {
        for (int ms = 0; ms < 20000; ++ms) {
            if (player.playback.TransitionStep == s) return true;
            loop.advance(1);
        }
        return false;
    }
    int incoming() const { return fader(0); }
    int outgoing() const { return fader(1); }
};

TEST_F(Transition, CrossDissolveAtFullLevelTakesEightyFiveStepsAndStopsTheOldSongAtTheNext) {
    startSecondSong(0);
    EXPECT_EQ(player.playback.tmrTransition.Interval(), 58);
    stepTo(1);
    EXPECT_EQ(incoming(), 84);
    EXPECT_EQ(outgoing(), 1);
    EXPECT_EQ(graphOf("two.mp3").volume, -84 * 84);
    stepTo(43);
    EXPECT_EQ(incoming(), 42);
    EXPECT_EQ(outgoing(), 43);
    stepTo(85);
    EXPECT_EQ(incoming(), 0);
    EXPECT_EQ(outgoing(), 85);
    EXPECT_TRUE(playing("one.mp3"));
    loop.advance(58);  // tick 86
    EXPECT_EQ(player.playback.TransitionStep, 0);
    EXPECT_FALSE(player.playback.tmrTransition.Enabled());
    EXPECT_EQ(graphOf("one.mp3").state, FakeGraphState::Stopped);
    EXPECT_EQ(incoming(), 0);
    EXPECT_EQ(graphOf("two.mp3").volume, 0);
    EXPECT_EQ(player.lblVolume[0].Caption(), "100");
    EXPECT_EQ(player.prgVolume[1].Value(), 0);
}

TEST_F(Transition, CrossDissolveAtALowerLevelEndsAtThatLevel) {
    startSecondSong(0, "40");
    EXPECT_EQ(player.playback.tmrTransition.Interval(), 125);
    stepTo(1);
    EXPECT_EQ(incoming(), 84);
    EXPECT_EQ(outgoing(), 46);
    stepTo(40);
    EXPECT_EQ(incoming(), 45);
    EXPECT_EQ(outgoing(), 85);
    loop.advance(125);
    EXPECT_FALSE(player.playback.tmrTransition.Enabled());
    EXPECT_FALSE(playing("one.mp3"));
}

TEST_F(Transition, UpDownRaisesTheNewSongFirstAndLeavesItOneBelowTheLevel) {
    startSecondSong(1);
    EXPECT_EQ(outgoing(), 1);  // the first song's own fade-in ended there too
    stepTo(1);
    EXPECT_EQ(incoming(), 83);
    EXPECT_EQ(outgoing(), 1);
    stepTo(42);
    EXPECT_EQ(incoming(), 1);
    EXPECT_EQ(outgoing(), 1);
    stepTo(44);
    EXPECT_EQ(incoming(), 1);
    EXPECT_EQ(outgoing(), 3);
    stepTo(85);
    EXPECT_EQ(outgoing(), 85);
    stepTo(0);
    EXPECT_EQ(incoming(), 1);
    EXPECT_EQ(graphOf("two.mp3").volume, -1);
    EXPECT_FALSE(playing("one.mp3"));

    // Below full level the new song rises to the listening level and the old one falls from it.
    player.hscVolume.setValue(40);
    player.btnNext.click();  // song three on entry 1; song two, at fader 45, fades out on entry 0
    stepTo(20);
    EXPECT_EQ(fader(1), 45);
    EXPECT_EQ(fader(0), 45);
    stepTo(21);
    EXPECT_EQ(fader(0), 47);
    stepTo(40);
    EXPECT_EQ(fader(0), 85);
    EXPECT_EQ(fader(1), 45);
}

TEST_F(Transition, DownUpLowersTheOldSongFirstThenRaisesTheNewOne) {
    startSecondSong(2);
    stepTo(1);
    EXPECT_EQ(outgoing(), 2);
    EXPECT_EQ(incoming(), 85);
    stepTo(42);
    EXPECT_EQ(outgoing(), 84);
    EXPECT_EQ(incoming(), 85);
    stepTo(43);
    EXPECT_EQ(incoming(), 84);
    EXPECT_EQ(outgoing(), 84);
    stepTo(85);
    EXPECT_EQ(incoming(), 0);
    EXPECT_TRUE(playing("one.mp3"));  // at level 1 until the last tick
    stepTo(0);
    EXPECT_FALSE(playing("one.mp3"));

    // Below full level the old song falls from the listening level and the new one rises to it.
    player.hscVolume.setValue(40);
    player.btnNext.click();  // song three on entry 1; song two, at fader 45, fades out on entry 0
    stepTo(1);
    EXPECT_EQ(fader(0), 47);
    stepTo(20);
    EXPECT_EQ(fader(0), 85);
    EXPECT_EQ(fader(1), 85);
    stepTo(21);
    EXPECT_EQ(fader(1), 83);
    stepTo(40);
    EXPECT_EQ(fader(1), 45);
}

TEST_F(Transition, MixPlaysBothSongsAtTheListeningLevelUntilTheLastTick) {
    startSecondSong(3, "64");
    stepTo(1);
    EXPECT_EQ(incoming(), 21);
    EXPECT_EQ(outgoing(), 21);
    stepTo(64);
    EXPECT_EQ(incoming(), 21);
    EXPECT_EQ(outgoing(), 21);
    EXPECT_TRUE(playing("one.mp3"));
    EXPECT_TRUE(playing("two.mp3"));
    stepTo(0);
    EXPECT_FALSE(playing("one.mp3"));
    EXPECT_TRUE(playing("two.mp3"));
}

TEST_F(Transition, CutSilencesAndStopsTheOldSongAtTheFirstStep) {
    startSecondSong(4, "64");
    stepTo(1);
    EXPECT_EQ(outgoing(), 85);
    EXPECT_EQ(incoming(), 21);
    EXPECT_EQ(graphOf("one.mp3").state, FakeGraphState::Stopped);
    const auto stops = media.callsOf("stop").size();
    stepTo(30);
    EXPECT_EQ(outgoing(), 85);
    EXPECT_EQ(incoming(), 21);
    stepTo(0);
    EXPECT_GT(media.callsOf("stop").size(), stops);
    EXPECT_TRUE(playing("two.mp3"));
}

TEST_F(Transition, ACurveChosenMidwayGoesOnFromTheCurrentStep) {
    startSecondSong(0);
    stepTo(20);
    EXPECT_EQ(incoming(), 65);
    EXPECT_EQ(outgoing(), 20);
    player.optTransition[2].click();
    EXPECT_EQ(player.playback.TransitionType, 2);
    stepTo(21);
    EXPECT_EQ(outgoing(), 42);
    EXPECT_EQ(incoming(), 65);
    stepTo(43);
    EXPECT_EQ(incoming(), 84);
}

TEST_F(Transition, TheLevelIsReadAtEveryStepAndEndsTheTransitionEarlierWhenLowered) {
    startSecondSong(0);
    stepTo(30);
    player.hscVolume.setValue(20);  // the incoming fader jumps to 65 at once
    EXPECT_EQ(incoming(), 65);
    loop.advance(58);
    EXPECT_EQ(player.playback.TransitionStep, 0);
    EXPECT_FALSE(player.playback.tmrTransition.Enabled());
    EXPECT_FALSE(playing("one.mp3"));
}

TEST_F(Transition, IntervalIsTransitionTimeOverTheLevelUnlessThatCannotBe) {
    startSecondSong(0);
    ASSERT_TRUE(runUntil([&] { return !player.playback.tmrTransition.Enabled(); }, 10000));
    player.hscVolume.setValue(0);
    player.btnNext.click();
    EXPECT_EQ(player.playback.tmrTransition.Interval(), 58);  // no division by a level of 0
    EXPECT_TRUE(player.playback.tmrTransition.Enabled());
    loop.advance(58);  // with L = 0 the first tick ends it
    EXPECT_FALSE(player.playback.tmrTransition.Enabled());
    EXPECT_EQ(fader(1), 85);  // the incoming song stays at the silent listening level

    player.hscVolume.setValue(1);
    player.spinTransitionTime.setValue(100);  // 100000 ms: more than a timer takes
    player.btnNext.click();
    EXPECT_EQ(player.playback.tmrTransition.Interval(), 58);
    EXPECT_TRUE(player.playback.tmrTransition.Enabled());
}

TEST_F(Transition, ZeroTransitionTimeRunsOneStepAtOnceAndNoTimer) {
    store("Transitions", "TransitionTime", "0");
    store("BasicAudio", "Volume", "85");
    addSong("one.mp3", 600);
    addSong("two.mp3", 600);
    addSong("three.mp3", 600);
    player.show();
    EXPECT_EQ(player.playback.TransitionTime, 0);
    EXPECT_EQ(player.spinTransitionTime.Value(), 1);
    player.btnPlay.click();
    EXPECT_EQ(fader(1), 84);
    EXPECT_FALSE(player.playback.tmrTransition.Enabled());

    // A fading curve leaves the new song at the first step's level and the old one near full.
    player.btnNext.click();
    EXPECT_EQ(fader(0), 84);
    EXPECT_EQ(fader(1), 1);
    EXPECT_TRUE(playing("one.mp3"));
    EXPECT_TRUE(playing("two.mp3"));
    EXPECT_FALSE(player.playback.tmrTransition.Enabled());

    // "Cut" completes the change.
    player.optTransition[4].click();
    player.btnNext.click();
    EXPECT_FALSE(playing("two.mp3"));
    EXPECT_TRUE(playing("three.mp3"));
    EXPECT_EQ(fader(1), 0);
}

TEST_F(Transition, SpinnersSetTheTransitionValuesAndShowThem) {
    player.show();
    player.spinTransitionTime.stepTowardsMin();  // the upper arrow: the spinner runs 100 to 1
    EXPECT_EQ(player.playback.TransitionTime, 2);
    EXPECT_EQ(player.lblTransitionTime.Caption(), "2");
    player.spinCutFirst.setValue(12);
    player.spinCutLast.setValue(7);
    EXPECT_EQ(player.playback.CutFirst, 12);
    EXPECT_EQ(player.playback.CutLast, 7);
    EXPECT_EQ(player.lblCutFirst.Caption(), "12");
    EXPECT_EQ(player.lblCutLast.Caption(), "7");
}

using Audio = testing::PlaybackWindow;

TEST_F(Audio, MasterVolumeSetsTheActiveFaderAndTheFaderTheChannelVolume) {
    addSong("one.mp3", 600);
    player.show();
    // Before any song only the labels, the bars and entry 0's fader move.
    EXPECT_EQ(player.hscVolume.Value(), 64);
    EXPECT_EQ(player.lblMasterVolume.Caption(), "75%");
    EXPECT_EQ(fader(0), 21);
    EXPECT_TRUE(media.callsOf("setVolume").empty());

    player.btnPlay.click();
    ASSERT_TRUE(runUntil([&] { return !player.playback.tmrTransition.Enabled(); }, 10000));
    struct Case {
        int level, fader, volume;
        const char *master, *channel;
    };
    for (const Case c : {Case{85, 0, 0, "100%", "100"}, Case{0, 85, -7225, "0%", "0"}, Case{64, 21, -441, "75%", "75"}}) {
        player.hscVolume.setValue(c.level);
        EXPECT_EQ(fader(1), c.fader);
        EXPECT_EQ(graphOf("one.mp3").volume, c.volume);
        EXPECT_EQ(player.lblMasterVolume.Caption(), c.master);
        EXPECT_EQ(player.prgMasterVolume.Value(), std::stoi(c.master));
        EXPECT_EQ(player.lblVolume[1].Caption(), c.channel);
        EXPECT_EQ(player.prgVolume[1].Value(), std::stoi(c.channel));
        EXPECT_TRUE(playing("one.mp3"));
    }
    player.hscVolume.scrollTo(40);  // dragging the thumb acts at once
    EXPECT_EQ(fader(1), 45);
}

TEST_F(Audio, BalanceAndPitchActOnTheActiveChannelOnlyAndNewSongsPlayPlain) {
    addSong("one.mp3", 600);
    addSong("two.mp3", 600);
    player.show();
    player.btnPlay.click();
    player.hscBalance.setValue(-10);
    EXPECT_EQ(graphOf("one.mp3").balance, -10000);
    EXPECT_EQ(player.lblBalance.Caption(), "-10");
    player.hscPitch.setValue(150);
    EXPECT_EQ(graphOf("one.mp3").rate, 1.5);
    EXPECT_EQ(player.lblPitch.Caption(), "1.5");
    player.hscPitch.scrollTo(33);
    EXPECT_EQ(player.lblPitch.Caption(), "0.33");
    EXPECT_EQ(graphOf("one.mp3").rate, 1.5);

    player.btnNext.click();
    EXPECT_EQ(graphOf("two.mp3").rate, 1.0);
    EXPECT_EQ(graphOf("two.mp3").balance, 0);
}

TEST_F(Audio, PitchIsShownInTheShortestFormWithTheUsersDecimalSeparator) {
    addSong("one.mp3", 600);
    player.show();
    player.btnPlay.click();
    const CommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma here";
    player.hscPitch.setValue(150);
    EXPECT_EQ(player.lblPitch.Caption(), "1,5");
    EXPECT_EQ(graphOf("one.mp3").rate, 1.5);
    player.hscPitch.scrollTo(33);
    EXPECT_EQ(player.lblPitch.Caption(), "0,33");
    player.hscPitch.setValue(100);
    EXPECT_EQ(player.lblPitch.Caption(), "1");
    player.hscPitch.setValue(220);
    EXPECT_EQ(player.lblPitch.Caption(), "2,2");
}

}  // namespace
}  // namespace velorra
