#include "support/fake_media_service.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "player/toolkit/timer.h"

namespace velorra {

namespace {

template <class T>
std::string text(T value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace

class FakeMediaService::Graph : public MediaGraph {
public:
    Graph(FakeMediaService& service, std::shared_ptr<FakeGraph> state)
        : service_(service), state_(std::move(state)), end_(service.loop_) {
        end_.setEnabled(false);
        end_.onTimer = [this] { watchEnd(); };
        service_.live_[state_->id] = this;
    }
    ~Graph() override {
        service_.live_.erase(state_->id);
        state_->alive = false;
        service_.rebase(*state_);
        state_->state = FakeGraphState::Stopped;
        service_.record(state_->id, "release", "", true);
    }

    void tell(StreamEvent event) {
        if (onStream) onStream(event, event == StreamEvent::Failed ? "fake: the file does not play" : "");
    }

    bool render(const std::string& path) override {
        if (!state_->file.empty()) return record("render", path, false);
        const auto known = service_.durations_.find(path);
        const bool ok = known != service_.durations_.end() && !service_.failing_.contains(path) &&
                        !service_.unrenderable_.contains(path);
        record("render", path, ok);
        if (!ok) {
            service_.tell(state_->id, StreamEvent::Failed);
            return false;
        }
        state_->file = path;
        state_->duration = known->second;
        const auto broken = service_.breaks_.find(path);
        state_->streamEnd = broken != service_.breaks_.end() ? broken->second.at : known->second;
        return true;
    }

    bool run() override { return changeState(FakeGraphState::Running, "run"); }
    bool pause() override { return changeState(FakeGraphState::Paused, "pause"); }
    bool stop() override { return changeState(FakeGraphState::Stopped, "stop"); }

    std::optional<double> duration() override {
        const auto hidden = service_.lengthKnownAt_.find(state_->file);
        const bool known = hidden == service_.lengthKnownAt_.end() || service_.positionOf(*state_) >= hidden->second;
        if (!record("duration", "", rendered() && known)) return std::nullopt;
        return state_->duration;
    }

    std::optional<double> position() override {
        if (!record("position", "", rendered())) return std::nullopt;
        return service_.positionOf(*state_);
    }

    bool setPosition(double seconds) override {
        if (!record("setPosition", text(seconds), rendered() && seconds >= 0.0)) return false;
        service_.rebase(*state_);
        state_->basePosition = std::min(seconds, state_->streamEnd);
        endTold_ = false;
        watchEnd();
        return true;
    }

    std::optional<double> rate() override {
        if (!record("rate", "", rendered())) return std::nullopt;
        return state_->rate;
    }

    bool setRate(double rate) override {
        if (!record("setRate", text(rate), rendered() && rate > 0.0)) return false;
        service_.rebase(*state_);
        state_->rate = rate;
        watchEnd();
        return true;
    }

    std::optional<int32_t> volume() override {
        if (!record("volume", "", rendered())) return std::nullopt;
        return state_->volume;
    }

    bool setVolume(int32_t centibels, std::chrono::milliseconds ramp) override {
        const bool ok = rendered() && centibels <= 0 && centibels >= -10000;
        if (ok) {
            state_->volume = centibels;
            state_->volumeRamp = ramp;
        }
        return record("setVolume", text(centibels), ok);
    }

    bool setLoudness(double factor, std::chrono::milliseconds ramp) override {
        const bool ok = rendered() && factor >= 0.0 && std::isfinite(factor);
        if (ok) {
            state_->loudness = factor;
            state_->loudnessRamp = ramp;
        }
        return record("setLoudness", text(factor), ok);
    }

    std::optional<int32_t> balance() override {
        if (!record("balance", "", rendered())) return std::nullopt;
        return state_->balance;
    }

    bool setBalance(int32_t balance) override {
        const bool ok = rendered() && balance >= -10000 && balance <= 10000;
        if (ok) state_->balance = balance;
        return record("setBalance", text(balance), ok);
    }


private:
    bool rendered() const { return !state_->file.empty() && !state_->failed; }
    bool record(const char* operation, std::string argument, bool ok) {
        return service_.record(state_->id, operation, std::move(argument), ok);
    }
    bool changeState(FakeGraphState to, const char* operation) {
        if (!record(operation, "", rendered())) return false;
        service_.rebase(*state_);
        state_->state = to;
        watchEnd();
        return true;
    }
    // While running, a timer on the loop waits for the end of the stream; there the graph
    // tells how it ended, once, and a stream that failed plays nothing more.
    void watchEnd() {
        end_.setEnabled(false);
        if (state_->state != FakeGraphState::Running || !rendered() || endTold_) return;
        const double left = (state_->streamEnd - service_.positionOf(*state_)) / state_->rate;
        if (left > 0.0) {
            end_.setInterval(static_cast<int32_t>(std::min(std::ceil(left * 1000.0), double{toolkit::Timer::MaxInterval})));
            end_.setEnabled(true);
            return;
        }
        endTold_ = true;
        const auto broken = service_.breaks_.find(state_->file);
        const bool fails = broken != service_.breaks_.end() && broken->second.how == StreamEvent::Failed;
        if (fails) {
            service_.rebase(*state_);
            state_->state = FakeGraphState::Stopped;
            state_->failed = true;
        }
        service_.tell(state_->id, fails ? StreamEvent::Failed : StreamEvent::Ended);
    }

    FakeMediaService& service_;
    std::shared_ptr<FakeGraph> state_;
    toolkit::Timer end_;
    bool endTold_ = false;
};

FakeMediaService::FakeMediaService(toolkit::EventLoop& loop) : loop_(loop) {}

void FakeMediaService::setDuration(const std::string& file, double seconds) { durations_[file] = seconds; }

void FakeMediaService::failToOpen(const std::string& file) { failing_.insert(file); }

void FakeMediaService::failToRender(const std::string& file, double seconds) {
    durations_[file] = seconds;
    unrenderable_.insert(file);
}

void FakeMediaService::lengthKnownAt(const std::string& file, double seconds, double at) {
    durations_[file] = seconds;
    lengthKnownAt_[file] = at;
}

void FakeMediaService::breakAt(const std::string& file, double seconds, double at, StreamEvent how) {
    durations_[file] = seconds;
    breaks_[file] = {at, how};
}

void FakeMediaService::tell(int graph, StreamEvent event) {
    record(graph, "tell", event == StreamEvent::Ended ? "Ended" : "Failed", true);
    loop_.post([this, graph, event] {
        if (const auto found = live_.find(graph); found != live_.end()) found->second->tell(event);
    });
}


std::vector<MediaCall> FakeMediaService::callsOf(const std::string& operation) const {
    std::vector<MediaCall> found;
    std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(found),
                 [&](const MediaCall& c) { return c.operation == operation; });
    return found;
}

const FakeGraph* FakeMediaService::lastGraphFor(const std::string& file) const {
    for (auto g = graphs_.rbegin(); g != graphs_.rend(); ++g)
        if ((*g)->file == file) return g->get();
    return nullptr;
}

double FakeMediaService::positionOf(const FakeGraph& graph) const {
    if (graph.state != FakeGraphState::Running) return graph.basePosition;
    const double moved = static_cast<double>(loop_.nowMs() - graph.baseTime) / 1000.0 * graph.rate;
    return std::min(graph.streamEnd, graph.basePosition + moved);
}

void FakeMediaService::rebase(FakeGraph& graph) const {
    graph.basePosition = positionOf(graph);
    graph.baseTime = loop_.nowMs();
}

std::unique_ptr<MediaGraph> FakeMediaService::createGraph(const std::string& outputDevice) {
    auto state = std::make_shared<FakeGraph>();
    state->id = static_cast<int>(graphs_.size()) + 1;
    state->baseTime = loop_.nowMs();
    state->outputDevice = outputDevice;
    graphs_.push_back(state);
    record(0, "createGraph", outputDevice, true);
    return std::make_unique<Graph>(*this, std::move(state));
}

std::vector<OutputDeviceEntry> FakeMediaService::outputDevices() {
    record(0, "outputDevices", "", true);
    return devices_;
}

std::optional<double> FakeMediaService::probeDuration(const std::string& path) {
    const auto known = durations_.find(path);
    const bool ok = known != durations_.end() && !failing_.contains(path) && !lengthKnownAt_.contains(path);
    record(0, "probeDuration", path, ok);
    if (!ok) return std::nullopt;
    return known->second;
}

bool FakeMediaService::record(int graph, std::string operation, std::string argument, bool succeeded) {
    calls_.push_back({graph, std::move(operation), std::move(argument), succeeded});
    return succeeded;
}

}  // namespace velorra
