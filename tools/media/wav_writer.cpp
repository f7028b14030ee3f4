#include "tools/media/wav_writer.h"

#include <fstream>
#include <stdexcept>

namespace velorra::media {

namespace {

void put16(std::ofstream& out, uint16_t v) {
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    out.write(b, 2);
}

void put32(std::ofstream& out, uint32_t v) {
    put16(out, static_cast<uint16_t>(v & 0xFFFF));
    put16(out, static_cast<uint16_t>(v >> 16));
}

}  // namespace

void writeWav(const std::filesystem::path& path, const std::vector<int16_t>& samples, WavFormat format) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path.string());
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    const auto blockAlign = static_cast<uint16_t>(format.channels * 2);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, static_cast<uint16_t>(format.channels));
    put32(out, static_cast<uint32_t>(format.sampleRate));
    put32(out, static_cast<uint32_t>(format.sampleRate) * blockAlign);
    put16(out, blockAlign);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    for (const int16_t s : samples) put16(out, static_cast<uint16_t>(s));
    if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

void writeWav(const std::filesystem::path& path, const Melody& melody, double seconds, WavFormat format) {
    writeWav(path, renderMelody(melody, seconds, format), format);
}

}  // namespace velorra::media
