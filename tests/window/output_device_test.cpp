// The output device from the window: Options > "Output &Device" lists "Default" and the devices
// present each time it opens, under their display names; the choice goes by the device's id to
// every channel made after it and is kept between runs, also while its device is absent.
#include "playback_fixture.h"

namespace velorra {
namespace {

using testing::PlaybackWindow;
using OutputDevice = PlaybackWindow;

std::vector<std::string> entries(const toolkit::MenuItem& menu, bool checkedOnly = false) {
    std::vector<std::string> captions;
    for (const toolkit::MenuItem* item : menu.items())
        if (!checkedOnly || item->Checked()) captions.push_back(item->Caption());
    return captions;
}

TEST_F(OutputDevice, TheChosenDeviceTakesTheNextSongAndIsKeptBetweenRuns) {
    media.setOutputDevices({{"first", "First"}, {"second", "Second"}});
    addSong("a.mp3", 60);
    addSong("b.mp3", 60);
    addSong("c.mp3", 60);
    player.show();
    ASSERT_GE(player.mnuOptions.items().size(), 2u);
    EXPECT_EQ(player.mnuOptions.items()[0], &player.mnuSetDefaultPlayer);
    EXPECT_EQ(player.mnuOptions.items()[1], &player.mnuOutputDevice);
    EXPECT_EQ(player.mnuOutputDevice.Caption(), "Output &Device");

    player.btnPlay.click();
    EXPECT_EQ(graphOf("a.mp3").outputDevice, "");
    player.mnuOutputDevice.click();  // the submenu opens
    EXPECT_EQ(entries(player.mnuOutputDevice), (std::vector<std::string>{"Default", "First", "Second"}));
    EXPECT_EQ(entries(player.mnuOutputDevice, true), std::vector<std::string>{"Default"});

    player.mnuOutputDevice.items()[2]->click();
    EXPECT_EQ(entries(player.mnuOutputDevice, true), std::vector<std::string>{"Second"});
    // The song that plays stays where it is; the next one plays on the chosen device.
    EXPECT_TRUE(graphOf("a.mp3").alive);
    player.btnNext.click();
    EXPECT_EQ(graphOf("b.mp3").outputDevice, "second");

    // Unplugged, it stays listed and chosen: its channels play on the default output until it
    // comes back.
    media.setOutputDevices({{"first", "First"}});
    player.mnuOutputDevice.click();
    EXPECT_EQ(entries(player.mnuOutputDevice), (std::vector<std::string>{"Default", "First", "Second"}));
    EXPECT_EQ(entries(player.mnuOutputDevice, true), std::vector<std::string>{"Second"});
    player.unload();
    EXPECT_EQ(settings.values.at("Velorra/BasicAudio/OutputDevice"), "second");

    testing::PlayerHarness next;
    next.settings.values = settings.values;
    next.media.setDuration("/m/a.mp3", 60);
    next.player.show();
    next.player.OpenFile("/m/a.mp3");
    next.player.btnPlay.click();
    ASSERT_NE(next.media.lastGraphFor("/m/a.mp3"), nullptr);
    EXPECT_EQ(next.media.lastGraphFor("/m/a.mp3")->outputDevice, "second");
    EXPECT_TRUE(next.media.callsOf("outputDevices").empty());  // no device is listed until the submenu opens
    // Chosen in an earlier run and absent, it is listed by its id.
    next.player.mnuOutputDevice.click();
    EXPECT_EQ(entries(next.player.mnuOutputDevice), (std::vector<std::string>{"Default", "second"}));
    EXPECT_EQ(entries(next.player.mnuOutputDevice, true), std::vector<std::string>{"second"});
    next.player.mnuOutputDeviceDefault.click();
    EXPECT_EQ(entries(next.player.mnuOutputDevice, true), std::vector<std::string>{"Default"});
    next.player.unload();
    EXPECT_EQ(next.settings.values.at("Velorra/BasicAudio/OutputDevice"), "");
}

// Devices that show one name are told apart in the menu, in the order they are listed, and
// chosen by id.
TEST_F(OutputDevice, DevicesOfOneNameAreEntriesOfTheirOwn) {
    media.setOutputDevices({{"twin-b", "Twin"}, {"speakers", "Twin (2)"}, {"twin-a", "Twin"}, {"usb", "Twin"}});
    addSong("a.mp3", 60);
    addSong("b.mp3", 60);
    player.show();
    player.btnPlay.click();
    player.mnuOutputDevice.click();
    EXPECT_EQ(entries(player.mnuOutputDevice),
              (std::vector<std::string>{"Default", "Twin", "Twin (2)", "Twin (3)", "Twin (4)"}));
    player.mnuOutputDevice.items()[3]->click();
    EXPECT_EQ(entries(player.mnuOutputDevice, true), std::vector<std::string>{"Twin (3)"});
    player.btnNext.click();
    EXPECT_EQ(graphOf("b.mp3").outputDevice, "twin-a");
    player.unload();
    EXPECT_EQ(settings.values.at("Velorra/BasicAudio/OutputDevice"), "twin-a");
}

}  // namespace
}  // namespace velorra
