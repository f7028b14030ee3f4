// MP4 audio (M4A): the length TagLib reads from the audio track's media header.
#include <taglib/mp4file.h>

#include "player/channel/duration_scan.h"
#include "player/channel/media_format.h"
#include "player/channel/span_stream.h"

namespace velorra {

std::optional<double> mp4Duration(std::span<const uint8_t> file) {
    if (formatOf(file) != MediaFormat::Mp4) return std::nullopt;
    SpanStream stream(file);
    const TagLib::MP4::File mp4(&stream, true, TagLib::AudioProperties::Average);
    const auto* properties = mp4.isValid() ? mp4.audioProperties() : nullptr;
    if (!properties || properties->lengthInMilliseconds() <= 0) return std::nullopt;
    return properties->lengthInMilliseconds() / 1000.0;
}

}  // namespace velorra
