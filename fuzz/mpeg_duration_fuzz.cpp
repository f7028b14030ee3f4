// The MPEG audio duration scan on any bytes: it reads only inside them and, when it finds a
// stream, gives a length the bytes can hold: a frame is at least 4 bytes and carries at most
// 1152 samples at 8 kHz or more.
#include <span>

#include "fuzz/fuzz_support.h"
#include "player/channel/duration_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (const auto seconds = velorra::mpegDuration(std::span(data, size)))
        velorra::fuzz::check(*seconds >= 0 && *seconds <= size * (1152.0 / 8000 / 4), "a length the bytes can hold");
    return 0;
}
