#pragma once
// A session bus of the test's own: a dbus-daemon started for it and stopped with it, so that
// the tests never meet the user's bus and run where there is none.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QThread>

#include <functional>

namespace velorra::testing {

class PrivateBus {
public:
    PrivateBus() {
        daemon_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                      QStringLiteral("--print-address=1")});
        if (daemon_.waitForStarted() && daemon_.waitForReadyRead(10000))
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        daemon_.terminate();
        daemon_.waitForFinished();
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Empty when the daemon did not start.
    const QString& address() const { return address_; }
    // A new connection of its own to the bus, under a name unique in this process.
    QDBusConnection connect(const QString& name) const { return QDBusConnection::connectToBus(address_, name); }

private:
    QProcess daemon_;
    QString address_;
};

// Lets Qt's events run (the bus's messages among them) until `done` holds; false when it still
// does not after `limitMs`.
inline bool processEventsUntil(const std::function<bool()>& done, int limitMs = 20000) {
    const QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    return true;
}

}  // namespace velorra::testing
