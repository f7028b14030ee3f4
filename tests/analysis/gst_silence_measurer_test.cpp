// The silence measurer on GStreamer with generated songs: lead-in and tail found within 0.1 s,
// one song after another, every result told on the loop's thread, and songs that cannot be
// decoded told as having no silence.
#include "player/analysis/gst_silence_measurer.h"
#include "analysis/quiet_song.h"
#include "support/manual_loop.h"
#include "support/temp_dir.h"
#include "tools/media/mp3_encoder.h"
#include "tools/media/wav_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

namespace velorra {
namespace {

struct Result {
    std::string path;
    Silence silence;
    std::thread::id thread;
};

TEST(GstSilenceMeasurer, FindsLeadInAndTailOfGeneratedSongsOneAfterAnother) {
    testing::TempDir folder("velorra-measure");
    struct Song {
        std::string path;
        testing::QuietSong quiet;
    };
    // The song of the cross-fade story, encoded at a constant bitrate without a Xing frame.
    const Song scenario{folder.path("scenario.mp3"), {3.5, 8.0, 4.5}};
    const auto scenarioWav = folder.path("scenario.wav");
    media::writeWav(scenarioWav, testing::renderQuietSong(scenario.quiet, {}), {});
    media::encodeMp3(scenarioWav, scenario.path, media::Mp3Kind::ConstantNoXing);
    // Music on the right channel only, between stretches of digital silence.
    const Song rightOnly{folder.path("right.wav"), {0.61, 1.5, 2.34, -200.0, 1}};
    media::writeWav(rightOnly.path, testing::renderQuietSong(rightOnly.quiet, {48000, 2}), {48000, 2});
    // Variable bitrate with a Xing frame, mono at 22050 Hz: music from the first to the last moment.
    const Song noSilence{folder.path("vbr.mp3"), {0.0, 3.0, 0.0}};
    const auto noSilenceWav = folder.path("vbr.wav");
    media::writeWav(noSilenceWav, testing::renderQuietSong(noSilence.quiet, {22050, 1}), {22050, 1});
    media::encodeMp3(noSilenceWav, noSilence.path, media::Mp3Kind::VariableXing);
    // Nothing but near-silence.
    const Song quiet{folder.path("quiet.wav"), {2.0, 0.0, 0.0}};
    media::writeWav(quiet.path, testing::renderQuietSong(quiet.quiet, {}), {});
    std::mt19937 random(3);
    std::string junk(20000, '\0');
    for (auto& c : junk) c = static_cast<char>(random());
    const std::string broken = folder.makeFile("broken.mp3", junk);
    const std::string missing = folder.path("missing.mp3");

    testing::ManualLoop loop;
    std::vector<Result> results;
    {
        GstSilenceMeasurer measurer(loop);
        measurer.onMeasured = [&](const std::string& path, Silence silence) {
            results.push_back({path, silence, std::this_thread::get_id()});
        };
        const std::vector<std::string> order{scenario.path, broken, rightOnly.path, missing, noSilence.path, quiet.path};
        for (const auto& path : order) measurer.measure(path);
        EXPECT_TRUE(results.empty());  // never told from inside measure()
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (results.size() < order.size() && std::chrono::steady_clock::now() < deadline) {
            loop.doEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_EQ(results.size(), order.size());
        for (size_t i = 0; i < order.size(); ++i) {
            EXPECT_EQ(results[i].path, order[i]);
            EXPECT_EQ(results[i].thread, std::this_thread::get_id());
        }
    }
    const auto expectNear = [](const Result& r, const testing::QuietSong& song) {
        EXPECT_NEAR(r.silence.leadIn, song.leadIn, 0.1) << r.path;
        EXPECT_NEAR(r.silence.tail, song.tail, 0.1) << r.path;
    };
    expectNear(results[0], scenario.quiet);
    EXPECT_EQ(results[1].silence, Silence{});
    expectNear(results[2], rightOnly.quiet);
    EXPECT_EQ(results[3].silence, Silence{});
    expectNear(results[4], noSilence.quiet);
    EXPECT_EQ(results[5].silence, Silence{});
}

TEST(GstSilenceMeasurer, AMeasurerThatGoesWhileItDecodesTellsNothingMore) {
    testing::TempDir folder("velorra-measure");
    const std::string song = folder.path("long.wav");
    media::writeWav(song, testing::renderQuietSong({1.0, 60.0, 1.0}, {}), {});
    testing::ManualLoop loop;
    int told = 0;
    {
        GstSilenceMeasurer measurer(loop);
        measurer.onMeasured = [&](const std::string&, Silence) { ++told; };
        measurer.measure(song);
        measurer.measure(song);
    }
    loop.doEvents();
    EXPECT_EQ(told, 0);
}

}  // namespace
}  // namespace velorra
