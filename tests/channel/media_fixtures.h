#pragma once
// The media files the channel tests play, made once per test program in a temporary folder
// that is removed when the program ends.
#include <filesystem>

namespace velorra::test {

struct ChannelMedia {
    std::filesystem::path dir;
    std::filesystem::path cbr;        // 7.3 s, 128 kbit/s, no Xing/Info frame
    std::filesystem::path vbrXing;    // 8.2 s, variable bitrate, Xing frame
    std::filesystem::path vbrNoXing;  // 6.7 s, variable bitrate, frames only
    std::filesystem::path mpeg2;      // 5.2 s at 22050 Hz (MPEG-2 layer III)
    std::filesystem::path mpeg25;     // 5.2 s at 8000 Hz mono (MPEG-2.5 layer III)
    std::filesystem::path wav;        // 5.4 s, 44.1 kHz stereo
    std::filesystem::path ogg;        // 4.4 s Ogg Vorbis
    std::filesystem::path opus;       // 3.9 s Opus
    std::filesystem::path flac;       // 4.7 s FLAC
    std::filesystem::path m4a;        // 5.1 s AAC in MP4; empty when this machine cannot encode it
    std::filesystem::path adts;       // 6.1 s raw AAC (ADTS frames); empty as m4a is
    std::filesystem::path oggFlac;    // 3.3 s FLAC in Ogg: no header scan knows it
    std::filesystem::path wav1845;    // exactly 184.5 s (8 kHz mono)
    std::filesystem::path wav1855;    // exactly 185.5 s
};

const ChannelMedia& channelMedia();

// A file of the given bytes in the media folder.
std::filesystem::path writeBytes(const std::string& name, const std::string& bytes);
// Bytes that look like nothing.
std::string randomBytes(size_t count, unsigned seed);
// A WAV whose header tells `seconds` of sound at 8000 bytes a second, in a codec (format tag
// 0x2222) that no decoder plays.
std::string undecodableWav(double seconds);

}  // namespace velorra::test
