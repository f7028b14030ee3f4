// MPEG audio: a run of frames, each opening with a 4-byte header that gives its length and its
// number of samples. An ID3v2 tag may come first; an APE tag and an ID3v1 tag may come last.
// A Xing, Info or VBRI frame at the start carries the frame count of the whole stream, which
// is trusted when it agrees with the size of the file (a file cut short keeps the count of the
// whole). Otherwise every frame header is walked; bytes that are no frame are skipped to the
// next frame of the same stream.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "player/channel/duration_scan.h"
#include "player/channel/media_format.h"

namespace velorra {

namespace {

enum class Version { Mpeg1, Mpeg2, Mpeg25 };

struct Frame {
    Version version;
    int layer;        // 1 to 3
    int sampleRate;   // Hz
    int bitrate;      // bit/s; 0 for a free-format frame
    bool padding;
    bool mono;
    int samples;      // per channel
    size_t length;    // bytes, header included; 0 for a free-format frame
};

// Sync, version, layer and sample rate: the bits every frame of one stream shares.
constexpr uint32_t kStreamBits = 0xFFFE0C00;

constexpr std::array<std::array<int, 15>, 5> kBitrates{{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG-1 layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG-1 layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG-1 layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG-2/2.5 layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG-2/2.5 II, III
}};
constexpr std::array<int, 3> kSampleRates{44100, 48000, 32000};

// The first frame must start this close to the start of the audio.
constexpr size_t kLockWindow = 64 * 1024;
// Frames in a row that make a stream when the first one is found.
constexpr int kLockFrames = 4;

uint32_t be32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

size_t bitrateTable(const Frame& f) {
    return f.version == Version::Mpeg1 ? f.layer - 1 : f.layer == 1 ? 3 : 4;
}

std::optional<Frame> parseHeader(uint32_t h) {
    if ((h & 0xFFE00000) != 0xFFE00000) return std::nullopt;
    const uint32_t versionBits = (h >> 19) & 3, layerBits = (h >> 17) & 3;
    const uint32_t bitrateIndex = (h >> 12) & 15, rateIndex = (h >> 10) & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 15 || rateIndex == 3)
        return std::nullopt;
    Frame f{};
    f.version = versionBits == 3 ? Version::Mpeg1 : versionBits == 2 ? Version::Mpeg2 : Version::Mpeg25;
    f.layer = 4 - static_cast<int>(layerBits);
    const int divisor = f.version == Version::Mpeg1 ? 1 : f.version == Version::Mpeg2 ? 2 : 4;
    f.sampleRate = kSampleRates[rateIndex] / divisor;
    f.bitrate = kBitrates[bitrateTable(f)][bitrateIndex] * 1000;
    f.padding = (h >> 9) & 1;
    f.mono = ((h >> 6) & 3) == 3;
    f.samples = f.layer == 1 ? 384 : (f.layer == 2 || f.version == Version::Mpeg1) ? 1152 : 576;
    if (f.bitrate > 0) {
        if (f.layer == 1)
            f.length = (12 * static_cast<size_t>(f.bitrate) / f.sampleRate + f.padding) * 4;
        else
            f.length = static_cast<size_t>(f.samples) / 8 * f.bitrate / f.sampleRate + f.padding;
    }
    return f;
}

// The length of a frame of the stream at a table bitrate, without padding.
double frameLength(const Frame& f, int kbps) {
    const double slotBytes = f.layer == 1 ? 48.0 : f.samples / 8.0;
    return slotBytes * kbps * 1000 / f.sampleRate;
}

size_t maxFrameLength(const Frame& f) {
    return static_cast<size_t>(frameLength(f, kBitrates[bitrateTable(f)][14]));
}

// Files of other formats that a stray frame header inside them must not turn into MPEG audio.
bool isOtherContainer(std::span<const uint8_t> file) {
    const auto starts = [&](size_t at, const char* magic) {
        const size_t n = std::strlen(magic);
        return file.size() >= at + n && std::memcmp(file.data() + at, magic, n) == 0;
    };
    return starts(0, "OggS") || starts(0, "fLaC") || starts(0, "FORM") || starts(0, "RIFF") ||
           starts(0, "\x1A\x45\xDF\xA3") || starts(4, "ftyp") || starts(0, "MThd");
}

// The stream between the tags at either end of a file.
std::span<const uint8_t> audioPart(std::span<const uint8_t> file) {
    size_t begin = 0;
    while (file.size() - begin >= 10 && std::memcmp(file.data() + begin, "ID3", 3) == 0) {
        const uint8_t* t = file.data() + begin;
        if ((t[6] | t[7] | t[8] | t[9]) & 0x80) break;
        const size_t size = size_t{t[6]} << 21 | size_t{t[7]} << 14 | size_t{t[8]} << 7 | t[9];
        begin = std::min(file.size(), begin + 10 + size + ((t[5] & 0x10) ? 10 : 0));
    }
    size_t end = file.size();
    if (end - begin >= 128 && std::memcmp(file.data() + end - 128, "TAG", 3) == 0) end -= 128;
    if (end - begin >= 32 && std::memcmp(file.data() + end - 32, "APETAGEX", 8) == 0) {
        const uint8_t* footer = file.data() + end - 32;
        const size_t size = uint32_t{footer[12]} | uint32_t{footer[13]} << 8 |
                            uint32_t{footer[14]} << 16 | uint32_t{footer[15]} << 24;
        const size_t whole = size + ((footer[23] & 0x80) ? 32 : 0);
        end = whole <= end - begin ? end - whole : begin;
    }
    return file.subspan(begin, end - begin);
}

class FrameWalker {
public:
    explicit FrameWalker(std::span<const uint8_t> audio) : audio_(audio) {}

