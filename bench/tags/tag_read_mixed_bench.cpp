// tag_read_mixed: the six values of 10,000 files, a quarter each MP3 with an ID3v1 tag only, MP3
// with an ID3v2 tag only, FLAC and Ogg Vorbis, read as the play list reads them (the ID3v1 tag
// through the tag control, the others through TagLib), against TagLib's FileRef loop without
// audio properties on the same files in the same run. Each figure is the time per file, ours
// over TagLib's; one line for the mix and one for each quarter.
#include "player/tags/row_tags.h"
#include "support/tagged_mp3.h"
#include "support/temp_dir.h"
#include "tools/media/mp3_encoder.h"
#include "tools/media/tagged_encoder.h"

#include <taglib/fileref.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace velorra;
using Clock = std::chrono::steady_clock;

constexpr int FilesPerKind = 2500;
constexpr int Rounds = 7;

struct Kind {
    const char* name;
    std::vector<std::string> files;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F>
double seconds(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

size_t ours(vextag::Vextag& control, const std::vector<std::string>& files) {
    size_t sink = 0;
    for (const std::string& file : files) {
        const auto row = readRowTags(control, file, true);
        const auto& v = row.values;
        sink += v.song.size() + v.artist.size() + v.album.size() + v.year.size() + v.genre.size() + v.comment.size();
    }
    return sink;
}

size_t taglib(const std::vector<std::string>& files) {
    size_t sink = 0;
    for (const std::string& file : files) {
        const TagLib::FileRef ref(file.c_str(), false);
        const TagLib::Tag* tag = ref.isNull() ? nullptr : ref.tag();
        if (!tag) continue;
        sink += tag->title().to8Bit(true).size() + tag->artist().to8Bit(true).size() +
                tag->album().to8Bit(true).size() + std::to_string(tag->year()).size() +
                tag->genre().to8Bit(true).size() + tag->comment().to8Bit(true).size();
    }
    return sink;
}

}  // namespace

int main() {
    const testing::TempDir dir("velorra-bench-tags");
    // One song of each kind, copied under many names.
    const media::SongTags tags{.title = "Título", .artist = "Zoë", .album = "Ørsted", .genre = "Jazz",
                               .comment = "première", .year = 2019};
    const std::string id3v1Source = dir.path("source-id3v1.mp3");
    media::writeMp3(id3v1Source, media::tune(1), 0.3, media::Mp3Kind::ConstantNoXing);
    const std::string id3v1 = testing::readFile(id3v1Source) +
                              testing::id3v1Record({.title = "Song", .artist = "Artist", .album = "Album",
                                                    .year = "1999", .comment = "note", .genre = 8});
    std::vector<std::pair<std::string, std::string>> sources{{"id3v1", id3v1}};
    const struct {
        media::TaggedFormat format;
        const char* name;
        const char* extension;
    } encoded[] = {{media::TaggedFormat::Mp3Id3v2, "id3v2", ".mp3"},
                   {media::TaggedFormat::Flac, "flac", ".flac"},
                   {media::TaggedFormat::OggVorbis, "ogg", ".ogg"}};
    for (const auto& e : encoded) {
        const std::string source = dir.path(std::string("source-") + e.name + e.extension);
        media::writeTagged(source, e.format, media::tune(2), 0.3, tags);
        sources.emplace_back(e.name, testing::readFile(source));
    }
    const char* extensions[] = {".mp3", ".mp3", ".flac", ".ogg"};
    std::vector<Kind> kinds;
    std::vector<std::string> mixed;
    for (size_t k = 0; k < sources.size(); ++k) {
        Kind kind{sources[k].first.c_str(), {}};
        for (int i = 0; i < FilesPerKind; ++i) {
            kind.files.push_back(dir.makeFile(sources[k].first + "/" + std::to_string(i) + extensions[k], sources[k].second));
        }
        kinds.push_back(std::move(kind));
    }
    // The kinds interleaved, as a folder sorted by name mixes them.
    for (int i = 0; i < FilesPerKind; ++i)
        for (const auto& kind : kinds) mixed.push_back(kind.files[static_cast<size_t>(i)]);

    vextag::Vextag control;
    size_t sinkOurs = 0, sinkTagLib = 0;
    const auto measure = [&](const char* name, const std::vector<std::string>& files) {
        sinkOurs += ours(control, files);  // warm the cache and both readers
        sinkTagLib += taglib(files);
        // Turns taken alternately, so a load on the machine hits both alike.
        std::vector<double> a, b;
        for (int r = 0; r < Rounds; ++r) {
            a.push_back(seconds([&] { sinkOurs += ours(control, files); }));
            b.push_back(seconds([&] { sinkTagLib += taglib(files); }));
        }
        const double value = median(a) / files.size() * 1e6, baseline = median(b) / files.size() * 1e6;
        std::printf("bench name=%s value=%.2f unit=us/file baseline=%.2f ratio=%.3f\n", name, value, baseline,
                    value / baseline);
    };
    measure("tag_read_mixed", mixed);
    for (const auto& kind : kinds) measure((std::string("tag_read_mixed_") + kind.name).c_str(), kind.files);
    return sinkOurs > 0 && sinkTagLib > 0 ? 0 : 1;
}
