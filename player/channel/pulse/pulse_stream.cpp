#include "player/channel/pulse/pulse_stream.h"

#include <algorithm>

namespace velorra {

namespace {

constexpr size_t kFrameBytes = 2 * sizeof(float);
// How often the server asks for more.
constexpr int kRequestMs = 20;
// How far back the mixer keeps what it made: all the server may hold.
constexpr int kKeepMs = 1000;
// Silence after which the stream is corked: two seconds.
constexpr int kRestMs = 2000;

uint32_t bytes(int rate, int ms) { return static_cast<uint32_t>(static_cast<int64_t>(rate) * ms / 1000 * kFrameBytes); }

}  // namespace

PulseStream::PulseStream(Mixer& mixer, Heard heard) : mixer_(mixer), heard_(std::move(heard)) {}

std::shared_ptr<PulseStream> PulseStream::open(Mixer& mixer, const std::string& sink,
                                               std::function<int64_t()> commandFrame, Heard heard) {
    std::shared_ptr<PulseStream> stream(new PulseStream(mixer, std::move(heard)));
    if (!stream->connect(sink)) return nullptr;
    mixer.setRewind(
        std::move(commandFrame),
        [weak = std::weak_ptr<PulseStream>(stream)] {
            if (const auto s = weak.lock()) s->rewrite();
        },
        int64_t{mixer.rate()} * kKeepMs / 1000);
    return stream;
}

template <class Done>
void PulseStream::waitFor(Done done) {
    while (!done()) pa_threaded_mainloop_wait(loop_);
}

bool PulseStream::connect(const std::string& sink) {
    loop_ = pa_threaded_mainloop_new();
    if (!loop_) return false;
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Velorra");
    if (!context_) return false;
    pa_context_set_state_callback(context_, +[](pa_context* c, void* self) {
        auto* s = static_cast<PulseStream*>(self);
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(c))) s->failed_ = true;
        pa_threaded_mainloop_signal(s->loop_, 0);
    }, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
    pa_threaded_mainloop_lock(loop_);
    if (pa_threaded_mainloop_start(loop_) < 0) {
        pa_threaded_mainloop_unlock(loop_);
        return false;
    }
    waitFor([&] { return failed_ || pa_context_get_state(context_) == PA_CONTEXT_READY; });
    const int rate = mixer_.rate();
    if (!failed_) {
        const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(rate), 2};
        stream_ = pa_stream_new(context_, "Velorra", &format, nullptr);
    }
    if (stream_) {
        pa_stream_set_state_callback(stream_, +[](pa_stream* st, void* self) {
            auto* s = static_cast<PulseStream*>(self);
            if (!PA_STREAM_IS_GOOD(pa_stream_get_state(st))) s->failed_ = true;
            pa_threaded_mainloop_signal(s->loop_, 0);
        }, this);
        pa_stream_set_write_callback(stream_, +[](pa_stream*, size_t more, void* self) {
            static_cast<PulseStream*>(self)->fill(more);
        }, this);
        base_ = written_ = mixer_.frames();
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.tlength = bytes(rate, kQueueMs);
        attr.prebuf = static_cast<uint32_t>(-1);
        attr.minreq = bytes(rate, kRequestMs);
        attr.fragsize = static_cast<uint32_t>(-1);
        const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
                                                          PA_STREAM_ADJUST_LATENCY);
        if (pa_stream_connect_playback(stream_, sink.empty() ? nullptr : sink.c_str(), &attr, flags, nullptr, nullptr) < 0)
            failed_ = true;
        waitFor([&] { return failed_ || pa_stream_get_state(stream_) == PA_STREAM_READY; });
    }
    const bool ready = !failed_ && stream_;
    pa_threaded_mainloop_unlock(loop_);
    return ready;
}

PulseStream::~PulseStream() {
    mixer_.setRewind({}, {}, 0);
    if (!loop_) return;
    pa_threaded_mainloop_lock(loop_);
    if (stream_) {
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
    }
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    pa_threaded_mainloop_unlock(loop_);
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

void PulseStream::fill(size_t more) {
    if (!stream_ || pa_stream_get_state(stream_) != PA_STREAM_READY) return;
    const int64_t end = written_ + static_cast<int64_t>(more / kFrameBytes);
    const auto stretch = static_cast<size_t>(mixer_.rate() * PulseStream::kStretchMs / 1000);
    stretch_.resize(2 * stretch);
    // A command that takes the mix back meanwhile has the next stretch start there.
    for (int64_t at = mixer_.frames(); at < end; at = mixer_.frames()) {
        const auto frames = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(stretch), end - at));
        const int64_t first = mixer_.mix(stretch_.data(), frames);
        pa_stream_write(stream_, stretch_.data(), frames * kFrameBytes, nullptr,
                        (first - base_) * static_cast<int64_t>(kFrameBytes), PA_SEEK_ABSOLUTE);
        silentFrames_ = mixer_.sounding() ? 0 : silentFrames_ + static_cast<int64_t>(frames);
    }
    written_ = std::max(written_, end);
    if (!resting_ && silentFrames_ >= int64_t{mixer_.rate()} * kRestMs / 1000) {
        resting_ = true;
        if (pa_operation* o = pa_stream_cork(stream_, 1, nullptr, nullptr)) pa_operation_unref(o);
    }
    tellHeard();
}

void PulseStream::tellHeard() {
    pa_usec_t usec = 0;
    if (pa_stream_get_time(stream_, &usec) < 0) return;
    const int64_t frame = base_ + static_cast<int64_t>(usec * static_cast<pa_usec_t>(mixer_.rate()) / PA_USEC_PER_SEC);
    heard_(frame, written_, !resting_);
}

void PulseStream::rewrite() {
    if (pa_threaded_mainloop_in_thread(loop_)) {
        fill(0);
        return;
    }
    pa_threaded_mainloop_lock(loop_);
    fill(0);
    pa_threaded_mainloop_unlock(loop_);
}

void PulseStream::wake() {
    pa_threaded_mainloop_lock(loop_);
    if (resting_ && stream_) {
        silentFrames_ = 0;
        resting_ = false;
        if (pa_operation* o = pa_stream_cork(stream_, 0, nullptr, nullptr)) pa_operation_unref(o);
        tellHeard();
    }
    pa_threaded_mainloop_unlock(loop_);
}

}  // namespace velorra
