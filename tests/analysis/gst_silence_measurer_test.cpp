// The measurer on GStreamer with generated songs: lead-in and tail found within 0.1 s and the
// loudness agreeing with an independent meter within 0.2 LU (also as read back from the store),
// one song after another, every result told on the loop's thread, songs that cannot be decoded
// told as failed, the loudness of tagged songs taken from their tags, a song whose decode stalls
// given up after 10 s of no progress, nothing told once the measurer is gone, and nothing kept
// of the songs measured.
#include "player/analysis/gst_silence_measurer.h"
#include "analysis/quiet_song.h"
#include "player/analysis/analysis_store.h"
#include "support/manual_loop.h"
#include "support/temp_dir.h"
#include "tools/media/mp3_encoder.h"
#include "tools/media/pipeline.h"
#include "tools/media/tagged_encoder.h"
#include "tools/media/wav_writer.h"

#include <gtest/gtest.h>
#include <taglib/fileref.h>
#include <taglib/mp4file.h>
#include <taglib/tpropertymap.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace velorra {
namespace {

struct Told {
    std::string path;
    Measurement measurement;
    std::thread::id thread;
};

// The integrated loudness of a song by the numpy meter beside this test, on the song as
// GStreamer decodes it into a WAV file.
double independentLoudness(const std::string& song) {
    const std::string wav = song + ".decoded.wav";
    const auto pipeline = media::parsePipeline("filesrc location=\"" + song +
                                               "\" ! decodebin ! audioconvert ! audio/x-raw,format=S16LE ! wavenc ! "
                                               "filesink location=\"" + wav + "\"");
    media::runToEnd(pipeline.get());
    const std::string command = "/usr/bin/python3 " VELORRA_TESTS_DIR "/analysis/bs1770.py '" + wav + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    double lufs = 0.0;
    const bool read = pipe && std::fscanf(pipe, "%lf", &lufs) == 1;
    if (pipe) ::pclose(pipe);
    return read ? lufs : 0.0;
}

// Measures the files in order on the manual loop and hands back what was told, once all were
// told or a minute has passed. `tick` runs between rounds (the watchdog's test moves the clock).
std::vector<Measurement> measureAll(GstSilenceMeasurer& measurer, testing::ManualLoop& loop,
                                    const std::vector<std::string>& paths, const std::function<void()>& tick = {}) {
    std::vector<Measurement> told;
    measurer.onMeasured = [&](const std::string&, const Measurement& m) { told.push_back(m); };
    for (const auto& path : paths) measurer.measure(path);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (told.size() < paths.size() && std::chrono::steady_clock::now() < deadline) {
        loop.doEvents();
        if (tick) tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    measurer.onMeasured = nullptr;
    return told;
}

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

    // The loudness, decoded in the same pass, as the store gives it back in the next run, agrees
    // with the independent meter (the mono song counted once).
    const std::string file = folder.path("cache/analysis.sqlite");
    {
        AnalysisStore store(file);
        for (const Told& t : told) store.store(t.path, t.measurement);
    }
    AnalysisStore store(file);
    store.waitUntilLoaded();
    for (const std::string& song : {story, music}) {
        const auto stored = store.measurement(song);
        ASSERT_TRUE(stored && stored->loudness) << song;
        EXPECT_EQ(stored->source, LoudnessSource::Decoded);
        const double independent = independentLoudness(song);
        std::printf("%s: measured %.2f LUFS, independent meter %.2f LUFS\n", song.c_str(), *stored->loudness, independent);
        EXPECT_NEAR(*stored->loudness, independent, 0.2) << song;
            }
    EXPECT_TRUE(store.measurement(broken)->failed);
}

// Each format's loudness tag, written with TagLib as taggers write it.
void tagLoudness(const std::string& path, media::TaggedFormat format) {
    if (format == media::TaggedFormat::M4a) {
        TagLib::MP4::File file(path.c_str());
        file.tag()->setItem("----:com.apple.iTunes:replaygain_track_gain", TagLib::StringList("-2.00 dB"));
        file.save();
        return;
    }
    TagLib::FileRef file(path.c_str());
    TagLib::PropertyMap properties = file.file()->properties();
    if (format == media::TaggedFormat::Opus) {
        properties.insert("R128_TRACK_GAIN", TagLib::StringList("-1280"));  // -5 dB to -23 LUFS
    } else {
        properties.insert("REPLAYGAIN_TRACK_GAIN", TagLib::StringList(format == media::TaggedFormat::Flac ? "+3.20 dB" : "-7.50 dB"));
        properties.insert("REPLAYGAIN_TRACK_PEAK", TagLib::StringList("0.250000"));
    }
    file.file()->setProperties(properties);
    file.save();
}

TEST(GstSilenceMeasurer, TakesTheLoudnessOfTaggedSongsFromTheirTags) {
    testing::TempDir folder("velorra-measure");
    struct Tagged {
        media::TaggedFormat format;
        const char* name;
        double lufs;
        std::optional<double> peak;
    };
    std::vector<Tagged> formats{{media::TaggedFormat::Mp3Id3v2, "id3v2.mp3", -10.5, 0.25},
                                {media::TaggedFormat::Flac, "vorbis.flac", -21.2, 0.25},
                                {media::TaggedFormat::Opus, "r128.opus", -18.0, std::nullopt},
                                {media::TaggedFormat::M4a, "freeform.m4a", -16.0, std::nullopt}};
    std::erase_if(formats, [](const Tagged& t) { return !media::canEncode(t.format); });
    std::vector<std::string> paths;
    for (const Tagged& t : formats) {
        paths.push_back(folder.path(t.name));
        media::writeTagged(paths.back(), t.format, media::tune(3), 2.0, {});
        tagLoudness(paths.back(), t.format);
    }
    paths.push_back(folder.path("untagged.wav"));
    media::writeWav(paths.back(), media::tune(3), 2.0);

    testing::ManualLoop loop;
    GstSilenceMeasurer measurer(loop);
    const auto told = measureAll(measurer, loop, paths);
    ASSERT_EQ(told.size(), paths.size());
    for (size_t i = 0; i < formats.size(); ++i) {
        EXPECT_EQ(told[i].source, LoudnessSource::Tags) << paths[i];
        EXPECT_NEAR(told[i].loudness.value_or(0), formats[i].lufs, 1e-9) << paths[i];
        // A peak the tags do not tell comes from the decode.
        if (formats[i].peak)
            EXPECT_EQ(told[i].peak, formats[i].peak) << paths[i];
        else
            EXPECT_GT(told[i].peak.value_or(0), 0.05) << paths[i];
    }
    EXPECT_EQ(told.back().source, LoudnessSource::Decoded);
    EXPECT_LT(told.back().loudness.value_or(0), -5.0);
}

TEST(GstSilenceMeasurer, ASongWhoseDecodeStallsIsGivenUpAfterTenSecondsAndTheNextOneIsMeasured) {
    testing::TempDir folder("velorra-measure");
    // A named pipe never starts; an MP3 of a few frames followed by 64 GiB of nothing (a sparse
    // file) decodes its frames and then searches for the next one for minutes.
    const std::string pipe = folder.path("pipe.mp3"), stalls = folder.path("stalls.mp3"), next = folder.path("next.wav");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    media::writeMp3(stalls, media::tune(1), 0.5, media::Mp3Kind::ConstantNoXing);
    std::filesystem::resize_file(stalls, uintmax_t{64} << 30);
    media::writeWav(next, media::tune(2), 1.0);

    testing::ManualLoop loop;
    GstSilenceMeasurer measurer(loop);
    // A virtual second passes every 20 ms, once the song has had time to decode its frames.
    int64_t seconds = 0;
    const auto start = std::chrono::steady_clock::now();
    const auto tick = [&] {
        if (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1500)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        loop.advance(1000);
        ++seconds;
    };
    const auto told = measureAll(measurer, loop, {pipe, stalls, next}, tick);
    ASSERT_EQ(told.size(), 3u);
    EXPECT_TRUE(told[0].failed);
    EXPECT_TRUE(told[1].failed);
    EXPECT_GE(seconds, GstSilenceMeasurer::StallSeconds);
    EXPECT_FALSE(told[2].failed);
    EXPECT_TRUE(told[2].loudness);
}

// Every song's pipeline goes with its measurement, and with it its threads' descriptors.
TEST(GstSilenceMeasurer, KeepsNothingOfTheSongsItMeasured) {
    testing::TempDir folder("velorra-measure");
    const std::string song = folder.path("short.wav");
    media::writeWav(song, media::tune(4), 0.3);
    const auto descriptors = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator());
    };
    testing::ManualLoop loop;
    GstSilenceMeasurer measurer(loop);
    ASSERT_EQ(measureAll(measurer, loop, {song, song, song}).size(), 3u);
    const auto before = descriptors();
    ASSERT_EQ(measureAll(measurer, loop, std::vector<std::string>(30, song)).size(), 30u);
    EXPECT_EQ(descriptors(), before);
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
