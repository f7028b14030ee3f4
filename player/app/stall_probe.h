#pragma once
// A probe for the window thread's longest stall: a precise 5 ms timer whose lateness is how long
// the thread was held by something else. Started only when VELORRA_STALLS=1; it prints its
// figure on standard error as the program ends.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace velorra {

class StallProbe : public QObject {
public:
    // Null unless the environment asks for the probe.
    static StallProbe* startIfAsked(QObject* parent);
    ~StallProbe() override;

private:
    explicit StallProbe(QObject* parent);
    void tick();

    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

}  // namespace velorra
