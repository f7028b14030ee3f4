#include "player/render/encoder.h"

#include <gst/app/gstappsrc.h>
#include <gst/audio/audio-format.h>

#include <cstring>

#include "player/channel/gst/gst_start.h"
#include "player/render/mp3_info.h"

namespace velorra::render {

namespace {

// What stands between the converters and the file, and the sample format it takes.
struct Encoding {
    const char* chain;
    const char* sampleFormat;
};

Encoding encodingOf(AudioFormat format) {
    switch (format) {
    case AudioFormat::Flac:
        return {"flacenc", "S24_32LE"};
    case AudioFormat::OggVorbis:
        return {"vorbisenc ! oggmux", "F32LE"};
    case AudioFormat::Opus:
        return {"opusenc bitrate=160000 ! oggmux", "S16LE"};
    case AudioFormat::Mp3:
        return {"lamemp3enc target=quality quality=2", "S16LE"};
    case AudioFormat::Wav:
        return {"wavenc", "F32LE"};
    }
    return {"", ""};
}

// What waits in the appsrc for the encoder: a second of the mix, so that the slowest encoder
// still has work while the mixer waits for room.
constexpr guint64 kQueuedBytes = 44100 * 2 * sizeof(float);
// How long the mixer waits at a time for room, watching the bus for a failure.
constexpr GstClockTime kRoomWait = 2 * GST_MSECOND;
// How long an encoder given up may take to encode what waits for it (at most kQueuedBytes).
constexpr GstClockTime kDrainWait = 2 * GST_SECOND;

std::string describe(GstMessage* message) {
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    std::string text = error && error->message ? error->message : "unknown error";
    if (error) g_error_free(error);
    return text;
}

}  // namespace

Encoder::Encoder(AudioFormat format, SoundShape shape, int mixRate, const std::string& path)
    : format_(format), shape_(shape), mixRate_(mixRate), path_(path) {
    startGstreamer();
    const Encoding encoding = encodingOf(format);
    const std::string description = std::string("appsrc name=mix ! audioconvert dithering=none ! audioresample ! "
                                                "capsfilter name=shape ! ") +
                                    encoding.chain + " ! filesink name=file";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    const GErrorHandle errorOwner(error);
    if (pipeline) pipeline_.reset(GST_ELEMENT(gst_object_ref_sink(pipeline)));
    if (!pipeline_ || error) {
        failure_ = std::string("the encoder is missing: ") + (error ? error->message : encoding.chain);
        pipeline_.reset();
        return;
    }
    source_.reset(gst_bin_get_by_name(GST_BIN(pipeline_.get()), "mix"));
    const GstHandle<GstElement> shaper(gst_bin_get_by_name(GST_BIN(pipeline_.get()), "shape"));
    const GstHandle<GstElement> file(gst_bin_get_by_name(GST_BIN(pipeline_.get()), "file"));

    const GstCapsHandle mixCaps(gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, GST_AUDIO_NE(F32), "layout",
                                                    G_TYPE_STRING, "interleaved", "rate", G_TYPE_INT, mixRate,
                                                    "channels", G_TYPE_INT, 2, nullptr));
    // The appsrc never blocks: a push waiting for room while the encoder has failed would wait for
    // ever. The pusher waits for room itself (push()).
    g_object_set(source_.get(), "caps", mixCaps.get(), "format", GST_FORMAT_TIME, "block", FALSE, "max-bytes",
                 kQueuedBytes, nullptr);
    const GstCapsHandle fileCaps(gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, encoding.sampleFormat,
                                                     "rate", G_TYPE_INT, shape.rate, "channels", G_TYPE_INT,
                                                     shape.channels, nullptr));
    g_object_set(shaper.get(), "caps", fileCaps.get(), nullptr);
    g_object_set(file.get(), "location", path.c_str(), nullptr);
    // An MP3 file begins with its info frame, the encoder's frames after it.
    if (format == AudioFormat::Mp3) {
        if (!startMp3Info(path, shape)) {
            failure_ = "the file cannot be written";
            return;
        }
        g_object_set(file.get(), "append", TRUE, nullptr);
    }
    // The file opens here: a file that cannot be written fails at once.
    if (gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        check(0, false);
        if (failure_.empty()) failure_ = "the encoder could not start";
    }
}

Encoder::~Encoder() {
    if (!pipeline_) return;
    // An encoder brought down while it hands on its first frame keeps that frame for good: GStreamer's
    // audio encoder returns without releasing it when the headers sent before it meet a flushing
    // pad. A mix given up therefore ends its stream first, so that the encoder comes down idle; its
    // file is removed all the same.
    if (!ended_ && failure_.empty() && source_) {
        ended_ = true;
        gst_app_src_end_of_stream(GST_APP_SRC(source_.get()));
        check(kDrainWait, true);
    }
    gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
}

bool Encoder::check(GstClockTime wait, bool untilEnd) {
    if (!pipeline_) return false;
    const GstHandle<GstBus> bus(gst_element_get_bus(pipeline_.get()));
    const auto types = static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_EOS);
    for (;;) {
        const GstMessageHandle message(gst_bus_timed_pop_filtered(bus.get(), wait, types));
        if (!message) return !untilEnd && failure_.empty();
        if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
            if (failure_.empty()) failure_ = describe(message.get());
            return false;
        }
        if (untilEnd) return failure_.empty();
    }
}

bool Encoder::push(const float* samples, size_t frames) {
    if (!failure_.empty() || !source_) return false;
    if (frames == 0) return true;
    auto* source = GST_APP_SRC(source_.get());
    while (gst_app_src_get_current_level_bytes(source) >= kQueuedBytes)
        if (!check(kRoomWait, false)) return false;
    const size_t bytes = frames * 2 * sizeof(float);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
    gst_buffer_fill(buffer, 0, samples, bytes);
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale_int(static_cast<guint64>(pushed_), GST_SECOND, mixRate_);
    pushed_ += static_cast<int64_t>(frames);
    GST_BUFFER_DURATION(buffer) =
        gst_util_uint64_scale_int(static_cast<guint64>(pushed_), GST_SECOND, mixRate_) - GST_BUFFER_PTS(buffer);
    if (gst_app_src_push_buffer(source, buffer) != GST_FLOW_OK) {
        check(0, false);
        if (failure_.empty()) failure_ = "the encoder stopped taking the mix";
        return false;
    }
    return check(0, false);
}

bool Encoder::finish() {
    if (!failure_.empty() || !source_) return false;
    ended_ = true;
    gst_app_src_end_of_stream(GST_APP_SRC(source_.get()));
    if (!check(GST_CLOCK_TIME_NONE, true)) return false;
    gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    if (format_ == AudioFormat::Mp3) {
        const int64_t samples = (pushed_ * shape_.rate + mixRate_ / 2) / mixRate_;
        return finishMp3Info(path_, shape_, samples, failure_);
    }
    return true;
}

}  // namespace velorra::render
