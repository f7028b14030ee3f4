#include "player/channel/player.h"

#include <limits>

#include "player/channel/whole_seconds.h"

namespace velorra {

Player::Player(MediaService& service) : service_(service) {}

// Releasing the graph stops its sound at once.
Player::~Player() = default;

bool Player::build(const std::string& path) {
    graph_.reset();
    failed_ = false;
    graph_ = service_.createGraph(outputDevice_);
    if (!graph_) {
        // Nothing can play this file: the channel is as one whose file failed.
        failed_ = true;
        failureText_ = "the media service made no graph";
        return false;
    }
    graph_->onStream = [this](StreamEvent event, const std::string& why) {
        playing_ = false;
        if (event == StreamEvent::Failed) {
            duration_ = 0;
            failed_ = true;
            failureText_ = why;
        }
        if (onStream) onStream(event);
    };
    if (!graph_->render(path)) return false;
    if (loudness_ != 1.0) graph_->setLoudness(loudness_, std::chrono::milliseconds{0});
    return true;
}

MediaGraph* Player::graph() {
    if (graphPending_) {
        graphPending_ = false;
        build(pendingFile_);
    }
    return graph_.get();
}

void Player::PauseFile() {
    playing_ = false;
    if (auto* g = graph()) g->pause();
}

void Player::StopFile() {
    playing_ = false;
    if (auto* g = graph()) g->stop();
}

void Player::PlayFile() {
    auto* g = graph();
    playing_ = !failed_;
    if (g) g->run();
}

int32_t Player::Position() {
    auto* g = graph();
    const auto seconds = g ? g->position() : std::nullopt;
    position_ = seconds ? roundToInt32(*seconds).value_or(0) : 0;
    return position_;
}

void Player::setPosition(int32_t seconds) {
    position_ = seconds;
    if (auto* g = graph()) g->setPosition(seconds);
}

double Player::Pitch() {
    auto* g = graph();
    pitch_ = g ? g->rate().value_or(0.0) : 0.0;
    return pitch_;
}

void Player::setPitch(double rate) {
    pitch_ = rate;
    if (auto* g = graph()) g->setRate(rate);
}

int32_t Player::Volume() {
    auto* g = graph();
    volume_ = g ? g->volume().value_or(0) : 0;
    return volume_;
}

void Player::setVolume(int32_t centibels, std::chrono::milliseconds ramp) {
    volume_ = centibels;
    if (auto* g = graph()) g->setVolume(centibels, ramp);
}

void Player::setLoudness(double factor, std::chrono::milliseconds ramp) {
    loudness_ = factor;
    // A graph still to be built takes it when it is.
    if (graph_) graph_->setLoudness(factor, ramp);
}

int32_t Player::Balance() {
    auto* g = graph();
    balance_ = g ? g->balance().value_or(0) : 0;
    return balance_;
}

void Player::setBalance(int32_t balance) {
    balance_ = balance;
    const int64_t scaled = int64_t{balance} * 1000;
    if (scaled < std::numeric_limits<int32_t>::min() || scaled > std::numeric_limits<int32_t>::max())
        return;
    if (auto* g = graph()) g->setBalance(static_cast<int32_t>(scaled));
}

bool Player::learnDuration() {
    if (duration_ > 0 || failed_ || graphPending_ || !graph_) return false;
    const auto seconds = graph_->duration();
    const auto whole = seconds ? roundToInt32(*seconds) : std::nullopt;
    if (!whole || *whole <= 0) return false;
    duration_ = *whole;
    return true;
}

int32_t Player::OpenFile() {
    graphPending_ = false;
    graph_.reset();

    if (const auto known = service_.probeDuration(filename_)) {
        duration_ = roundToInt32(*known).value_or(0);
        pendingFile_ = filename_;
        graphPending_ = true;
        return kOpenOk;
    }

    // No header tells the length: the graph is built now and asked; one still being built tells
    // nothing yet, and the length is learned as the song plays (learnDuration).
    int32_t status = kOpenOk;
    if (!build(filename_)) status = kOpenNotRendered;
    const auto seconds = graph_ ? graph_->duration() : std::nullopt;
    const auto whole = seconds ? roundToInt32(*seconds) : std::nullopt;
    if (!whole) status = kOpenNoDuration;
    duration_ = whole.value_or(0);
    return status;
}

}  // namespace velorra
