#include "player/tags/other_tags.h"

#include "player/channel/media_format.h"

#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/tfilestream.h>
#include <taglib/xiphcomment.h>

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <utility>

namespace velorra {

namespace {

// The ID3v1 record: the last 128 bytes of a file longer than 150, opening with "TAG" in any case.
constexpr size_t Id3v1Size = 128;
constexpr off_t Id3v1MinimumFileSize = 151;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Bytes at `offset`, as many as the file holds up to the size of `buffer`.
std::span<const uint8_t> readAt(int fd, std::span<uint8_t> buffer, off_t offset) {
    const ssize_t got = ::pread(fd, buffer.data(), buffer.size(), offset);
    return buffer.first(got > 0 ? static_cast<size_t>(got) : 0);
}

// An ID3v1 record whose fields hold nothing but NUL bytes (a tagging tool's blank) is no tag.
bool hasId3v1Tag(int fd, off_t size) {
    if (size < Id3v1MinimumFileSize) return false;
    std::array<uint8_t, Id3v1Size> record{};
    const auto got = readAt(fd, record, size - static_cast<off_t>(Id3v1Size));
    return got.size() == record.size() && ::strncasecmp(reinterpret_cast<const char*>(got.data()), "TAG", 3) == 0 &&
           std::any_of(got.begin() + 3, got.end(), [](uint8_t b) { return b != 0; });
}

struct FileFormat {
    MediaFormat format;
    off_t start;  // where the audio starts, after the leading ID3v2 tags
};

FileFormat formatOfFile(int fd) {
    std::array<uint8_t, FormatHeadBytes> head{};
    const auto start = static_cast<off_t>(leadingId3v2Size(readAt(fd, head, 0)));
    return {formatOf(readAt(fd, head, start)), start};
}

// The Vorbis comment block of the FLAC stream at `start`, found by walking the headers of its
// metadata blocks; empty when the stream has none.
std::optional<TagLib::ByteVector> flacCommentBlock(int fd, off_t start, off_t size) {
    constexpr uint8_t VorbisComment = 4, LastBlock = 0x80;
    off_t at = start + 4;  // after "fLaC"
    for (;;) {
        std::array<uint8_t, 4> header{};
        if (readAt(fd, header, at).size() != header.size()) return std::nullopt;
        const off_t length = off_t{header[1]} << 16 | off_t{header[2]} << 8 | header[3];
        if ((header[0] & 0x7F) == VorbisComment) {
            if (at + 4 + length > size) return std::nullopt;
            TagLib::ByteVector block(static_cast<unsigned>(length), '\0');
            if (::pread(fd, block.data(), block.size(), at + 4) != length) return std::nullopt;
            return block;
        }
        if (header[0] & LastBlock) return std::nullopt;
        at += 4 + length;
    }
}

// The second packet of the Ogg stream at the start of the file, which holds the Vorbis comments
// of Vorbis and Opus: it opens the second page (the first holds only the identification
// header) and goes on over the following pages while its last segment is a full one.
std::optional<TagLib::ByteVector> oggCommentPacket(int fd, off_t size) {
    constexpr off_t PageHeader = 27;
    constexpr uint8_t FullSegment = 255;
    std::array<uint8_t, PageHeader + 255> header{};
    TagLib::ByteVector packet;
    off_t at = 0;
    for (int page = 0;; ++page) {
        const auto got = readAt(fd, header, at);
        if (got.size() < PageHeader || std::memcmp(got.data(), "OggS", 4) != 0) return std::nullopt;
        const size_t segments = got[26];
        if (got.size() < PageHeader + segments) return std::nullopt;
        off_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += got[PageHeader + i];
        const off_t data = at + PageHeader + static_cast<off_t>(segments);
        if (data + body > size) return std::nullopt;
        at = data + body;
        if (page == 0) continue;
        const auto before = packet.size();
        packet.resize(before + static_cast<unsigned>(body));
        if (::pread(fd, packet.data() + before, static_cast<size_t>(body), data) != body) return std::nullopt;
        if (segments == 0 || got[PageHeader + segments - 1] != FullSegment) return packet;
    }
}

// An MP3 file seen only for the ID3v2 tag at its start: none of the MPEG file's searches for
// other tags at its end, which the ID3v1 tag control has already looked at.
class Id3v2File : public TagLib::File {
public:
    explicit Id3v2File(TagLib::IOStream* stream) : TagLib::File(stream) {
        if (isValid()) tag_ = std::make_unique<TagLib::ID3v2::Tag>(this, 0);
    }
    TagLib::Tag* tag() const override { return tag_.get(); }
    TagLib::AudioProperties* audioProperties() const override { return nullptr; }
    bool save() override { return false; }

private:
    std::unique_ptr<TagLib::ID3v2::Tag> tag_;
};

std::unique_ptr<TagLib::File> tagFile(MediaFormat format, TagLib::IOStream& stream) {
    switch (format) {
        case MediaFormat::Mpeg: return std::make_unique<Id3v2File>(&stream);
        case MediaFormat::Mp4: return std::make_unique<TagLib::MP4::File>(&stream, false);
        case MediaFormat::Flac:  // these three are read from their comments alone
        case MediaFormat::OggVorbis:
        case MediaFormat::OggOpus:
        case MediaFormat::Wav:
        case MediaFormat::OggOther: break;
    }
    return nullptr;
}

std::string utf8(const TagLib::String& text) { return text.to8Bit(true); }

vextag::TagValues valuesOf(const TagLib::Tag& tag) {
    return {utf8(tag.title()),
            utf8(tag.artist()),
            utf8(tag.album()),
            tag.year() == 0 ? std::string() : std::to_string(tag.year()),
            utf8(tag.genre()),
            utf8(tag.comment())};
}

}  // namespace

std::optional<OtherTags> readOtherTags(const std::string& path) {
    // Opened without waiting, and looked at only when it is a regular file.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    OtherTags tags;
    tags.id3v1 = hasId3v1Tag(fd.get(), st.st_size);
    const auto [format, start] = formatOfFile(fd.get());
    if (format == MediaFormat::Wav || format == MediaFormat::OggOther) return std::nullopt;
    if (format == MediaFormat::Flac) {
        if (const auto block = flacCommentBlock(fd.get(), start, st.st_size))
            tags.values = valuesOf(TagLib::Ogg::XiphComment(*block));
        return tags;
    }
    if (format == MediaFormat::OggVorbis || format == MediaFormat::OggOpus) {
        // The packet opens with "\x03vorbis" or "OpusTags".
        const unsigned magic = format == MediaFormat::OggVorbis ? 7 : 8;
        const auto packet = oggCommentPacket(fd.get(), st.st_size);
        if (packet && packet->size() >= magic) tags.values = valuesOf(TagLib::Ogg::XiphComment(packet->mid(magic)));
        return tags;
    }

    // MPEG audio (raw AAC too) carries its ID3v2 tag at its start, or none.
    if (format == MediaFormat::Mpeg && start == 0) return tags;

    // The stream takes the descriptor over and closes it.
    const int raw = fd.release();
    TagLib::FileStream stream(raw, true);
    if (!stream.isOpen()) {
        ::close(raw);
        return std::nullopt;
    }
    const auto file = tagFile(format, stream);
    if (const TagLib::Tag* tag = file && file->isValid() ? file->tag() : nullptr) tags.values = valuesOf(*tag);
    return tags;
}

}  // namespace velorra
