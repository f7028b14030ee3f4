// The channel on the real GStreamer service, playing files made for the tests.
#include <dirent.h>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "channel/media_fixtures.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "player/channel/gst/gst_media_service.h"
#include "player/channel/player.h"
#include "player/channel/whole_seconds.h"
#include "support/manual_loop.h"
#include "tools/media/decoded_length.h"

namespace velorra {
namespace {

using test::channelMedia;
using namespace std::chrono_literals;

// The loop the graphs tell through. The tests run it while they wait, as the window's loop runs.
testing::ManualLoop& loop() {
    static testing::ManualLoop theLoop;
    return theLoop;
}

// The GStreamer service, keeping hold of the pipelines it makes so that a test can look inside.
class WatchedService : public MediaService {
public:
    explicit WatchedService(AudioOutput output) : real_(loop(), output) {}

    std::unique_ptr<MediaGraph> createGraph(const std::string& device) override {
        auto graph = real_.createGraph(device);
        if (auto* gst = dynamic_cast<GstMediaGraph*>(graph.get())) {
            pipelines_.emplace_back(GST_ELEMENT(gst_object_ref(gst->pipeline())));
            last_ = gst;
        }
        return graph;
    }
    std::vector<OutputDeviceEntry> outputDevices() override { return {}; }
    std::optional<double> probeDuration(const std::string& path) override { return real_.probeDuration(path); }