    // The frame at pos when it belongs to the stream (any stream when streamBits is 0) and lies
    // whole inside the audio; a free-format frame is measured to the next header.
    std::optional<Frame> frameAt(size_t pos, uint32_t streamBits) const {
        if (pos + 4 > audio_.size()) return std::nullopt;
        const uint32_t h = be32(audio_.data() + pos);
        if (streamBits != 0 && (h & kStreamBits) != streamBits) return std::nullopt;
        auto f = parseHeader(h);
        if (!f) return std::nullopt;
        if (f->bitrate == 0) f->length = freeFrameLength(pos, h, *f);
        if (f->length < 4 || pos + f->length > audio_.size()) return std::nullopt;
        return f;
    }

    // `count` frames of the stream in a row from pos.
    bool runAt(size_t pos, int count, uint32_t streamBits) const {
        if (!frameAt(pos, streamBits)) return false;
        const uint32_t bits = be32(audio_.data() + pos) & kStreamBits;
        for (int i = 0; i < count; ++i) {
            const auto f = frameAt(pos, bits);
            if (!f) return false;
            pos += f->length;
        }
        return true;
    }

    std::optional<size_t> findRun(size_t from, size_t to, int count, uint32_t streamBits) const {
        for (size_t pos = from; pos < to && pos + 4 <= audio_.size(); ++pos)
            if (audio_[pos] == 0xFF && runAt(pos, count, streamBits)) return pos;
        return std::nullopt;
    }

private:
    // A free-format frame is at most twice as long as one at the layer's highest bitrate.
    size_t freeFrameLength(size_t pos, uint32_t h, const Frame& f) const {
        const uint32_t same = h & (kStreamBits | 0xF000);
        const size_t longest = 2 * (maxFrameLength(f) + 4);
        const size_t limit = std::min(audio_.size(), pos + longest);
        for (size_t next = pos + 4; next + 4 <= limit; ++next)
            if (audio_[next] == 0xFF && (be32(audio_.data() + next) & (kStreamBits | 0xF000)) == same)
                return next - pos;
        // The last frame runs to the end; any other frame without a next header is no frame.
        return audio_.size() - pos <= longest ? audio_.size() - pos : 0;
    }

    std::span<const uint8_t> audio_;
};

// The frame count of a Xing, Info or VBRI frame, and the stream's byte count when it gives one.
struct VbrHeader {
    uint32_t frames;
    std::optional<uint32_t> bytes;
};

std::optional<VbrHeader> vbrHeader(const uint8_t* frame, const Frame& f) {
    if (f.layer != 3) return std::nullopt;
    const size_t sideInfo = f.version == Version::Mpeg1 ? (f.mono ? 17 : 32) : (f.mono ? 9 : 17);
    const uint8_t* xing = frame + 4 + sideInfo;
    if (4 + sideInfo + 16 <= f.length &&
        (std::memcmp(xing, "Xing", 4) == 0 || std::memcmp(xing, "Info", 4) == 0)) {
        const uint32_t flags = be32(xing + 4);
        if (!(flags & 1)) return std::nullopt;
        VbrHeader v{be32(xing + 8), std::nullopt};
        if (flags & 2) v.bytes = be32(xing + 12);
        return v;
    }
    if (36 + 18 <= f.length && std::memcmp(frame + 36, "VBRI", 4) == 0)
        return VbrHeader{be32(frame + 36 + 14), be32(frame + 36 + 10)};
    return std::nullopt;
}

// A frame count agrees with the stream when it matches the byte count the header gives and
// the frames it implies have a size that the stream's frames can have.
bool agrees(const VbrHeader& v, const Frame& f, size_t streamBytes) {
    if (v.frames == 0) return false;
    const double tolerance = streamBytes / 50.0 + 4096.0;
    if (v.bytes && std::abs(static_cast<double>(*v.bytes) - static_cast<double>(streamBytes)) > tolerance)
        return false;
    const double smallest = frameLength(f, kBitrates[bitrateTable(f)][1]);
    const double largest = frameLength(f, kBitrates[bitrateTable(f)][14]) + 4;
    const double average = static_cast<double>(streamBytes) / v.frames;
    return average >= smallest - 1 && average <= largest;
}

}  // namespace

bool startsWithMpegFrame(std::span<const uint8_t> file) {
    const size_t at = leadingId3v2Size(file);
    return file.size() >= at + 4 && parseHeader(be32(file.data() + at)).has_value();
}

std::optional<double> mpegDuration(std::span<const uint8_t> file) {
    if (isOtherContainer(file)) return std::nullopt;
    const auto audio = audioPart(file);
    const FrameWalker walker(audio);
    const auto start = walker.findRun(0, kLockWindow, kLockFrames, 0);
    if (!start) return std::nullopt;
    const uint32_t streamBits = be32(audio.data() + *start) & kStreamBits;
    const Frame first = *walker.frameAt(*start, 0);
    const double sampleRate = first.sampleRate;

    size_t pos = *start;
    if (const auto vbr = vbrHeader(audio.data() + pos, first)) {
        if (agrees(*vbr, first, audio.size() - pos)) return double(vbr->frames) * first.samples / sampleRate;
        pos += first.length;  // the header frame carries no sound
    }

    uint64_t samples = 0;
    size_t frameBytes = 0;
    while (pos < audio.size()) {
        if (const auto f = walker.frameAt(pos, streamBits)) {
            samples += f->samples;
            frameBytes += f->length;
            pos += f->length;
            continue;
        }
        const auto next = walker.findRun(pos + 1, audio.size(), 2, streamBits);
        if (!next) break;
        pos = *next;
    }
    // Mostly bytes that are no frames: not an MPEG audio file after all.
    if (frameBytes * 2 < audio.size() - *start) return std::nullopt;
    return samples / sampleRate;
}

}  // namespace velorra
