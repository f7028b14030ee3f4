#include "player/channel/mix/mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace velorra {

int64_t Mixer::frames() const {
    const std::lock_guard hold(lock_);
    return frames_;
}

bool Mixer::sounding() const {
    const std::lock_guard hold(lock_);
    return std::any_of(branches_.begin(), branches_.end(), [](const auto& b) { return b.second.motion != Motion::Halted; });
}

Mixer::Branch Mixer::add(std::shared_ptr<MixInput> input) {
    const std::lock_guard hold(lock_);
    branches_[++last_].input = std::move(input);
    return last_;
}

void Mixer::remove(Branch branch) {
    std::shared_ptr<MixInput> input;  // released once the lock is
    const std::lock_guard hold(lock_);
    if (const auto found = branches_.find(branch); found != branches_.end()) {
        // A mix made again from a rewind would lack the branch: none goes back into its sound.
        raiseFloor(found->second);
        input = std::move(found->second.input);
        branches_.erase(found);
    }
    held_.erase(branch);
}

void Mixer::raiseFloor(const State& s) {
    // A halted branch's last mixed frame is where its fall ended; one still sounding is cut from
    // the whole mix made so far.
    floor_ = std::max(floor_, s.motion == Motion::Halted ? s.takenTo : frames_);
}

void Mixer::setRewind(std::function<int64_t()> from, std::function<void()> then, int64_t keep) {
    const std::lock_guard hold(lock_);
    rewindFrom_ = std::move(from);
    rewound_ = std::move(then);
    keep_ = keep;
    // Nothing mixed before goes to the new output.
    for (auto& step : steps_) spare_.push_back(std::move(step));
    steps_.clear();
    floor_ = frames_;
}

int64_t Mixer::held(Branch branch) const {
    const std::lock_guard hold(lock_);
    const auto found = held_.find(branch);
    return found == held_.end() ? 0 : static_cast<int64_t>(found->second.frames.size() / 2 - found->second.at);
}

void Mixer::forget(Branch branch) {
    const std::lock_guard hold(lock_);
    held_.erase(branch);
    if (const State* s = find(branch)) raiseFloor(*s);
}

template <class Command>
void Mixer::command(Command&& apply) {
    std::function<void()> tell;
    {
        const std::lock_guard hold(lock_);
        rewind();
        apply();
        // No later command goes back before this one, which the mix from here on holds.
        if (rewindFrom_) floor_ = frames_;
        if (std::exchange(toldRewound_, false)) tell = rewound_;
    }
    if (tell) tell();
}

void Mixer::rewind() {
    if (!rewindFrom_ || steps_.empty()) return;
    const int64_t to = std::max(rewindFrom_(), floor_);
    const auto first = std::find_if(steps_.begin(), steps_.end(), [&](const Step& step) { return step.frame >= to; });
    if (first == steps_.end()) return;
    for (auto& [branch, state] : branches_) {
        // What the branch took since, then what it still held: the frames it reads from here on.
        std::vector<float> frames;
        for (auto step = first; step != steps_.end(); ++step)
            for (const auto& [b, taken] : step->taken)
                if (b == branch) frames.insert(frames.end(), taken.begin(), taken.end());
        if (const auto h = held_.find(branch); h != held_.end()) {
            frames.insert(frames.end(), h->second.frames.begin() + static_cast<std::ptrdiff_t>(2 * h->second.at),
                          h->second.frames.end());
            held_.erase(h);
        }
        if (!frames.empty()) held_[branch] = Held{std::move(frames), 0};
        // A branch added since stands as it is: it has not sounded since.
        const auto was = std::find_if(first->states.begin(), first->states.end(), [&](const auto& s) { return s.first == branch; });
        if (was != first->states.end()) {
            std::shared_ptr<MixInput> input = std::move(state.input);
            state = was->second;
            state.input = std::move(input);
        }
    }
    frames_ = first->frame;
    for (auto step = first; step != steps_.end(); ++step) spare_.push_back(std::move(*step));
    steps_.erase(first, steps_.end());
    toldRewound_ = true;
}

void Mixer::record() {
    Step step;
    if (!spare_.empty()) {
        step = std::move(spare_.back());
        spare_.pop_back();
    }
    step.frame = frames_;
    step.states.resize(branches_.size());
    step.taken.resize(branches_.size());
    size_t i = 0;
    for (const auto& [branch, state] : branches_) {
        step.states[i] = {branch, state};
        step.taken[i].first = branch;
        step.taken[i].second.clear();
        ++i;
    }
    steps_.push_back(std::move(step));
}

