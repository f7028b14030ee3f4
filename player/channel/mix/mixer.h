#pragma once
// The player's mixer: asked for N frames, it takes each sounding branch's next frames from its
// input, applies the branch's gain ramp, loudness ramp and balance to every sample, sums the
// branches and counts the frames it has made. The count is the mix's own time: every ramp and
// halt is placed on exact frames of it, so a fall sounds the same whatever the output holds and
// however late it asks.
//
// It knows no toolkit, no clock and no thread of its own: a sound output asks for frames in real
// time, a render asks as fast as it can, a test asks by hand. Commands come from any thread and
// take effect with the next frames mixed; `mix` holds the mixer's lock while it reads the inputs,
// so an input must not wait long.
//
// An output that holds much of the mix ahead of the listener, and can take back what it holds
// (a sound server's stream), gives the mixer a rewind: each command then goes back to the frame
// the output names, just past what is being heard, and the mix is made again from there with the
// command in it. The frames each branch took from its input since are given to it again, so
// nothing of a song is lost or read twice. A command is thus heard soon after it is given, however
// far ahead the output keeps the mix.
//
// A branch is halted (it adds silence and its input is not read), sounding, or falling to a halt.
// A ramp set while a branch sounds starts with the next frame its input gives: a rise after a
// start or a seek begins with the first sound there is, never with silence standing in for it.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "player/channel/mix/gain_ramp.h"

namespace velorra {

// Where the mixer takes a branch's sound from.
class MixInput {
public:
    virtual ~MixInput() = default;
    // Copies up to `frames` interleaved stereo float frames at the mix's rate into `out` and
    // returns how many: fewer when no more are ready now, none once the stream is over.
    virtual size_t read(float* out, size_t frames) = 0;
};

class Mixer {
public:
    using Branch = int;
    explicit Mixer(int rate) : rate_(rate) {}
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    int rate() const { return rate_; }
    // Frames mixed so far.
    int64_t frames() const;
    // Whether any branch sounds or falls.
    bool sounding() const;

    // A new branch, halted, at gain 1 and centre balance.
    Branch add(std::shared_ptr<MixInput> input);
    // The branch leaves the mix at once; no later rewind goes back into the sound it made.
    void remove(Branch branch);

    // The factor the gain moves to (1.0 unity), the last one set.
    double gain(Branch branch) const;
    // A sounding branch gets to `factor` over `ramp` frames; a halted one takes it at its next start.
    void setGain(Branch branch, double factor, int64_t ramp);
    // The branch sounds: its gain rises from where it stands (silence after a halt) to its factor
    // over `ramp` frames.
    void start(Branch branch, int64_t ramp);
    // The branch's sound falls to silence over `ramp` frames, then the branch halts; its input is
    // read no further than the fall, so a later start goes on from there.
    void halt(Branch branch, int64_t ramp);
    // The branch halts at once, silent.
    void silence(Branch branch);
    // Whether the branch is halted, its fall (if any) mixed to the end.
    bool halted(Branch branch) const;
    // The mix frame just after the last frame taken from the branch's input.
    int64_t takenTo(Branch branch) const;

    // The branch's loudness factor (1.0 its sound as it is), the last one set: a gain of its own
    // before the gain above, which multiplies with it sample by sample, so that neither's ramp
    // cuts the other's short. It moves from where it stands to `factor` over `ramp` frames of the
    // mix from now, whether the branch sounds or not.
    double loudness(Branch branch) const;
    void setLoudness(Branch branch, double factor, int64_t ramp);

    // -1.0 left only, 0 centre, 1.0 right only: off centre one side is lowered, the other kept.
    float balance(Branch branch) const;
    void setBalance(Branch branch, float balance);
    // How fast the branch's input is played, 1.0 as it is (other speeds are read by linear
    // interpolation, pitch and all).
    double rate(Branch branch) const;
    void setRate(Branch branch, double rate);

    // Mixes the next `frames` interleaved stereo frames into `out`; returns the mix frame of the
    // first of them.
    int64_t mix(float* out, size_t frames);

