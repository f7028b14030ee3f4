// startup: from process start to the player window shown, against a program showing an empty
// Qt window, started the same way in the same run. Both run on Qt's offscreen platform in a settings
// home of their own; the median of several starts each, taken in turns.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

long long nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

double startOnce(const std::string& probe, const char* extra = "") {
    const std::string command = "'" + probe + "' " + std::to_string(nowNs()) + " " + extra + " 2>/dev/null";
    FILE* out = popen(command.c_str(), "r");
    if (!out) std::exit(1);
    double ms = -1;
    if (std::fscanf(out, "%lf", &ms) != 1) ms = -1;
    if (pclose(out) != 0 || ms < 0) {
        std::fprintf(stderr, "startup: %s did not report\n", probe.c_str());
        std::exit(1);
    }
    return ms;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int, char** argv) {
    const auto bin = std::filesystem::path(argv[0]).parent_path();
    const std::string player = (bin / "startup_probe").string(), empty = (bin / "empty_window_probe").string();
    const auto home = std::filesystem::temp_directory_path() / "velorra-startup-bench";
    std::filesystem::create_directories(home);
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    startOnce(player);  // warm the file cache
    startOnce(empty);
    std::vector<double> ours, bare, text;
    for (int i = 0; i < 9; ++i) {
        ours.push_back(startOnce(player));
        bare.push_back(startOnce(empty));
        text.push_back(startOnce(empty, "text"));
    }
    std::filesystem::remove_all(home);
    const double v = median(ours), b = median(bare), t = median(text);
    std::printf("bench name=startup value=%.1f unit=ms baseline=%.1f ratio=%.2f\n", v, b, v / b);
    // The same against a window showing one line of text: the font database is loaded in both.
    std::printf("bench name=startup_vs_text_window value=%.1f unit=ms baseline=%.1f ratio=%.2f\n", v, t, v / t);
    return 0;
}
