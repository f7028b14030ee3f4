#include "player/analysis/analysis_database.h"

#include <sqlite3.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <utility>

namespace velorra {

namespace {

constexpr int SchemaVersion = 1;
// A lock held by another program is waited for this long, then the write is given up.
constexpr int BusyMs = 100;
constexpr size_t BatchRows = 1000;
constexpr int ProgressSteps = 1000;

// One row a path. `source` is the LoudnessSource (0 none, 1 decoded, 2 tags); `stored_at`
// (seconds since 1970) orders the rows for keeping the newest.
constexpr const char* Schema = R"(
CREATE TABLE songs (
  path BLOB PRIMARY KEY NOT NULL,
  size INTEGER NOT NULL,
  modified_ns INTEGER NOT NULL,
  seconds REAL,
  lead_in REAL NOT NULL,
  tail REAL NOT NULL,
  loudness REAL,
  peak REAL,
  source INTEGER NOT NULL,
  failed INTEGER NOT NULL,
  stored_at INTEGER NOT NULL
) WITHOUT ROWID;
CREATE INDEX songs_by_age ON songs (stored_at);
)";
constexpr const char* Select =
    "SELECT path, size, modified_ns, seconds, lead_in, tail, loudness, peak, source, failed FROM songs";
constexpr const char* Replace = "INSERT OR REPLACE INTO songs VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
constexpr const char* Add = "INSERT OR IGNORE INTO songs VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
constexpr const char* KeepNewest =
    "DELETE FROM songs WHERE path IN (SELECT path FROM songs ORDER BY stored_at DESC LIMIT -1 OFFSET ?)";
constexpr const char* SetAsideSuffix = ".set-aside";

struct Finalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

Statement prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    return Statement(statement);
}

// The first column of the first row a statement gives, as text; empty when it fails.
std::optional<std::string> pragma(sqlite3* db, const char* sql) {
    const Statement statement = prepare(db, sql);
    if (!statement || sqlite3_step(statement.get()) != SQLITE_ROW) return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
    return std::string(text ? text : "");
}

bool damaged(int error) {
    const int primary = error & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// Only regular files may lie where the database and its companions go: anything else (a named
// pipe, a folder, a link) is renamed away. False when that cannot be done.
bool clearWay(const std::string& file) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        const std::string path = file + suffix;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno == ENOENT) continue;
            return false;
        }
        if (!S_ISREG(info.st_mode) && std::rename(path.c_str(), (path + SetAsideSuffix).c_str()) != 0) return false;
    }
    return true;
}

bool isNumber(sqlite3_stmt* row, int column) {
    const int type = sqlite3_column_type(row, column);
    return type == SQLITE_FLOAT || type == SQLITE_INTEGER;
}

std::optional<double> optionalNumber(sqlite3_stmt* row, int column, bool& valid) {
    if (sqlite3_column_type(row, column) == SQLITE_NULL) return std::nullopt;
    valid = valid && isNumber(row, column);
    return sqlite3_column_double(row, column);
}

// The row's song, when every column holds what it should and the figures are plausible.
std::optional<StoredSong> songOf(sqlite3_stmt* row) {
    if (sqlite3_column_type(row, 0) != SQLITE_BLOB) return std::nullopt;
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(row, 0));
    const auto length = static_cast<size_t>(sqlite3_column_bytes(row, 0));
    StoredSong song;
    song.path.assign(bytes ? bytes : "", bytes ? length : 0);
    bool valid = !song.path.empty() && song.path.size() <= LongestPath &&
                 song.path.find('\0') == std::string::npos && sqlite3_column_type(row, 1) == SQLITE_INTEGER &&
                 sqlite3_column_type(row, 2) == SQLITE_INTEGER && isNumber(row, 4) && isNumber(row, 5) &&
                 sqlite3_column_type(row, 8) == SQLITE_INTEGER && sqlite3_column_type(row, 9) == SQLITE_INTEGER;
    song.stamp = {sqlite3_column_int64(row, 1), sqlite3_column_int64(row, 2)};
    Measurement& m = song.measurement;
    m.seconds = optionalNumber(row, 3, valid);
    m.silence = {sqlite3_column_double(row, 4), sqlite3_column_double(row, 5)};
    m.loudness = optionalNumber(row, 6, valid);
    m.peak = optionalNumber(row, 7, valid);
    const int64_t source = sqlite3_column_int64(row, 8), failed = sqlite3_column_int64(row, 9);
    valid = valid && source >= 0 && source <= static_cast<int64_t>(LoudnessSource::Tags) && (failed == 0 || failed == 1);
    m.source = static_cast<LoudnessSource>(source);
    m.failed = failed == 1;
    if (!valid || !plausible(m)) return std::nullopt;
    return song;
}

