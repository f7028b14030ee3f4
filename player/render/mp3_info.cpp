#include "player/render/mp3_info.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace velorra::render {

namespace {

// What LAME holds back at the start of what it encodes, in samples.
constexpr int64_t kEncoderDelay = 576;

constexpr std::array<int, 15> kBitratesV1{0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr std::array<int, 15> kBitratesV2{0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};

enum class Version { V1, V2, V25 };

struct Layout {
    Version version;
    int rateIndex;
};

Layout layoutOf(int rate) {
    switch (rate) {
    case 44100: return {Version::V1, 0};
    case 48000: return {Version::V1, 1};
    case 32000: return {Version::V1, 2};
    case 22050: return {Version::V2, 0};
    case 24000: return {Version::V2, 1};
    case 16000: return {Version::V2, 2};
    case 11025: return {Version::V25, 0};
    case 12000: return {Version::V25, 1};
    default: return {Version::V25, 2};  // 8000
    }
}

int samplesPerFrame(Version v) { return v == Version::V1 ? 1152 : 576; }

int frameBytes(Version v, int kbps, int rate, bool padded) {
    return (v == Version::V1 ? 144 : 72) * kbps * 1000 / rate + (padded ? 1 : 0);
}

// The info frame: 128 kbit/s for MPEG-1, 64 kbit/s for the others, room for both headers.
struct InfoFrame {
    Version version;
    int bitrateIndex;
    int size;
    int xingAt;  // after the header and the side information
};

InfoFrame infoFrameOf(SoundShape shape) {
    const Layout l = layoutOf(shape.rate);
    const bool v1 = l.version == Version::V1;
    const int index = v1 ? 9 : 8;
    const int kbps = v1 ? kBitratesV1[index] : kBitratesV2[index];
    const int sideInfo = v1 ? (shape.channels == 1 ? 17 : 32) : (shape.channels == 1 ? 9 : 17);
    return {l.version, index, frameBytes(l.version, kbps, shape.rate, false), 4 + sideInfo};
}

void put32(std::vector<unsigned char>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

// The CRC-16 of the LAME tag (polynomial 0x8005, reflected), over the frame's first 190 bytes.
uint16_t crc16(const unsigned char* data, size_t n) {
    uint16_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

struct Counts {
    uint32_t frames = 0, bytes = 0;
    std::array<unsigned char, 100> toc{};
    int64_t delay = 0, padding = 0;
};

std::vector<unsigned char> infoBytes(SoundShape shape, const Counts& c) {
    const InfoFrame f = infoFrameOf(shape);
    const Layout l = layoutOf(shape.rate);
    std::vector<unsigned char> b(static_cast<size_t>(f.size), 0);
    const int versionBits = f.version == Version::V1 ? 3 : f.version == Version::V2 ? 2 : 0;
    b[0] = 0xFF;
    b[1] = static_cast<unsigned char>(0xE0 | (versionBits << 3) | (1 << 1) | 1);  // layer III, no CRC
    b[2] = static_cast<unsigned char>((f.bitrateIndex << 4) | (l.rateIndex << 2));
    b[3] = static_cast<unsigned char>(shape.channels == 1 ? 0xC0 : 0x40);  // mono, or joint stereo
    auto at = static_cast<size_t>(f.xingAt);
    std::memcpy(&b[at], "Xing", 4);
    put32(b, at + 4, 0x0F);  // frames, bytes, seek table, quality
    put32(b, at + 8, c.frames);
    put32(b, at + 12, c.bytes);
    std::memcpy(&b[at + 16], c.toc.data(), c.toc.size());
    put32(b, at + 116, 0);
    const size_t lame = at + 120;
    std::memcpy(&b[lame], "LAME3.100", 9);
    const auto delay = static_cast<uint32_t>(std::clamp<int64_t>(c.delay, 0, 4095));
    const auto padding = static_cast<uint32_t>(std::clamp<int64_t>(c.padding, 0, 4095));
    b[lame + 21] = static_cast<unsigned char>(delay >> 4);
    b[lame + 22] = static_cast<unsigned char>(((delay & 0x0F) << 4) | (padding >> 8));
    b[lame + 23] = static_cast<unsigned char>(padding & 0xFF);
    put32(b, lame + 28, c.bytes);
    const uint16_t crc = crc16(b.data(), lame + 34);
    b[lame + 34] = static_cast<unsigned char>(crc >> 8);
    b[lame + 35] = static_cast<unsigned char>(crc & 0xFF);
    return b;
}

// The size of the MPEG audio frame whose header is `h`; 0 when it is none.
int audioFrameSize(const unsigned char* h) {
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0 || ((h[1] >> 1) & 3) != 1) return 0;
    const int versionBits = (h[1] >> 3) & 3;
    if (versionBits == 1) return 0;
    const Version v = versionBits == 3 ? Version::V1 : versionBits == 2 ? Version::V2 : Version::V25;
    const int bitrateIndex = h[2] >> 4, rateIndex = (h[2] >> 2) & 3;
    if (bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return 0;
    static constexpr std::array<std::array<int, 3>, 3> rates{{{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}}};
    const int rate = rates[static_cast<size_t>(v)][static_cast<size_t>(rateIndex)];
    const int kbps = (v == Version::V1 ? kBitratesV1 : kBitratesV2)[static_cast<size_t>(bitrateIndex)];
    return frameBytes(v, kbps, rate, (h[2] >> 1) & 1);
}

}  // namespace

bool startMp3Info(const std::string& path, SoundShape shape) {
    const auto bytes = infoBytes(shape, {});
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool finishMp3Info(const std::string& path, SoundShape shape, int64_t samples, std::string& failure) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    if (!file) {
        failure = std::strerror(errno);
        return false;
    }
    // Where each frame after the info frame begins.
    const InfoFrame info = infoFrameOf(shape);
    std::vector<uint32_t> starts;
    std::streamoff at = info.size;
    std::array<unsigned char, 4> header{};
    while (file.seekg(at) && file.read(reinterpret_cast<char*>(header.data()), 4)) {
        const int size = audioFrameSize(header.data());
        if (size == 0) break;
        starts.push_back(static_cast<uint32_t>(at));
        at += size;
    }
    file.clear();
    Counts c;
    c.frames = static_cast<uint32_t>(starts.size());
    c.bytes = static_cast<uint32_t>(at);
    for (size_t i = 0; i < c.toc.size() && !starts.empty(); ++i) {
        const uint32_t where = starts[i * starts.size() / 100];
        c.toc[i] = static_cast<unsigned char>(std::min<uint64_t>(255, uint64_t{where} * 256 / std::max<uint32_t>(1, c.bytes)));
    }
    c.delay = kEncoderDelay;
    c.padding = int64_t{c.frames} * samplesPerFrame(info.version) - kEncoderDelay - samples;
    const auto bytes = infoBytes(shape, c);
    file.seekp(0);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.flush();
    if (!file) {
        failure = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace velorra::render
