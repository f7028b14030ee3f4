// Rows of files with "Read Other Tags": their ID3v2 tag, Vorbis comments or MP4 atoms fill the
// columns and their length is known as they are added; an ID3v1 tag fills only what the richer
// tag lacks, and with the option off the rows are those of the ID3v1 tag alone. ID3v1 fields
// come padded with NULs, as tagging tools write them, and no row shows one. Ticking the option
// reads the rows again in the background. The files are encoded by GStreamer when the program
// starts.
#include "playlist/play_list_fixture.h"
#include "tools/media/tagged_encoder.h"

#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <thread>

namespace velorra {
namespace {

using media::SongTags;
using media::TaggedFormat;
using testing::PlayListWindow;

const SongTags Tagged{.title = "Ça commence",
                      .artist = "Zoë Ünal",
                      .album = "Ørsted Live",
                      .genre = "Jazz",
                      .comment = "première prise",
                      .year = 2019};

struct Songs {
    testing::TempDir dir{"velorra-other-tags"};
    std::vector<std::string> tagged;  // one file of each format, tagged with Tagged
    std::string untitledFlac;         // "tone.flac": an artist, no title
    std::string bothTags;             // an ID3v2 tag and an ID3v1 tag
    std::string emptyId3v1;           // an ID3v2 tag and an ID3v1 tag of empty fields
    std::string sparseBoth;           // an ID3v2 tag of a title alone and a NUL-padded ID3v1 tag
    std::string nulId3v1;             // the same ID3v2 tag and an ID3v1 tag of NULs alone
    std::string id3v1Only;            // a NUL-padded ID3v1 tag alone
    std::string longComment;          // Ogg Vorbis whose comments run over several pages

    Songs() {
        const struct {
            TaggedFormat format;
            const char* name;
        } formats[] = {{TaggedFormat::Mp3Id3v2, "id3v2.mp3"},
                       {TaggedFormat::Flac, "song.flac"},
                       {TaggedFormat::OggVorbis, "song.ogg"},
                       {TaggedFormat::Opus, "song.opus"},
                       {TaggedFormat::M4a, "song.m4a"}};
        int variant = 0;
        for (const auto& f : formats) {
            if (!media::canEncode(f.format)) continue;  // M4A wants an AAC encoder
            tagged.push_back(dir.path(f.name));
            media::writeTagged(tagged.back(), f.format, media::tune(variant++), 1.5, Tagged);
        }
        untitledFlac = dir.path("tone.flac");
        media::writeTagged(untitledFlac, TaggedFormat::Flac, media::tune(variant++), 1.0, {.artist = "Tone Maker"});
        longComment = dir.path("long.ogg");
        media::writeTagged(longComment, TaggedFormat::OggVorbis, media::tune(variant++), 1.0,
                           {.title = "Long", .comment = std::string(150000, 'c')});
        const std::string id3v2 = testing::readFile(tagged.front());
        bothTags = dir.makeFile("both.mp3", id3v2 + testing::id3v1Record({.title = "Old Title", .artist = "Old Artist"}));
        emptyId3v1 = dir.makeFile("Empty One.mp3", id3v2 + testing::id3v1Record({}));
        const std::string titleOnly = dir.path("title-only.mp3");
        media::writeTagged(titleOnly, TaggedFormat::Mp3Id3v2, media::tune(variant++), 1.0, {.title = "Nur Titel"});
        const std::string sparse = testing::readFile(titleOnly);
        sparseBoth = dir.makeFile(
            "sparse.mp3",
            sparse + nulPadded({.title = "Kurz", .artist = "Alte Band", .year = "1999", .comment = "c", .genre = 8}));
        nulId3v1 = dir.makeFile("Nul One.mp3", sparse + "TAG" + std::string(125, '\0'));
        id3v1Only = dir.makeFile("v1.mp3", std::string(400, '\x55') + nulPadded({.title = "Caf\xE9", .artist = "Zo\xEB"}));
    }

