// Ogg Vorbis and Opus: a run of pages, each carrying the granule position of the last packet
// that ends on it. The last page of the stream therefore holds the number of samples of the
// whole: at the rate the Vorbis identification header gives, or at 48 kHz for Opus, less the
// samples its header says the decoder skips at the start. Only the first page and the last
// one are read; the last one is found from the end and trusted only when its checksum holds.
#include <array>
#include <cstring>

#include "player/channel/duration_scan.h"
#include "player/channel/media_format.h"

namespace velorra {

namespace {

constexpr size_t PageHeader = 27;
constexpr int64_t NoGranule = -1;  // no packet ends on the page
constexpr double OpusRate = 48000.0;
// A page is at most a header, 255 lacing values and 255 segments of 255 bytes.
constexpr size_t LongestPage = PageHeader + 255 + 255 * 255;

uint32_t le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

int64_t le64(const uint8_t* p) { return static_cast<int64_t>(uint64_t{le32(p)} | uint64_t{le32(p + 4)} << 32); }

const std::array<uint32_t, 256>& crcTable() {
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i << 24;
            for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    return table;
}

// The length of the page at `page` when it is whole and its checksum holds; 0 otherwise.
size_t checkedPageLength(std::span<const uint8_t> file, size_t page) {
    if (page + PageHeader > file.size()) return 0;
    const uint8_t* p = file.data() + page;
    if (std::memcmp(p, "OggS", 4) != 0 || p[4] != 0) return 0;
    const size_t segments = p[26];
    if (page + PageHeader + segments > file.size()) return 0;
    size_t length = PageHeader + segments;
    for (size_t i = 0; i < segments; ++i) length += p[PageHeader + i];
    if (page + length > file.size()) return 0;
    const auto& table = crcTable();
    uint32_t crc = 0;
    for (size_t i = 0; i < length; ++i) {
        const uint8_t byte = (i >= 22 && i < 26) ? 0 : p[i];  // the checksum field counts as zeros
        crc = (crc << 8) ^ table[((crc >> 24) ^ byte) & 0xFF];
    }
    return crc == le32(p + 22) ? length : 0;
}

// The granule position of the stream's last page that has one.
std::optional<int64_t> lastGranule(std::span<const uint8_t> file, uint32_t serial) {
    const size_t floor = file.size() > LongestPage * 2 ? file.size() - LongestPage * 2 : 0;
    for (size_t at = file.size() >= PageHeader ? file.size() - PageHeader + 1 : 0; at-- > floor;) {
        if (file[at] != 'O' || checkedPageLength(file, at) == 0) continue;
        const uint8_t* p = file.data() + at;
        const int64_t granule = le64(p + 6);
        if (le32(p + 14) == serial && granule != NoGranule) return granule;
    }
    return std::nullopt;
}

}  // namespace

std::optional<double> oggDuration(std::span<const uint8_t> file) {
    const auto format = formatOf(file);
    if (format != MediaFormat::OggVorbis && format != MediaFormat::OggOpus) return std::nullopt;
    // The fields read from the first packet: the Opus pre-skip, or the Vorbis sample rate.
    const size_t packetStart = PageHeader + file[26];
    const size_t fieldsEnd = packetStart + (format == MediaFormat::OggOpus ? 12 : 16);
    if (checkedPageLength(file, 0) < fieldsEnd) return std::nullopt;
    const uint8_t* packet = file.data() + packetStart;
    const uint32_t serial = le32(file.data() + 14);
    const auto granule = lastGranule(file, serial);
    if (!granule || *granule < 0) return std::nullopt;
    if (format == MediaFormat::OggOpus) {
        const int64_t preSkip = packet[10] | packet[11] << 8;
        return *granule > preSkip ? static_cast<double>(*granule - preSkip) / OpusRate : 0.0;
    }
    const uint32_t rate = le32(packet + 12);
    if (rate == 0) return std::nullopt;
    return static_cast<double>(*granule) / rate;
}

}  // namespace velorra
