// The render of a play list, read back sample by sample. Each song is a tone on one side only
// (odd rows left, even rows right), so that in the rendered file each side holds one song at a
// time and the gain the mix gave it is the rendered sample divided by the song's own sample.
// The schedule the render must follow is laid out here from what the player promises: a song
// changes at the first position tick (every 100 ms) at which its position, in whole seconds,
// reaches its trimmed end less the transition time, the position heard trailing the mix by a
// device's 60 ms as in live play; a transition takes 85 steps of equal length,
// each gliding to the fader the curve gives; the song before stops at step 86; the last song
// plays to its trimmed end.
#include "player/channel/gst/gst_mix_output.h"
#include "player/channel/gst/gst_start.h"
#include "player/playback/playback_core.h"
#include "player/playback/transition_curve.h"
#include "player/render/mix_render.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "tools/media/wav_writer.h"

#include <gst/pbutils/pbutils.h>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>

namespace velorra {
namespace {

constexpr int kRate = GstMixOutput::kRate;
constexpr int kTop = PlaybackCore::Top;

struct Tone {
    double hz;
    int seconds;
    bool left;
    double peak = 16000;  // in 16-bit steps
};

// The song's own samples on its side, as the mix reads them (16-bit samples over 32768).
std::vector<float> toneSamples(const Tone& t) {
    std::vector<float> s(static_cast<size_t>(t.seconds) * kRate);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<float>(std::lround(t.peak * std::cos(2 * std::numbers::pi * t.hz * double(i) / kRate + 0.3))) /
               32768.0f;
    return s;
}

std::string writeTone(const testing::TempDir& folder, const std::string& name, const Tone& t) {
    std::vector<int16_t> samples;
    for (const float v : toneSamples(t)) {
        const auto q = static_cast<int16_t>(std::lround(v * 32768.0f));
        samples.push_back(t.left ? q : 0);
        samples.push_back(t.left ? 0 : q);
    }
    const std::string path = folder.path(name);
    media::writeWav(path, samples, {kRate, 2});
    return path;
}

// The frames of a 32-bit float stereo WAV file, left and right.
struct Frames {
    std::vector<float> left, right;
};
Frames readFloatWav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Frames f;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0) return f;
    uint16_t format = 0, channels = 0, bits = 0;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        uint32_t size = 0;
        std::memcpy(&size, bytes.data() + at + 4, 4);
        const std::string id = bytes.substr(at, 4);
        if (id == "fmt ") {
            std::memcpy(&format, bytes.data() + at + 8, 2);
            std::memcpy(&channels, bytes.data() + at + 10, 2);
            std::memcpy(&bits, bytes.data() + at + 22, 2);
        } else if (id == "data") {
            if (channels != 2 || bits != 32 || (format != 3 && format != 0xFFFE)) return f;
            const size_t n = std::min<size_t>(size, bytes.size() - at - 8) / 8;
            f.left.resize(n);
            f.right.resize(n);
            for (size_t i = 0; i < n; ++i) {
                std::memcpy(&f.left[i], bytes.data() + at + 8 + 8 * i, 4);
                std::memcpy(&f.right[i], bytes.data() + at + 12 + 8 * i, 4);
            }
            return f;
        }
        at += 8 + size + (size & 1);
    }
    return f;
}

int64_t frameAt(int64_t ms) { return ms * kRate / 1000; }

// Half to the even neighbour, as the player reads a position in whole seconds.
int64_t wholeSeconds(double s) { return static_cast<int64_t>(std::nearbyint(s)); }

double decibels(double factor) { return 20 * std::log10(std::max(factor, 1e-12)); }

