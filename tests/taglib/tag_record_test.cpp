// ReadTag and WriteTag on real files: trimming, NUL bytes, the marker, the size threshold, genre
// codes, field widths, appending and overwriting, text conversion and file-system failures.
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <vextag/tag_record.h>

#include "support/child_process.h"
#include "support/tagged_mp3.h"
#include "support/temp_dir.h"
#include "taglib/tag_files.h"

namespace vextag {
namespace {

using test::audio;
using namespace velorra::testing;  // the folder, files and records of tests/support

TagValues readTag(const std::string& path, bool trim = true) {
    TagValues values;
    ReadTag(path, trim, GenreTable{}, values);
    return values;
}

TagValues filled() { return {"s", "a", "b", "y", "Rock", "c"}; }

std::string lastRecord(const std::string& path) {
    const std::string bytes = readFile(path);
    return bytes.substr(bytes.size() - TagRecord::Size);
}

TEST(TagRecord, TrimRemovesOnlySpacesAndKeepsNulBytes) {
    TempDir dir;
    const std::string path = dir.path("song.mp3");
    Id3v1Tag f;
    f.title = "Hello!" + std::string(24, ' ');
    f.artist = "  Lead spaces";
    f.album = "Nul" + std::string(27, '\0');
    f.year = " 99 ";
    f.comment = std::string("one\0two", 7) + std::string(21, ' ') + "\x05\x07";  // all 30 bytes
    f.genre = 17;
    writeFile(path, audio(72) + id3v1Record(f));

    const TagValues trimmed = readTag(path);
    EXPECT_EQ(trimmed.song, "Hello!");
    EXPECT_EQ(trimmed.artist, "Lead spaces");
    EXPECT_EQ(trimmed.album, "Nul" + std::string(27, '\0'));
    EXPECT_EQ(trimmed.year, "99");
    EXPECT_EQ(trimmed.comment, f.comment);
    EXPECT_EQ(trimmed.genre, "Rock");

    const TagValues raw = readTag(path, false);
    EXPECT_EQ(raw.song, f.title);
    EXPECT_EQ(raw.artist, "  Lead spaces" + std::string(17, ' '));
    EXPECT_EQ(raw.year, " 99 ");
    EXPECT_EQ(raw.comment.size(), 30u);

    EXPECT_EQ(TrimSpaces("\t x\t"), "\t x\t");
    EXPECT_EQ(TrimSpaces(std::string(" \0x\t ", 5)), std::string("\0x\t", 3));
    EXPECT_EQ(TrimSpaces("    "), "");
}

TEST(TagRecord, MarkerIgnoresCaseAndFilesUpTo150BytesHaveNoTag) {
    TempDir dir;
    for (const std::string marker : {"TAG", "tag", "Tag", "tAg"}) {
        Id3v1Tag f;
        f.marker = marker;
        f.title = "Found";
        const std::string path = dir.path(marker + ".mp3");
        writeFile(path, audio(100) + id3v1Record(f));
        EXPECT_EQ(readTag(path).song, "Found") << marker;

        // Saving over a lower-case marker overwrites in place and keeps its spelling.
        WriteTag(path, filled(), GenreTable{});
        EXPECT_EQ(readFile(path).size(), 228u) << marker;
        EXPECT_EQ(lastRecord(path).substr(0, 3), marker);
        EXPECT_EQ(readTag(path).song, "s");
    }

    Id3v1Tag f;
    f.title = "Found";
    const std::string atLimit = dir.path("150.mp3");
    writeFile(atLimit, audio(22) + id3v1Record(f));
    TagValues values = filled();
    ReadTag(atLimit, true, GenreTable{}, values);
    EXPECT_EQ(values.song, "");
    EXPECT_EQ(values.genre, "");
    WriteTag(atLimit, filled(), GenreTable{});
    EXPECT_EQ(readFile(atLimit), audio(22) + id3v1Record(f)) << "a 150-byte file is never written";

    const std::string pastLimit = dir.path("151.mp3");
    writeFile(pastLimit, audio(23) + id3v1Record(f));
    EXPECT_EQ(readTag(pastLimit).song, "Found");

    f.marker = "TAX";
    const std::string noMarker = dir.path("tax.mp3");
    writeFile(noMarker, audio(500) + id3v1Record(f));
    values = filled();
    ReadTag(noMarker, true, GenreTable{}, values);
    EXPECT_EQ(values.song, "");
    EXPECT_EQ(values.comment, "");
}

TEST(TagRecord, GenreCodesBothWays) {
    TempDir dir;
    const GenreTable table;
    const std::string path = dir.path("genre.mp3");
    const std::pair<unsigned char, const char*> reads[] = {
        {0, "Blues"}, {40, "Alternative Rock"}, {81, "Folk/Rock"}, {83, "Swing"}, {84, ""},
        {85, "Bebob"}, {123, "A capella"}, {125, "Dance Hall"}, {126, ""}, {255, ""}};
    for (const auto& [code, name] : reads) {
        Id3v1Tag f;
        f.genre = code;
        writeFile(path, audio(200) + id3v1Record(f));
        EXPECT_EQ(readTag(path).genre, name) << int{code};
    }

    const std::pair<const char*, unsigned char> writes[] = {
        {"Bebob", 85}, {"Swing", 83}, {"Blues", 0}, {"Dance Hall", 125}, {"rock", 255}, {"Rock ", 255}, {"", 255}};
    for (const auto& [name, code] : writes) {
        TagValues values;
        values.genre = name;
        WriteTag(path, values, table);
        EXPECT_EQ(static_cast<unsigned char>(lastRecord(path)[127]), code) << name;
    }

    // Every name survives a save and a read, and no name is ever saved as code 84.
    for (std::int16_t position = 1; position <= GenreTable::Size; ++position) {
        TagValues values;
        values.genre = std::string(table.name(position));
        WriteTag(path, values, table);
        EXPECT_NE(static_cast<unsigned char>(lastRecord(path)[127]), 84);
        EXPECT_EQ(readTag(path).genre, table.name(position));
    }
    EXPECT_EQ(LookUpGenre(table, "Blues"), 1);
    EXPECT_EQ(LookUpGenre(table, "Swing"), 84);
    EXPECT_EQ(LookUpGenre(table, "Bebob"), 85);
    EXPECT_EQ(LookUpGenre(table, "Psychadelic"), 68);
    EXPECT_EQ(LookUpGenre(table, "Humour"), 100);
    EXPECT_EQ(LookUpGenre(table, "Bebop"), 255);
}

TEST(TagRecord, FieldsAreCutOrSpaceFilledToTheirWidth) {
    EXPECT_EQ(PadField("abc", 5), "abc  ");
    EXPECT_EQ(PadField("abcdef", 4), "abcd");
    EXPECT_EQ(PadField("abc", 0), "abc");
    EXPECT_EQ(PadField("abc", -3), "abc");

    TempDir dir;
    const std::string path = dir.path("widths.mp3");
    writeFile(path, audio(300));
    TagValues values;
    values.song = std::string(30, 'x') + "0123456789";
    values.year = "99";
    values.comment = "c";
    WriteTag(path, values, GenreTable{});
    const std::string tag = lastRecord(path);
    EXPECT_EQ(tag.substr(3, 30), std::string(30, 'x'));
    EXPECT_EQ(tag.substr(33, 30), std::string(30, ' ')) << "an empty value is 30 spaces, never NUL";
    EXPECT_EQ(tag.substr(93, 4), "99  ");
    EXPECT_EQ(tag.substr(97, 30), "c" + std::string(29, ' '));
}

TEST(TagRecord, FirstSaveAppendsOneRecordLaterSavesOverwriteIt) {
    TempDir dir;
    const std::string path = dir.path("grow.mp3");
    const std::string audioBytes = audio(1000);
    writeFile(path, audioBytes);

    TagValues first{"Title", "Artist", "Album", "2001", "Bebob", "Comment"};
    WriteTag(path, first, GenreTable{});
    std::string bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 1128u);
    EXPECT_EQ(bytes.substr(0, 1000), audioBytes);
    EXPECT_EQ(bytes.substr(1000), "TAG" + PadField("Title", 30) + PadField("Artist", 30) + PadField("Album", 30) +
                                      "2001" + PadField("Comment", 30) + "\x55");

