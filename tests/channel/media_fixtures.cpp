#include "channel/media_fixtures.h"

#include <random>

#include "support/temp_dir.h"
#include "tools/media/mp3_encoder.h"
#include "tools/media/pipeline.h"
#include "tools/media/tagged_encoder.h"
#include "tools/media/wav_writer.h"

namespace velorra::test {

namespace {

using media::Mp3Kind;
using testing::TempDir;
using testing::writeFile;

TempDir& folder() {
    static TempDir f("velorra-channel");
    return f;
}

// A file of the tune encoded by `chain`, which ends in the bytes to write.
void writeEncoded(const std::filesystem::path& path, int tune, double seconds, const std::string& chain) {
    auto wav = path;
    wav += ".wav";
    media::writeWav(wav, media::tune(tune), seconds);
    const auto pipeline =
        media::parsePipeline("filesrc name=src ! wavparse ! audioconvert ! " + chain + " ! filesink name=sink");
    g_object_set(media::elementByName(pipeline.get(), "src").get(), "location", wav.c_str(), nullptr);
    g_object_set(media::elementByName(pipeline.get(), "sink").get(), "location", path.c_str(), nullptr);
    media::runToEnd(pipeline.get());
    std::filesystem::remove(wav);
}

ChannelMedia make() {
    ChannelMedia m;
    m.dir = folder().path();
    m.cbr = m.dir / "cbr.mp3";
    m.vbrXing = m.dir / "vbr-xing.mp3";
    m.vbrNoXing = m.dir / "vbr.mp3";
    m.mpeg2 = m.dir / "mpeg2.mp3";
    m.mpeg25 = m.dir / "mpeg25.mp3";
    m.wav = m.dir / "song.wav";
    m.ogg = m.dir / "song.ogg";
    m.wav1845 = m.dir / "184.5.wav";
    m.wav1855 = m.dir / "185.5.wav";
    media::writeMp3(m.cbr, media::tune(1), 7.3, Mp3Kind::ConstantNoXing);
    media::writeMp3(m.vbrXing, media::tune(2), 8.2, Mp3Kind::VariableXing);
    media::writeMp3(m.vbrNoXing, media::tune(3), 6.7, Mp3Kind::VariableNoXing);
    media::writeMp3(m.mpeg2, media::tune(4), 5.2, Mp3Kind::ConstantNoXing, {22050, 2});
    media::writeMp3(m.mpeg25, media::tune(5), 5.2, Mp3Kind::VariableNoXing, {8000, 1});
    media::writeWav(m.wav, media::tune(6), 5.4);
    using media::TaggedFormat;
    media::writeTagged(m.ogg, TaggedFormat::OggVorbis, media::tune(5), 4.4, {});
    m.opus = m.dir / "song.opus";
    media::writeTagged(m.opus, TaggedFormat::Opus, media::tune(8), 3.9, {});
    m.flac = m.dir / "song.flac";
    media::writeTagged(m.flac, TaggedFormat::Flac, media::tune(9), 4.7, {});
    m.oggFlac = m.dir / "flac.oga";
    writeEncoded(m.oggFlac, 11, 3.3, "flacenc ! oggmux");
    if (media::canEncode(TaggedFormat::M4a)) {
        m.m4a = m.dir / "song.m4a";
        media::writeTagged(m.m4a, TaggedFormat::M4a, media::tune(10), 5.1, {});
        m.adts = m.dir / "song.aac";
        writeEncoded(m.adts, 12, 6.1, "avenc_aac ! aacparse ! audio/mpeg,stream-format=adts");
    }
    media::writeWav(m.wav1845, media::tune(7), 184.5, {8000, 1});
    media::writeWav(m.wav1855, media::tune(7), 185.5, {8000, 1});
    return m;
}

}  // namespace

const ChannelMedia& channelMedia() {
    static const ChannelMedia media = make();
    return media;
}

std::filesystem::path writeBytes(const std::string& name, const std::string& bytes) {
    const std::string path = folder().path(name);
    writeFile(path, bytes);
    return path;
}

std::string randomBytes(size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (auto& b : bytes) b = static_cast<char>(random() & 0xFF);
    return bytes;
}

}  // namespace velorra::test

namespace velorra::test {

namespace {
std::string le(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}
}  // namespace

std::string undecodableWav(double seconds) {
    const auto size = static_cast<uint32_t>(seconds * 8000);
    const std::string format = le(0x2222, 2) + le(1, 2) + le(8000, 4) + le(8000, 4) + le(1, 2) + le(8, 2);
    const std::string body = "WAVEfmt " + le(16, 4) + format + "data" + le(size, 4) + randomBytes(size, 5);
    return "RIFF" + le(static_cast<uint32_t>(body.size()), 4) + body;
}

}  // namespace velorra::test