// The gain on one side of the mix just before frame `at`: the rendered samples over the song's,
// over the 16 frames before it where the song's sample is large.
double gainBefore(const std::vector<float>& side, const std::vector<float>& song, int64_t songFrameOfMix0, int64_t at) {
    double sum = 0;
    int n = 0;
    for (int64_t i = at - 16; i < at; ++i) {
        const float s = song.at(static_cast<size_t>(i - songFrameOfMix0));
        if (std::fabs(s) < 0.2f) continue;
        sum += side.at(static_cast<size_t>(i)) / s;
        ++n;
    }
    return n ? sum / n : 0.0;
}

render::MixOutcome renderNow(const render::MixJob& job) {
    const std::atomic<bool> never{false};
    return render::renderMix(job, never, nullptr);
}

TEST(MixRender, TheFileFollowsTheScheduleSampleBySampleWithEveryTransitionOnItsCurve) {
    testing::TempDir folder("velorra-render");
    const std::vector<Tone> tones{{440, 8, true}, {1000, 7, false}, {620, 9, true}};
    // A row that cannot be played stands between the second and the third song: it is passed
    // over, and the third song comes at the tick the missing file was tried.
    const std::vector<std::string> songs{writeTone(folder, "a.wav", tones[0]), writeTone(folder, "b.wav", tones[1]),
                                         folder.path("missing.wav"), writeTone(folder, "c.wav", tones[2])};
    render::MixJob job;
    job.songs = songs;
    job.settings = {static_cast<int16_t>(TransitionCurve::CrossDissolve), 2, 1, 1, false};
    job.destination = folder.path("mix.wav");
    const auto outcome = renderNow(job);
    ASSERT_TRUE(outcome.written) << outcome.failure;
    const Frames mix = readFloatWav(job.destination);
    ASSERT_FALSE(mix.left.empty());

    // The schedule: each song's start (a position tick), its trimmed span, and its transition's
    // step length.
    const int64_t cutFirst = job.settings.cutFirst, cutLast = job.settings.cutLast, time = job.settings.transitionTime;
    const int64_t trailMs = GstMixOutput::kDeviceTrailFrames * 1000 / kRate;
    std::vector<int64_t> startMs;
    int64_t at = 0;
    for (size_t k = 0; k < tones.size(); ++k) {
        startMs.push_back(at);
        const int64_t endPos = tones[k].seconds - cutLast;
        int64_t tick = 100;
        while (wholeSeconds(cutFirst + double(tick - trailMs) / 1000) < endPos - time) tick += 100;
        at += tick;
    }
    const int64_t stepMs = time * 1000 / kTop;
    const int64_t lastSpan = tones.back().seconds - cutLast - cutFirst;
    // The file ends where the last song reaches its trimmed end.
    EXPECT_EQ(static_cast<int64_t>(mix.left.size()), frameAt(startMs.back()) + lastSpan * kRate);
    EXPECT_NEAR(outcome.seconds, static_cast<double>(mix.left.size()) / kRate, 1e-9);

    for (size_t k = 0; k < tones.size(); ++k) {
        SCOPED_TRACE("song " + std::to_string(k + 1));
        const auto& side = tones[k].left ? mix.left : mix.right;
        const auto song = toneSamples(tones[k]);
        const int64_t start = frameAt(startMs[k]);
        const int64_t songFrameOfMix0 = start - cutFirst * kRate;
        // Silent on its side until its start (and after the song before on that side stopped),
        // sounding from the start's very frame.
        const int64_t quietFrom = k >= 2 ? frameAt(startMs[k - 1] + (kTop + 1) * stepMs) + kRate / 100 : 0;
        for (int64_t i = quietFrom; i <= start; ++i) ASSERT_EQ(side[static_cast<size_t>(i)], 0.0f) << "frame " << i;
        EXPECT_NE(side[static_cast<size_t>(start + 1)], 0.0f);
        // Every step of its rise, and of the fall of the song before it, ends on the curve.
        for (int32_t step = 1; step <= kTop; ++step) {
            const int64_t reached = frameAt(startMs[k] + (step + 1) * stepMs);
            const FaderPositions f = transitionFaders(job.settings.transitionType, step, kTop, kTop);
            ASSERT_TRUE(f.incoming && f.outgoing);
            const double in = decibels(gainBefore(side, song, songFrameOfMix0, reached));
            EXPECT_NEAR(in, -double(*f.incoming) * *f.incoming / 100, 0.1) << "rise, step " << step;
            if (k == 0 || step == kTop) continue;
            const auto& before = tones[k - 1].left ? mix.left : mix.right;
            const double out = decibels(gainBefore(before, toneSamples(tones[k - 1]),
                                                   frameAt(startMs[k - 1]) - cutFirst * kRate, reached));
            EXPECT_NEAR(out, -double(*f.outgoing) * *f.outgoing / 100, 0.1) << "fall, step " << step;
        }
        // The song plays its own samples from its trimmed start: past the transition the gain is
        // 1 on every frame.
        const int64_t calm = frameAt(startMs[k] + (kTop + 2) * stepMs);
        const int64_t calmEnd = k + 1 < tones.size() ? frameAt(startMs[k + 1]) : static_cast<int64_t>(side.size());
        for (int64_t i = calm; i < calmEnd; ++i)
            ASSERT_EQ(side[static_cast<size_t>(i)], song[static_cast<size_t>(i - songFrameOfMix0)]) << "frame " << i;
        // The song before stops at step 86, after its 10 ms fall.
        if (k > 0) {
            const auto& before = tones[k - 1].left ? mix.left : mix.right;
            const int64_t stopped = frameAt(startMs[k] + (kTop + 1) * stepMs) + kRate / 100;
            for (int64_t i = stopped; i < calmEnd; ++i) ASSERT_EQ(before[static_cast<size_t>(i)], 0.0f) << "frame " << i;
        }
    }
}