const Mixer::State* Mixer::find(Branch branch) const {
    const auto found = branches_.find(branch);
    return found == branches_.end() ? nullptr : &found->second;
}

Mixer::State* Mixer::find(Branch branch) {
    const auto found = branches_.find(branch);
    return found == branches_.end() ? nullptr : &found->second;
}

double Mixer::gain(Branch branch) const {
    const std::lock_guard hold(lock_);
    const State* s = find(branch);
    return s ? s->factor : 0.0;
}

void Mixer::setGain(Branch branch, double factor, int64_t ramp) {
    command([&] {
        State* s = find(branch);
        if (!s) return;
        s->factor = factor;
        if (s->motion != Motion::Sounding) return;
        // A start still to begin goes to the new factor.
        if (s->pending && !s->pending->joins)
            s->pending->factor = factor;
        else
            s->pending = Pending{factor, ramp, true};
    });
}

void Mixer::start(Branch branch, int64_t ramp) {
    command([&] {
        State* s = find(branch);
        if (!s || s->motion == Motion::Sounding) return;
        s->motion = Motion::Sounding;
        s->pending = Pending{s->factor, ramp, false};
    });
}

void Mixer::halt(Branch branch, int64_t ramp) {
    command([&] {
        State* s = find(branch);
        if (!s || s->motion == Motion::Halted) return;
        // A start that never began leaves the branch silent already.
        if (s->motion == Motion::Sounding && s->pending && !s->pending->joins && s->ramp.last().factor == 0.0 &&
            s->ramp.last().frame <= frames_) {
            s->motion = Motion::Halted;
            s->pending.reset();
            return;
        }
        s->motion = Motion::Falling;
        s->pending = Pending{0.0, ramp, false};
    });
}

void Mixer::silence(Branch branch) {
    command([&] {
        if (State* s = find(branch)) {
            s->motion = Motion::Halted;
            s->pending.reset();
            s->ramp = GainRamp::flat(0.0);
        }
    });
}

bool Mixer::halted(Branch branch) const {
    const std::lock_guard hold(lock_);
    const State* s = find(branch);
    return !s || s->motion == Motion::Halted;
}

int64_t Mixer::takenTo(Branch branch) const {
    const std::lock_guard hold(lock_);
    const State* s = find(branch);
    return s ? s->takenTo : 0;
}

double Mixer::loudness(Branch branch) const {
    const std::lock_guard hold(lock_);
    const State* s = find(branch);
    return s ? s->loudnessFactor : 0.0;
}

void Mixer::setLoudness(Branch branch, double factor, int64_t ramp) {
    if (!(factor >= 0.0) || !std::isfinite(factor)) return;
    command([&] {
        State* s = find(branch);
        if (!s) return;
        s->loudnessFactor = factor;
        s->loudness =
            ramp > 0 ? GainRamp::line(frames_, s->loudness.at(frames_), ramp, factor) : GainRamp::flat(factor);
    });
}

float Mixer::balance(Branch branch) const {
    const std::lock_guard hold(lock_);
    const State* s = find(branch);
    return s ? s->balance : 0.0f;
}

void Mixer::setBalance(Branch branch, float balance) {
    command([&] {
        if (State* s = find(branch)) s->balance = std::clamp(balance, -1.0f, 1.0f);
    });
}

double Mixer::rate(Branch branch) const {
    const std::lock_guard hold(lock_);
    const State* s = find(branch);
    return s ? s->speed : 0.0;
}

void Mixer::setRate(Branch branch, double rate) {
    if (!(rate > 0.0) || !std::isfinite(rate)) return;
    command([&] {
        if (State* s = find(branch)) s->speed = rate;
    });
}

void Mixer::begin(State& s, const Pending& pending, int64_t now) {
    // A change set while the ramp before it has less than its own length to go starts where that
    // one ends: a run of steps, each set about as the last one ends, joins into one unbroken line.
    const GainRamp::Point end = s.ramp.last();
    if (pending.joins && end.frame > now && end.frame - now < pending.length)
        s.ramp = {{GainRamp::Point{now, s.ramp.at(now)}, end, GainRamp::Point{end.frame + pending.length, pending.factor}}, 3};
    else
        s.ramp = GainRamp::line(now, s.ramp.at(now), pending.length, pending.factor);
}

