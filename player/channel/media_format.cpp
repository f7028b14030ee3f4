#include "player/channel/media_format.h"

#include <algorithm>
#include <cstring>

namespace velorra {

namespace {

bool startsWith(std::span<const uint8_t> bytes, size_t at, const char* magic, size_t n) {
    return bytes.size() >= at + n && std::memcmp(bytes.data() + at, magic, n) == 0;
}

}  // namespace

size_t leadingId3v2Size(std::span<const uint8_t> head) {
    size_t begin = 0;
    while (head.size() - begin >= 10 && std::memcmp(head.data() + begin, "ID3", 3) == 0) {
        const uint8_t* t = head.data() + begin;
        if ((t[6] | t[7] | t[8] | t[9]) & 0x80) break;
        const size_t size = size_t{t[6]} << 21 | size_t{t[7]} << 14 | size_t{t[8]} << 7 | t[9];
        begin += 10 + size + ((t[5] & 0x10) ? 10 : 0);
        if (begin >= head.size()) break;
    }
    return begin;
}

MediaFormat formatOf(std::span<const uint8_t> start) {
    if (startsWith(start, 0, "RIFF", 4) && startsWith(start, 8, "WAVE", 4)) return MediaFormat::Wav;
    if (startsWith(start, 0, "fLaC", 4)) return MediaFormat::Flac;
    if (startsWith(start, 4, "ftyp", 4)) return MediaFormat::Mp4;
    if (startsWith(start, 0, "OggS", 4)) {
        // The first page holds the first packet of the stream, which names its codec.
        if (start.size() < 27) return MediaFormat::OggOther;
        const size_t packet = 27 + size_t{start[26]};
        if (startsWith(start, packet, "\x01vorbis", 7)) return MediaFormat::OggVorbis;
        if (startsWith(start, packet, "OpusHead", 8)) return MediaFormat::OggOpus;
        return MediaFormat::OggOther;
    }
    return MediaFormat::Mpeg;
}

}  // namespace velorra
