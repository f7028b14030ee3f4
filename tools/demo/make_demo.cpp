// velorra-make-demo OUTDIR: four songs of about 20 seconds, each its own tune (two MP3 with
// ID3v1 tags, two WAV), and demo.m3u listing them.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include <vextag/vextag.h>

#include "tools/media/mp3_encoder.h"
#include "tools/media/wav_writer.h"

namespace {

struct Song {
    const char* file;
    const char* title;
    int tune;
    double seconds;
};

constexpr Song kSongs[] = {
    {"01 Morning Light.mp3", "Morning Light", 1, 20.0},
    {"02 Tidewater.wav", "Tidewater", 2, 19.5},
    {"03 Paper Lanterns.mp3", "Paper Lanterns", 3, 21.0},
    {"04 Quiet Hours.wav", "Quiet Hours", 4, 20.5},
};

void tag(const std::filesystem::path& path, const Song& song) {
    vextag::Vextag tag;
    tag.setFilename(path.string());
    tag.setSong(song.title);
    tag.setArtist("Velorra Demo");
    tag.setAlbum("First Light");
    tag.setYear("2026");
    tag.setGenre("Ambient");
    tag.Save();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: velorra-make-demo OUTDIR\n";
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        std::ofstream list(dir / "demo.m3u", std::ios::trunc);
        for (const Song& song : kSongs) {
            const auto path = dir / song.file;
            const auto melody = velorra::media::tune(song.tune);
            if (path.extension() == ".mp3") {
                velorra::media::writeMp3(path, melody, song.seconds,
                                         song.tune == 1 ? velorra::media::Mp3Kind::ConstantNoXing
                                                        : velorra::media::Mp3Kind::VariableXing);
                tag(path, song);
            } else {
                velorra::media::writeWav(path, melody, song.seconds);
            }
            list << song.file << '\n';
        }
        if (!list.flush()) throw std::runtime_error("cannot write demo.m3u");
    } catch (const std::exception& e) {
        std::cerr << "velorra-make-demo: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
