#include "player/render/mix_render.h"

#include <chrono>
#include <limits>
#include <set>
#include <stdexcept>
#include <thread>

#include "player/analysis/gst_silence_measurer.h"
#include "player/channel/gst/gst_media_service.h"
#include "player/playback/playback_core.h"
#include "player/render/encoder.h"
#include "player/render/first_sound.h"
#include "player/render/output_file.h"
#include "player/toolkit/virtual_loop.h"

namespace velorra::render {

namespace {

constexpr int kRate = GstMixOutput::kRate;
// The longest stretch mixed between two moves of the clock (the position tick's interval).
constexpr int64_t kStretchMs = PlaybackCore::PositionInterval;
// Frames mixed and handed to the encoder at a time.
constexpr size_t kChunkFrames = kRate / 10;
// How long a new song's pipeline may take to be ready before the mix goes on without it.
constexpr std::chrono::seconds kPrerollWait{10};
// The fall of a song that stops: the graph's halt ramp.
constexpr int64_t kFallFrames = kRate / 100;
constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

int64_t frameAt(int64_t ms) { return ms * kRate / 1000; }

// The list as the core reads it: the rows in order, never shuffled.
class RenderList : public PlayList {
public:
    explicit RenderList(const std::vector<std::string>& songs) : songs_(songs) {}
    int32_t rowCount() const override { return static_cast<int32_t>(songs_.size()); }
    std::string location(int32_t row) const override { return songs_.at(static_cast<size_t>(row) - 1); }
    std::optional<double> knownLength(int32_t) const override { return std::nullopt; }
    void setLengths(int32_t, std::optional<int32_t>, const std::string&) override {}
    bool shuffle() const override { return false; }
    double shufflePick() override { return 0.0; }

private:
    const std::vector<std::string>& songs_;
};

// What the render hears of the core: where the playing song started in the mix, and when the
// core has gone past the last row.
class Watch : public PlaybackObserver {
public:
    Watch(PlaybackCore& core, Mixer& mixer) : core_(core), mixer_(mixer) { core_.addObserver(*this); }
    ~Watch() override { core_.removeObserver(*this); }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    void songLoaded() override {
        if (pastEnd) {
            // The list starts again: the last song's stream has ended.
            loadedAfterEnd = true;
            return;
        }
        songStart_ = mixer_.frames();
        loaded_ = true;
    }
    void rowChanged() override {
        if (core_.CurrentIndex() != 0 || !loaded_ || pastEnd) return;
        // The last song has reached its end zone: it plays on to its trimmed end, and nothing
        // more starts by the position tick.
        pastEnd = true;
        const Player* active = core_.channelIn(core_.ActiveChannel);
        if (active && active->Duration() > 0)
            songEnd = songStart_ + std::max<int64_t>(0, int64_t{core_.EndPos} - core_.StartPos) * kRate;
        core_.tmrPosition.setEnabled(false);
    }
    void nothingPlayable(int32_t failures) override { unplayable = failures; }

