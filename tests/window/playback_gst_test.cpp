// Play lists on real GStreamer graphs, driven by the program's own Qt event loop: two generated
// songs joined by a 2 s transition on a real-time silent sink, and a list of good songs mixed
// with every kind of file a music folder holds that does not play, on the fast sink.
#include "channel/media_fixtures.h"
#include "player/analysis/gst_silence_measurer.h"
#include "player/channel/gst/gst_media_service.h"
#include "player/toolkit/qt/qt_event_loop.h"
#include "player/window/frm_player.h"
#include "support/forwarding_graph.h"
#include "support/real_player.h"
#include "support/song_rows.h"
#include "support/temp_dir.h"
#include "tools/media/mp3_encoder.h"
#include "tools/media/wav_writer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <filesystem>
#include <set>

namespace velorra {
namespace {

// The GStreamer service, keeping a list of the graphs alive so the test can see which of them
// sound in the mix, and the files whose streams came to their end, in order.
class WatchedGst : public MediaService {
public:
    class Graph : public testing::ForwardingGraph<GstMediaGraph> {
    public:
        Graph(WatchedGst& owner, std::unique_ptr<GstMediaGraph> inner) : ForwardingGraph(std::move(inner)), owner_(owner) {
            owner_.live_.insert(this);
            inner_->onStream = [this](StreamEvent e, const std::string& why) {
                if (e == StreamEvent::Ended) owner_.ended.push_back(file);
                if (onStream) onStream(e, why);
            };
        }
        ~Graph() override { owner_.live_.erase(this); }
        bool render(const std::string& path) override {
            file = path;
            return inner_->render(path);
        }

        // Whether its sound is in the mix.
        bool sounding() const { return inner_->sounding(); }
        std::string file;

    private:
        WatchedGst& owner_;
    };

    WatchedGst(toolkit::EventLoop& loop, AudioOutput output) : gst_(loop, output) {}

    std::unique_ptr<MediaGraph> createGraph(const std::string& device) override {
        std::unique_ptr<GstMediaGraph> inner(static_cast<GstMediaGraph*>(gst_.createGraph(device).release()));
        if (!inner) return nullptr;
        return std::make_unique<Graph>(*this, std::move(inner));
    }
    std::vector<OutputDeviceEntry> outputDevices() override { return {}; }
    std::optional<double> probeDuration(const std::string& path) override { return gst_.probeDuration(path); }

