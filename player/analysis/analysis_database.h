#pragma once
// The SQLite file of the analysis store, worked by one thread only (the store's own): opened
// only where a regular file (or nothing) lies, in WAL mode, with a schema version; a file that
// is not a database, is damaged, or holds another schema is set aside (renamed *.set-aside) and
// built afresh. Any other failure (a lock held elsewhere, a folder that cannot be written) leaves
// it closed, and every call then does nothing.
#include "player/analysis/stored_song.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace velorra {

class AnalysisDatabase {
public:
    // The most songs kept: those measured last.
    static constexpr int64_t MostSongs = 100'000;

    // Opens (or creates) the file. `stop`, while true, cuts long reads and writes short.
    AnalysisDatabase(std::string file, const std::atomic<bool>& stop);
    ~AnalysisDatabase();
    AnalysisDatabase(const AnalysisDatabase&) = delete;
    AnalysisDatabase& operator=(const AnalysisDatabase&) = delete;

    bool isOpen() const { return db_ != nullptr; }

    // Keeps the newest MostSongs rows, then hands over the others in batches, each row checked:
    // rows with implausible figures or of files gone or changed are deleted.
    void load(const std::function<void(std::vector<StoredSong>&&)>& batch);
    // Writes the songs in one transaction, each replacing the row of its path (or, with
    // `keepExisting`, only where its path has none). Songs whose figures are implausible or whose
    // path is too long are left out. A damaged file is set aside and the songs written to a fresh
    // one. True when they are written.
    bool write(const std::vector<StoredSong>& songs, bool keepExisting = false);

private:
    struct Close {
        void operator()(sqlite3* db) const;
    };
    void open();
    // The file opened is a database of this schema, its statements prepared: SQLITE_OK, or why not.
    int check();
    // Renames the file away (with its WAL and shared-memory files removed) and opens a fresh one.
    void rebuild();
    bool exec(const char* sql);
    bool writeOnce(const std::vector<StoredSong>& songs, bool keepExisting, int& error);

    std::string file_;
    const std::atomic<bool>& stop_;
    std::unique_ptr<sqlite3, Close> db_;
};

}  // namespace velorra