    // Before each command the mixer asks `from` for the frame it is to be heard from, and goes
    // back there if it has mixed beyond it (no further back than `keep` frames before the last
    // mixed); after it, `then` is told, so that the output hands on the mix made again. `from`
    // is asked with the mixer's lock held: it must not call the mixer. A rewind never goes back
    // before the frame the mix stood at when it was set; an output that takes the mix as it is
    // made sets none (empty functions).
    void setRewind(std::function<int64_t()> from, std::function<void()> then, int64_t keep);
    // Frames the branch took from its input that are still to be mixed, given back by a rewind.
    int64_t held(Branch branch) const;
    // The branch's input has jumped (a seek): what it holds of the input is dropped, and no later
    // rewind goes back before the frames it has mixed.
    void forget(Branch branch);

private:
    enum class Motion { Halted, Sounding, Falling };
    // A ramp waiting for the branch's next frame, so that it starts exactly where the gain stands.
    struct Pending {
        double factor = 0.0;
        int64_t length = 0;
        bool joins = false;  // a change that may join the ramp before it, rather than a start or a fall
    };
    struct State {
        std::shared_ptr<MixInput> input;
        Motion motion = Motion::Halted;
        double factor = 1.0;  // the factor the gain moves to
        std::optional<Pending> pending;
        GainRamp ramp = GainRamp::flat(0.0);  // silent until the branch first sounds
        GainRamp loudness = GainRamp::flat(1.0);
        double loudnessFactor = 1.0;  // the factor the loudness moves to
        float balance = 0.0f;
        double speed = 1.0;
        int64_t takenTo = 0;
        // Read ahead of the interpolation at other speeds, and where it stands in it.
        std::vector<float> ahead;
        double at = 0.0;
    };
    // Frames a branch took from its input, given back by a rewind: read before the input again.
    struct Held {
        std::vector<float> frames;
        size_t at = 0;  // how many of them have been read
    };
    // What a rewind goes back to: the branches as they stood before a stretch was mixed, and the
    // frames each took from its input while it was mixed.
    struct Step {
        int64_t frame = 0;
        std::vector<std::pair<Branch, State>> states;
        std::vector<std::pair<Branch, std::vector<float>>> taken;
    };

    const State* find(Branch branch) const;
    State* find(Branch branch);
    // Starts the pending ramp at frame `now`. Caller holds lock_.
    static void begin(State& s, const Pending& pending, int64_t now);
    // Reads up to `frames` frames of the branch at its speed into `out`.
    size_t read(Branch branch, State& s, float* out, size_t frames);
    // Takes up to `frames` frames of the branch's input, held ones first, noting them for a rewind.
    size_t take(Branch branch, State& s, float* out, size_t frames);
    // Mixes one branch into `out`. Caller holds lock_.
    void mixBranch(Branch branch, State& s, float* out, size_t frames);
    // A command is coming: goes back to the frame the output names, and marks that the output is
    // to be told once the command is in. Caller holds lock_.
    void rewind();
    // Keeps later rewinds out of the branch's sound as it has been mixed. Caller holds lock_.
    void raiseFloor(const State& s);
    // Notes the branches as they stand before the next stretch is mixed. Caller holds lock_.
    void record();
    // Runs a command under the lock, after any rewind, and tells the output of a rewind after it.
    template <class Command>
    void command(Command&& apply);

    const int rate_;
    mutable std::mutex lock_;
    std::map<Branch, State> branches_;
    std::map<Branch, Held> held_;
    Branch last_ = 0;
    int64_t frames_ = 0;
    std::vector<float> scratch_;
    std::function<int64_t()> rewindFrom_;
    std::function<void()> rewound_;
    int64_t keep_ = 0;
    // The steps mixed since the earliest frame a rewind may go back to, oldest first; spent ones
    // are kept for their storage.
    std::deque<Step> steps_;
    std::vector<Step> spare_;
    // No rewind goes back before this frame.
    int64_t floor_ = 0;
    bool toldRewound_ = false;
};

}  // namespace velorra
