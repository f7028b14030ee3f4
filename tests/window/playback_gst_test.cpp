// Two generated songs joined by a 2 s transition on real GStreamer graphs with a real-time silent
// sink, driven by the program's own Qt event loop: at the end of the transition the first song's
// channel is stopped and the second one plays.
#include "player/analysis/gst_silence_measurer.h"
#include "player/channel/gst/gst_media_service.h"
#include "player/toolkit/qt/qt_event_loop.h"
#include "player/window/frm_player.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "tools/media/mp3_encoder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <set>

namespace velorra {
namespace {

// The GStreamer service, keeping a list of the graphs alive so the test can look at their
// pipelines.
class WatchedGst : public MediaService {
public:
    class Graph : public MediaGraph {
    public:
        Graph(WatchedGst& owner, std::unique_ptr<GstMediaGraph> inner) : owner_(owner), inner_(std::move(inner)) {
            owner_.live_.insert(this);
        }
        ~Graph() override { owner_.live_.erase(this); }
        bool render(const std::string& path) override {
            file = path;
            return inner_->render(path);
        }
        bool run() override { return inner_->run(); }
        bool pause() override { return inner_->pause(); }
        bool stop() override { return inner_->stop(); }
        std::optional<double> duration() override { return inner_->duration(); }
        std::optional<double> position() override { return inner_->position(); }
        bool setPosition(double s) override { return inner_->setPosition(s); }
        std::optional<double> rate() override { return inner_->rate(); }
        bool setRate(double r) override { return inner_->setRate(r); }
        std::optional<int32_t> volume() override { return inner_->volume(); }
        bool setVolume(int32_t v, std::chrono::milliseconds ramp) override { return inner_->setVolume(v, ramp); }
        std::optional<int32_t> balance() override { return inner_->balance(); }
        bool setBalance(int32_t b) override { return inner_->setBalance(b); }
        std::vector<std::string> filterNames() override { return inner_->filterNames(); }

        // The state the pipeline settles in.
        GstState state() const {
            GstState now = GST_STATE_VOID_PENDING;
            gst_element_get_state(inner_->pipeline(), &now, nullptr, 5 * GST_SECOND);
            return now;
        }
        std::string file;

    private:
        WatchedGst& owner_;
        std::unique_ptr<GstMediaGraph> inner_;
    };

    std::unique_ptr<MediaGraph> createGraph(const std::string&) override {
        auto inner = GstMediaGraph::create(AudioOutput::SilentRealTime);
        if (!inner) return nullptr;
        return std::make_unique<Graph>(*this, std::move(inner));
    }
    std::vector<std::string> outputDevices() override { return {}; }
    std::optional<double> probeDuration(const std::string& path) override { return gst_.probeDuration(path); }

    const Graph* liveGraphFor(const std::string& file) const {
        for (const Graph* g : live_)
            if (g->file == file) return g;
        return nullptr;
    }

private:
    GstMediaService gst_{AudioOutput::SilentRealTime};
    std::set<Graph*> live_;
};

// Lets the Qt loop run until `done` holds or `limitMs` pass.
template <class Done>
bool spinUntil(Done done, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

TEST(PlaybackOnGStreamer, TheFirstSongStopsAtTheEndOfTheTransitionAndTheSecondPlaysOn) {
    testing::TempDir folder("velorra-playback");
    const std::string first = folder.path("first.mp3");
    const std::string second = folder.path("second.mp3");
    media::writeMp3(first, media::tune(1), 3.0, media::Mp3Kind::ConstantNoXing);
    media::writeMp3(second, media::tune(2), 9.0, media::Mp3Kind::ConstantNoXing);

    toolkit::qt::QtEventLoop loop;
    WatchedGst gst;
    testing::MemorySettings settings;
    settings.values["Velorra/Transitions/TransitionTime"] = "2";
    settings.values["Velorra/BasicAudio/Volume"] = "85";
    testing::ScriptedDialogs dialogs;
    testing::RecordedMessages messages;
    testing::RecordedLinks links;
    GstSilenceMeasurer silence{loop};
    frmPlayer player{{loop, gst, settings, dialogs, messages, links, silence}, ""};
    player.show();
    for (const std::string& path : {first, second}) {
        player.lstClipList.add("", path);
        player.lstClipList.setText(player.lstClipList.count(), 7, path);
    }

    player.btnPlay.click();
    ASSERT_NE(gst.liveGraphFor(first), nullptr);
    EXPECT_EQ(gst.liveGraphFor(first)->state(), GST_STATE_PLAYING);
    ASSERT_TRUE(spinUntil([&] { return player.CurrentIndex == 2; }, 15000));
    EXPECT_TRUE(player.tmrTransition.Enabled());
    ASSERT_TRUE(spinUntil([&] { return !player.tmrTransition.Enabled(); }, 15000));

    const auto* ended = gst.liveGraphFor(first);
    const auto* playing = gst.liveGraphFor(second);
    ASSERT_NE(ended, nullptr);
    ASSERT_NE(playing, nullptr);
    EXPECT_EQ(ended->state(), GST_STATE_PAUSED);
    EXPECT_EQ(playing->state(), GST_STATE_PLAYING);
    EXPECT_EQ(player.vscVolume[0].Value(), 0);
    EXPECT_EQ(player.vscVolume[1].Value(), 85);
    EXPECT_EQ(player.Channels[0]->Filename(), second);
    // The second song moves on while the first stays where it stopped.
    const int32_t endedAt = player.Channels[1]->Position();
    const int32_t before = player.Channels[0]->Position();
    ASSERT_TRUE(spinUntil([&] { return player.Channels[0]->Position() > before; }, 5000));
    EXPECT_EQ(player.Channels[1]->Position(), endedAt);

    player.unload();
    EXPECT_EQ(playing->state(), GST_STATE_PAUSED);
}

}  // namespace
}  // namespace velorra
