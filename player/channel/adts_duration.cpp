// Raw AAC in ADTS: a run of frames, each opening with a 7-byte header (9 with its CRC) that
// gives the frame's length, its sample rate and its number of raw blocks of 1024 samples. No
// header tells the length of the whole, so every frame header is walked, as the MPEG scan does;
// an ID3v2 tag may come first, and bytes that are no frame are skipped to the next frame of the
// same stream.
#include "player/channel/duration_scan.h"
#include "player/channel/media_format.h"

#include <algorithm>
#include <array>

namespace velorra {

namespace {

constexpr std::array<int, 13> kSampleRates{96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                           22050, 16000, 12000, 11025, 8000, 7350};
constexpr int kSamplesPerBlock = 1024;
// The first frame must start this close to the start of the audio.
constexpr size_t kLockWindow = 64 * 1024;
// Frames in a row that make a stream when the first one is found (fewer when the file ends).
constexpr int kLockFrames = 4;

struct Frame {
    uint32_t streamBits;  // the fixed header: the bits every frame of one stream shares
    int sampleRate;
    int blocks;
    size_t length;  // bytes, header included
};

class FrameWalker {
public:
    explicit FrameWalker(std::span<const uint8_t> audio) : audio_(audio) {}

    // The frame at pos when it belongs to the stream (any stream when streamBits is 0) and lies
    // whole inside the audio.
    std::optional<Frame> frameAt(size_t pos, uint32_t streamBits) const {
        if (pos > audio_.size() || audio_.size() - pos < 7) return std::nullopt;
        const uint8_t* h = audio_.data() + pos;
        // Sync (12 bits of ones), then the MPEG version bit and a layer of 0.
        if (h[0] != 0xFF || (h[1] & 0xF6) != 0xF0) return std::nullopt;
        const size_t rateIndex = (h[2] >> 2) & 0x0F;
        if (rateIndex >= kSampleRates.size()) return std::nullopt;
        Frame f{};
        // Version, layer, CRC flag, profile, rate, channels, original and home; not the private bit.
        f.streamBits = uint32_t{h[1]} << 16 | uint32_t{h[2] & 0xFDu} << 8 | (h[3] & 0xF0u);
        if (streamBits != 0 && f.streamBits != streamBits) return std::nullopt;
        f.sampleRate = kSampleRates[rateIndex];
        f.blocks = (h[6] & 3) + 1;
        f.length = size_t{h[3] & 3u} << 11 | size_t{h[4]} << 3 | h[5] >> 5;
        const size_t headerLength = (h[1] & 1) ? 7 : 9;
        if (f.length <= headerLength || f.length > audio_.size() - pos) return std::nullopt;
        return f;
    }

    // `count` frames of one stream in a row from pos, or as many as reach the end of the audio.
    bool runAt(size_t pos, int count, uint32_t streamBits) const {
        const auto first = frameAt(pos, streamBits);
        if (!first) return false;
        for (int i = 0; i < count; ++i) {
            if (pos == audio_.size()) return true;
            const auto f = frameAt(pos, first->streamBits);
            if (!f) return false;
            pos += f->length;
        }
        return true;
    }

    std::optional<size_t> findRun(size_t from, size_t to, int count, uint32_t streamBits) const {
        for (size_t pos = from; pos < std::min(to, audio_.size()); ++pos)
            if (audio_[pos] == 0xFF && runAt(pos, count, streamBits)) return pos;
        return std::nullopt;
    }

private:
    std::span<const uint8_t> audio_;
};

}  // namespace

std::optional<double> adtsDuration(std::span<const uint8_t> file) {
    const auto audio = file.subspan(std::min(leadingId3v2Size(file), file.size()));
    const FrameWalker walker(audio);
    const auto start = walker.findRun(0, kLockWindow, kLockFrames, 0);
    if (!start) return std::nullopt;
    const Frame first = *walker.frameAt(*start, 0);

    uint64_t blocks = 0;
    size_t frameBytes = 0;
    size_t pos = *start;
    while (pos < audio.size()) {
        if (const auto f = walker.frameAt(pos, first.streamBits)) {
            blocks += static_cast<uint64_t>(f->blocks);
            frameBytes += f->length;
            pos += f->length;
            continue;
        }
        const auto next = walker.findRun(pos + 1, audio.size(), 2, first.streamBits);
        if (!next) break;
        pos = *next;
    }
    // Mostly bytes that are no frames: not an ADTS stream after all.
    if (frameBytes * 2 < audio.size() - *start) return std::nullopt;
    return static_cast<double>(blocks) * kSamplesPerBlock / first.sampleRate;
}

}  // namespace velorra