void bindOptional(sqlite3_stmt* statement, int index, const std::optional<double>& value) {
    if (value)
        sqlite3_bind_double(statement, index, *value);
    else
        sqlite3_bind_null(statement, index);
}

}  // namespace

void AnalysisDatabase::Close::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

AnalysisDatabase::AnalysisDatabase(std::string file, const std::atomic<bool>& stop)
    : file_(std::move(file)), stop_(stop) {
    open();
    const int status = check();
    if (damaged(status))
        rebuild();
    else if (status != SQLITE_OK)
        db_.reset();
}

AnalysisDatabase::~AnalysisDatabase() = default;

void AnalysisDatabase::open() {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(file_).parent_path(), ignored);
    if (!clearWay(file_)) return;
    sqlite3* raw = nullptr;
    const int opened =
        sqlite3_open_v2(file_.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW, nullptr);
    db_.reset(raw);
    if (opened != SQLITE_OK) {
        db_.reset();
        return;
    }
    sqlite3_busy_timeout(db_.get(), BusyMs);
}

int AnalysisDatabase::check() {
    if (!db_) return SQLITE_CANTOPEN;
    sqlite3* db = db_.get();
    // The first read of the file: a file that is no database fails here.
    const auto wal = pragma(db, "PRAGMA journal_mode=WAL");
    if (!wal) return sqlite3_errcode(db);
    const auto quick = pragma(db, "PRAGMA quick_check(1)");
    if (!quick) return sqlite3_errcode(db);
    if (*quick != "ok") return SQLITE_CORRUPT;
    const auto version = pragma(db, "PRAGMA user_version");
    if (!version) return sqlite3_errcode(db);
    if (*version != std::to_string(SchemaVersion)) {
        // Another schema (or none yet): the table is made anew.
        if (!exec("BEGIN IMMEDIATE")) return sqlite3_errcode(db);
        if (!exec("DROP TABLE IF EXISTS songs") || !exec(Schema) ||
            !exec(("PRAGMA user_version = " + std::to_string(SchemaVersion)).c_str()) || !exec("COMMIT")) {
            const int error = sqlite3_errcode(db);
            exec("ROLLBACK");
            return error;
        }
    }
    exec("PRAGMA synchronous=NORMAL");
    // A table of this version in another shape cannot be read: it counts as damaged.
    for (const char* sql : {Select, Replace, KeepNewest})
        if (!prepare(db, sql)) return damaged(sqlite3_errcode(db)) ? sqlite3_errcode(db) : SQLITE_CORRUPT;
    return SQLITE_OK;
}

void AnalysisDatabase::rebuild() {
    db_.reset();
    if (std::rename(file_.c_str(), (file_ + SetAsideSuffix).c_str()) != 0 && errno != ENOENT) return;
    for (const char* companion : {"-wal", "-shm", "-journal"}) ::unlink((file_ + companion).c_str());
    open();
    if (check() != SQLITE_OK) db_.reset();
}

