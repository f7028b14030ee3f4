// export_speed: how fast `velorra --export-mix` renders a play list, in seconds of sound per
// wall-clock second, for ten 3-minute MP3s joined by a 5 s "Cross Dissolve", to each format
// (the goal: 100 times real time to FLAC), and the peak memory of the rendering process, for the
// ten songs and for two of them (the goal: at most 150 MB, whatever the list's length). The MP3s
// are made once and kept in the build folder; each render is a process of its own, with
// settings of its own.
#include "support/temp_dir.h"
#include "tools/media/mp3_encoder.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kSongs = 10;
constexpr double kSongSeconds = 180;
constexpr double kSpeedGoal = 100;
constexpr double kMemoryGoalMb = 150;

void print(const std::string& name, double value, const char* unit, double baseline) {
    std::printf("bench name=%s value=%.6g unit=%s baseline=%.6g ratio=%.6g\n", name.c_str(), value, unit, baseline,
                baseline != 0.0 ? value / baseline : 0.0);
    std::fflush(stdout);
}

struct Render {
    bool ok = false;
    double wallSeconds = 0;
    double peakMb = 0;
};

// Runs the program on the list; its wall time and peak resident memory.
Render exportMix(const std::string& list, const std::string& out) {
    std::vector<std::string> args{VELORRA_PROGRAM, "--export-mix", list, out};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, VELORRA_PROGRAM, nullptr, nullptr, argv.data(), environ) != 0) return {};
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return {};
    Render r;
    r.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    r.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return r;
}

std::string writeList(const std::string& path, const std::vector<std::string>& songs) {
    std::ofstream out(path);
    for (const auto& s : songs) out << s << "\n";
    return path;
}

}  // namespace

int main() {
    namespace fs = std::filesystem;
    // Made once: ten 3-minute MP3s of different tunes.
    const fs::path media = fs::absolute("export-speed-media");
    fs::create_directories(media);
    std::vector<std::string> songs;
    for (int i = 0; i < kSongs; ++i) {
        const fs::path song = media / ("song" + std::to_string(i) + ".mp3");
        if (!fs::exists(song))
            velorra::media::writeMp3(song, velorra::media::tune(i), kSongSeconds, velorra::media::Mp3Kind::VariableXing);
        songs.push_back(song.string());
    }
    velorra::testing::TempDir home("velorra-export-speed");
    setenv("XDG_CONFIG_HOME", home.path("config").c_str(), 1);
    setenv("XDG_CACHE_HOME", home.path("cache").c_str(), 1);
    fs::create_directories(home.path("config/Velorra"));
    std::ofstream(home.path("config/Velorra/Velorra.conf")) << "[Transitions]\nTransitionTime=5\nTransitionType=0\n";
    const std::string ten = writeList(home.path("ten.m3u"), songs);
    const std::string two = writeList(home.path("two.m3u"), {songs[0], songs[1]});
    // The mix's length: each song changes 5 s before its end (at the tick its position reads
    // its end less 5), the last plays to its end.
    const double seconds = kSongs * kSongSeconds - (kSongs - 1) * 5.0;

    // The first start in a fresh cache folder builds GStreamer's plugin registry, loading every
    // plugin (about 80 MB more): not the render's, so done once before anything is measured.
    if (!exportMix(two, home.path("warm.wav")).ok) return 1;

    for (const char* format : {"flac", "ogg", "opus", "mp3", "wav"}) {
        const Render r = exportMix(ten, home.path(std::string("mix.") + format));
        if (!r.ok) {
            std::fprintf(stderr, "export_speed: the export to %s failed\n", format);
            return 1;
        }
        print(std::string("export_speed_") + format, seconds / r.wallSeconds, "x_realtime", kSpeedGoal);
        if (std::string(format) == "flac") {
            print("export_peak_memory_flac_10_songs", r.peakMb, "MB", kMemoryGoalMb);
            const Render shortList = exportMix(two, home.path("two.flac"));
            if (!shortList.ok) return 1;
            print("export_peak_memory_flac_2_songs", shortList.peakMb, "MB", kMemoryGoalMb);
        }
        fs::remove(home.path(std::string("mix.") + format));
    }
    return 0;
}