    int graphsMade() const { return static_cast<int>(pipelines_.size()); }
    GstElement* pipeline() const { return pipelines_.back().get(); }
    // The last graph made, while its channel lives, and its branch of the mix.
    const GstMediaGraph& graph() const { return *last_; }
    Mixer& mixer() { return real_.mixer(); }
    Mixer::Branch branch() const { return last_->branch(); }
    const GstMixOutput& output() const { return real_.output(); }

private:
    GstMediaService real_;
    std::vector<GstHandle<GstElement>> pipelines_;
    GstMediaGraph* last_ = nullptr;
};

// Runs the loop until the pipeline has settled and its bus has nothing more to say.
void settle(GstElement* pipeline) {
    for (int calm = 0, round = 0; calm < 2 && round < 200; ++round) {
        loop().doEvents();
        const bool moving = gst_element_get_state(pipeline, nullptr, nullptr, 20 * GST_MSECOND) == GST_STATE_CHANGE_ASYNC;
        calm = moving || loop().hasPosted() ? 0 : calm + 1;
    }
}

GstState stateOf(GstElement* pipeline) {
    settle(pipeline);
    GstState state = GST_STATE_VOID_PENDING;
    gst_element_get_state(pipeline, &state, nullptr, 0);
    return state;
}

// Runs the loop until `done` holds; false when it does not within a few seconds.
template <class Done>
bool runUntil(Done done) {
    for (int i = 0; i < 200 && !done(); ++i) {
        std::this_thread::sleep_for(25ms);
        loop().doEvents();
    }
    return done();
}

double pipelinePosition(GstElement* pipeline) {
    gint64 ns = -1;
    gst_element_query_position(pipeline, GST_FORMAT_TIME, &ns);
    return static_cast<double>(ns) / GST_SECOND;
}

// Waits until the channel's position has reached `seconds`; false when it does not move there.
bool waitForPosition(Player& player, int32_t seconds) {
    return runUntil([&] { return player.Position() >= seconds; });
}

int entries(const char* dir) {
    int n = 0;
    if (DIR* d = opendir(dir)) {
        while (readdir(d)) ++n;
        closedir(d);
    }
    return n;
}

std::unique_ptr<Player> opened(MediaService& service, const std::filesystem::path& path) {
    auto player = std::make_unique<Player>(service);
    player->setFilename(path.string());
    player->OpenFile();
    return player;
}

TEST(ChannelPlayerGst, DurationIsTheDecodedLengthInWholeSeconds) {
    GstMediaService service(loop(), AudioOutput::SilentFast);
    const auto& m = channelMedia();
    for (const auto& path : {m.cbr, m.vbrXing, m.vbrNoXing, m.wav}) {
        Player player(service);
        player.setFilename(path.string());
        EXPECT_EQ(player.OpenFile(), kOpenOk) << path;
        EXPECT_EQ(player.Duration(), *roundToInt32(media::decodedSeconds(path))) << path;
    }
    {
        // FLAC in Ogg: no header scan knows it, and nothing waits for the graph: the length is
        // learned once the chain is ready.
        Player player(service);
        player.setFilename(m.oggFlac.string());
        EXPECT_EQ(player.OpenFile(), kOpenNoDuration);
        EXPECT_EQ(player.Duration(), 0);
        EXPECT_TRUE(runUntil([&] { return player.learnDuration() || player.Duration() > 0; }));
        EXPECT_EQ(player.Duration(), *roundToInt32(media::decodedSeconds(m.oggFlac)));
    }
    Player player(service);
    player.setFilename(m.wav1845.string());
    player.OpenFile();
    EXPECT_EQ(player.Duration(), 184);
    player.setFilename(m.wav1855.string());
    player.OpenFile();
    EXPECT_EQ(player.Duration(), 186);
}

TEST(ChannelPlayerGst, FilesWithoutSoundGiveZeroAndTheChannelCarriesOn) {
    GstMediaService service(loop(), AudioOutput::SilentFast);
    const std::filesystem::path noSound[] = {
        channelMedia().dir / "missing.mp3",
        test::writeBytes("empty.mp3", ""),
        test::writeBytes("letter.mp3", "Dear reader, this is not a song.\n"),
        test::writeBytes("random.mp3", test::randomBytes(200000, 3)),
        // An MP3 frame header, then no more MP3.
        test::writeBytes("header.mp3", "\xFF\xFB\x90\x64" + test::randomBytes(200000, 4)),
        channelMedia().dir,
    };
    for (const auto& path : noSound) {
        Player player(service);
        int failures = 0;
        player.onStream = [&](StreamEvent e) { failures += e == StreamEvent::Failed; };
        player.setDuration(99);
        player.setFilename(path.string());
        EXPECT_NE(player.OpenFile(), kOpenOk) << path;
        EXPECT_EQ(player.Duration(), 0) << path;
        player.PlayFile();
        player.setPosition(3);
        player.setVolume(-300);
        EXPECT_TRUE(runUntil([&] { return failures == 1; })) << path;
        EXPECT_EQ(player.Position(), 0) << path;
        EXPECT_EQ(player.Volume(), 0) << path;
        EXPECT_EQ(player.Pitch(), 0.0) << path;
        player.StopFile();
    }
}

// The channel hears its stream: a file cut short ends early, a file whose header promises sound
// in a codec nothing decodes fails once it is played and is left failed with Duration 0, and a
// named pipe is refused without waiting for a writer.
TEST(ChannelPlayerGst, TheStreamTellsItsEndAndItsFailure) {
    GstMediaService service(loop(), AudioOutput::SilentFast);
    const std::string whole = testing::readFile(channelMedia().vbrXing);
    const auto cut = test::writeBytes("cut.mp3", whole.substr(0, whole.size() / 3));
    const auto odd = test::writeBytes("odd.wav", test::undecodableWav(3.0));
    const auto pipe = channelMedia().dir / "pipe.mp3";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);

