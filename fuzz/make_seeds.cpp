// Writes the starting corpus of every fuzz target into <folder>/<target>/: small files of each
// kind the parser knows, with the tags, odd chunks and line ends that lead into its branches.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

namespace fs = std::filesystem;

void put(const fs::path& folder, const std::string& name, const std::string& bytes) {
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

std::string le32(uint32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string le16(uint16_t v) { return le32(v).substr(0, 2); }

std::string be32(uint32_t v) {
    std::string s;
    for (int i = 3; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

// An MPEG audio frame header: version bits (3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5), layer bits (1 III,
// 2 II, 3 I), bitrate and sample-rate indexes, padding, channel mode (3 mono).
uint32_t header(uint32_t version, uint32_t layer, uint32_t bitrate, uint32_t rate, uint32_t pad = 0,
                uint32_t mode = 0) {
    return 0xFFE00000 | version << 19 | layer << 17 | 1u << 16 | bitrate << 12 | rate << 10 | pad << 9 | mode << 6;
}

// `count` frames of `length` bytes, each a header and zeros.
std::string frames(uint32_t h, size_t length, int count) {
    std::string frame = be32(h) + std::string(length - 4, '\0');
    std::string all;
    for (int i = 0; i < count; ++i) all += frame;
    return all;
}

// A layer III frame whose side information is followed by a Xing or Info header.
std::string vbrFrame(const char* tag, uint32_t h, size_t length, size_t sideInfo, uint32_t count, uint32_t bytes) {
    std::string frame = be32(h) + std::string(sideInfo, '\0') + tag + be32(3) + be32(count) + be32(bytes);
    return frame + std::string(length - frame.size(), '\0');
}

std::string vbriFrame(uint32_t h, size_t length, uint32_t count, uint32_t bytes) {
    std::string frame = be32(h) + std::string(32, '\0') + "VBRI" + std::string(6, '\0') + be32(bytes) + be32(count);
    return frame + std::string(length - frame.size(), '\0');
}

std::string id3v2(size_t size, bool footer) {
    std::string tag = "ID3\x04";
    tag += '\0';
    tag += static_cast<char>(footer ? 0x10 : 0);
    for (int shift = 21; shift >= 0; shift -= 7) tag += static_cast<char>((size >> shift) & 0x7F);
    return tag + std::string(size + (footer ? 10 : 0), 'i');
}

std::string ape() {
    const std::string items(24, 'a');
    return items + "APETAGEX" + le32(2000) + le32(static_cast<uint32_t>(items.size() + 32)) + le32(1) +
           le32(0x80000000) + std::string(8, '\0');
}

// A 128-byte ID3v1 record.
std::string record(const std::string& marker, const std::string& title, char fill, uint8_t genre) {
    std::string r = marker + title.substr(0, 30) + std::string(30 - std::min<size_t>(title.size(), 30), fill);
    r += "Artist" + std::string(24, fill) + "Album" + std::string(25, fill) + "1999";
    r += "Comment\xe9" + std::string(22, fill);
    return r + static_cast<char>(genre);
}

std::string wav(uint16_t format, uint32_t dataSize, size_t present, const std::string& before = "",
                size_t fmtSize = 16) {
    std::string fmt = le16(format) + le16(2) + le32(44100) + le32(176400) + le16(4) + le16(16);
    fmt += std::string(fmtSize - 16, '\0');
    std::string body = "WAVE" + before + "fmt " + le32(static_cast<uint32_t>(fmtSize)) + fmt + "data" + le32(dataSize) +
                       std::string(present, '\x11');
    return "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
}

void mpegSeeds(const fs::path& d) {
    const uint32_t cbr = header(3, 1, 9, 0);  // MPEG-1 layer III, 128 kbit/s, 44.1 kHz: 417 bytes
    put(d, "cbr", frames(cbr, 417, 6) + frames(cbr | 0x200, 418, 2));
    put(d, "xing", vbrFrame("Xing", cbr, 417, 32, 8, 417 * 9) + frames(cbr, 417, 8));
    put(d, "info-mono", vbrFrame("Info", header(3, 1, 9, 0, 0, 3), 417, 17, 5, 417 * 6) +
                            frames(header(3, 1, 9, 0, 0, 3), 417, 5));
    put(d, "vbri", vbriFrame(cbr, 417, 6, 417 * 7) + frames(cbr, 417, 6));
    put(d, "mpeg2", frames(header(2, 1, 8, 1), 192, 6));               // 64 kbit/s at 24 kHz
    put(d, "mpeg25-mono", frames(header(0, 1, 8, 2, 0, 3), 576, 6));       // 64 kbit/s at 8 kHz
    put(d, "layer1", frames(header(3, 3, 4, 0), 136, 8));                   // 128 kbit/s at 44.1 kHz
    put(d, "layer2", frames(header(3, 2, 10, 1), 576, 8));                  // 192 kbit/s at 48 kHz
    put(d, "free-format", frames(header(3, 1, 0, 0), 500, 6));
    put(d, "tagged", id3v2(200, true) + id3v2(30, false) + frames(cbr, 417, 5) + ape() +
                         record("TAG", "Title", ' ', 17));
    put(d, "garbage-inside", frames(cbr, 417, 4) + std::string(300, '\xFF') + frames(cbr, 417, 4));
}

void wavSeeds(const fs::path& d) {
    put(d, "pcm", wav(1, 400, 400));
    put(d, "list-first", wav(1, 400, 400, "LIST" + le32(5) + "INFOx" + std::string(1, '\0')));
    put(d, "cut-short", wav(1, 100000, 300));
    put(d, "extensible", wav(0xFFFE, 64, 64, "", 40));
    put(d, "no-fmt", "RIFF" + le32(20) + "WAVEdata" + le32(8) + std::string(8, '\0'));
}

void id3v1Seeds(const fs::path& d) {
    put(d, "shortest", std::string(23, '\0') + record("TAG", "Title", ' ', 0));
    put(d, "lower-marker", std::string(72, 'x') + record("tag", "Song with NULs", '\0', 84));
    put(d, "latin1", std::string(200, '\xFF') + record("TaG", "  Caf\xe9 cr\xe8me ", ' ', 125));
    put(d, "too-short", std::string(22, '\0') + record("TAG", "Title", ' ', 1));
    put(d, "untagged", std::string(300, 'm'));
}

void m3uSeeds(const fs::path& d) {
    put(d, "extended", "#EXTM3U\r\n#EXTINF:245,Artist - Title\r\n/music/a.mp3\r\nsongs/b.mp3\r\n");
    put(d, "line-ends", "/m/crlf.mp3\r\n/m/lf.mp3\n/m/cr.mp3\r\r\n\n../up.mp3\rC:\\Music\\win.mp3");
    put(d, "long-lines", std::string(PATH_MAX, 'a') + "\n" + std::string(PATH_MAX + 1, 'b') + "\r\nnext.mp3\n");
    // A CR LF across the reader's 64 KiB buffers.
    put(d, "buffer-edge", std::string(65535, 'c') + "\r\n" + "after.mp3");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_seeds <folder>\n";
        return 2;
    }
    const fs::path root = argv[1];
    mpegSeeds(root / "mpeg_duration_fuzz");
    wavSeeds(root / "wav_duration_fuzz");
    id3v1Seeds(root / "id3v1_fuzz");
    m3uSeeds(root / "m3u_fuzz");
    return 0;
}
