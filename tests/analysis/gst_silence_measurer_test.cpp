// The silence measurer on GStreamer with generated songs: lead-in and tail found within 0.1 s,
// one song after another, every result told on the loop's thread, songs that cannot be decoded
// told as failed, and nothing told once the measurer is gone.
#include "player/analysis/gst_silence_measurer.h"
#include "analysis/quiet_song.h"
#include "support/manual_loop.h"
#include "support/temp_dir.h"
#include "tools/media/mp3_encoder.h"
#include "tools/media/wav_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace velorra {
namespace {

struct Told {
    std::string path;
    Measurement measurement;
    std::thread::id thread;
};

TEST(GstSilenceMeasurer, FindsLeadInAndTailOfGeneratedSongsOneAfterAnother) {
    testing::TempDir folder("velorra-measure");
    const auto mp3 = [&](const std::string& name, double leadIn, double tone, double tail, media::WavFormat format,
                         media::Mp3Kind kind) {
        const std::string wav = folder.path(name + ".wav"), path = folder.path(name);
        media::writeWav(wav, testing::renderQuietSong(leadIn, tone, tail, format), format);
        media::encodeMp3(wav, path, kind);
        return path;
    };
    // The song of the cross-fade story; and music from the first moment to the last.
    const std::string story = mp3("story.mp3", 3.5, 8.0, 4.5, {}, media::Mp3Kind::ConstantNoXing);
    const std::string music = mp3("music.mp3", 0.0, 3.0, 0.0, {22050, 1}, media::Mp3Kind::VariableXing);
    const std::string broken = folder.makeFile("broken.mp3", std::string(20000, '\x5a'));
    const std::string missing = folder.path("missing.mp3");

    testing::ManualLoop loop;
    std::vector<Told> told;
    GstSilenceMeasurer measurer(loop);
    measurer.onMeasured = [&](const std::string& path, const Measurement& m) {
        told.push_back({path, m, std::this_thread::get_id()});
    };
    const std::vector<std::string> order{story, broken, missing, music};
    for (const auto& path : order) measurer.measure(path);
    EXPECT_TRUE(told.empty());  // never told from inside measure()
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (told.size() < order.size() && std::chrono::steady_clock::now() < deadline) {
        loop.doEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(told.size(), order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(told[i].path, order[i]);
        EXPECT_EQ(told[i].thread, std::this_thread::get_id());
    }
    EXPECT_NEAR(told[0].measurement.silence.leadIn, 3.5, 0.1);
    EXPECT_NEAR(told[0].measurement.silence.tail, 4.5, 0.1);
    EXPECT_FALSE(told[0].measurement.failed);
    for (const size_t failed : {1, 2}) {
        EXPECT_TRUE(told[failed].measurement.failed);
        EXPECT_EQ(told[failed].measurement.silence, Silence{});
    }
    EXPECT_NEAR(told[3].measurement.silence.leadIn, 0.0, 0.1);
    EXPECT_NEAR(told[3].measurement.silence.tail, 0.0, 0.1);
}

TEST(GstSilenceMeasurer, AMeasurerThatGoesWhileItDecodesTellsNothingMore) {
    testing::TempDir folder("velorra-measure");
    const std::string song = folder.path("long.wav");
    media::writeWav(song, testing::renderQuietSong(1.0, 60.0, 1.0, {}), {});
    testing::ManualLoop loop;
    int told = 0;
    {
        GstSilenceMeasurer measurer(loop);
        measurer.onMeasured = [&](const std::string&, const Measurement&) { ++told; };
        measurer.measure(song);
        measurer.measure(song);
    }
    loop.doEvents();
    EXPECT_EQ(told, 0);
}

}  // namespace
}  // namespace velorra
