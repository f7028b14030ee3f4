// How fast ReadTag reads the tags of 10,000 files from a warm cache, against the bare system
// calls it cannot avoid (open, fstat, pread of 128 bytes, close) and against TagLib's ID3v1 reader.
//   tag_read         value: ReadTag files/s, baseline: bare calls files/s, ratio: baseline / value
//   tag_read_taglib  value: ReadTag files/s, baseline: TagLib files/s,   ratio: value / baseline
//   tag_read_taglib_id3v1_only  the same against TagLib's ID3v1 reader alone
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <taglib/id3v1tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tfile.h>

#include <vextag/tag_record.h>

namespace {

// TagLib's ID3v1 reader at its leanest: a file opened only to read the record at its end, with
// none of the MPEG file's searches for other tags and frames.
class TagLibId3v1File : public TagLib::File {
public:
    explicit TagLibId3v1File(const char* path) : TagLib::File(path) {
        if (isValid() && length() >= 128) tag_ = std::make_unique<TagLib::ID3v1::Tag>(this, length() - 128);
    }
    TagLib::ID3v1::Tag* tag() const override { return tag_.get(); }
    TagLib::AudioProperties* audioProperties() const override { return nullptr; }
    bool save() override { return false; }

private:
    std::unique_ptr<TagLib::ID3v1::Tag> tag_;
};

constexpr int FileCount = 10000;
constexpr int Rounds = 5;

std::vector<std::string> makeFiles(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    std::vector<std::string> paths;
    // Five MPEG-1 layer III frames (128 kbit/s, 44.1 kHz: 417 bytes each) of silence.
    std::string frame(417, '\0');
    frame.replace(0, 4, "\xFF\xFB\x90\x00");
    std::string audio;
    for (int i = 0; i < 5; ++i) audio += frame;
    for (int i = 0; i < FileCount; ++i) {
        std::string tag = "TAG";
        auto field = [&tag](std::string text, std::size_t width) {
            text.resize(width, ' ');
            tag += text;
        };
        field("Song number " + std::to_string(i), 30);
        field("Some Artist", 30);
        field("An Album", 30);
        field("1999", 4);
        field("a comment", 30);
        tag.push_back(static_cast<char>(i % 126));
        paths.push_back((dir / ("song" + std::to_string(i) + ".mp3")).string());
        std::ofstream(paths.back(), std::ios::binary) << audio << tag;
    }
    return paths;
}

// Files a second of one pass over all files.
double filesPerSecond(const std::vector<std::string>& paths, const std::function<void(const std::string&)>& read) {
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : paths) read(path);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return static_cast<double>(paths.size()) / took.count();
}

std::size_t sink = 0;  // keeps the reads from being optimised away

void bareRead(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    ::fstat(fd, &st);
    char record[128];
    sink += static_cast<std::size_t>(::pread(fd, record, sizeof record, st.st_size - 128));
    ::close(fd);
}

void printLine(const char* name, double value, double baseline, double ratio) {
    std::printf("bench name=%s value=%.0f unit=files/s baseline=%.0f ratio=%.2f\n", name, value, baseline, ratio);
}

} // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() / ("vextag-bench-" + std::to_string(::getpid()));
    const std::vector<std::string> paths = makeFiles(dir);

    const vextag::GenreTable genres;
    vextag::TagValues values;
    auto ours = [&](const std::string& path) {
        vextag::ReadTag(path, true, genres, values);
        sink += values.song.size();
    };
    auto take = [&](const TagLib::ID3v1::Tag* tag) {
        if (tag)
            sink += tag->title().to8Bit(true).size() + tag->artist().to8Bit(true).size() +
                    tag->album().to8Bit(true).size() + tag->comment().to8Bit(true).size() +
                    tag->genre().to8Bit(true).size() + tag->year();
    };
    // As TagLib's users read an MP3's ID3v1 tag: through its MPEG file, which also looks for the
    // other tags a file may carry.
    auto taglib = [&](const std::string& path) {
        TagLib::MPEG::File file(path.c_str(), false);
        take(file.ID3v1Tag());
    };
    auto taglibLean = [&](const std::string& path) {
        TagLibId3v1File file(path.c_str());
        take(file.tag());
    };

    for (const std::string& path : paths) bareRead(path);  // warm the cache
    // The readers take turns, so that a busy machine slows them alike; each keeps its best pass.
    double bare = 0, read = 0, peer = 0, leanPeer = 0;
    for (int round = 0; round < Rounds; ++round) {
        bare = std::max(bare, filesPerSecond(paths, bareRead));
        read = std::max(read, filesPerSecond(paths, ours));
        peer = std::max(peer, filesPerSecond(paths, taglib));
        leanPeer = std::max(leanPeer, filesPerSecond(paths, taglibLean));
    }
    printLine("tag_read", read, bare, bare / read);
    printLine("tag_read_taglib", read, peer, read / peer);
    printLine("tag_read_taglib_id3v1_only", read, leanPeer, read / leanPeer);

    std::filesystem::remove_all(dir);
    return sink == 0 ? 1 : 0;
}
