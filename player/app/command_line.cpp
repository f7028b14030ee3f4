#include "player/app/command_line.h"

#include "player/playlist/m3u_io.h"
#include "player/render/mix_render.h"
#include "player/settings/qsettings_store.h"
#include "player/window/product.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

namespace velorra {

namespace {

constexpr const char* Usage =
    "Usage: velorra [FILE]\n"
    "       velorra --export-mix LIST OUT\n"
    "       velorra --help | --version\n"
    "\n"
    "  FILE                       play FILE (an M3U play list or a media file) in the player window\n"
    "  --export-mix LIST OUT      render every row of LIST (an M3U play list, or one media file) to\n"
    "                             OUT with the saved transition type, transition time and trims, as\n"
    "                             the player plays them; the format is told by OUT's extension:\n"
    "                             .flac, .ogg (Ogg Vorbis), .opus, .mp3 or .wav; no display or sound\n"
    "                             server is needed\n"
    "  --help                     show this help and exit\n"
    "  --version                  show the version and exit\n"
    "\n"
    "Example: velorra --export-mix party.m3u party.flac\n";

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void interrupt(int) { interrupted = true; }

// The rows of a play list as the player window reads them, or the one media file named.
std::vector<std::string> songsOf(const std::string& name) {
    if (!isPlayListName(name)) return {name};
    std::vector<std::string> songs;
    LineReader file(name);
    while (const auto line = file.readLine())
        if (!line->tooLong() && !line->text.starts_with('#')) songs.push_back(resolveFromPlayList(name, line->text));
    return songs;
}

std::string clock(double seconds) {
    const auto whole = static_cast<long>(std::floor(seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

int exportMix(const std::string& list, const std::string& out) {
    if (!render::formatOfName(out)) {
        std::fprintf(stderr, "velorra: the name \"%s\" must end in .flac, .ogg, .opus, .mp3 or .wav\n", out.c_str());
        return 2;
    }
    render::MixJob job;
    try {
        job.songs = songsOf(list);
    } catch (const std::system_error& e) {
        std::fprintf(stderr, "velorra: cannot read the play list \"%s\": %s\n", list.c_str(), e.code().message().c_str());
        return 1;
    }
    QSettingsStore settings;
    job.settings = render::MixSettings::read(settings);
    job.destination = out;

    // A file size limit makes a write fail, not the program; an interrupt cancels the render,
    // which leaves nothing behind.
    ::signal(SIGXFSZ, SIG_IGN);
    struct sigaction cancel {};
    cancel.sa_handler = interrupt;
    ::sigaction(SIGINT, &cancel, nullptr);
    ::sigaction(SIGTERM, &cancel, nullptr);

    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    const auto progress = [&](double seconds, double expected) {
        if (!terminal) return;
        if (expected > 0)
            std::fprintf(stderr, "\rvelorra: exporting %s of %s (%d%%) ", clock(seconds).c_str(), clock(expected).c_str(),
                         static_cast<int>(std::min(99.0, 100 * seconds / expected)));
        else
            std::fprintf(stderr, "\rvelorra: exporting %s ", clock(seconds).c_str());
    };
    const render::MixOutcome outcome = render::renderMix(job, interrupted, progress);
    if (terminal) std::fprintf(stderr, "\r\033[K");
    if (!outcome.written) {
        std::fprintf(stderr, "velorra: %s\n", outcome.failure.c_str());
        return 1;
    }
    if (terminal) std::fprintf(stderr, "velorra: wrote %s of sound to %s\n", clock(outcome.seconds).c_str(), out.c_str());
    return 0;
}

}  // namespace

std::optional<int> runCommandLineTool(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    const std::string first = argv[1];
    if (first == "--help") {
        std::fputs(Usage, stdout);
        return argc == 2 ? 0 : 2;
    }
    if (first == "--version") {
        std::printf("velorra %d.%d.%d\n", product::VersionMajor, product::VersionMinor, VELORRA_VERSION_PATCH);
        return argc == 2 ? 0 : 2;
    }
    if (first == "--export-mix") {
        if (argc != 4) {
            std::fputs("velorra: --export-mix takes a play list and the file to write\n", stderr);
            std::fputs(Usage, stderr);
            return 2;
        }
        return exportMix(argv[2], argv[3]);
    }
    return std::nullopt;
}

}  // namespace velorra