    // An ID3v1 record whose fields are padded with NULs.
    static std::string nulPadded(const testing::Id3v1Tag& tag) {
        const auto fit = [](std::string text, size_t width) {
            text.resize(width, '\0');
            return text;
        };
        return "TAG" + fit(tag.title, 30) + fit(tag.artist, 30) + fit(tag.album, 30) + fit(tag.year, 4) +
               fit(tag.comment, 30) + std::string(1, static_cast<char>(tag.genre));
    }
};

const Songs& songs() {
    static const Songs s;
    return s;
}

using OtherTags = PlayListWindow;

TEST_F(OtherTags, EachFormatShowsItsTagsAndItsLengthAsItIsAdded) {
    ASSERT_GE(songs().tagged.size(), 4u);  // MP3 with ID3v2, FLAC, Ogg Vorbis and Opus at least
    player.spinCutFirst.setValue(2);  // the length column is the trimmed length, as the total writes it
    for (const auto& path : songs().tagged) media.setDuration(path, 184.5);
    media.setDuration(songs().untitledFlac, 61.2);
    media.setDuration(songs().longComment, 1.0);
    addRows(songs().tagged);
    addRows({songs().untitledFlac});

    for (int32_t row = 1; row <= static_cast<int32_t>(songs().tagged.size()); ++row) {
        SCOPED_TRACE(list().text(row, 7));
        EXPECT_EQ(list().text(row, 0), Tagged.title);
        EXPECT_EQ(list().text(row, 2), Tagged.artist);
        EXPECT_EQ(list().text(row, 3), Tagged.album);
        EXPECT_EQ(list().text(row, 4), "2019");
        EXPECT_EQ(list().text(row, 5), Tagged.genre);
        EXPECT_EQ(list().text(row, 6), Tagged.comment);
        EXPECT_EQ(list().text(row, 9), "184");
        EXPECT_EQ(list().text(row, 1), "03:02");
    }
    // Comments longer than a page are gathered from the pages they run over.
    addRows({songs().longComment});
    EXPECT_EQ(list().text(list().count(), 0), "Long");
    EXPECT_EQ(list().text(list().count(), 6), std::string(150000, 'c'));

    const int32_t tone = list().count() - 1;
    EXPECT_EQ(list().text(tone, 0), "tone");
    EXPECT_EQ(list().text(tone, 2), "Tone Maker");
    EXPECT_EQ(list().text(tone, 9), "61");

    // "Calculate Total" takes the lengths the rows already carry.
    const size_t probes = media.callsOf("probeDuration").size();
    player.cmdCalculate.click();
    EXPECT_EQ(media.callsOf("probeDuration").size(), probes);
    EXPECT_EQ(player.lblCantDeTemas.Caption(), std::to_string(list().count()));
}

// Lets the rows read again in the background arrive, until `done` or ten seconds.
bool rowsReadAgain(testing::ManualLoop& loop, const std::function<bool()>& done) {
    for (int i = 0; i < 10000 && !done(); ++i) {
        loop.doEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

using Rows = std::vector<std::string>;

TEST_F(OtherTags, TheRicherTagWinsAndId3v1FillsItsGapsWhileTheOptionIsOnAndTickingReadsTheRowsAgain) {
    const auto& s = songs();
    const Rows files{s.bothTags, s.sparseBoth, s.nulId3v1, s.emptyId3v1, s.id3v1Only};
    for (const auto& path : files) media.setDuration(path, 100);
    for (const auto& path : {s.untitledFlac, s.tagged[0]}) media.setDuration(path, 100);
    addRows(files);
    // An ID3v1 tag of NULs alone is no tag: its genre code 0 does not make the row "Blues".
    EXPECT_EQ(column(0), (Rows{Tagged.title, "Nur Titel", "Nur Titel", Tagged.title, "Café"}));
    EXPECT_EQ(column(2), (Rows{Tagged.artist, "Alte Band", "", Tagged.artist, "Zoë"}));
    EXPECT_EQ(column(4), (Rows{"2019", "1999", "", "2019", ""}));
    EXPECT_EQ(column(5), (Rows{Tagged.genre, "Jazz", "", Tagged.genre, ""}));
    EXPECT_EQ(column(6), (Rows{Tagged.comment, "c", "", Tagged.comment, ""}));
    EXPECT_EQ(column(9), (Rows{"100", "100", "100", "100", ""}));  // the ID3v1 row waits until it plays

    // A named pipe is no file to read: it becomes a row at once, without waiting for a writer.
    const std::string pipe = dir.path("pipe.ogg");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const size_t probes = media.callsOf("probeDuration").size();
    addRows({pipe});
    EXPECT_EQ(list().text(6, 0), "pipe");
    EXPECT_EQ(media.callsOf("probeDuration").size(), probes);

    // Unticked, every row reads as its ID3v1 tag alone, NULs cut off; the lengths stay.
    player.mnuReadOtherTags.click();
    EXPECT_FALSE(player.mnuReadOtherTags.Checked());
    ASSERT_TRUE(rowsReadAgain(loop, [&] { return list().text(1, 0) == "Old Title"; }));
    EXPECT_EQ(column(0), (Rows{"Old Title", "Kurz", "Nul One", "Empty One", "Café", "pipe"}));
    EXPECT_EQ(column(2), (Rows{"Old Artist", "Alte Band", "", "", "Zoë", ""}));
    EXPECT_EQ(column(5), (Rows{"", "Jazz", "Blues", "", "", ""}));
    EXPECT_EQ(column(6), (Rows{"", "c", "", "", "", ""}));
    EXPECT_EQ(column(9), (Rows{"100", "100", "100", "100", "", ""}));

    // Rows added while it is off are those of the ID3v1 tag, and ticking it again reads them
    // as it now says, lengths too.
    player.mnuClear.click();
    addRows({s.tagged[0], s.untitledFlac});
    EXPECT_EQ(column(0), (Rows{"id3v2", "tone"}));
    for (int k : {1, 2, 3, 4, 5, 6, 9}) EXPECT_EQ(column(k), (Rows{"", ""})) << "column " << k;
    EXPECT_EQ(media.callsOf("probeDuration").size(), probes);
    player.mnuReadOtherTags.click();
    ASSERT_TRUE(rowsReadAgain(loop, [&] { return list().text(2, 2) == "Tone Maker"; }));
    EXPECT_EQ(column(0), (Rows{Tagged.title, "tone"}));
    EXPECT_EQ(column(3), (Rows{Tagged.album, ""}));
    EXPECT_EQ(column(9), (Rows{"100", "100"}));
}

}  // namespace
}  // namespace velorra
