#pragma once
// A media graph that passes every call on to the graph it wraps: tests that watch a real graph
// override only the calls they watch, and call on from there.
#include "player/channel/media_service.h"

#include <memory>

namespace velorra::testing {

template <class Inner>
class ForwardingGraph : public MediaGraph {
public:
    explicit ForwardingGraph(std::unique_ptr<Inner> inner) : inner_(std::move(inner)) {}

    bool render(const std::string& path) override { return inner_->render(path); }
    bool run() override { return inner_->run(); }
    bool pause() override { return inner_->pause(); }
    bool stop() override { return inner_->stop(); }
    std::optional<double> duration() override { return inner_->duration(); }
    std::optional<double> position() override { return inner_->position(); }
    bool setPosition(double s) override { return inner_->setPosition(s); }
    std::optional<double> rate() override { return inner_->rate(); }
    bool setRate(double r) override { return inner_->setRate(r); }
    std::optional<int32_t> volume() override { return inner_->volume(); }
    bool setVolume(int32_t v, std::chrono::milliseconds ramp) override { return inner_->setVolume(v, ramp); }
    bool setLoudness(double f, std::chrono::milliseconds ramp) override { return inner_->setLoudness(f, ramp); }
    std::optional<int32_t> balance() override { return inner_->balance(); }
    bool setBalance(int32_t b) override { return inner_->setBalance(b); }

protected:
    std::unique_ptr<Inner> inner_;
};

}  // namespace velorra::testing
