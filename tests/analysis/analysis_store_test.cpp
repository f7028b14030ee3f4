// The store of measurements on disk (SQLite): every measurement of any path kept across runs
// until its file changes, failures included; an earlier version's silence.txt read once; and
// hostile stores (a named pipe, a damaged file, a lock held elsewhere, rows whose figures cannot
// be true, a folder that cannot be written), each of which costs at most the measurements.
#include "player/analysis/analysis_store.h"
#include "support/temp_dir.h"
#include "tools/media/wav_writer.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/stat.h>

#include <cmath>
#include <fstream>

namespace velorra {
namespace {

Measurement decoded(Silence silence, double seconds, double lufs, double peak) {
    Measurement m(silence);
    m.seconds = seconds;
    m.loudness = lufs;
    m.peak = peak;
    m.source = LoudnessSource::Decoded;
    return m;
}

Measurement failure() {
    Measurement m;
    m.failed = true;
    return m;
}

// Runs SQL on the store's file from outside, as another program would.
struct Outside {
    explicit Outside(const std::string& file) { sqlite3_open(file.c_str(), &db); }
    ~Outside() { sqlite3_close(db); }
    bool exec(const std::string& sql) const { return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK; }
    int64_t count() const {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "SELECT count(*) FROM songs", -1, &s, nullptr);
        const int64_t n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
        sqlite3_finalize(s);
        return n;
    }
    sqlite3* db = nullptr;
};

struct Stamp {
    int64_t size, ns;
};
Stamp stampFor(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return {info.st_size, int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec};
}

TEST(AnalysisStore, KeepsEveryMeasurementOfAnyPathAcrossRunsUntilItsFileChanges) {
    testing::TempDir folder("velorra-store");
    const std::string file = folder.path("cache/Velorra/analysis.sqlite");
    const std::string odd = folder.makeFile("a\tb\nc.mp3", "aaaa"), broken = folder.makeFile("broken.mp3", "bbbb");
    const Measurement loud = decoded({1.25, 3.5}, 200.0, -14.25, 0.98);
    {
        AnalysisStore store(file);
        store.store(odd, loud);
        store.store(broken, failure());
        store.store(folder.path("gone.mp3"), loud);  // cannot be looked at: not kept
        EXPECT_EQ(store.find(odd), (Silence{1.25, 3.5}));
        EXPECT_FALSE(store.find(folder.path("gone.mp3")));
    }
    AnalysisStore again(file);
    again.waitUntilLoaded();
    const auto known = again.measurement(odd);
    ASSERT_TRUE(known);
    EXPECT_EQ(known->silence, (Silence{1.25, 3.5}));
    EXPECT_EQ(known->seconds, 200.0);
    EXPECT_EQ(known->loudness, -14.25);
    EXPECT_EQ(known->peak, 0.98);
    EXPECT_EQ(known->source, LoudnessSource::Decoded);
    // A song that failed is known as failed (not measured again), with no silence to trim...
    EXPECT_EQ(again.find(broken), Silence{});
    EXPECT_TRUE(again.measurement(broken)->failed);
    // ...until its file changes.
    std::ofstream(broken, std::ios::app) << "more";
    EXPECT_FALSE(again.find(broken));
    EXPECT_EQ(Outside(file).count(), 2);

    // A cache folder that cannot be made (a file lies where it goes): the run's measurements
    // are kept all the same, in memory.
    folder.makeFile("blocked", "file");
    AnalysisStore unwritable(folder.path("blocked/Velorra/analysis.sqlite"));
    unwritable.store(odd, loud);
    unwritable.waitUntilLoaded();
    EXPECT_EQ(unwritable.find(odd), (Silence{1.25, 3.5}));
}

TEST(AnalysisStore, AnEarlierSilenceTextIsReadOnceAndOnlyWhatCanBeTrue) {
    testing::TempDir folder("velorra-store");
    const std::string file = folder.path("Velorra/analysis.sqlite");
    const std::string song = folder.path("song.wav"), changed = folder.path("changed.wav");
    media::writeWav(song, media::tune(1), 20.0);
    media::writeWav(changed, media::tune(2), 20.0);
    const auto line = [](double leadIn, double tail, Stamp s, const std::string& path, const char* leadText = nullptr) {
        std::ostringstream out;
        out << (leadText ? leadText : std::to_string(leadIn)) << '\t' << tail << '\t' << s.size << '\t' << s.ns << '\t'
            << path << '\n';
        return out.str();
    };
    const Stamp good = stampFor(song), old = stampFor(changed);
    std::ofstream(changed, std::ios::app) << "x";
    folder.makeFile("Velorra/silence.txt",
                    "# Velorra silence measurements: lead-in s, tail s, size, modification ns, path\n" +
                        line(-1.0, 2.0, good, song) + line(0, 2.0, good, song, "nan") + line(0, 1e300, good, song) +
                        line(12.0, 9.0, good, song) +  // longer than the song together
                        line(1.0, 1.0, old, changed) + line(1.0, 1.0, good, folder.path("gone.wav")) + "junk\n" +
                        line(2.5, 3.0, good, song));
    {
        AnalysisStore store(file);
        store.waitUntilLoaded();
        EXPECT_EQ(store.find(song), (Silence{2.5, 3.0}));
        EXPECT_FALSE(store.find(changed));
        EXPECT_NEAR(store.measurement(song)->seconds.value_or(0), 20.0, 0.01);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path("Velorra/silence.txt")));
    EXPECT_EQ(Outside(file).count(), 1);
}

