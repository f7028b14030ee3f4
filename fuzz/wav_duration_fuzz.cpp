// The WAV duration scan on any bytes: it reads only inside them and, when it finds a data chunk,
// gives a length the bytes can hold (at least one byte a second).
#include <span>

#include "fuzz/fuzz_support.h"
#include "player/channel/duration_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (const auto seconds = velorra::wavDuration(std::span(data, size)))
        velorra::fuzz::check(*seconds >= 0 && *seconds <= size, "a length the bytes can hold");
    return 0;
}
