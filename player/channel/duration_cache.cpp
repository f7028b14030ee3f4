#include "player/channel/duration_cache.h"

#include "player/channel/duration_scan.h"
#include "player/channel/thread_priority.h"

#include <algorithm>
#include <utility>

namespace velorra {

DurationCache::DurationCache() : reader_([this](std::stop_token stop) { readAheadLoop(stop); }) {}

DurationCache::~DurationCache() {
    reader_.request_stop();
    reader_.join();
}

std::optional<DurationCache::Entry> DurationCache::read(const std::string& path) const {
    const auto before = stampOf(path);
    if (!before) return std::nullopt;
    Entry entry{path, *before, scanDuration(path)};
    // A file written to while it was read keeps nothing.
    if (stampOf(path) != before) return std::nullopt;
    return entry;
}

const DurationCache::Entry* DurationCache::find(const std::string& path, const FileStamp& stamp) const {
    const auto it = std::find_if(kept_.begin(), kept_.end(), [&](const Entry& e) { return e.path == path; });
    return it != kept_.end() && it->stamp == stamp ? &*it : nullptr;
}

void DurationCache::keep(Entry entry) {
    std::erase_if(kept_, [&](const Entry& e) { return e.path == entry.path; });
    kept_.push_back(std::move(entry));
    if (kept_.size() > kKept) kept_.pop_front();
}

std::optional<double> DurationCache::lengthOf(const std::string& path) {
    // Only a regular file has a stamp; anything else is scanned each time (the scan refuses it).
    const auto stamp = stampOf(path);
    if (!stamp) return scanDuration(path);
    {
        const std::lock_guard hold(lock_);
        if (const Entry* known = find(path, *stamp)) return known->seconds;
    }
    auto entry = read(path);
    if (!entry) return scanDuration(path);
    const auto seconds = entry->seconds;
    const std::lock_guard hold(lock_);
    keep(std::move(*entry));
    return seconds;
}

void DurationCache::readAhead(const std::string& path) {
    {
        const std::lock_guard hold(lock_);
        pending_ = path;
    }
    wake_.notify_one();
}

void DurationCache::readAheadLoop(std::stop_token stop) {
    setThreadNice(kDecodingThreadNice);
    std::unique_lock hold(lock_);
    while (wake_.wait(hold, stop, [this] { return !pending_.empty(); })) {
        const std::string path = std::exchange(pending_, {});
        const auto stamp = stampOf(path);
        if (!stamp || find(path, *stamp)) continue;
        hold.unlock();
        auto entry = read(path);
        hold.lock();
        if (entry) keep(std::move(*entry));
    }
}

}  // namespace velorra