// The length GStreamer reads back from a written file, in seconds.
double lengthOf(const std::string& path) {
    startGstreamer();
    GError* error = nullptr;
    GstDiscoverer* discoverer = gst_discoverer_new(10 * GST_SECOND, &error);
    if (!discoverer) {
        g_clear_error(&error);
        return -1;
    }
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, uri, nullptr);
    const double seconds = info && gst_discoverer_info_get_result(info) == GST_DISCOVERER_OK
                               ? static_cast<double>(gst_discoverer_info_get_duration(info)) / GST_SECOND
                               : -1;
    if (info) g_object_unref(info);
    g_free(uri);
    g_object_unref(discoverer);
    return seconds;
}

TEST(MixRender, EveryFormatReadsBackWithTheLengthOfItsSchedule) {
    testing::TempDir folder("velorra-render-formats");
    render::MixJob job;
    job.songs = {writeTone(folder, "a.wav", {440, 5, true}), writeTone(folder, "b.wav", {880, 4, false})};
    job.settings = {static_cast<int16_t>(TransitionCurve::UpDown), 1, 0, 0, false};
    for (const char* name : {"mix.flac", "mix.ogg", "mix.opus", "mix.mp3", "mix.wav"}) {
        SCOPED_TRACE(name);
        job.destination = folder.path(name);
        const auto outcome = renderNow(job);
        ASSERT_TRUE(outcome.written) << outcome.failure;
        EXPECT_GT(outcome.seconds, 7.0);
        EXPECT_NEAR(lengthOf(job.destination), outcome.seconds, 0.05);
    }
}

