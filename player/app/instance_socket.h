#pragma once
// The local socket in $XDG_RUNTIME_DIR on which starts meet where there is no session bus. A
// start hands its command line over as one frame (a 32-bit big-endian length, then the bytes, as
// QDataStream writes a QByteArray) and waits for the running player's answer; it talks only to
// a player of its own user, in a runtime folder that is its user's and no one else's. The
// running player reads the frames on a thread of its own, a little at a time as they come, and
// closes any connection whose name is longer than PATH_MAX without reading it.
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace velorra {

// Whether `folder` may hold the socket: a folder of this process's user in which no one else
// may create or replace a file.
bool isPrivateFolder(const std::string& folder);

// Hands the command line to the player listening in the runtime folder; true once that player
// has taken it, false when there is none, it is not this user's, the folder is not private, or
// it did not answer in time.
bool handOverOnSocket(const std::string& commandLine);

class InstanceSocket {
public:
    // Listens in the runtime folder, replacing what a dead player left there; `taken` gets each
    // command line handed over, on the socket's thread, once its start has had its answer.
    // listening() is false without a private runtime folder or when the socket cannot be made.
    explicit InstanceSocket(std::function<void(std::string)> taken);
    InstanceSocket(const InstanceSocket&) = delete;
    InstanceSocket& operator=(const InstanceSocket&) = delete;
    // Stops the thread and closes every connection.
    ~InstanceSocket();

    bool listening() const { return thread_.joinable(); }

private:
    class Listener;
    std::unique_ptr<Listener> listener_;
    std::jthread thread_;
};

}  // namespace velorra
