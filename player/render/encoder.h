#pragma once
// Writes a mix to a file: `appsrc ! audioconvert ! audioresample ! capsfilter ! encoder [! mux]
// ! filesink`. FLAC is written as 24-bit, Ogg Vorbis and Opus in Ogg, MP3 as VBR behind an info
// frame (mp3_info.h: its length known at once, to the sample), WAV as 32-bit float: the mix's own
// samples. The mix comes
// in as interleaved stereo float at the mix's rate; the encoder converts it to the shape asked.
// Pushing waits while the encoder's thread is a second behind, so what waits to be encoded stays
// small, and a failure of the encoder or the file ends the wait.
#include <gst/gst.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "player/channel/gst/gst_handle.h"
#include "player/render/audio_format.h"

namespace velorra::render {

class Encoder {
public:
    // `mixRate`: the rate of the frames pushed. failure() tells why when it cannot be built.
    Encoder(AudioFormat format, SoundShape shape, int mixRate, const std::string& path);
    // Brings the pipeline down; a file not finished is left as it stands (its owner removes it),
    // once the encoder has encoded what waited for it.
    ~Encoder();
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    // Empty while all is well: the pipeline's first error otherwise.
    const std::string& failure() const { return failure_; }
    // Hands over `frames` interleaved stereo float frames; false once the encoder has failed.
    bool push(const float* samples, size_t frames);
    // Ends the stream and waits until the file is written whole; false when it failed.
    bool finish();

private:
    // Takes the bus's error, if any, into failure_, waiting up to `wait` for it or the end.
    bool check(GstClockTime wait, bool untilEnd);

    const AudioFormat format_;
    const SoundShape shape_;
    const int mixRate_;
    const std::string path_;
    GstHandle<GstElement> pipeline_;
    GstHandle<GstElement> source_;
    int64_t pushed_ = 0;
    // Whether the stream's end has been sent.
    bool ended_ = false;
    std::string failure_;
};

}  // namespace velorra::render