// Songs mastered 12 dB apart: with "Match Loudness" they come out at one loudness (-18 LUFS, each
// measured before the render starts), without it each at its own level.
TEST(MixRender, MatchLoudnessBringsTheSongsToOneLevelAndWithoutItEachKeepsItsOwn) {
    testing::TempDir folder("velorra-render-loudness");
    render::MixJob job;
    job.songs = {writeTone(folder, "loud.wav", {440, 5, true, 16000}), writeTone(folder, "quiet.wav", {440, 5, false, 4000})};
    job.destination = folder.path("mix.wav");
    const auto rmsDb = [](const std::vector<float>& side, int64_t from, int64_t to) {
        double sum = 0;
        for (int64_t i = from; i < to; ++i) sum += double(side.at(static_cast<size_t>(i))) * side.at(static_cast<size_t>(i));
        return 10 * std::log10(sum / double(to - from));
    };
    // Each song where it is heard alone: the first between its rise and its fall, the second after
    // its rise.
    const auto levels = [&](bool match) {
        job.settings = {static_cast<int16_t>(TransitionCurve::CrossDissolve), 1, 0, 0, false, match};
        const auto outcome = renderNow(job);
        EXPECT_TRUE(outcome.written) << outcome.failure;
        const Frames f = readFloatWav(job.destination);
        const auto end = static_cast<int64_t>(f.right.size());
        return std::pair{rmsDb(f.left, frameAt(1200), frameAt(3000)), rmsDb(f.right, end - frameAt(3000), end - frameAt(200))};
    };
    const auto [loud, quiet] = levels(false);
    EXPECT_NEAR(loud - quiet, 12.04, 0.1);
    const auto [loudMatched, quietMatched] = levels(true);
    EXPECT_NEAR(loudMatched, quietMatched, 0.1);
    // A 440 Hz tone on one side at -18 LUFS: its rms is about -17.3 dBFS.
    EXPECT_NEAR(loudMatched, -17.3, 0.5);
}

// Files in the folder other than those named.
std::vector<std::string> othersIn(const std::string& folder, const std::vector<std::string>& known) {
    std::vector<std::string> others;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (std::find(known.begin(), known.end(), e.path().filename().string()) == known.end())
            others.push_back(e.path().filename().string());
    return others;
}

// The program run with `arguments` (each quoted for the shell) and `environment` before it: its
// exit status, standard output and standard error. GStreamer's own debugging output, which the
// sanitizer runs turn on, is kept out of what the program says.
struct ProgramRun {
    int status = -1;
    std::string out, err;
};
ProgramRun runProgram(const std::vector<std::string>& arguments, const std::string& environment = {}) {
    testing::TempDir scratch("velorra-run");
    std::string line = "env -u GST_DEBUG -u GST_TRACERS " + environment + " '" + VELORRA_PROGRAM + "'";
    for (const std::string& a : arguments) line += " '" + a + "'";
    line += " >'" + scratch.path("out") + "' 2>'" + scratch.path("err") + "' </dev/null";
    ProgramRun r;
    const int status = std::system(line.c_str());
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = testing::readFile(scratch.path("out"));
    r.err = testing::readFile(scratch.path("err"));
    return r;
}

