// The vextag command-line tool as a user scripts it: JSON lines, changing fields, the genre list,
// exit statuses, and tags exchanged with python3-mutagen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/tagged_mp3.h"
#include "support/temp_dir.h"
#include "taglib/tag_files.h"

namespace vextag {
namespace {

using test::audio;
using namespace velorra::testing;  // the folder, files and records of tests/support

std::string quoted(const std::string& arg) {
    std::string out = "'";
    for (const char c : arg) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a command line (already quoted) with its output caught in files of `dir`.
ToolRun shell(const TempDir& dir, const std::string& command) {
    const std::string out = dir.path("stdout"), err = dir.path("stderr");
    const int raw = std::system((command + " >" + quoted(out) + " 2>" + quoted(err)).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
}

std::string toolCommand(const std::vector<std::string>& args) {
    std::string command = quoted(VEXTAG_TOOL);
    for (const std::string& arg : args) {
        // Appended in two steps: `" " + quoted(arg)` trips GCC 12's -Wrestrict at -O3.
        command += ' ';
        command += quoted(arg);
    }
    return command;
}

ToolRun vextag(const TempDir& dir, const std::vector<std::string>& args) { return shell(dir, toolCommand(args)); }

std::string jsonLine(const std::string& file, const std::string& song, const std::string& artist,
                     const std::string& album, const std::string& year, const std::string& genre,
                     const std::string& comment) {
    return "{\"file\": \"" + file + "\", \"song\": \"" + song + "\", \"artist\": \"" + artist + "\", \"album\": \"" +
           album + "\", \"year\": \"" + year + "\", \"genre\": \"" + genre + "\", \"comment\": \"" + comment +
           "\"}\n";
}

std::string nuls(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "\\u0000";
    return s;
}

std::string lastRecord(const std::string& path) {
    const std::string bytes = readFile(path);
    return bytes.substr(bytes.size() - 128);
}

TEST(VextagTool, ShowPrintsOneJsonLineAFile) {
    TempDir dir;
    Id3v1Tag f;
    f.title = "  Caf\xE9 \"quoted\"  " + std::string(13, '\0');
    f.artist = "back\\slash";
    f.album = "tab\there";
    f.year = "1999";
    f.comment = "NUL after" + std::string(21, '\0');
    f.genre = 85;
    const std::string tagged = dir.path("tagged.mp3");
    writeFile(tagged, audio(300) + id3v1Record(f));
    const std::string untagged = dir.path("untagged.mp3");
    writeFile(untagged, audio(300));
    const std::string odd = dir.path("n\xE4me.mp3");  // a file name that is not UTF-8
    writeFile(odd, audio(10));

    ToolRun run = vextag(dir, {"show", tagged, dir.path("missing.mp3"), untagged, dir.path(), odd});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, jsonLine(tagged, "Café \\\"quoted\\\"  " + nuls(13), "back\\\\slash", "tab\\there", "1999", "Bebob", "NUL after" + nuls(21)) +
                           jsonLine(dir.path("missing.mp3"), "", "", "", "", "", "") +
                           jsonLine(untagged, "", "", "", "", "", "") + jsonLine(dir.path(), "", "", "", "", "", "") +
                           jsonLine(dir.path("n\\udce4me.mp3"), "", "", "", "", "", ""));

    run = vextag(dir, {"show", "--no-trim", tagged});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\"song\": \"  Café"), std::string::npos) << run.out;
}

TEST(VextagTool, SetChangesTheNamedFieldsAndKeepsTheRest) {
    TempDir dir;
    const std::string path = dir.path("song.mp3");
    const std::string audioBytes = audio(1000);
    writeFile(path, audioBytes);

    ToolRun run = vextag(dir, {"set", path, "--song", "First", "--artist", "  Band  ", "--genre", "Swing", "--year", "2024"});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(readFile(path).size(), 1128u);
    run = vextag(dir, {"set", path, "--album", "Ñu", "--comment", "Δ", "--genre", "Bebob"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 1128u) << "the second save overwrites in place";
    EXPECT_EQ(bytes.substr(0, 1000), audioBytes);
    const std::string tag = lastRecord(path);
    EXPECT_EQ(tag.substr(3, 30), "First" + std::string(25, ' '));
    EXPECT_EQ(tag.substr(33, 30), "Band" + std::string(26, ' ')) << "the read before the save trims";
    EXPECT_EQ(tag.substr(63, 30), "\xD1u" + std::string(28, ' '));
    EXPECT_EQ(tag.substr(97, 30), "?" + std::string(29, ' '));
    EXPECT_EQ(static_cast<unsigned char>(tag[127]), 85);

    run = vextag(dir, {"show", path});
    EXPECT_EQ(run.out, jsonLine(path, "First", "Band", "Ñu", "2024", "Bebob", "?"));

    // Nothing is created or written for a missing file or a short one, and that is not a failure.
    const std::string shortFile = dir.path("short.mp3");
    writeFile(shortFile, audio(150));
    run = vextag(dir, {"set", dir.path("missing.mp3"), "--song", "x"});
    EXPECT_EQ(run.status, 0);
    run = vextag(dir, {"set", shortFile, "--song", "x"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(::access(dir.path("missing.mp3").c_str(), F_OK), 0);
    EXPECT_EQ(readFile(shortFile), audio(150));
}

TEST(VextagTool, GenresListsTheTableByCode) {
    TempDir dir;
    const ToolRun run = vextag(dir, {"genres"});
    EXPECT_EQ(run.status, 0);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = run.out.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(run.out.substr(start, end - start));
    ASSERT_EQ(lines.size(), 125u);
    EXPECT_EQ(lines[0], "0 Blues");
    EXPECT_EQ(lines[40], "40 Alternative Rock");
    EXPECT_EQ(lines[83], "83 Swing");
    EXPECT_EQ(lines[84], "85 Bebob");
    EXPECT_EQ(lines[124], "125 Dance Hall");
}

TEST(VextagTool, HelpAndVersionAnswerOnStandardOutput) {
    TempDir dir;
    for (const std::string option : {"--help", "-h"}) {
        const ToolRun run = vextag(dir, {option});
        EXPECT_EQ(run.status, 0) << option;
        EXPECT_EQ(run.out.rfind("usage: vextag show [--no-trim] FILE...\n", 0), 0u) << option << ": " << run.out;
        EXPECT_NE(run.out.find("vextag --help | --version\n"), std::string::npos);
        EXPECT_EQ(run.err, "");
    }
    const ToolRun run = vextag(dir, {"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "vextag 1.0.8\n");
    EXPECT_EQ(run.err, "");
}

TEST(VextagTool, ExitStatusTellsUsageErrorsFromFileFailures) {
    TempDir dir;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"play"}, {"--bogus"}, {"-x"}, {"--help", "extra"}, {"--version", "extra"}, {"show"},
             {"show", "--bogus", "x"}, {"set"}, {"set", "a", "b"}, {"set", "a", "--song"},
             {"set", "a", "--track", "1"}, {"genres", "extra"}}) {
        const ToolRun run = vextag(dir, args);
        EXPECT_EQ(run.status, 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_NE(run.err.find("usage: vextag show"), std::string::npos);
        EXPECT_EQ(run.out, "") << "the usage of a wrong command line goes to standard error only";
    }
    EXPECT_EQ(vextag(dir, {"--bogus"}).err.rfind("vextag: unknown option --bogus\n", 0), 0u);

    const std::string readable = dir.path("readable.mp3");
    writeFile(readable, audio(300));
    const std::string locked = dir.path("locked.mp3");
    writeFile(locked, audio(300));
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    const std::string asNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    const ToolRun probe = shell(dir, asNobody + "test -r " + quoted(locked));
    if (probe.status != 1) GTEST_SKIP() << "cannot run as a user that file permissions stop: " << probe.err;

    ToolRun run = shell(dir, asNobody + toolCommand({"show", locked, readable}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "vextag: " + locked + ": Permission denied\n");
    EXPECT_EQ(run.out, jsonLine(readable, "", "", "", "", "", "")) << "the other files are still shown";

    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    const std::string before = readFile(locked);
    run = shell(dir, asNobody + toolCommand({"set", locked, "--song", "x"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "vextag: " + locked + ": Permission denied\n");
    EXPECT_EQ(readFile(locked), before);
}

// mutagen's own ID3v1 reader and writer, on the last 128 bytes of a file.
const char* const MutagenRead = R"(
import json, sys
from mutagen.id3 import ParseID3v1
frames = ParseID3v1(open(sys.argv[1], 'rb').read()[-128:])
print(json.dumps({k: str(v) for k, v in sorted(frames.items())}, ensure_ascii=False))
)";
const char* const MutagenWrite = R"(
import sys
import mutagen.id3 as id3
frames = {'TIT2': id3.TIT2(text=[sys.argv[2]]), 'TPE1': id3.TPE1(text=[sys.argv[3]]),
          'TALB': id3.TALB(text=['Album']), 'TDRC': id3.TDRC(text=['1987']), 'TCON': id3.TCON(text=['(17)'])}
with open(sys.argv[1], 'ab') as f:
    f.write(id3.MakeID3v1(frames))
)";

TEST(VextagTool, TagsAreExchangedWithMutagen) {
    TempDir dir;
    const std::string python = "/usr/bin/python3";
    if (shell(dir, python + " -c 'import mutagen'").status != 0) GTEST_SKIP() << "python3-mutagen is not installed";

    for (const auto& [song, artist] : {std::pair{"Plain ASCII", "Artist"}, std::pair{"Àéîõü ßÿ", "Niño"}}) {
        const std::string path = dir.path("ours.mp3");
        writeFile(path, audio(500));
        ASSERT_EQ(vextag(dir, {"set", path, "--song", song, "--artist", artist, "--album", "Album", "--year", "1987",
                               "--genre", "Rock", "--comment", "note"})
                      .status,
                  0);
        const ToolRun peer = shell(dir, python + " -c " + quoted(MutagenRead) + " " + quoted(path));
        EXPECT_EQ(peer.out, "{\"COMM\": \"note\", \"TALB\": \"Album\", \"TCON\": \"17\", \"TDRC\": \"1987\", "
                            "\"TIT2\": \"" + std::string(song) + "\", \"TPE1\": \"" + artist + "\"}\n")
            << peer.err;

        const std::string theirs = dir.path("theirs.mp3");
        writeFile(theirs, audio(500));
        ASSERT_EQ(shell(dir, python + " -c " + quoted(MutagenWrite) + " " + quoted(theirs) + " " + quoted(song) + " " +
                                 quoted(artist))
                      .status,
                  0);
        // mutagen fills fields with NUL bytes, which a read keeps.
        const auto padded = [](const std::string& utf8) {
            int characters = 0;
            for (const char c : utf8) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
            return utf8 + nuls(30 - characters);
        };
        const ToolRun ours = vextag(dir, {"show", theirs});
        EXPECT_EQ(ours.out, jsonLine(theirs, padded(song), padded(artist), padded("Album"), "1987", "Rock", nuls(30)))
            << ours.err;
    }
}

} // namespace
} // namespace vextag
