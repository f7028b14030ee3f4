#include "player/analysis/analysis_store.h"

#include "player/analysis/analysis_database.h"
#include "player/analysis/silence_text.h"
#include "player/shell/xdg_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace velorra {

AnalysisStore::AnalysisStore(std::string file) : file_(std::move(file)) {}

AnalysisStore::~AnalysisStore() {
    {
        const std::lock_guard guard(lock_);
        closing_ = true;
    }
    stopping_ = true;
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

std::string AnalysisStore::defaultFile() {
    return (XdgFolders::cacheHome() + QStringLiteral("/Velorra/analysis.sqlite")).toStdString();
}

void AnalysisStore::start() {
    std::call_once(started_, [this] { worker_ = std::thread([this] { run(); }); });
}

std::optional<Measurement> AnalysisStore::measurement(const std::string& path) {
    start();
    Entry entry;
    {
        const std::lock_guard guard(lock_);
        const auto found = songs_.find(path);
        if (found == songs_.end()) return std::nullopt;
        entry = found->second;
    }
    if (stampOf(path) != entry.stamp) return std::nullopt;
    return entry.measurement;
}

std::optional<Silence> AnalysisStore::find(const std::string& path) {
    const auto known = measurement(path);
    if (!known) return std::nullopt;
    return known->silence;
}

void AnalysisStore::store(const std::string& path, const Measurement& measurement) {
    start();
    const auto stamp = stampOf(path);
    if (!stamp) return;
    {
        const std::lock_guard guard(lock_);
        songs_[path] = {*stamp, measurement};
        pending_.push_back({path, *stamp, measurement});
    }
    changed_.notify_all();
}

void AnalysisStore::waitUntilLoaded() {
    start();
    std::unique_lock guard(lock_);
    changed_.wait(guard, [this] { return loaded_; });
}

void AnalysisStore::remember(std::vector<StoredSong>&& songs) {
    const std::lock_guard guard(lock_);
    // What this run stored meanwhile is newer than the row.
    for (StoredSong& song : songs) songs_.try_emplace(std::move(song.path), Entry{song.stamp, song.measurement});
}

void AnalysisStore::run() {
    AnalysisDatabase database(file_, stopping_);
    // An earlier version's measurements, read once: the file goes once they are in the database.
    const std::string text = (std::filesystem::path(file_).parent_path() / "silence.txt").string();
    struct stat info {};
    if (::lstat(text.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        auto imported = readSilenceText(text, stopping_);
        if (database.write(imported, true))
            ::unlink(text.c_str());
        else
            remember(std::move(imported));
    }
    database.load([this](std::vector<StoredSong>&& songs) { remember(std::move(songs)); });
    {
        const std::lock_guard guard(lock_);
        loaded_ = true;
    }
    changed_.notify_all();

    for (;;) {
        std::vector<StoredSong> writes;
        {
            std::unique_lock guard(lock_);
            changed_.wait(guard, [this] { return !pending_.empty() || closing_; });
            writes.swap(pending_);
            if (writes.empty()) return;
        }
        database.write(writes);
    }
}

}  // namespace velorra