    TagValues second{"Other", "", "", "", "", ""};
    WriteTag(path, second, GenreTable{});
    bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 1128u);
    EXPECT_EQ(bytes.substr(0, 1000), audioBytes);
    EXPECT_EQ(readTag(path).song, "Other");
    EXPECT_EQ(static_cast<unsigned char>(bytes[1127]), 255);

    const std::string missing = dir.path("missing.mp3");
    WriteTag(missing, first, GenreTable{});
    EXPECT_NE(::access(missing.c_str(), F_OK), 0) << "a save never creates a file";
    TagValues values = filled();
    ReadTag(missing, true, GenreTable{}, values);
    EXPECT_EQ(values.song, "");
    EXPECT_EQ(values.artist, "");
    ReadTag("", true, GenreTable{}, values);
    EXPECT_EQ(values.genre, "");
}

TEST(TagRecord, TextIsLatin1BothWays) {
    TempDir dir;
    const std::string path = dir.path("latin1.mp3");
    writeFile(path, audio(400));
    TagValues values;
    values.song = "Café ñandú";
    values.artist = "Δelta ♫";
    values.album = std::string("bad \xC3(\xFF", 7);  // malformed UTF-8
    values.comment = std::string("nul\0in", 6);
    WriteTag(path, values, GenreTable{});
    const std::string tag = lastRecord(path);
    EXPECT_EQ(tag.substr(3, 10), "Caf\xE9 \xF1" "and\xFA");
    EXPECT_EQ(tag.substr(33, 7), "?elta ?");
    EXPECT_EQ(tag.substr(63, 7), "bad ?(?");
    EXPECT_EQ(tag.substr(97, 6), values.comment);

    const TagValues back = readTag(path);
    EXPECT_EQ(back.song, "Café ñandú");
    EXPECT_EQ(back.artist, "?elta ?");
    EXPECT_EQ(back.comment, values.comment);
}