    std::vector<StreamEvent> told;
    const auto listen = [&](Player& p) { p.onStream = [&](StreamEvent e) { told.push_back(e); }; };
    {
        auto player = opened(service, cut);
        listen(*player);
        player->PlayFile();
        ASSERT_TRUE(runUntil([&] { return !told.empty(); }));
        EXPECT_EQ(told, std::vector{StreamEvent::Ended});
        EXPECT_GT(player->Duration(), 0);
        EXPECT_FALSE(player->Failed());
    }
    told.clear();
    {
        auto player = opened(service, odd);
        EXPECT_EQ(player->Duration(), 3);
        listen(*player);
        player->setPosition(1);
        player->PlayFile();
        ASSERT_TRUE(runUntil([&] { return !told.empty(); }));
        EXPECT_EQ(told, std::vector{StreamEvent::Failed});
        EXPECT_TRUE(player->Failed());
        EXPECT_EQ(player->Duration(), 0);
        EXPECT_EQ(player->Position(), 0);
    }
    told.clear();
    const auto graph = service.createGraph({});
    graph->onStream = [&](StreamEvent e, const std::string&) { told.push_back(e); };
    EXPECT_FALSE(graph->render(pipe.string()));
    ASSERT_TRUE(runUntil([&] { return !told.empty(); }));
    EXPECT_EQ(told, std::vector{StreamEvent::Failed});
}

TEST(ChannelPlayerGst, ANamedPipeIsNoSongAndHoldsNothing) {
    // Neither the header scan nor GStreamer may wait in open() for a writer; a channel that
    // waits hangs until the watchdog ends the child, which then gives no answer.
    const testing::TempDir dir;
    const std::string pipe = dir.path("pipe.mp3");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto opened = testing::runInChild(testing::watchdog(30), [&] {
        GstMediaService service(loop(), AudioOutput::SilentFast);
        Player player(service);
        player.setFilename(pipe);
        player.OpenFile();
        player.PlayFile();
        return "duration " + std::to_string(player.Duration()) + ", position " + std::to_string(player.Position());
    });
    EXPECT_EQ(opened.output, "duration 0, position 0");
}

TEST(ChannelPlayerGst, ACutMp3HasTheLengthOfWhatIsLeft) {
    GstMediaService service(loop(), AudioOutput::SilentFast);
    for (const auto& path : {channelMedia().cbr, channelMedia().vbrXing}) {
        const std::string whole = testing::readFile(path);
        const auto cut = test::writeBytes("half-" + path.filename().string(), whole.substr(0, whole.size() / 2));
        Player player(service);
        player.setFilename(cut.string());
        player.OpenFile();
        EXPECT_EQ(player.Duration(), *roundToInt32(media::decodedSeconds(cut))) << cut;
        // The cut file still renders: its graph stands stopped at the start. (Played on the
        // fast sink the position would race ahead.)
        EXPECT_EQ(player.Position(), 0);
    }
}

TEST(ChannelPlayerGst, TheGraphIsBuiltWhenFirstNeededStoppedAtTheStart) {
    WatchedService service(AudioOutput::SilentFast);
    auto channel = opened(service, channelMedia().vbrXing);
    Player& player = *channel;
    EXPECT_EQ(player.Duration(), 8);
    EXPECT_EQ(service.graphsMade(), 0);
    EXPECT_EQ(player.Position(), 0);
    ASSERT_EQ(service.graphsMade(), 1);
    // The file is opened on the output's worker.
    EXPECT_TRUE(runUntil([&] { return stateOf(service.pipeline()) == GST_STATE_PAUSED; }));
    EXPECT_EQ(player.Volume(), 0);
    EXPECT_EQ(player.Pitch(), 1.0);
    EXPECT_EQ(service.graphsMade(), 1);
    // Opening again replaces the graph, again lazily.
    player.OpenFile();
    EXPECT_TRUE(runUntil([&] { return stateOf(service.pipeline()) == GST_STATE_NULL; }));
    player.PlayFile();
    EXPECT_EQ(service.graphsMade(), 2);
}

TEST(ChannelPlayerGst, PlayingMovesThePositionPauseHoldsItStopKeepsIt) {
    WatchedService service(AudioOutput::SilentRealTime);
    auto channel = opened(service, channelMedia().vbrXing);
    Player& player = *channel;
    player.PlayFile();
    EXPECT_TRUE(service.graph().sounding());
    ASSERT_TRUE(waitForPosition(player, 1));

    player.PauseFile();
    EXPECT_FALSE(service.graph().sounding());
    const int32_t paused = player.Position();
    std::this_thread::sleep_for(1200ms);
    EXPECT_EQ(player.Position(), paused);
    // The pipeline decodes on ahead of the mix; only the mix halts.
    EXPECT_EQ(stateOf(service.pipeline()), GST_STATE_PLAYING);

    player.setPosition(5);
    player.PlayFile();
    ASSERT_TRUE(waitForPosition(player, 6));
    player.StopFile();
    EXPECT_TRUE(runUntil([&] { return service.mixer().halted(service.branch()); }));
    const int32_t stoppedAt = player.Position();
    std::this_thread::sleep_for(1200ms);
    EXPECT_EQ(player.Position(), stoppedAt);
    player.PlayFile();
    EXPECT_TRUE(service.graph().sounding());
    EXPECT_TRUE(waitForPosition(player, stoppedAt + 1));
}

TEST(ChannelPlayerGst, PositionVolumeBalanceAndRateReachThePlaybin) {
    WatchedService service(AudioOutput::SilentFast);
    auto channel = opened(service, channelMedia().cbr);
    Player& player = *channel;
    player.setPosition(3);
    EXPECT_EQ(player.Position(), 3);  // where it is going
    // The seek is made on the output's worker.
    EXPECT_TRUE(runUntil([&] { return std::abs(pipelinePosition(service.pipeline()) - 3.0) < 0.05; }));
    EXPECT_EQ(player.Position(), 3);

    player.setVolume(-2000);
    EXPECT_NEAR(service.mixer().gain(service.branch()), 0.1, 1e-6);
    EXPECT_EQ(player.Volume(), -2000);
    player.setVolume(-10000);
    EXPECT_EQ(player.Volume(), -10000);
    player.setVolume(500);  // louder than full: the service refuses it
    EXPECT_EQ(player.Volume(), -10000);

    const auto panorama = [&] { return service.mixer().balance(service.branch()); };
    player.setBalance(-10);
    EXPECT_FLOAT_EQ(panorama(), -1.0f);
    EXPECT_EQ(player.Balance(), -10000);
    player.setBalance(3);
    EXPECT_FLOAT_EQ(panorama(), 0.3f);
    player.setBalance(3000000);  // times 1000 does not fit 32 bits: the service is not called
    EXPECT_FLOAT_EQ(panorama(), 0.3f);
    EXPECT_EQ(player.Balance(), 3000);

    player.setPitch(1.5);
    EXPECT_DOUBLE_EQ(service.mixer().rate(service.branch()), 1.5);
    EXPECT_DOUBLE_EQ(player.Pitch(), 1.5);
    EXPECT_EQ(player.Position(), 3);
    player.setPitch(0.0);
    EXPECT_DOUBLE_EQ(player.Pitch(), 1.5);
}

// An MP3 is decoded straight to float: its sound reaches the mix as the decoder made it, not
// rounded to 16 bits on the way.
// The first `frames` frames of the file's sound as the mix pulled by hand hears them, from `from`
// seconds in, with the silence before its first sound left out; fewer when the stream ends.
std::vector<float> heard(MediaService& service, Mixer& mixer, const std::filesystem::path& path,
                         int from, size_t frames) {
    auto channel = opened(service, path);
    bool ended = false;
    channel->onStream = [&](StreamEvent) { ended = true; };
    channel->setPosition(from);
    channel->PlayFile();
    std::vector<float> stretch(2 * GstMixOutput::kRate / 100), sound;
    for (int i = 0; i < 2000 && sound.size() < 2 * frames && !ended; ++i) {
        loop().doEvents();
        mixer.mix(stretch.data(), stretch.size() / 2);
        for (float sample : stretch)
            if (!sound.empty() || sample != 0.0f) sound.push_back(sample);
        if (sound.empty()) std::this_thread::sleep_for(10ms);  // still building
    }
    sound.resize(std::min(sound.size(), 2 * frames));
    return sound;
}

// An ID3v2.3 tag of one private frame holding `data`, as a tagger that keeps a picture or a
// preview there writes it.
std::string id3v2Tag(const std::string& data) {
    const std::string frame = std::string("PRIV") + char(data.size() >> 24) + char(data.size() >> 16) +
                              char(data.size() >> 8) + char(data.size()) + std::string(2, '\0') + data;
    const size_t n = frame.size();
    return std::string("ID3\3\0\0", 6) + char((n >> 21) & 127) + char((n >> 14) & 127) + char((n >> 7) & 127) +
           char(n & 127) + frame;
}

// The decoder's own samples reach the mix: an MP3 is heard at the full precision of its decoder
// (not rounded to 16 bits on the way), and the tags at either end of the file are not heard, even
// a leading tag that holds MPEG frames (here a copy of the song's first 8 KB), which a parser
// reading the file from its first byte would take for sound.
TEST(ChannelPlayerGst, AnMp3IsHeardAtItsDecodersFullPrecisionAndItsTagsAreNotHeard) {
    WatchedService service(AudioOutput::Pulled);
    const std::string song = testing::readFile(channelMedia().cbr);
    const auto tagged = test::writeBytes("tagged.mp3", id3v2Tag(std::string("preview") + '\0' + song.substr(0, 8192)) +
                                                           song + "TAG" + std::string(125, 'x'));
    const size_t second = GstMixOutput::kRate;
    // Past the encoder's silent start and the 10 ms rise the gain is 1: each sample is then the
    // decoder's own.
    const auto plain = heard(service, service.mixer(), channelMedia().cbr, 2, second);
    ASSERT_EQ(plain.size(), 2 * second);
    const auto offGrid = std::count_if(plain.begin(), plain.end(), [](float s) { return std::fmod(double(s) * 32768, 1.0) != 0.0; });
    EXPECT_GT(offGrid, long(second));
    const auto withTags = heard(service, service.mixer(), tagged, 0, 3 * second);
    EXPECT_EQ(withTags.size(), 2 * 3 * second);
    EXPECT_TRUE(withTags == heard(service, service.mixer(), channelMedia().cbr, 0, 3 * second));
}

TEST(ChannelPlayerGst, DroppingAPlayingChannelStopsItsSound) {
    WatchedService service(AudioOutput::SilentRealTime);
    {
        auto player = opened(service, channelMedia().wav);
        player->PlayFile();
        ASSERT_TRUE(runUntil([&] { return stateOf(service.pipeline()) == GST_STATE_PLAYING; }));
    }
    // Brought down on the output's worker once its fall is mixed.
    EXPECT_TRUE(runUntil([&] { return stateOf(service.pipeline()) == GST_STATE_NULL; }));
}

// The output rests two seconds after the last sound, also when a channel woke it and halted
// before any of its sound was mixed (Play and Stop sent back to back).
TEST(ChannelPlayerGst, TheOutputRestsTwoSecondsAfterTheLastSoundWhateverWokeIt) {
    WatchedService service(AudioOutput::SilentRealTime);
    auto played = opened(service, channelMedia().wav);
    played->PlayFile();
    ASSERT_TRUE(waitForPosition(*played, 1));
    played->StopFile();
    ASSERT_TRUE(runUntil([&] { return service.output().resting(); }));

    auto halted = opened(service, channelMedia().wav);
    halted->PlayFile();
    halted->StopFile();
    ASSERT_TRUE(runUntil([&] { return !service.output().resting(); }));
    EXPECT_TRUE(runUntil([&] { return service.output().resting(); }));
}

TEST(ChannelPlayerGst, ManyChannelsLeaveNoThreadsOrOpenFilesBehind) {
    GstMediaService service(loop(), AudioOutput::SilentFast);
    const auto cycle = [&](const std::filesystem::path& path) {
        auto player = opened(service, path);
        player->PlayFile();
        player->Position();
    };
    // GStreamer keeps a few pooled threads once it has played something. The dropped pipelines
    // come down on the output's worker, a little later: the counts are taken with some of them
    // still up.
    for (int i = 0; i < 5; ++i) cycle(channelMedia().cbr);
    const int threads = entries("/proc/self/task");
    const int files = entries("/proc/self/fd");
    for (int i = 0; i < 200; ++i) cycle(i % 2 ? channelMedia().cbr : channelMedia().wav);
    // The last pipelines' streaming threads end on their own a moment after the pipeline is
    // released; on a busy machine that moment can be long. A leak would leave hundreds.
    for (int waited = 0; waited < 5000 && (entries("/proc/self/task") > threads + 2 ||
                                           entries("/proc/self/fd") > files);
         waited += 50)
        std::this_thread::sleep_for(50ms);
    EXPECT_LE(entries("/proc/self/task"), threads + 2);
    EXPECT_LE(entries("/proc/self/fd"), files);
}

}  // namespace
}  // namespace velorra