    bool pastEnd = false;
    bool loadedAfterEnd = false;
    // The frame where the last song reaches its trimmed end; never for a song of unknown length.
    int64_t songEnd = kNever;
    int32_t unplayable = 0;

private:
    PlaybackCore& core_;
    Mixer& mixer_;
    int64_t songStart_ = 0;
    bool loaded_ = false;
};

// The seconds the list is expected to give, from the files' headers.
double expectedSeconds(MediaService& media, const std::vector<std::string>& songs, const MixSettings& s) {
    double total = 0;
    int known = 0;
    for (const std::string& song : songs)
        if (const auto length = media.probeDuration(song); length && *length > 0) {
            total += std::max(0.0, *length - s.cutFirst - s.cutLast);
            ++known;
        }
    return std::max(0.0, total - std::max(0, known - 1) * std::max(0, s.transitionTime));
}

// Measures, before the render starts, every song the store does not know yet, so that each
// song's trims (and anything else measured with them) are known when it starts, as they are in
// play once measured. Returns false when cancelled.
bool measureFirst(PlaybackCore& core, SilenceMeasurer& measurer, toolkit::VirtualLoop& loop, const std::vector<std::string>& songs,
                  const std::atomic<bool>& cancelled) {
    core.measurements().waitUntilLoaded();
    std::set<std::string> waiting;
    for (const std::string& song : songs)
        if (!core.measurements().find(song)) waiting.insert(song);
    const auto told = measurer.onMeasured;
    measurer.onMeasured = [&](const std::string& path, const Measurement& m) {
        told(path, m);
        waiting.erase(path);
    };
    for (const std::string& song : std::set(waiting)) measurer.measure(song);
    while (!waiting.empty() && !cancelled) {
        loop.runPosted();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    measurer.onMeasured = told;
    return !cancelled;
}

MixOutcome failed(std::string why) { return {false, std::move(why), 0.0, false}; }
MixOutcome cancelledOutcome() { return {false, "the export was cancelled", 0.0, true}; }

}  // namespace

MixOutcome renderMix(const MixJob& job, const std::atomic<bool>& cancelled, const MixProgress& progress) {
    const auto format = formatOfName(job.destination);
    if (!format)
        return failed("cannot tell the format of \"" + job.destination +
                      "\": its name must end in .flac, .ogg, .opus, .mp3 or .wav");
    if (job.songs.empty()) return failed("the play list is empty");

    OutputFile file(job.destination);
    if (!file.failure().empty()) return failed(file.failure());
    Encoder encoder(*format, shapeFor(*format, firstSoundShape(job.songs)), kRate, file.temporaryPath());
    const auto writeFailure = [&] { return "cannot write \"" + job.destination + "\": " + encoder.failure(); };
    if (!encoder.failure().empty()) return failed(writeFailure());

    toolkit::VirtualLoop loop;
    GstMediaService media(loop, AudioOutput::Pulled);
    media.output().trailLikeADevice();
    GstSilenceMeasurer measurer(loop);
    RenderList list(job.songs);
    PlaybackCore core(loop, media, measurer, list);
    const MixSettings& s = job.settings;
    core.setTransitionType(s.transitionType);
    core.setTransitionTime(s.transitionTime);
    core.setCutFirst(s.cutFirst);
    core.setCutLast(s.cutLast);
    core.setLevel(PlaybackCore::Top);
    // Whatever the core reads from the measurements must be there before the song starts: the
    // silence trims and the loudness gains, measured in one decode.
    if (s.trimSilence || s.matchLoudness) {
        if (!measureFirst(core, measurer, loop, job.songs, cancelled)) return cancelledOutcome();
        core.setTrimSilence(s.trimSilence);
        core.setMatchLoudness(s.matchLoudness);
    }
    Watch watch(core, media.mixer());
    const double expected = expectedSeconds(media, job.songs, s);
    const auto settle = [&] {
        loop.runPosted();
        media.settle(kPrerollWait);
        loop.runPosted();
    };

    core.Play();
    settle();
    Mixer& mixer = media.mixer();
    std::vector<float> chunk(2 * kChunkFrames);
    int64_t mixed = 0, fallEnd = kNever, told = 0;
    for (;;) {
        if (cancelled) return cancelledOutcome();
        // A pass over the whole list in which nothing played: the render stops before any row
        // plays twice, so nothing in it can be played.
        if (watch.unplayable > 0) return failed("none of the songs in the play list could be played");
        if (watch.loadedAfterEnd) break;
        int64_t stopAt = kNever;
        if (watch.pastEnd) {
            const Player* active = core.channelIn(core.ActiveChannel);
            if (active && active->Playing()) {
                stopAt = watch.songEnd;
            } else if (!core.tmrTransition.Enabled()) {
                // The last song has ended or failed; the song before it has faded out: its fall is
                // the last of the mix.
                if (fallEnd == kNever) fallEnd = mixed + kFallFrames;
                stopAt = fallEnd;
            }
        }
        if (mixed >= stopAt) break;
        int64_t targetMs = loop.nowMs() + kStretchMs;
        if (const auto due = loop.nextDue(); due && *due < targetMs) targetMs = std::max(*due, loop.nowMs() + 1);
        const int64_t to = std::min(frameAt(targetMs), stopAt);
        while (mixed < to) {
            const auto n = static_cast<size_t>(std::min<int64_t>(to - mixed, kChunkFrames));
            mixer.mix(chunk.data(), n);
            mixed += static_cast<int64_t>(n);
            if (!encoder.push(chunk.data(), n)) return failed(writeFailure());
        }
        if (mixed >= stopAt) break;
        loop.advanceTo(targetMs);
        settle();
        if (progress && mixed - told >= kRate) {
            told = mixed;
            progress(static_cast<double>(mixed) / kRate, expected);
        }
    }
    core.shutDown();
    if (!encoder.finish()) return failed(writeFailure());
    if (!file.keep()) return failed(file.failure());
    return {true, {}, static_cast<double>(mixed) / kRate, false};
}

}  // namespace velorra::render
