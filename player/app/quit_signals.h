#pragma once
// SIGTERM and SIGINT close the player as its close box does: its shutdown runs (the settings
// are saved) and the program ends. The signal handler only writes a byte to a pipe that the
// window thread watches.
#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace velorra {

class QuitSignals : public QObject {
public:
    explicit QuitSignals(std::function<void()> close);
    ~QuitSignals() override;

private:
    std::function<void()> close_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace velorra
