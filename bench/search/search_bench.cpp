// How fast the search window walks a tree, against the system's own tools on the same tree in
// the same run, from a warm cache; each figure is the best of a few rounds.
//   search_walk  value: "&Search" for *.mp3 over 100,000 files in 5,000 directories (ms),
//                baseline: find ROOT -iname '*.mp3' (ms), ratio: value / baseline
//   search_tags  value: the same search with "Read MP3 Tags" over 10,000 MP3 files (ms),
//                baseline: reading those files' tags through a Vextag one after another (ms),
//                ratio: value / baseline
#include "player/analysis/gst_silence_measurer.h"
#include "player/channel/gst/gst_media_service.h"
#include "player/window/frm_player.h"

#include <vextag/vextag.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using namespace velorra;
namespace fs = std::filesystem;

constexpr int Rounds = 3;

class IdleLoop : public toolkit::EventLoop {
public:
    void arm(toolkit::Timer&) override {}
    void disarm(toolkit::Timer&) override {}
    void doEvents() override {}
    int64_t nowMs() const override { return 0; }
    void post(std::function<void()>) override {}
};

class MemorySettings : public SettingsStore {
public:
    std::string read(const std::string&, const std::string&, const std::string& key, const std::string& fallback) override {
        auto it = values_.find(key);
        return it == values_.end() ? fallback : it->second;
    }
    void write(const std::string&, const std::string&, const std::string& key, const std::string& value) override {
        values_[key] = value;
    }

private:
    std::map<std::string, std::string> values_;
};

class NoDialogs : public toolkit::FileDialogs, public toolkit::MessageBoxes, public toolkit::LinkOpener {
public:
    std::optional<std::string> showOpen(const toolkit::FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> showSave(const toolkit::FileDialogRequest&) override { return std::nullopt; }
    void show(const std::string& text, const std::string&) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
    void open(const std::string&) override {}
};

double millisecondsOf(const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < Rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// `dirs` directories in two levels below root, `perDir` files in each; of every 20 files, 16
// end in .mp3 (two of them in capitals) when `allMp3` is false.
void makeTree(const fs::path& root, int dirs, int perDir, bool allMp3, const std::string& bytes) {
    const int top = 50;
    for (int d = 0; d < dirs; ++d) {
        const fs::path dir = d < top ? root / ("top" + std::to_string(d))
                                     : root / ("top" + std::to_string(d % top)) / ("sub" + std::to_string(d));
        fs::create_directories(dir);
        for (int f = 0; f < perDir; ++f) {
            const int kind = f % 20;
            const std::string ext = allMp3 || kind < 14 ? ".mp3" : kind < 16 ? ".MP3" : ".txt";
            std::ofstream(dir / ("song " + std::to_string(f) + ext), std::ios::binary) << bytes;
        }
    }
}

std::string tagged(int i) {
    std::string title = "Title " + std::to_string(i);
    title.resize(30, ' ');
    std::string rest(30 + 30 + 4 + 30, ' ');
    return std::string(1024, '\x55') + "TAG" + title + rest + '\x0c';
}

void report(const char* name, double value, double baseline) {
    std::printf("bench name=%s value=%.1f unit=ms baseline=%.1f ratio=%.2f\n", name, value, baseline, value / baseline);
    std::fflush(stdout);
}

struct Rig {
    IdleLoop loop;
    GstMediaService media{loop, AudioOutput::SilentFast};
    MemorySettings settings;
    NoDialogs dialogs;
    GstSilenceMeasurer silence{loop};
    frmPlayer player{{loop, media, settings, dialogs, dialogs, dialogs, silence}, ""};
    WinSeek& seek;
    Rig() : seek((player.show(), player.winSeek())) {}

    // One search from root; returns the number of files found.
    int32_t search(const fs::path& root, bool tags) {
        seek.chkReadMP3Tags.setValue(tags ? 1 : 0);
        seek.dirList.setPath(root.string());
        seek.cmdSearch.click();
        return tags ? seek.lstClipList.count() : seek.lstFoundFiles.ListCount();
    }
    void back() { seek.cmdSearch.click(); }
};

long findCount(const fs::path& root, const fs::path& out) {
    const std::string cmd = "find '" + root.string() + "' -iname '*.mp3' > '" + out.string() + "'";
    if (std::system(cmd.c_str()) != 0) return -1;
    std::ifstream in(out);
    long lines = 0;
    for (std::string l; std::getline(in, l);) ++lines;
    return lines;
}

}  // namespace

int main() {
    const fs::path base = fs::temp_directory_path() / ("velorra-search-bench-" + std::to_string(::getpid()));
    fs::create_directories(base);
    Rig rig;

    const fs::path walkTree = base / "walk";
    makeTree(walkTree, 5000, 20, false, "");
    const long expected = findCount(walkTree, base / "find.txt");
    int32_t found = 0;
    const double findMs = millisecondsOf([&] {
        if (std::system(("find '" + walkTree.string() + "' -iname '*.mp3' > /dev/null").c_str()) != 0) std::abort();
    });
    const double walkMs = millisecondsOf([&] {
        found = rig.search(walkTree, false);
        rig.back();
    });
    if (found != expected) std::fprintf(stderr, "search_walk: found %d files, find %ld\n", found, expected);
    report("search_walk", walkMs, findMs);

    const fs::path tagTree = base / "tags";
    const std::string bytes = tagged(0);
    makeTree(tagTree, 500, 20, true, bytes);
    rig.search(tagTree, false);
    std::vector<std::string> paths;
    for (int32_t i = 0; i < rig.seek.lstFoundFiles.ListCount(); ++i) paths.push_back(rig.seek.lstFoundFiles.List(i));
    rig.back();
    vextag::Vextag tag;
    const double readMs = millisecondsOf([&] {
        for (const std::string& p : paths) {
            tag.setFilename(p);
            tag.Read();
        }
    });
    const double tagsMs = millisecondsOf([&] {
        found = rig.search(tagTree, true);
        rig.back();
    });
    if (found != static_cast<int32_t>(paths.size()))
        std::fprintf(stderr, "search_tags: %d rows for %zu files\n", found, paths.size());
    report("search_tags", tagsMs, readMs);

    std::error_code ec;
    fs::remove_all(base, ec);
    return 0;
}
