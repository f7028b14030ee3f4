#include "player/tags/other_tags.h"

#include "player/channel/media_format.h"

#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/opusfile.h>
#include <taglib/tfilestream.h>
#include <taglib/vorbisfile.h>

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
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

bool hasId3v1Tag(int fd, off_t size) {
    if (size < Id3v1MinimumFileSize) return false;
    std::array<uint8_t, 3> marker{};
    const auto got = readAt(fd, marker, size - static_cast<off_t>(Id3v1Size));
    return got.size() == marker.size() && ::strncasecmp(reinterpret_cast<const char*>(got.data()), "TAG", 3) == 0;
}

MediaFormat formatOfFile(int fd) {
    std::array<uint8_t, FormatHeadBytes> head{};
    const size_t tags = leadingId3v2Size(readAt(fd, head, 0));
    return formatOf(readAt(fd, head, static_cast<off_t>(tags)));
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
        case MediaFormat::Flac:
            return std::make_unique<TagLib::FLAC::File>(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        case MediaFormat::OggVorbis: return std::make_unique<TagLib::Ogg::Vorbis::File>(&stream, false);
        case MediaFormat::OggOpus: return std::make_unique<TagLib::Ogg::Opus::File>(&stream, false);
        case MediaFormat::Mp4: return std::make_unique<TagLib::MP4::File>(&stream, false);
        case MediaFormat::Wav:
        case MediaFormat::OggOther: break;
    }
    return nullptr;
}

std::string utf8(const TagLib::String& text) { return text.to8Bit(true); }

}  // namespace

std::optional<vextag::TagValues> readOtherTags(const std::string& path) {
    // Opened without waiting, and looked at only when it is a regular file.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    if (hasId3v1Tag(fd.get(), st.st_size)) return std::nullopt;
    const MediaFormat format = formatOfFile(fd.get());
    if (format == MediaFormat::Wav || format == MediaFormat::OggOther) return std::nullopt;

    // The stream takes the descriptor over and closes it.
    const int raw = fd.release();
    TagLib::FileStream stream(raw, true);
    if (!stream.isOpen()) {
        ::close(raw);
        return std::nullopt;
    }
    const auto file = tagFile(format, stream);
    const TagLib::Tag* tag = file && file->isValid() ? file->tag() : nullptr;
    if (!tag) return vextag::TagValues{};
    return vextag::TagValues{utf8(tag->title()),
                             utf8(tag->artist()),
                             utf8(tag->album()),
                             tag->year() == 0 ? std::string() : std::to_string(tag->year()),
                             utf8(tag->genre()),
                             utf8(tag->comment())};
}

}  // namespace velorra
