// WAV: a RIFF file of chunks; "fmt " gives the byte rate, "data" the bytes of sound. A data size
// larger than the file (a recording cut short, or a stream that never wrote its size) counts
// the bytes that are there.
#include <algorithm>
#include <cstring>

#include "player/channel/duration_scan.h"

namespace velorra {

namespace {

uint32_t le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

}  // namespace

std::optional<double> wavDuration(std::span<const uint8_t> file) {
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 ||
        std::memcmp(file.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    uint32_t byteRate = 0;
    size_t pos = 12;
    while (pos + 8 <= file.size()) {
        const uint8_t* chunk = file.data() + pos;
        const uint64_t size = le32(chunk + 4);
        const size_t body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16 && body + 16 <= file.size()) {
            byteRate = le32(file.data() + body + 8);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (byteRate == 0) return std::nullopt;
            const uint64_t present = std::min<uint64_t>(size, file.size() - body);
            return static_cast<double>(present) / byteRate;
        }
        pos = body + size + (size & 1);
    }
    return std::nullopt;
}

}  // namespace velorra
