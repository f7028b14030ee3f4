#include "support/fake_media_service.h"

#include <algorithm>
#include <sstream>

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
        : service_(service), state_(std::move(state)) {}
    ~Graph() override {
        state_->alive = false;
        service_.rebase(*state_);
        state_->state = FakeGraphState::Stopped;
        service_.record(state_->id, "release", "", true);
    }

    bool render(const std::string& path) override {
        const auto known = service_.durations_.find(path);
        const bool ok = state_->file.empty() && known != service_.durations_.end() &&
                        !service_.failing_.contains(path);
        if (ok) {
            state_->file = path;
            state_->duration = known->second;
        }
        return record("render", path, ok);
    }

    bool run() override { return changeState(FakeGraphState::Running, "run"); }
    bool pause() override { return changeState(FakeGraphState::Paused, "pause"); }
    bool stop() override { return changeState(FakeGraphState::Stopped, "stop"); }

    std::optional<double> duration() override {
        if (!record("duration", "", rendered())) return std::nullopt;
        return state_->duration;
    }

    std::optional<double> position() override {
        if (!record("position", "", rendered())) return std::nullopt;
        return service_.positionOf(*state_);
    }

    bool setPosition(double seconds) override {
        if (!record("setPosition", text(seconds), rendered() && seconds >= 0.0)) return false;
        service_.rebase(*state_);
        state_->basePosition = std::min(seconds, state_->duration);
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

    std::optional<int32_t> balance() override {
        if (!record("balance", "", rendered())) return std::nullopt;
        return state_->balance;
    }

    bool setBalance(int32_t balance) override {
        const bool ok = rendered() && balance >= -10000 && balance <= 10000;
        if (ok) state_->balance = balance;
        return record("setBalance", text(balance), ok);
    }

    std::vector<std::string> filterNames() override {
        record("filterNames", "", true);
        return service_.filters_;
    }

private:
    bool rendered() const { return !state_->file.empty(); }
    bool record(const char* operation, std::string argument, bool ok) {
        return service_.record(state_->id, operation, std::move(argument), ok);
    }
    bool changeState(FakeGraphState to, const char* operation) {
        if (!record(operation, "", rendered())) return false;
        service_.rebase(*state_);
        state_->state = to;
        return true;
    }

    FakeMediaService& service_;
    std::shared_ptr<FakeGraph> state_;
};

FakeMediaService::FakeMediaService(std::function<int64_t()> nowMs) : nowMs_(std::move(nowMs)) {}

void FakeMediaService::setDuration(const std::string& file, double seconds) { durations_[file] = seconds; }

void FakeMediaService::failToOpen(const std::string& file) { failing_.insert(file); }

void FakeMediaService::setFilters(std::vector<std::string> names) { filters_ = std::move(names); }

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
    const double moved = static_cast<double>(nowMs_() - graph.baseTime) / 1000.0 * graph.rate;
    return std::min(graph.duration, graph.basePosition + moved);
}

void FakeMediaService::rebase(FakeGraph& graph) const {
    graph.basePosition = positionOf(graph);
    graph.baseTime = nowMs_();
}

std::unique_ptr<MediaGraph> FakeMediaService::createGraph(const std::string& outputDevice) {
    auto state = std::make_shared<FakeGraph>();
    state->id = static_cast<int>(graphs_.size()) + 1;
    state->baseTime = nowMs_();
    state->outputDevice = outputDevice;
    graphs_.push_back(state);
    record(0, "createGraph", outputDevice, true);
    return std::make_unique<Graph>(*this, std::move(state));
}

std::vector<std::string> FakeMediaService::outputDevices() {
    record(0, "outputDevices", "", true);
    return devices_;
}

std::optional<double> FakeMediaService::probeDuration(const std::string& path) {
    const auto known = durations_.find(path);
    const bool ok = known != durations_.end() && !failing_.contains(path);
    record(0, "probeDuration", path, ok);
    if (!ok) return std::nullopt;
    return known->second;
}

bool FakeMediaService::record(int graph, std::string operation, std::string argument, bool succeeded) {
    calls_.push_back({graph, std::move(operation), std::move(argument), succeeded});
    return succeeded;
}

}  // namespace velorra
