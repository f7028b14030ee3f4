// Rows of files without an ID3v1 tag: their ID3v2 tag, Vorbis comments or MP4 atoms fill the
// columns and their length is known as they are added; an ID3v1 tag still wins, and with "Read
// Other Tags" off the rows are those of the ID3v1 tag alone. The files are encoded by
// GStreamer when the program starts.
#include "playlist/play_list_fixture.h"
#include "tools/media/tagged_encoder.h"

#include <sys/stat.h>

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

TEST_F(OtherTags, AnId3v1TagWinsEvenEmptyAndTheOptionOffGivesTheId3v1OnlyRows) {
    for (const auto& path : {songs().bothTags, songs().emptyId3v1, songs().untitledFlac, songs().tagged[0]})
        media.setDuration(path, 100);
    addRows({songs().bothTags, songs().emptyId3v1});
    EXPECT_EQ(column(0), (std::vector<std::string>{"Old Title", "Empty One"}));
    EXPECT_EQ(column(2), (std::vector<std::string>{"Old Artist", ""}));
    EXPECT_EQ(column(9), (std::vector<std::string>{"", ""}));  // nor a length before they play

    // A named pipe is no file to read: it becomes a row at once, without waiting for a writer.
    const std::string pipe = dir.path("pipe.ogg");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    addRows({pipe});
    EXPECT_EQ(list().text(3, 0), "pipe");
    EXPECT_TRUE(media.callsOf("probeDuration").empty());

    player.mnuClear.click();
    player.mnuReadOtherTags.click();
    EXPECT_FALSE(player.mnuReadOtherTags.Checked());
    addRows({songs().tagged[0], songs().untitledFlac});
    EXPECT_EQ(column(0), (std::vector<std::string>{"id3v2", "tone"}));
    for (int k : {1, 2, 3, 4, 5, 6, 9}) EXPECT_EQ(column(k), (std::vector<std::string>{"", ""})) << "column " << k;
    EXPECT_TRUE(media.callsOf("probeDuration").empty());
}

}  // namespace
}  // namespace velorra
