#pragma once
// One player per desktop. A start while a player already runs on this desktop hands its command
// line to that player and ends; the running player runs its command-line steps on it. They meet
// on the session bus, at the owner of the MPRIS2 name, or, where there is no bus, on a local
// socket in $XDG_RUNTIME_DIR (instance_socket.h); with neither, every start opens its own window.
#include "player/app/instance_socket.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QObject>

#include <functional>
#include <memory>
#include <string>

namespace velorra {

// Hands the command line to the player running on this desktop; true once that player has
// taken it, false when none runs or it did not answer.
bool handToRunningPlayer(const std::string& commandLine);

// The running player's side: what later starts hand over, given to `onHandOver` from the event
// loop, after the start that handed it has had its answer.
class InstanceServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.velorra.Velorra.Instance")
public:
    explicit InstanceServer(std::function<void(const std::string&)> onHandOver);

    // Exports HandOver on the bus; owning the MPRIS2 name is the caller's part.
    bool exportOn(QDBusConnection bus);
    // Listens on the socket in $XDG_RUNTIME_DIR; false without that folder, or when it is not
    // private to this user.
    bool listenOnSocket();

public slots:
    void HandOver(const QByteArray& commandLine);

private:
    // Any thread may call it.
    void takeLater(std::string commandLine);

    std::function<void(const std::string&)> onHandOver_;
    std::unique_ptr<InstanceSocket> socket_;
};

}  // namespace velorra
