#include "player/channel/duration_scan.h"
#include "player/channel/media_format.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace velorra {

namespace {

// A whole regular file mapped read-only for the life of the object. Anything else is not
// mapped; O_NONBLOCK keeps the open of a named pipe from waiting for a writer that never comes.
class MappedFile {
public:
    explicit MappedFile(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) return;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
            void* p = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (p != MAP_FAILED) {
                data_ = static_cast<const uint8_t*>(p);
                size_ = static_cast<size_t>(st.st_size);
            }
        }
        ::close(fd);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() {
        if (data_) ::munmap(const_cast<uint8_t*>(data_), size_);
    }
    bool mapped() const { return data_ != nullptr; }
    std::span<const uint8_t> bytes() const { return {data_, size_}; }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace

bool startsWithMpegFrame(const std::string& path) {
    const MappedFile file(path);
    return file.mapped() && startsWithMpegFrame(file.bytes());
}

std::optional<double> scanDuration(const std::string& path) {
    const MappedFile file(path);
    if (!file.mapped()) return std::nullopt;
    const auto bytes = file.bytes();
    switch (formatOf(bytes.subspan(std::min(leadingId3v2Size(bytes), bytes.size())))) {
        case MediaFormat::Wav: return wavDuration(bytes);
        case MediaFormat::Flac: return flacDuration(bytes);
        case MediaFormat::OggVorbis:
        case MediaFormat::OggOpus: return oggDuration(bytes);
        case MediaFormat::OggOther: return std::nullopt;
        case MediaFormat::Mp4: return mp4Duration(bytes);
        case MediaFormat::Mpeg: break;
    }
    // Raw AAC has no container either: what is no MPEG audio may be ADTS frames.
    if (const auto mpeg = mpegDuration(bytes)) return mpeg;
    return adtsDuration(bytes);
}

}  // namespace velorra
