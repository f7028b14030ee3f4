// Stand-in audio for the tag library's tests. The private folder is support/temp_dir.h, the
// records support/tagged_mp3.h and the checks as the user nobody support/child_process.h.
#pragma once

#include <cstddef>
#include <string>

namespace vextag::test {

// `n` bytes of stand-in audio, none of which spell a marker.
inline std::string audio(std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(0x80 | (i * 37 % 128));
    return bytes;
}

} // namespace vextag::test
