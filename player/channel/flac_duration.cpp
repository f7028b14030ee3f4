// FLAC: "fLaC" and then metadata blocks, the first of them STREAMINFO, which gives the sample
// rate and the number of samples of the whole stream. A stream that does not know its number
// of samples (0, as a live encoder may leave it) has no length here.
#include <cstring>

#include "player/channel/duration_scan.h"
#include "player/channel/media_format.h"

namespace velorra {

std::optional<double> flacDuration(std::span<const uint8_t> file) {
    const size_t start = leadingId3v2Size(file);
    // "fLaC", the block header (last-block flag and type 0, then a 24-bit length of 34), and
    // the 34 bytes of STREAMINFO.
    constexpr size_t StreamInfo = 8, StreamInfoLength = 34;
    if (file.size() < start + StreamInfo + StreamInfoLength) return std::nullopt;
    const uint8_t* p = file.data() + start;
    if (std::memcmp(p, "fLaC", 4) != 0 || (p[4] & 0x7F) != 0) return std::nullopt;
    if ((uint32_t{p[5]} << 16 | uint32_t{p[6]} << 8 | p[7]) < StreamInfoLength) return std::nullopt;
    const uint8_t* info = p + StreamInfo;
    const uint32_t sampleRate = uint32_t{info[10]} << 12 | uint32_t{info[11]} << 4 | info[12] >> 4;
    const uint64_t samples = uint64_t{info[13] & 0x0Fu} << 32 | uint64_t{info[14]} << 24 |
                             uint64_t{info[15]} << 16 | uint64_t{info[16]} << 8 | info[17];
    if (sampleRate == 0 || samples == 0) return std::nullopt;
    return static_cast<double>(samples) / sampleRate;
}

}  // namespace velorra
