#include <vextag/tag_record.h>

#include <array>
#include <cstring>
#include <strings.h>

#include "file_handle.h"
#include "latin1.h"

namespace vextag {

namespace {

using Record = std::array<char, TagRecord::Size>;

bool noSuchFile(int error) { return error == ENOENT || error == ENOTDIR; }

// The existence test: only a regular file counts, so a directory, FIFO, socket or device of that
// name is never opened (opening a FIFO would block). A dangling symlink is a missing file.
bool isRegularFile(const std::string& filename) {
    if (filename.empty()) return false;
    struct stat st {};
    if (::stat(filename.c_str(), &st) != 0) {
        if (noSuchFile(errno)) return false;
        throwFileError(filename, errno);
    }
    return S_ISREG(st.st_mode);
}

// Opens a file that passed the existence test and returns its length through `size`; an
// invalid handle when the name vanished or stopped being a regular file in between.
FileHandle openRegular(const std::string& filename, int mode, off_t& size) {
    // O_NONBLOCK keeps a FIFO swapped in after the test from blocking the open.
    FileHandle file(::open(filename.c_str(), mode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) {
        if (noSuchFile(errno)) return {};
        throwFileError(filename, errno);
    }
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) throwFileError(filename, errno);
    if (!S_ISREG(st.st_mode)) return {};
    size = st.st_size;
    return file;
}

bool hasMarker(const char* bytes) { return ::strncasecmp(bytes, "TAG", TagRecord::Marker.width) == 0; }

std::string_view field(const Record& record, TagRecord::Field f) {
    return {record.data() + f.offset, f.width};
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void putText(Record& record, TagRecord::Field f, const std::string& utf8) {
    const std::string text = PadField(utf8ToLatin1(utf8), static_cast<std::int16_t>(f.width));
    std::memcpy(record.data() + f.offset, text.data(), f.width);
}

// Writes all of `bytes` at `offset`, resuming after a short write.
void writeAll(const std::string& filename, const FileHandle& file, const char* bytes, std::size_t count,
              off_t offset) {
    while (count > 0) {
        const ssize_t written = ::pwrite(file.get(), bytes, count, offset);
        if (written < 0) {
            if (errno == EINTR) continue;
            throwFileError(filename, errno);
        }
        bytes += written, count -= static_cast<std::size_t>(written), offset += written;
    }
}

} // namespace

std::string PadField(std::string_view text, std::int16_t width) {
    if (width < 1) return std::string(text);
    std::string field(text.substr(0, static_cast<std::size_t>(width)));
    field.resize(static_cast<std::size_t>(width), ' ');
    return field;
}

std::string TrimSpaces(std::string_view text) { return std::string(trimmed(text)); }

void ReadTag(const std::string& filename, bool trim, const GenreTable& genres, TagValues& values) {
    Record record{};
    bool found = false;
    if (isRegularFile(filename)) {
        off_t size = 0;
        FileHandle file = openRegular(filename, O_RDONLY, size);
        if (file.get() >= 0 && size >= TagRecord::MinimumFileSize) {
            const auto offset = static_cast<off_t>(size - static_cast<off_t>(TagRecord::Size));
            const ssize_t got = ::pread(file.get(), record.data(), record.size(), offset);
            if (got < 0) throwFileError(filename, errno);
            // A short read means the file shrank under us: no tag there any more.
            found = static_cast<std::size_t>(got) == record.size() && hasMarker(record.data());
        }
    }
    // Closed; from here on nothing fails, so the values change only on success.
    auto take = [&](TagRecord::Field f, std::string& out) {
        const std::string_view raw = found ? field(record, f) : std::string_view{};
        latin1ToUtf8(trim ? trimmed(raw) : raw, out);
    };
    take(TagRecord::Title, values.song);
    take(TagRecord::Artist, values.artist);
    take(TagRecord::Album, values.album);
    take(TagRecord::Year, values.year);
    const std::string_view genre =
        found ? genres.nameOfCode(static_cast<std::uint8_t>(record[TagRecord::GenreOffset])) : std::string_view{};
    values.genre.assign(genre); // table names carry no outer spaces
    take(TagRecord::Comment, values.comment);
}

void WriteTag(const std::string& filename, const TagValues& values, const GenreTable& genres) {
    Record record{};
    std::memcpy(record.data(), "TAG", TagRecord::Marker.width);
    putText(record, TagRecord::Title, values.song);
    putText(record, TagRecord::Artist, values.artist);
    putText(record, TagRecord::Album, values.album);
    putText(record, TagRecord::Year, values.year);
    putText(record, TagRecord::Comment, values.comment);
    record[TagRecord::GenreOffset] = static_cast<char>(GenreTable::codeOfPosition(LookUpGenre(genres, values.genre)));

    if (!isRegularFile(filename)) return;
    off_t size = 0;
    FileHandle file = openRegular(filename, O_RDWR, size);
    if (file.get() < 0 || size < TagRecord::MinimumFileSize) return;

    const auto recordStart = static_cast<off_t>(size - static_cast<off_t>(TagRecord::Size));
    std::array<char, TagRecord::Marker.width> marker{};
    const ssize_t got = ::pread(file.get(), marker.data(), marker.size(), recordStart);
    if (got < 0) throwFileError(filename, errno);
    if (static_cast<std::size_t>(got) == marker.size() && hasMarker(marker.data())) {
        // The fields and the genre byte follow the marker without a gap: one write, and the
        // marker's own spelling ("tag", "Tag") stays.
        const std::size_t skip = TagRecord::Marker.width;
        writeAll(filename, file, record.data() + skip, record.size() - skip, recordStart + static_cast<off_t>(skip));
    } else {
        writeAll(filename, file, record.data(), record.size(), size);
    }
    if (const int error = file.close(); error != 0) throwFileError(filename, error);
}

} // namespace vextag
