#pragma once
// The measurements kept across runs: an SQLite database in the user's cache folder
// ($XDG_CACHE_HOME/Velorra/analysis.sqlite), one row a song, each valid for the file as it was
// measured (its size and modification time); a file changed since is not known.
//
// The caller's thread never touches the database: lookups are answered from memory, and what is
// stored goes to memory at once and to the database from the store's own thread. That thread
// starts with the first use; it opens the database (see AnalysisDatabase for what it does with
// a file it cannot use), reads an earlier version's silence.txt into it once, and loads the rows
// in batches, dropping those of files gone or changed and those whose figures cannot be true.
// Until a row is loaded its song is not known. When the database cannot be used, the
// measurements of the run are still kept in memory.
//
// Bounded: at most AnalysisDatabase::MostSongs rows (100,000: the last measured) are kept at
// each opening, paths of at most 4096 bytes, and the old silence.txt is read up to 256 MiB.
#include "player/analysis/measurement.h"
#include "player/analysis/stored_song.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace velorra {

class AnalysisStore {
public:
    explicit AnalysisStore(std::string file);
    // Cuts the loading short, writes what waits to be written, and stops the store's thread.
    ~AnalysisStore();
    AnalysisStore(const AnalysisStore&) = delete;
    AnalysisStore& operator=(const AnalysisStore&) = delete;

    // $XDG_CACHE_HOME/Velorra/analysis.sqlite, the environment read at the moment of the call.
    static std::string defaultFile();

    // The silence of the file as it is now: none when it is not known (or not yet loaded), has
    // changed or cannot be looked at; no lead-in and no tail for a song that failed to decode.
    std::optional<Silence> find(const std::string& path);
    // All that is known of the file as it is now, loudness and failure included.
    std::optional<Measurement> measurement(const std::string& path);
    // Keeps the measurement of the file as it is now; a file that cannot be looked at is not kept.
    void store(const std::string& path, const Measurement& measurement);

    // Blocks until the stored rows are loaded: for tests and benchmarks, never the window.
    void waitUntilLoaded();

private:
    struct Entry {
        FileStamp stamp;
        Measurement measurement;
    };
    void start();
    void run();
    void remember(std::vector<StoredSong>&& songs);

    const std::string file_;
    std::once_flag started_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::unordered_map<std::string, Entry> songs_;
    std::vector<StoredSong> pending_;
    bool loaded_ = false;
    bool closing_ = false;
    std::atomic<bool> stopping_{false};
    std::thread worker_;
};

}  // namespace velorra
