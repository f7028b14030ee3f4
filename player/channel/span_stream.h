#pragma once
// Bytes already in memory (a mapped file) as a read-only TagLib stream, without a copy.
#include <taglib/tiostream.h>

#include <algorithm>
#include <cstdint>
#include <span>

namespace velorra {

class SpanStream : public TagLib::IOStream {
public:
    explicit SpanStream(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    TagLib::FileName name() const override { return ""; }
    TagLib::ByteVector readBlock(unsigned long length) override {
        const size_t n = std::min<size_t>(length, bytes_.size() - position_);
        TagLib::ByteVector block(reinterpret_cast<const char*>(bytes_.data() + position_), static_cast<unsigned>(n));
        position_ += n;
        return block;
    }
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position p) override {
        const long base = p == Beginning ? 0 : p == Current ? static_cast<long>(position_) : length();
        position_ = static_cast<size_t>(std::clamp(base + offset, 0L, length()));
    }
    long tell() const override { return static_cast<long>(position_); }
    long length() override { return static_cast<long>(bytes_.size()); }
    void truncate(long) override {}

private:
    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
};

}  // namespace velorra