bool AnalysisDatabase::exec(const char* sql) { return sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

void AnalysisDatabase::load(const std::function<void(std::vector<StoredSong>&&)>& batch) {
    if (!db_) return;
    sqlite3* db = db_.get();
    sqlite3_progress_handler(
        db, ProgressSteps, [](void* stop) { return static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0; },
        const_cast<std::atomic<bool>*>(&stop_));
    if (const Statement keep = prepare(db, KeepNewest)) {
        sqlite3_bind_int64(keep.get(), 1, MostSongs);
        sqlite3_step(keep.get());
    }
    // The paths of rows to drop, as the row holds them.
    std::vector<std::string> drop;
    bool foreignPaths = false;
    std::vector<StoredSong> songs;
    const Statement select = prepare(db, Select);
    while (select && !stop_ && sqlite3_step(select.get()) == SQLITE_ROW) {
        auto song = songOf(select.get());
        if (song && stampOf(song->path) == song->stamp) {
            songs.push_back(std::move(*song));
            if (songs.size() == BatchRows) batch(std::exchange(songs, {}));
        } else if (sqlite3_column_type(select.get(), 0) == SQLITE_BLOB) {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(select.get(), 0));
            drop.emplace_back(bytes ? bytes : "", bytes ? static_cast<size_t>(sqlite3_column_bytes(select.get(), 0)) : 0);
        } else {
            foreignPaths = true;
        }
    }
    if (!songs.empty()) batch(std::move(songs));
    if (!drop.empty() || foreignPaths) {
        exec("BEGIN IMMEDIATE");
        if (foreignPaths) exec("DELETE FROM songs WHERE typeof(path) != 'blob'");
        if (const Statement remove = prepare(db, "DELETE FROM songs WHERE path = ?")) {
            for (const std::string& path : drop) {
                if (stop_) break;
                sqlite3_bind_blob(remove.get(), 1, path.data(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
                sqlite3_step(remove.get());
                sqlite3_reset(remove.get());
            }
        }
        if (!exec("COMMIT")) exec("ROLLBACK");
    }
    sqlite3_progress_handler(db, 0, nullptr, nullptr);
}

bool AnalysisDatabase::write(const std::vector<StoredSong>& songs, bool keepExisting) {
    if (!db_) return false;
    int error = SQLITE_OK;
    if (writeOnce(songs, keepExisting, error)) return true;
    if (!damaged(error)) return false;
    rebuild();
    return db_ && writeOnce(songs, keepExisting, error);
}

bool AnalysisDatabase::writeOnce(const std::vector<StoredSong>& songs, bool keepExisting, int& error) {
    sqlite3* db = db_.get();
    const auto fail = [&] {
        error = sqlite3_extended_errcode(db);
        exec("ROLLBACK");
        return false;
    };
    if (!exec("BEGIN IMMEDIATE")) return fail();
    const Statement insert = prepare(db, keepExisting ? Add : Replace);
    if (!insert) return fail();
    const int64_t now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    for (const StoredSong& song : songs) {
        const Measurement& m = song.measurement;
        if (song.path.empty() || song.path.size() > LongestPath || !plausible(m)) continue;
        sqlite3_stmt* s = insert.get();
        sqlite3_bind_blob(s, 1, song.path.data(), static_cast<int>(song.path.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(s, 2, song.stamp.size);
        sqlite3_bind_int64(s, 3, song.stamp.modifiedNs);
        bindOptional(s, 4, m.seconds);
        sqlite3_bind_double(s, 5, m.silence.leadIn);
        sqlite3_bind_double(s, 6, m.silence.tail);
        bindOptional(s, 7, m.loudness);
        bindOptional(s, 8, m.peak);
        sqlite3_bind_int(s, 9, static_cast<int>(m.source));
        sqlite3_bind_int(s, 10, m.failed ? 1 : 0);
        sqlite3_bind_int64(s, 11, now);
        if (sqlite3_step(s) != SQLITE_DONE) return fail();
        sqlite3_reset(s);
    }
    if (!exec("COMMIT")) return fail();
    return true;
}

}  // namespace velorra