size_t Mixer::take(Branch branch, State& s, float* out, size_t frames) {
    size_t got = 0;
    if (const auto h = held_.find(branch); h != held_.end()) {
        Held& held = h->second;
        got = std::min(frames, held.frames.size() / 2 - held.at);
        std::copy_n(held.frames.begin() + static_cast<std::ptrdiff_t>(2 * held.at), 2 * got, out);
        held.at += got;
        if (2 * held.at == held.frames.size()) held_.erase(h);
    }
    if (got < frames) got += s.input->read(out + 2 * got, frames - got);
    if (rewindFrom_)
        for (auto& [b, taken] : steps_.back().taken)
            if (b == branch) taken.insert(taken.end(), out, out + 2 * got);
    return got;
}

size_t Mixer::read(Branch branch, State& s, float* out, size_t frames) {
    if (s.speed == 1.0 && s.ahead.empty()) return take(branch, s, out, frames);
    // Frame j of the output lies at `at + j * speed` in the frames read ahead, between two of them.
    const auto needed = static_cast<size_t>(s.at + static_cast<double>(frames - 1) * s.speed) + 2;
    size_t have = s.ahead.size() / 2;
    if (needed > have) {
        s.ahead.resize(2 * needed);
        have += take(branch, s, s.ahead.data() + 2 * have, needed - have);
        s.ahead.resize(2 * have);
    }
    size_t made = 0;
    for (; made < frames && s.at + 1.0 < static_cast<double>(have); ++made, s.at += s.speed) {
        const auto i = static_cast<size_t>(s.at);
        const auto f = static_cast<float>(s.at - static_cast<double>(i));
        for (size_t c = 0; c < 2; ++c)
            out[2 * made + c] = s.ahead[2 * i + c] * (1.0f - f) + s.ahead[2 * (i + 1) + c] * f;
    }
    const auto used = static_cast<size_t>(s.at);
    s.ahead.erase(s.ahead.begin(), s.ahead.begin() + static_cast<std::ptrdiff_t>(2 * std::min(used, have)));
    s.at -= static_cast<double>(used);
    return made;
}

void Mixer::mixBranch(Branch branch, State& s, float* out, size_t frames) {
    // A fall reads no further than its end, so that the branch goes on from there when it starts
    // again.
    size_t wanted = frames;
    if (s.motion == Motion::Falling) {
        const int64_t left = s.pending ? s.pending->length : s.ramp.last().frame - frames_;
        wanted = static_cast<size_t>(std::clamp<int64_t>(left, 0, static_cast<int64_t>(frames)));
    }
    const size_t got = wanted > 0 ? read(branch, s, scratch_.data(), wanted) : 0;
    if (got == 0) {
        // Nothing to fall from: the branch is silent already.
        if (s.motion == Motion::Falling) {
            s.motion = Motion::Halted;
            s.pending.reset();
            s.ramp = GainRamp::flat(0.0);
        }
        return;
    }
    if (const auto pending = std::exchange(s.pending, std::nullopt)) begin(s, *pending, frames_);
    // A ramp that is over leaves one factor.
    if (frames_ >= s.ramp.last().frame) s.ramp = GainRamp::flat(s.ramp.last().factor);
    if (frames_ >= s.loudness.last().frame) s.loudness = GainRamp::flat(s.loudness.last().factor);
    s.takenTo = frames_ + static_cast<int64_t>(got);
    const float left = s.balance > 0.0f ? 1.0f - s.balance : 1.0f;
    const float right = s.balance < 0.0f ? 1.0f + s.balance : 1.0f;
    if (!s.ramp.unityFrom(frames_) || left != 1.0f || right != 1.0f)
        s.ramp.scale(scratch_.data(), got, frames_, left, right);
    if (!s.loudness.unityFrom(frames_)) s.loudness.scale(scratch_.data(), got, frames_, 1.0f, 1.0f);
    if (s.motion == Motion::Falling && s.takenTo >= s.ramp.last().frame) {
        s.motion = Motion::Halted;
        s.ramp = GainRamp::flat(0.0);
    }
    for (size_t i = 0; i < 2 * got; ++i) out[i] += scratch_[i];
}

int64_t Mixer::mix(float* out, size_t frames) {
    std::fill_n(out, 2 * frames, 0.0f);
    const std::lock_guard hold(lock_);
    if (scratch_.size() < 2 * frames) scratch_.resize(2 * frames);
    if (rewindFrom_) record();
    for (auto& [branch, state] : branches_)
        if (state.motion != Motion::Halted) mixBranch(branch, state, out, frames);
    const int64_t first = frames_;
    frames_ += static_cast<int64_t>(frames);
    // Steps a rewind can no longer reach are kept for their storage.
    while (!steps_.empty() && steps_.front().frame < frames_ - keep_) {
        spare_.push_back(std::move(steps_.front()));
        steps_.pop_front();
    }
    return first;
}

}  // namespace velorra
