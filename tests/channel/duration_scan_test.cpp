#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>

#include "channel/media_fixtures.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "player/channel/duration_cache.h"
#include "player/channel/duration_scan.h"
#include "player/channel/whole_seconds.h"
#include "tools/media/decoded_length.h"

namespace velorra {
namespace {

using test::channelMedia;

// Frames of one header repeated, with a body of zeros.
std::string frames(uint32_t header, size_t length, int count) {
    std::string frame(length, '\0');
    for (int i = 0; i < 4; ++i) frame[i] = static_cast<char>(header >> (24 - 8 * i));
    std::string all;
    for (int i = 0; i < count; ++i) all += frame;
    return all;
}

std::string id3v2(size_t size) {
    std::string tag = "ID3\x04";
    tag += '\0';
    tag += '\0';
    for (int shift = 21; shift >= 0; shift -= 7) tag += static_cast<char>((size >> shift) & 0x7F);
    // A body full of bytes that look like frame syncs.
    tag += std::string(size, '\xFF');
    return tag;
}

std::string apeAndId3v1() {
    std::string ape = std::string(40, 'a');  // the tag's items
    std::string footer = "APETAGEX";
    footer += std::string("\xD0\x07\0\0", 4);  // version 2000
    const uint32_t size = static_cast<uint32_t>(ape.size() + 32);
    for (int i = 0; i < 4; ++i) footer += static_cast<char>((size >> (8 * i)) & 0xFF);
    footer += std::string(16, '\0');
    std::string id3v1 = "TAG" + std::string(125, '\xFF');
    return ape + footer + id3v1;
}

double decoded(const std::filesystem::path& p) { return media::decodedSeconds(p); }

TEST(ChannelDurationScan, MatchesTheDecodedLengthOfEveryKindOfFile) {
    const auto& m = channelMedia();
    std::vector paths{m.cbr, m.vbrXing, m.vbrNoXing, m.mpeg2, m.mpeg25, m.wav, m.ogg, m.opus, m.flac};
    if (!m.m4a.empty()) paths.insert(paths.end(), {m.m4a, m.adts});
    for (const auto& path : paths) {
        const auto seconds = scanDuration(path.string());
        ASSERT_TRUE(seconds) << path;
        EXPECT_NEAR(*seconds, decoded(path), 0.1) << path;
    }
    // The decoder drops the samples an Opus header says it skips at the start: the length is
    // that of the sound that went in.
    EXPECT_NEAR(*scanDuration(m.opus.string()), 3.9, 0.001);
    // Raw AAC tells its length nowhere: its frames are counted.
    if (!m.adts.empty()) {
        EXPECT_NEAR(scanDuration(m.adts.string()).value_or(0), 6.1, 0.1);
    }
    // Formats that need a decoder are left to one.
    EXPECT_FALSE(scanDuration(m.oggFlac.string()));
}

TEST(ChannelDurationScan, OggAndFlacLengthsComeFromTheirHeadersOrNotAtAll) {
    const auto& m = channelMedia();
    // An Ogg file cut short: its last whole page tells how far it goes.
    const std::string ogg = testing::readFile(m.ogg);
    const auto cutOgg = test::writeBytes("cut.ogg", ogg.substr(0, ogg.size() * 2 / 3));
    ASSERT_TRUE(scanDuration(cutOgg.string()));
    EXPECT_NEAR(*scanDuration(cutOgg.string()), decoded(cutOgg), 0.1);
    EXPECT_LT(*scanDuration(cutOgg.string()), 4.4 * 0.8);
    // A last page whose bytes were damaged is passed over for the one before it.
    std::string damaged = ogg;
    damaged[damaged.size() - 10] ^= 0x55;
    const auto damagedOgg = test::writeBytes("damaged.ogg", damaged);
    ASSERT_TRUE(scanDuration(damagedOgg.string()));
    EXPECT_LT(*scanDuration(damagedOgg.string()), *scanDuration(m.ogg.string()));
    EXPECT_GT(*scanDuration(damagedOgg.string()), 4.4 - 1.0);

    // A FLAC stream that does not know its sample count has no length without a decoder; an
    // ID3v2 tag before "fLaC" does not hide the stream.
    const std::string flac = testing::readFile(m.flac);
    std::string unknown = flac;
    for (size_t i = 21; i < 26; ++i) unknown[i] = static_cast<char>(i == 21 ? unknown[i] & 0xF0 : 0);
    EXPECT_FALSE(scanDuration(test::writeBytes("unknown.flac", unknown).string()));
    EXPECT_EQ(scanDuration(test::writeBytes("id3.flac", id3v2(500) + flac).string()), scanDuration(m.flac.string()));
}

TEST(ChannelDurationScan, SkipsTagsAtBothEnds) {
    const auto& m = channelMedia();
    const std::string audio = testing::readFile(m.cbr);
    const double bare = *scanDuration(m.cbr.string());
    const auto tagged = test::writeBytes("tagged.mp3", id3v2(3000) + audio + apeAndId3v1());
    EXPECT_EQ(scanDuration(tagged.string()), bare);
    const auto twoTags = test::writeBytes("two-id3v2.mp3", id3v2(100) + id3v2(5000) + audio);
    EXPECT_EQ(scanDuration(twoTags.string()), bare);
    if (m.adts.empty()) return;
    const auto aac = test::writeBytes("tagged.aac", id3v2(3000) + testing::readFile(m.adts) + apeAndId3v1());
    EXPECT_EQ(scanDuration(aac.string()), scanDuration(m.adts.string()));
}

TEST(ChannelDurationScan, SkipsGarbageAndCountsOnlyWhatACutFileHolds) {
    const auto& m = channelMedia();
    const std::string cbr = testing::readFile(m.cbr);
    const auto garbled = test::writeBytes(
        "garbled.mp3", cbr.substr(0, cbr.size() / 3) + test::randomBytes(2000, 7) + cbr.substr(cbr.size() / 3));
    EXPECT_NEAR(*scanDuration(garbled.string()), *scanDuration(m.cbr.string()), 0.06);
    std::vector paths{m.cbr, m.vbrXing};
    if (!m.adts.empty()) {
        const std::string adts = testing::readFile(m.adts);
        const auto garbledAdts = test::writeBytes(
            "garbled.aac", adts.substr(0, adts.size() / 3) + test::randomBytes(2000, 7) + adts.substr(adts.size() / 3));
        EXPECT_NEAR(scanDuration(garbledAdts.string()).value_or(0), *scanDuration(m.adts.string()), 0.06);
        paths.push_back(m.adts);
    }

    // A cut VBR file keeps the Xing frame count of the whole; the frames that are there count.
    for (const auto& path : paths) {
        const std::string whole = testing::readFile(path);
        const auto cut = test::writeBytes("cut-" + path.filename().string(), whole.substr(0, whole.size() / 2));
        const auto seconds = scanDuration(cut.string());
        ASSERT_TRUE(seconds) << cut;
        EXPECT_NEAR(*seconds, decoded(cut), 0.1) << cut;
        EXPECT_LT(*seconds, decoded(path) * 0.75) << cut;
    }
}

TEST(ChannelDurationScan, KnowsLayersOneAndTwoAndFreeFormat) {
    // MPEG-1 layer II, 192 kbit/s, 48 kHz: 576-byte frames of 1152 samples.
    const auto layer2 = test::writeBytes("layer2.mp2", frames(0xFFFDA400, 576, 100));
    EXPECT_EQ(scanDuration(layer2.string()), 100 * 1152 / 48000.0);
    // MPEG-1 layer I, 128 kbit/s, 44.1 kHz: 136-byte frames of 384 samples.
    const auto layer1 = test::writeBytes("layer1.mp1", frames(0xFFFF4000, 136, 100));
    EXPECT_EQ(scanDuration(layer1.string()), 100 * 384 / 44100.0);
    // MPEG-2 layer II, 64 kbit/s, 24 kHz: 384-byte frames of 1152 samples.
    const auto mpeg2 = test::writeBytes("mpeg2.mp2", frames(0xFFF58400, 384, 60));
    EXPECT_EQ(scanDuration(mpeg2.string()), 60 * 1152 / 24000.0);
    // Free format layer III at 44.1 kHz: the frame length is the distance between headers.
    const auto free = test::writeBytes("free.mp3", frames(0xFFFB0000, 500, 50));
    EXPECT_EQ(scanDuration(free.string()), 50 * 1152 / 44100.0);
}

TEST(ChannelDurationScan, FilesWithoutAudioHaveNoLength) {
    EXPECT_FALSE(scanDuration((channelMedia().dir / "missing.mp3").string()));
    EXPECT_FALSE(scanDuration(test::writeBytes("empty.mp3", "").string()));
    EXPECT_FALSE(scanDuration(test::writeBytes("noise.mp3", test::randomBytes(300000, 1)).string()));
    EXPECT_FALSE(scanDuration(test::writeBytes("text.mp3", std::string(5000, 'x')).string()));
    EXPECT_FALSE(scanDuration(channelMedia().dir.string()));
    // A named pipe without a writer: opening it must not wait for one. A scan that waits hangs
    // until the watchdog ends the child, which then gives no answer.
    const testing::TempDir dir;
    const std::string pipe = dir.path("pipe.mp3");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto scan = testing::runInChild(testing::watchdog(20), [&] { return scanDuration(pipe) ? "a length" : "none"; });
    EXPECT_EQ(scan.output, "none");
    // A WAV without its format chunk, and one whose data runs past the end of the file.
    EXPECT_FALSE(scanDuration(test::writeBytes("nofmt.wav", std::string("RIFF\0\0\0\0WAVEdata\4\0\0\0abcd", 24)).string()));
    const std::string wav = testing::readFile(channelMedia().wav);
    const auto cut = test::writeBytes("cut.wav", wav.substr(0, 44 + 44100 * 4));
    EXPECT_EQ(scanDuration(cut.string()), 1.0);
}

// A length is kept while its file keeps its size and modification time, and read again once
// either changes.
TEST(ChannelDurationScan, AKeptLengthHoldsUntilTheFileChanges) {
    const testing::TempDir dir;
    const std::string path = dir.path("song.mp3");
    const auto write = [&](const std::string& bytes, long modifiedNs) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        const timespec times[2] = {{1000, modifiedNs}, {1000, modifiedNs}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    };
    const std::string song = frames(0xFFFB9000, 417, 100);  // MPEG-1 layer III, 128 kbit/s
    const double length = 100 * 1152 / 44100.0;
    DurationCache lengths;
    write(song, 0);
    EXPECT_DOUBLE_EQ(lengths.lengthOf(path).value_or(0), length);
    // Other bytes under the same stamp: the kept length answers, and no scan is made.
    write(std::string(song.size(), 'x'), 0);
    EXPECT_DOUBLE_EQ(lengths.lengthOf(path).value_or(0), length);
    // A new modification time, then a new size: the file is read again.
    write(std::string(song.size(), 'x'), 1);
    EXPECT_FALSE(lengths.lengthOf(path));
    write(frames(0xFFFB9000, 417, 50), 1);
    EXPECT_DOUBLE_EQ(lengths.lengthOf(path).value_or(0), length / 2);
    // Anything but a regular file is never kept.
    EXPECT_FALSE(lengths.lengthOf(dir.path("")));
}

TEST(ChannelDurationScan, WholeSecondsRoundHalfToEven) {
    EXPECT_EQ(roundToInt32(184.5), 184);
    EXPECT_EQ(roundToInt32(185.5), 186);
    EXPECT_EQ(roundToInt32(184.49), 184);
    EXPECT_EQ(roundToInt32(-2.5), -2);
    EXPECT_EQ(roundToInt32(-3.5), -4);
    EXPECT_EQ(roundToInt32(2147483647.4), 2147483647);
    EXPECT_FALSE(roundToInt32(2147483647.6));
    EXPECT_FALSE(roundToInt32(std::nan("")));
}

}  // namespace
}  // namespace velorra
