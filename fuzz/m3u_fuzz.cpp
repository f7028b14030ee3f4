// The play list reader on any file: its lines are the file's bytes cut at CR LF, a lone CR or a
// lone LF; a line longer than a path can be is measured but not kept; a relative path is taken
// from the play list's folder, an absolute or empty one stays as it is.
#include <algorithm>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "player/playlist/m3u_io.h"

using velorra::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const velorra::fuzz::MemoryFile file;
    file.hold(data, size);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    velorra::LineReader reader(file.path());
    check(reader.size() == static_cast<int64_t>(size), "the size is the file's");
    size_t at = 0;
    while (const auto line = reader.readLine()) {
        check(at < size, "no line after the end of the file");
        const size_t end = std::min(bytes.find_first_of("\r\n", at), size);
        check(line->length == static_cast<int64_t>(end - at), "a line runs to the next CR or LF");
        check(line->tooLong() ? line->length > PATH_MAX && line->text.empty() : line->text == bytes.substr(at, end - at),
              "a line is kept whole up to PATH_MAX bytes and not kept beyond");
        at = end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1);

        const std::string& path = line->text;
        const bool stays = path.empty() || path.front() == '/';
        check(velorra::resolveFromPlayList("/lists/list.m3u", path) == (stays ? path : "/lists/" + path),
              "a relative path is taken from the play list's folder");
    }
    check(at >= size, "every byte is read");
    return 0;
}