TEST(AnalysisStore, AHostileStoreCostsAtMostItsMeasurementsAndNeverHoldsTheCaller) {
    testing::TempDir folder("velorra-store");
    const std::string file = folder.path("Velorra/analysis.sqlite");
    const std::string song = folder.makeFile("song.mp3", "song");
    const Measurement loud = decoded({1.0, 2.0}, 100.0, -9.5, 1.2);
    const auto storeAndReopen = [&](const char* what) {
        {
            AnalysisStore store(file);
            store.store(song, loud);
        }
        AnalysisStore reopened(file);
        reopened.waitUntilLoaded();
        EXPECT_EQ(reopened.find(song), (Silence{1.0, 2.0})) << what;
    };

    // A named pipe in its place (and in place of the old text file): set aside, built afresh.
    std::filesystem::create_directories(folder.path("Velorra"));
    ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(folder.path("Velorra/silence.txt").c_str(), 0644), 0);
    storeAndReopen("named pipe");
    EXPECT_TRUE(std::filesystem::is_fifo(file + ".set-aside"));

    // A damaged file: set aside as it is, built afresh.
    std::filesystem::remove(file + "-wal");
    std::filesystem::remove(file + "-shm");
    testing::writeFile(file, "SQLite format 3" + std::string(5000, '\x7f'));
    storeAndReopen("damaged file");
    EXPECT_EQ(testing::readFile(file + ".set-aside").substr(0, 15), "SQLite format 3");

    // Rows whose figures cannot be true, of files gone or changed, of another type: dropped,
    // from memory and from the file.
    {
        Outside outside(file);
        const Stamp s = stampFor(song);
        const std::string key = "CAST('" + song + "' AS BLOB), " + std::to_string(s.size) + ", " + std::to_string(s.ns);
        const std::string gone = "CAST('" + folder.path("gone.mp3") + "' AS BLOB), 4, " + std::to_string(s.ns);
        for (const std::string& values : {
                 key + ", 100, -1, 2, -9.5, 1, 1, 0, 1",                 // negative lead-in
                 key + ", 100, 1, 2, -9.5, 1e300, 1, 0, 1",              // a peak out of range
                 key + ", 1e300, 1e299, 2, -9.5, 1, 1, 0, 1",            // longer than a week
                 key + ", 100, 60, 50, -9.5, 1, 1, 0, 1",                // longer than the song
                 key + ", 100, 1, 2, 9e999, 1, 1, 0, 1",                 // infinite loudness
                 key + ", 100, 'one', 2, -9.5, 1, 1, 0, 1",              // a text for a figure
                 key + ", 100, 1, 2, -9.5, 1, 7, 0, 1",                  // no such source
                 key + ", 100, 1, 2, -9.5, 1, 1, 1, 1",                  // failed with figures
                 gone + ", 100, 1, 2, -9.5, 1, 1, 0, 1",                 // a file gone
             }) {
            ASSERT_TRUE(outside.exec("DELETE FROM songs"));
            ASSERT_TRUE(outside.exec("INSERT INTO songs VALUES (" + values + ")")) << values;
            AnalysisStore store(file);
            store.waitUntilLoaded();
            EXPECT_FALSE(store.measurement(song)) << values;
            EXPECT_EQ(outside.count(), 0) << values;
        }
    }

    // A lock held by another program: nothing is read or written, the run keeps its
    // measurements in memory, and neither looking up nor going away waits on the lock.
    Outside other(file);
    ASSERT_TRUE(other.exec("PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; DELETE FROM songs;"));
    {
        AnalysisStore locked(file);
        locked.store(song, loud);
        EXPECT_EQ(locked.find(song), (Silence{1.0, 2.0}));
        locked.waitUntilLoaded();
    }
    ASSERT_TRUE(other.exec("COMMIT"));
}

}  // namespace
}  // namespace velorra