TEST(TagRecord, OnlyRegularFilesExist) {
    TempDir dir;
    Id3v1Tag f;
    f.title = "Linked";
    const std::string target = dir.path("target.bin");
    writeFile(target, audio(300) + id3v1Record(f));

    const std::string directory = dir.path("dir.mp3");
    ASSERT_EQ(::mkdir(directory.c_str(), 0755), 0);
    const std::string fifo = dir.path("fifo.mp3");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string dangling = dir.path("dangling.mp3");
    ASSERT_EQ(::symlink(dir.path("nowhere.mp3").c_str(), dangling.c_str()), 0);
    const std::string socketPath = dir.path("socket.mp3");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    // The watch sees every open of the directory's entries, even one that does not block.
    const int opens = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(opens, dir.path().c_str(), IN_OPEN), 0);
    for (const std::string& path : {directory, fifo, dangling, socketPath, std::string("/dev/zero")}) {
        TagValues values = filled();
        ReadTag(path, true, GenreTable{}, values);  // a FIFO opened for reading would hang here
        EXPECT_EQ(values.song, "") << path;
        EXPECT_EQ(values.genre, "") << path;
        WriteTag(path, filled(), GenreTable{});
    }
    char event[sizeof(inotify_event) + 256];
    EXPECT_LT(::read(opens, event, sizeof event), 0) << "a name that is not a regular file was opened";
    ::close(opens);
    ::close(sock);
    EXPECT_NE(::access(dir.path("nowhere.mp3").c_str(), F_OK), 0) << "saving through a dangling link creates nothing";

    // A link to a regular file and a dot-file are ordinary files.
    const std::string link = dir.path("link.mp3");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    EXPECT_EQ(readTag(link).song, "Linked");
    const std::string dotFile = dir.path(".hidden.mp3");
    writeFile(dotFile, audio(300) + id3v1Record(f));
    EXPECT_EQ(readTag(dotFile).song, "Linked");
}

TEST(TagRecord, FileSystemFailuresReachTheCallerAndChangeNothing) {
    TempDir dir;
    Id3v1Tag f;
    f.title = "Locked";
    const std::string readOnly = dir.path("readonly.mp3");
    const std::string original = audio(500) + id3v1Record(f);
    writeFile(readOnly, original);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    const std::string unreadable = dir.path("unreadable.mp3");
    writeFile(unreadable, original);
    ASSERT_EQ(::chmod(unreadable.c_str(), 0200), 0);

    const auto saved = runAsNobody(readOnly, W_OK, [&]() -> std::string {
        try {
            WriteTag(readOnly, filled(), GenreTable{});
        } catch (const std::system_error& error) {
            const bool named = std::string(error.what()).find(readOnly) != std::string::npos;
            return error.code().value() == EACCES && named ? "0" : "2";
        }
        return "1";
    });
    if (!saved.ran) GTEST_SKIP() << "cannot run as a user that file permissions stop: " << saved.whyNot;
    EXPECT_EQ(saved.output, "0") << "1: the save did not fail, 2: wrong error";
    EXPECT_EQ(readFile(readOnly), original);

    const auto read = runAsNobody(unreadable, R_OK, [&]() -> std::string {
        TagValues values = filled();
        try {
            ReadTag(unreadable, true, GenreTable{}, values);
        } catch (const std::system_error& error) {
            const bool kept = values.song == "s" && values.genre == "Rock" && values.comment == "c";
            return error.code().value() == EACCES && kept ? "0" : "2";
        }
        return "1";
    });
    EXPECT_EQ(read.output, "0") << "1: the read did not fail, 2: wrong error or values changed";

    // A directory on the way that cannot be searched is a failure, not a missing file.
    const std::string closed = dir.path("closed");
    ASSERT_EQ(::mkdir(closed.c_str(), 0700), 0);
    writeFile(closed + "/song.mp3", original);
    const auto searched = runAsNobody(closed, X_OK, [&]() -> std::string {
        TagValues values;
        try {
            ReadTag(closed + "/song.mp3", true, GenreTable{}, values);
        } catch (const std::system_error& error) {
            return error.code().value() == EACCES ? "0" : "2";
        }
        return "1";
    });
    EXPECT_EQ(searched.output, "0");
}

} // namespace
} // namespace vextag
