// The channel's own rules, on the fake media service with a virtual clock.
#include <gtest/gtest.h>

#include <stdexcept>

#include "player/channel/player.h"
#include "support/fake_media_service.h"
#include "support/manual_loop.h"

namespace velorra {
namespace {

class ChannelPlayerFake : public ::testing::Test {
protected:
    ChannelPlayerFake() {
        service.setDuration("song.mp3", 200.4);
        service.setDuration("other.wav", 61.5);
    }
    void open(Player& player, const std::string& file) {
        player.setFilename(file);
        player.OpenFile();
    }
    std::vector<std::string> operations() const {
        std::vector<std::string> ops;
        for (const auto& c : service.calls()) ops.push_back(c.operation + (c.argument.empty() ? "" : " " + c.argument));
        return ops;
    }

    testing::ManualLoop loop;
    FakeMediaService service{loop};
};

TEST_F(ChannelPlayerFake, WithoutAGraphSettersOnlyRecordAndGettersGiveZero) {
    Player player(service);
    player.PlayFile();
    player.PauseFile();
    player.StopFile();
    player.setPosition(12);
    player.setVolume(-400);
    player.setBalance(-10);
    player.setPitch(1.25);
    player.setOutputDevice("Speakers");
    EXPECT_TRUE(service.calls().empty());
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(player.Volume(), 0);
    EXPECT_EQ(player.Balance(), 0);
    EXPECT_EQ(player.Pitch(), 0.0);
    EXPECT_EQ(player.Duration(), 0);
    EXPECT_EQ(player.OutputDevice(), "Speakers");
    EXPECT_EQ(service.graphCount(), 0);
}

TEST_F(ChannelPlayerFake, OpenLearnsTheDurationAndBuildsTheGraphOnFirstUse) {
    Player player(service);
    player.setFilename("song.mp3");
    EXPECT_EQ(player.OpenFile(), kOpenOk);
    EXPECT_EQ(player.Duration(), 200);
    EXPECT_EQ(operations(), std::vector<std::string>{"probeDuration song.mp3"});

    // Filename may change after opening; the graph is for the file that was opened.
    player.setFilename("other.wav");
    player.setVolume(-900);
    EXPECT_EQ(operations(), (std::vector<std::string>{"probeDuration song.mp3", "createGraph",
                                                      "render song.mp3", "setVolume -900"}));
    EXPECT_EQ(service.graph(1).volume, -900);
    EXPECT_EQ(service.graph(1).state, FakeGraphState::Stopped);
    EXPECT_EQ(player.Position(), 0);

    // A second open drops the first graph.
    player.OpenFile();
    EXPECT_FALSE(service.graph(1).alive);
    EXPECT_EQ(player.Duration(), 62);  // 61.5 goes to the even neighbour
}

TEST_F(ChannelPlayerFake, AFileThatFailsToOpenLeavesAZeroDurationAndAStatus) {
    service.failToOpen("song.mp3");
    Player player(service);
    player.setDuration(77);
    player.setFilename("song.mp3");
    EXPECT_EQ(player.OpenFile(), kOpenNoDuration);
    EXPECT_EQ(player.Duration(), 0);
    // The channel has a graph with nothing rendered: everything fails quietly.
    player.PlayFile();
    player.setVolume(-100);
    EXPECT_EQ(player.Volume(), 0);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(service.graphCount(), 1);
    EXPECT_EQ(service.callsOf("run").size(), 1u);
    EXPECT_FALSE(service.callsOf("run").front().succeeded);

    player.setFilename("never-heard-of.mp3");
    EXPECT_EQ(player.OpenFile(), kOpenNoDuration);
    EXPECT_EQ(service.graphCount(), 2);
}

TEST_F(ChannelPlayerFake, BalanceGoesInTimesAThousandAndComesBackAsTheServiceHasIt) {
    Player player(service);
    open(player, "song.mp3");
    player.setBalance(-10);
    EXPECT_EQ(service.callsOf("setBalance").back().argument, "-10000");
    EXPECT_EQ(player.Balance(), -10000);
    player.setBalance(7);
    EXPECT_EQ(player.Balance(), 7000);

    // 2147484 x 1000 does not fit 32 bits: nothing reaches the service.
    const auto before = service.callsOf("setBalance").size();
    player.setBalance(2147484);
    player.setBalance(-2147484);
    EXPECT_EQ(service.callsOf("setBalance").size(), before);
    EXPECT_EQ(player.Balance(), 7000);
    player.setBalance(2147483);
    EXPECT_EQ(service.callsOf("setBalance").back().argument, "2147483000");
}

TEST_F(ChannelPlayerFake, PositionRoundsHalfToEvenAndStopResumesWhereItStopped) {
    Player player(service);
    open(player, "song.mp3");
    player.PlayFile();
    loop.advance(2500);
    EXPECT_EQ(player.Position(), 2);
    loop.advance(1000);
    EXPECT_EQ(player.Position(), 4);
    player.StopFile();
    loop.advance(5000);
    EXPECT_EQ(player.Position(), 4);
    player.PlayFile();
    loop.advance(1000);
    EXPECT_EQ(player.Position(), 4);  // 4.5
    player.setPitch(2.0);
    loop.advance(1000);
    EXPECT_EQ(player.Position(), 6);  // 6.5
    EXPECT_EQ(player.Pitch(), 2.0);
    player.setPosition(199);
    loop.advance(10000);
    EXPECT_EQ(player.Position(), 200);  // the end of the file, 200.4
}

}  // namespace
}  // namespace velorra

namespace velorra {
namespace {

TEST(ChannelFakeMedia, ADroppedGraphFallsSilentAndKeepsWhatItWasTold) {
    testing::ManualLoop loop;
    FakeMediaService service(loop);
    loop.advance(1000);
    service.setDuration("a.mp3", 30.0);
    {
        const auto graph = service.createGraph({});
        EXPECT_FALSE(graph->setVolume(-10, kVolumeRamp));  // nothing rendered yet
        ASSERT_TRUE(graph->render("a.mp3"));
        EXPECT_FALSE(graph->render("a.mp3"));
        graph->setVolume(-10, kVolumeRamp);
        graph->run();
        loop.advance(4000);
    }
    const FakeGraph& dropped = service.graph(1);
    EXPECT_FALSE(dropped.alive);
    EXPECT_EQ(dropped.state, FakeGraphState::Stopped);
    EXPECT_EQ(dropped.volume, -10);
    loop.advance(4000);
    EXPECT_DOUBLE_EQ(service.positionOf(dropped), 4.0);
    EXPECT_EQ(service.calls().back().operation, "release");
    EXPECT_EQ(service.lastGraphFor("a.mp3"), &dropped);
}

}  // namespace
}  // namespace velorra
