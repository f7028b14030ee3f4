// The C interface over ReadTag, WriteTag and the genre table. No exception crosses into C: a
// file-system failure becomes minus its errno.
#include <vextag/vextag_c.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <system_error>

#include <vextag/tag_record.h>

namespace {

using vextag::GenreTable;
using vextag::TagValues;

// Runs `operation`, turning what it throws into minus an errno.
template <typename Operation>
int errnoResult(Operation operation) noexcept {
    try {
        operation();
        return 0;
    } catch (const std::system_error& error) {
        return -error.code().value();
    } catch (const std::bad_alloc&) {
        return -ENOMEM;
    } catch (...) {
        return -EIO;
    }
}

// `text` into a C field, cut to fit (a read never needs it: 30 Latin-1 bytes are at most 60).
template <std::size_t N>
void putField(char (&field)[N], const std::string& text) {
    const std::size_t length = text.size() < N ? text.size() : N - 1;
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

// A C field as text: up to its first NUL, and never past its end.
template <std::size_t N>
std::string getField(const char (&field)[N]) {
    return std::string(field, ::strnlen(field, N));
}

} // namespace

extern "C" {

int vextag_read_file(const char* path, int trim, vextag_values* out) {
    if (path == nullptr || out == nullptr) return -EINVAL;
    return errnoResult([&] {
        TagValues values;
        vextag::ReadTag(path, trim != 0, GenreTable{}, values);
        vextag_values read{};
        putField(read.song, values.song);
        putField(read.artist, values.artist);
        putField(read.album, values.album);
        putField(read.year, values.year);
        putField(read.comment, values.comment);
        putField(read.genre, values.genre);
        *out = read;
    });
}

int vextag_save_file(const char* path, const vextag_values* values) {
    if (path == nullptr || values == nullptr) return -EINVAL;
    return errnoResult([&] {
        const TagValues tag{getField(values->song),  getField(values->artist), getField(values->album),
                            getField(values->year),  getField(values->genre),  getField(values->comment)};
        vextag::WriteTag(path, tag, GenreTable{});
    });
}

const char* vextag_genre_name(int code) {
    if (code < 0 || code > 255) return "";
    const std::string_view name = GenreTable{}.nameOfCode(static_cast<std::uint8_t>(code));
    return name.empty() ? "" : name.data(); // the table's names are string literals
}

int vextag_genre_code(const char* name) {
    if (name == nullptr) return GenreTable::UnknownCode;
    return GenreTable::codeOfPosition(vextag::LookUpGenre(GenreTable{}, name));
}

const char* vextag_version(void) { return VEXTAG_VERSION; }

} // extern "C"