TEST(MixRender, ACancelAFullDiskOrAnUnwritableFolderLeavesNoPartialFileAndAnExistingOneAsItWas) {
    testing::TempDir folder("velorra-render-fail");
    render::MixJob job;
    job.songs = {writeTone(folder, "a.wav", {440, 20, true}), writeTone(folder, "b.wav", {880, 20, false})};
    job.settings = {0, 3, 0, 0, false};
    job.destination = folder.makeFile("mix.flac", "the mix of last week");
    folder.makeFile("list.m3u", "a.wav\nb.wav\n");
    const std::vector<std::string> known{"a.wav", "b.wav", "list.m3u", "mix.flac"};

    // Cancelled once a second of sound is rendered.
    std::atomic<bool> cancelled{false};
    const auto outcome = render::renderMix(job, cancelled, [&](double, double) { cancelled = true; });
    EXPECT_FALSE(outcome.written);
    EXPECT_TRUE(outcome.cancelled) << outcome.failure;
    EXPECT_EQ(testing::readFile(job.destination), "the mix of last week");
    EXPECT_TRUE(othersIn(folder.path(), known).empty());

    // A file size limit far below the mix: writing fails midway. The program runs in a child
    // that sets the limit, so that this process's threads play no part in it.
    const auto full = testing::runInChild(
        [] {
            const rlimit limit{256 * 1024, 256 * 1024};
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? std::string() : std::string("setrlimit failed");
        },
        [&] {
            const ProgramRun r = runProgram({"--export-mix", folder.path("list.m3u"), job.destination});
            return std::to_string(r.status) + " " + r.err;
        });
    ASSERT_TRUE(full.ran) << full.whyNot;
    EXPECT_EQ(full.output.substr(0, 2), "1 ") << full.output;
    EXPECT_NE(full.output.find("velorra: cannot write \"" + job.destination + "\": "), std::string::npos) << full.output;
    EXPECT_EQ(std::count(full.output.begin(), full.output.end(), '\n'), 1) << full.output;
    EXPECT_EQ(testing::readFile(job.destination), "the mix of last week");
    EXPECT_TRUE(othersIn(folder.path(), known).empty());

    // A folder the user may not write in.
    const std::string locked = folder.path("locked");
    std::filesystem::create_directory(locked);
    ::chmod(locked.c_str(), 0555);
    job.destination = locked + "/mix.flac";
    const auto refused = testing::runAsNobody(locked, W_OK, [&] { return renderNow(job).failure; });
    ASSERT_TRUE(refused.ran) << refused.whyNot;
    EXPECT_NE(refused.output.find("cannot write in the folder \"" + locked + "\""), std::string::npos) << refused.output;
    EXPECT_TRUE(std::filesystem::is_empty(locked));
}

TEST(ExportMixCommand, RendersWithTheSavedSettingsWithoutADisplayOrSoundServerAndTellsUsageErrorsApart) {
    testing::TempDir folder("velorra-export-command");
    writeTone(folder, "a.wav", {440, 5, true});
    writeTone(folder, "b.wav", {880, 4, false});
    const std::string list = folder.makeFile("list.m3u", "#EXTM3U\na.wav\nb.wav\n");
    // The settings the player window saved: a 2 s transition and the last second cut.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(config, nullptr);
    std::filesystem::create_directories(std::string(config) + "/Velorra");
    std::ofstream(std::string(config) + "/Velorra/Velorra.conf")
        << "[Transitions]\nTransitionTime=2\nTransitionType=0\n[Trimming]\nCutLast=1\n";

    const std::string noDesktop = "env -u DISPLAY -u WAYLAND_DISPLAY PULSE_SERVER=unix:/nonexistent";
    const ProgramRun done = runProgram({"--export-mix", list, folder.path("mix.flac")}, noDesktop);
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.err, "");
    // The first song changes at the first tick at which its position heard, 60 ms behind the mix,
    // reads 2 (its trimmed end 4 less 2): at 1.6 s; the second plays its 3 trimmed seconds.
    EXPECT_NEAR(lengthOf(folder.path("mix.flac")), 4.6, 0.05);

    const ProgramRun failed = runProgram({"--export-mix", folder.path("absent.m3u"), folder.path("other.flac")}, noDesktop);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err.rfind("velorra: cannot read the play list", 0), 0u) << failed.err;
    EXPECT_EQ(std::count(failed.err.begin(), failed.err.end(), '\n'), 1) << failed.err;

    EXPECT_EQ(runProgram({"--export-mix", list}).status, 2);
    EXPECT_EQ(runProgram({"--export-mix", list, folder.path("mix.aiff")}).status, 2);
    const ProgramRun help = runProgram({"--help"}, noDesktop);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--export-mix LIST OUT"), std::string::npos);
    const ProgramRun version = runProgram({"--version"}, noDesktop);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("velorra ", 0), 0u);
    EXPECT_TRUE(othersIn(folder.path(), {"a.wav", "b.wav", "list.m3u", "mix.flac"}).empty());
}

}  // namespace
}  // namespace velorra
