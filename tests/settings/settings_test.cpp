// The user's choices through a real INI file: what a first run finds, what comes back after a
// restart, how odd stored values are kept or skipped, and a file that cannot be written.
#include "player/settings/qsettings_store.h"
#include "player/window/frm_player.h"
#include "support/fake_media_service.h"
#include "support/fake_silence_measurer.h"
#include "support/manual_loop.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <QSettings>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include <unistd.h>

namespace velorra {
namespace {

namespace fs = std::filesystem;

struct SettingsFile : ::testing::Test {
    fs::path home = fs::temp_directory_path() / ("velorra-settings-" + std::to_string(::getpid()) + "-" +
                                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());

    void SetUp() override {
        fs::remove_all(home);
        fs::create_directories(home);
        ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(home); }

    fs::path file() const { return home / "Velorra" / "Velorra.conf"; }
    void writeFile(const std::string& text) const {
        fs::create_directories(file().parent_path());
        std::ofstream(file()) << text;
    }
    std::string stored(const char* key) const {
        return QSettings(QString::fromStdString(file().string()), QSettings::IniFormat).value(key).toString().toStdString();
    }
    bool has(const char* key) const {
        return QSettings(QString::fromStdString(file().string()), QSettings::IniFormat).contains(key);
    }

    // One run of the program: the window starts, `use` runs, the window closes, `after` looks.
    void run(const std::function<void(frmPlayer&, FakeMediaService&)>& use,
             const std::function<void(frmPlayer&, FakeMediaService&)>& after = {}) {
        QSettingsStore store;
        testing::ManualLoop loop;
        FakeMediaService media{loop};
        testing::ScriptedDialogs dialogs;
        testing::RecordedMessages messages;
        testing::RecordedLinks links;
        testing::FakeSilenceMeasurer silence{loop};
        frmPlayer player{{loop, media, store, dialogs, messages, links, silence}, ""};
        player.show();
        use(player, media);
        player.unload();
        if (after) after(player, media);
    }
};

TEST_F(SettingsFile, AFirstRunUsesTheDefaultsAndItsCloseCreatesTheFile) {
    run([](frmPlayer& p, FakeMediaService&) {
        EXPECT_EQ(p.playback.TransitionTime, 1);
        EXPECT_EQ(p.playback.TransitionType, 0);
        EXPECT_TRUE(p.optTransition[0].Value());
        EXPECT_EQ(p.playback.CutFirst, 0);
        EXPECT_EQ(p.playback.CutLast, 0);
        EXPECT_FALSE(p.mnuTrimSilence.Checked());
        EXPECT_FALSE(p.mnuMatchLoudness.Checked());
        EXPECT_FALSE(p.playback.MatchLoudness());
        EXPECT_EQ(p.hscVolume.Value(), 64);
        EXPECT_EQ(p.lblMasterVolume.Caption(), "75%");
        EXPECT_EQ(p.chkRndPlay.Value(), 0);
        EXPECT_EQ(p.ShowOptions, 1);
        EXPECT_EQ(p.cmdShowOptions.Caption(), "Hide Options");
        EXPECT_TRUE(p.mnuReadOtherTags.Checked());
        EXPECT_EQ(p.vscVolume[0].Value(), 21);  // entry 0 is active until the first song
        EXPECT_EQ(p.vscVolume[1].Value(), 85);
        EXPECT_EQ((std::array{p.Left(), p.Top(), p.Width(), p.Height()}), (std::array{100, 100, 6645, 6000}));
    });
    ASSERT_TRUE(fs::exists(file()));
    EXPECT_EQ(stored("Transitions/TransitionTime"), "1");
    EXPECT_EQ(stored("Transitions/TransitionType"), "0");
    EXPECT_EQ(stored("Trimming/CutFirst"), "0");
    EXPECT_EQ(stored("Trimming/CutLast"), "0");
    EXPECT_EQ(stored("Trimming/TrimSilence"), "0");
    EXPECT_EQ(stored("RandomPlayback/rnd"), "0");
    EXPECT_EQ(stored("BasicAudio/Volume"), "64");
    EXPECT_EQ(stored("BasicAudio/MatchLoudness"), "0");
    EXPECT_EQ(stored("Window/Top"), "100");
    EXPECT_EQ(stored("Window/Left"), "100");
    EXPECT_EQ(stored("Window/Height"), "6000");
    EXPECT_EQ(stored("Window/Width"), "6645");
    EXPECT_EQ(stored("ShowOptions/ShowOptions"), "1");
    EXPECT_EQ(stored("Tags/ReadOtherTags"), "1");
}

TEST_F(SettingsFile, ChoicesMadeInOneRunComeBackInTheNext) {
    run([](frmPlayer& p, FakeMediaService&) {
        p.spinTransitionTime.setValue(12);
        p.optTransition[3].click();
        p.spinCutFirst.setValue(4);
        p.spinCutLast.setValue(9);
        p.hscVolume.setValue(40);
        p.chkRndPlay.click();
        p.mnuTrimSilence.click();
        p.mnuMatchLoudness.click();
        p.cmdShowOptions.click();
        p.mnuReadOtherTags.click();
        p.move(900, 700, 8000, 7500);
    });
    run([](frmPlayer& p, FakeMediaService&) {
        EXPECT_EQ(p.playback.TransitionTime, 12);
        EXPECT_EQ(p.lblTransitionTime.Caption(), "12");
        EXPECT_EQ(p.playback.TransitionType, 3);
        EXPECT_TRUE(p.optTransition[3].Value());
        EXPECT_EQ(p.playback.CutFirst, 4);
        EXPECT_EQ(p.lblCutFirst.Caption(), "4");
        EXPECT_EQ(p.playback.CutLast, 9);
        EXPECT_EQ(p.hscVolume.Value(), 40);
        EXPECT_EQ(p.chkRndPlay.Value(), 1);
        EXPECT_TRUE(p.mnuTrimSilence.Checked());
        EXPECT_TRUE(p.mnuMatchLoudness.Checked());
        EXPECT_TRUE(p.playback.MatchLoudness());
        EXPECT_EQ(p.ShowOptions, 0);
        EXPECT_EQ(p.Picture1.Height(), frmPlayer::PanelCollapsed);
        EXPECT_FALSE(p.mnuReadOtherTags.Checked());
        // The stored place is read, but the window always opens at its fixed place and size.
        EXPECT_EQ((std::array{p.Left(), p.Top(), p.Width(), p.Height()}), (std::array{100, 100, 6645, 6000}));
    });
    EXPECT_EQ(stored("Window/Left"), "100");
    EXPECT_EQ(stored("Tags/ReadOtherTags"), "0");
}

// Older files keep the output device by its display name: it chooses the first device of that
// name, which the file then keeps by its id.
TEST_F(SettingsFile, AnOutputDeviceKeptByNameChoosesTheFirstOfThatNameAndIsKeptByIdThen) {
    writeFile("[BasicAudio]\nOutputDevice=Twin\n");
    run([](frmPlayer& p, FakeMediaService& media) {
        EXPECT_EQ(p.playback.OutputDevice(), "Twin");
        media.setOutputDevices({{"b", "Twin"}, {"a", "Twin"}});
        p.mnuOutputDevice.click();
        ASSERT_EQ(p.mnuOutputDevice.items().size(), 3u);
        EXPECT_TRUE(p.mnuOutputDevice.items()[1]->Checked());
        EXPECT_EQ(p.mnuOutputDevice.items()[1]->Caption(), "Twin");
        EXPECT_EQ(p.playback.OutputDevice(), "b");
    });
    EXPECT_EQ(stored("BasicAudio/OutputDevice"), "b");
}

TEST_F(SettingsFile, ValuesTheControlsRefuseAreKeptInTheirVariablesOrSkipped) {
    writeFile("[Transitions]\nTransitionTime=500\nTransitionType=7\n"
              "[Trimming]\nCutFirst=abc\nCutLast=2.5\n"
              "[BasicAudio]\nVolume=90\n"
              "[RandomPlayback]\nrnd=1\n"
              "[Window]\nTop=-4000\nLeft=x\nHeight=1\nWidth=1\n"
              "[ShowOptions]\nShowOptions=2\n");
    run([](frmPlayer& p, FakeMediaService&) {
        EXPECT_EQ(p.playback.TransitionTime, 500);
        EXPECT_EQ(p.spinTransitionTime.Value(), 1);
        EXPECT_EQ(p.playback.TransitionType, 7);
        for (int i = 0; i < 5; ++i) EXPECT_FALSE(p.optTransition[i].Value());
        EXPECT_EQ(p.playback.CutFirst, 0);
        EXPECT_EQ(p.spinCutFirst.Value(), 0);
        EXPECT_EQ(p.playback.CutLast, 2);  // a half goes to the even neighbour
        EXPECT_EQ(p.hscVolume.Value(), 0);
        EXPECT_EQ(p.lblMasterVolume.Caption(), "100%");  // its change action never ran
        EXPECT_EQ(p.chkRndPlay.Value(), 1);
        EXPECT_EQ(p.ShowOptions, 2);
        EXPECT_EQ(p.Picture1.Height(), frmPlayer::PanelExpanded);
        EXPECT_EQ((std::array{p.Left(), p.Top(), p.Width(), p.Height()}), (std::array{100, 100, 6645, 6000}));
    });
    EXPECT_EQ(stored("Transitions/TransitionTime"), "500");
    EXPECT_EQ(stored("Transitions/TransitionType"), "7");
    EXPECT_EQ(stored("Trimming/CutFirst"), "0");
    EXPECT_EQ(stored("Trimming/CutLast"), "2");
    EXPECT_EQ(stored("BasicAudio/Volume"), "0");
    EXPECT_EQ(stored("ShowOptions/ShowOptions"), "2");
}

TEST_F(SettingsFile, AValueThatDoesNotConvertLeavesItsVariableAsItWasForTheNextAction) {
    writeFile("[Transitions]\nTransitionTime=abc\nTransitionType=+-2\n"
              "[Trimming]\nCutFirst=40000\nCutLast= 7 \n"
              "[RandomPlayback]\nrnd=1.5\n");
    run([](frmPlayer& p, FakeMediaService&) {
        // TransitionTime keeps its start value 0, which the spinner then refuses.
        EXPECT_EQ(p.playback.TransitionTime, 0);
        EXPECT_EQ(p.spinTransitionTime.Value(), 1);
        EXPECT_EQ(p.lblTransitionTime.Caption(), "1");
        // Not a number: TransitionType stays 0 and its option button is selected from that 0.
        EXPECT_EQ(p.playback.TransitionType, 0);
        EXPECT_TRUE(p.optTransition[0].Value());
        EXPECT_EQ(p.playback.CutFirst, 0);  // beyond 16 bits
        EXPECT_EQ(p.playback.CutLast, 7);   // blanks around a number are allowed
        EXPECT_EQ(p.lblCutLast.Caption(), "7");
        EXPECT_EQ(p.chkRndPlay.Value(), 2);  // 1.5 goes to the even neighbour
    });
    EXPECT_EQ(stored("Transitions/TransitionTime"), "0");
    EXPECT_EQ(stored("Transitions/TransitionType"), "0");
    EXPECT_EQ(stored("Trimming/CutFirst"), "0");
    EXPECT_EQ(stored("Trimming/CutLast"), "7");
    EXPECT_EQ(stored("RandomPlayback/rnd"), "2");
}

TEST_F(SettingsFile, TheWindowPlaceIsSavedOnlyWhenItsTopIsAboveTenTwips) {
    writeFile("[Window]\nTop=555\nLeft=666\nHeight=7777\nWidth=8888\n");
    run([](frmPlayer& p, FakeMediaService&) {
        p.setTop(10);  // minimised windows stand at the top or above it
        p.hscVolume.setValue(30);
    });
    EXPECT_EQ(stored("Window/Top"), "555");
    EXPECT_EQ(stored("Window/Left"), "666");
    EXPECT_EQ(stored("Window/Width"), "8888");
    EXPECT_EQ(stored("BasicAudio/Volume"), "30");

    run([](frmPlayer& p, FakeMediaService&) { p.move(2000, 11, 7000, 6500); });
    EXPECT_EQ(stored("Window/Top"), "11");
    EXPECT_EQ(stored("Window/Left"), "2000");
    EXPECT_EQ(stored("Window/Height"), "6500");
    EXPECT_EQ(stored("Window/Width"), "7000");
}

TEST_F(SettingsFile, AFileThatCannotBeWrittenIsReportedOnceAndTheCloseGoesOn) {
    fs::create_directories(file());  // a folder where the file should be
    ::testing::internal::CaptureStderr();
    run(
        [](frmPlayer& p, FakeMediaService& media) {
            media.setDuration("song.mp3", 100);
            p.lstClipList.add("", "song");
            p.lstClipList.setText(1, 7, "song.mp3");
            p.spinCutFirst.setValue(3);
            p.btnPlay.click();
        },
        [](frmPlayer& p, FakeMediaService& media) {
            EXPECT_EQ(p.playback.State(), PlayState::Stopped);
            EXPECT_EQ(media.lastGraphFor("song.mp3")->state, FakeGraphState::Stopped);
        });
    const std::string err = ::testing::internal::GetCapturedStderr();
    const std::string report = "velorra: the settings could not be saved to " + file().string() + "\n";
    const auto first = err.find(report);
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find(report, first + 1), std::string::npos) << err;
    EXPECT_TRUE(fs::is_directory(file()));

    // What could not be written stays readable from the store for the rest of the run.
    QSettingsStore store;
    store.write("Velorra", "Trimming", "CutFirst", "3");
    EXPECT_EQ(store.read("Velorra", "Trimming", "CutFirst", "0"), "3");
}

}  // namespace
}  // namespace velorra