    const Graph* liveGraphFor(const std::string& file) const {
        for (const Graph* g : live_)
            if (g->file == file) return g;
        return nullptr;
    }
    std::vector<std::string> ended;

private:
    GstMediaService gst_;
    std::set<Graph*> live_;
};

using testing::spinUntil;

TEST(PlaybackOnGStreamer, TheFirstSongStopsAtTheEndOfTheTransitionAndTheSecondPlaysOn) {
    testing::TempDir folder("velorra-playback");
    const std::string first = folder.path("first.mp3");
    const std::string second = folder.path("second.mp3");
    media::writeMp3(first, media::tune(1), 3.0, media::Mp3Kind::ConstantNoXing);
    media::writeMp3(second, media::tune(2), 9.0, media::Mp3Kind::ConstantNoXing);

    toolkit::qt::QtEventLoop loop;
    WatchedGst gst{loop, AudioOutput::SilentRealTime};
    testing::RealPlayer real{loop, gst};
    real.settings.values["Velorra/Transitions/TransitionTime"] = "2";
    real.settings.values["Velorra/BasicAudio/Volume"] = "85";
    frmPlayer& player = real.player;
    player.show();
    for (const std::string& path : {first, second}) {
        testing::addSongRow(player.lstClipList, path);
    }

    player.btnPlay.click();
    ASSERT_NE(gst.liveGraphFor(first), nullptr);
    EXPECT_TRUE(gst.liveGraphFor(first)->sounding());
    ASSERT_TRUE(spinUntil([&] { return player.CurrentIndex == 2; }, 15000));
    EXPECT_TRUE(player.playback.tmrTransition.Enabled());
    ASSERT_TRUE(spinUntil([&] { return !player.playback.tmrTransition.Enabled(); }, 15000));

    const auto* ended = gst.liveGraphFor(first);
    const auto* playing = gst.liveGraphFor(second);
    ASSERT_NE(ended, nullptr);
    ASSERT_NE(playing, nullptr);
    EXPECT_FALSE(ended->sounding());
    EXPECT_TRUE(playing->sounding());
    EXPECT_EQ(player.vscVolume[0].Value(), 0);
    EXPECT_EQ(player.vscVolume[1].Value(), 85);
    EXPECT_EQ(player.playback.Channels[0]->Filename(), second);
    // The second song moves on while the first stays where it stopped. What the output still
    // held of the first song leaves it first: until then its position nears where it stopped.
    spinUntil([] { return false; }, 200);
    const int32_t endedAt = player.playback.Channels[1]->Position();
    const int32_t before = player.playback.Channels[0]->Position();
    ASSERT_TRUE(spinUntil([&] { return player.playback.Channels[0]->Position() > before; }, 5000));
    EXPECT_EQ(player.playback.Channels[1]->Position(), endedAt);

    player.unload();
    EXPECT_FALSE(playing->sounding());
}

// Between good songs, every file that does not play: an MP3 cut short (it plays what is left),
// a WAV in a codec nothing decodes (its header tells 3 s), noise named .mp3, an empty file, a
// folder named x.mp3 and a file that is gone. With a 1 s transition the list goes on past each
// of them, and every good song plays to its end, in order.
TEST(PlaybackOnGStreamer, EveryGoodSongPlaysInOrderPastEveryFileThatDoesNot) {
    testing::TempDir folder("velorra-bad-files");
    const auto path = [&](const char* name) { return folder.path(name); };
    const auto song = [&](const char* name, int tune) {
        if (std::string(name).ends_with(".wav"))
            media::writeWav(path(name), media::tune(tune), 2.0);
        else
            media::writeMp3(path(name), media::tune(tune), 2.0, media::Mp3Kind::ConstantNoXing);
        return path(name);
    };
    const auto bytes = [&](const char* name, const std::string& content) {
        testing::writeFile(path(name), content);
        return path(name);
    };
    media::writeMp3(path("whole.mp3"), media::tune(6), 4.0, media::Mp3Kind::VariableXing);
    const std::string whole = testing::readFile(path("whole.mp3"));
    std::filesystem::create_directory(path("x.mp3"));

    const std::vector<std::string> list = {
        song("one.mp3", 1),
        bytes("cut.mp3", whole.substr(0, whole.size() / 3)),
        song("two.wav", 2),
        bytes("odd.wav", test::undecodableWav(3.0)),
        song("three.mp3", 3),
        bytes("noise.mp3", test::randomBytes(300000, 9)),
        bytes("empty.mp3", ""),
        song("four.mp3", 4),
        path("x.mp3"),
        path("gone.mp3"),
        song("five.wav", 5),
    };

    toolkit::qt::QtEventLoop loop;
    WatchedGst gst{loop, AudioOutput::SilentFast};
    testing::RealPlayer real{loop, gst};
    real.settings.values["Velorra/Transitions/TransitionTime"] = "1";
    frmPlayer& player = real.player;
    player.show();
    for (const std::string& p : list) {
        testing::addSongRow(player.lstClipList, p);
    }

    player.btnPlay.click();
    ASSERT_TRUE(spinUntil([&] { return !gst.ended.empty() && gst.ended.back() == list.back(); }, 60000));
    EXPECT_EQ(gst.ended, (std::vector<std::string>{list[0], list[1], list[2], list[4], list[7], list[10]}));
    for (const int row : {4, 6, 7, 9, 10}) EXPECT_EQ(player.lstClipList.text(row, 9), row == 4 ? "3" : "0") << row;
    player.unload();
}

}  // namespace
}  // namespace velorra
