#include "tools/media/mp3_encoder.h"

#include "tools/media/pipeline.h"
#include "tools/media/wav_writer.h"

namespace velorra::media {

void encodeMp3(const std::filesystem::path& wav, const std::filesystem::path& mp3, Mp3Kind kind) {
    const char* encoder = kind == Mp3Kind::ConstantNoXing
                              ? "lamemp3enc target=bitrate bitrate=128 cbr=true"
                              : "lamemp3enc target=quality quality=2";
    const char* xing = kind == Mp3Kind::VariableXing ? " ! xingmux" : "";
    const auto pipeline = parsePipeline(std::string("filesrc name=src ! wavparse ! audioconvert ! ") +
                                        encoder + xing + " ! filesink name=sink");
    g_object_set(elementByName(pipeline.get(), "src").get(), "location", wav.c_str(), nullptr);
    g_object_set(elementByName(pipeline.get(), "sink").get(), "location", mp3.c_str(), nullptr);
    runToEnd(pipeline.get());
}

void writeMp3(const std::filesystem::path& path, const Melody& melody, double seconds, Mp3Kind kind,
              WavFormat format) {
    auto wav = path;
    wav += ".source.wav";
    writeWav(wav, melody, seconds, format);
    encodeMp3(wav, path, kind);
    std::filesystem::remove(wav);
}

}  // namespace velorra::media
