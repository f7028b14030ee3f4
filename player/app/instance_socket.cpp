#include "player/app/instance_socket.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velorra {

namespace {

// How long a start waits for the running player to answer before it opens its own window.
constexpr int AnswerTimeoutMs = 10000;
constexpr char Taken = '1';
// The length QDataStream writes for a null QByteArray.
constexpr uint32_t NullLength = 0xFFFFFFFF;
constexpr size_t LengthBytes = 4;
constexpr int Backlog = 16;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

// The socket's address in a private runtime folder; none without one, or when the path does not
// fit an address.
std::optional<sockaddr_un> socketAddress() {
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    if (!folder || !*folder || !isPrivateFolder(folder)) return std::nullopt;
    const std::string path = std::string(folder) + "/velorra-instance";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return std::nullopt;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

bool peerIsThisUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

// Waits up to the answer time for `events` on fd.
bool await(int fd, short events) {
    pollfd p{fd, events, 0};
    int ready;
    while ((ready = ::poll(&p, 1, AnswerTimeoutMs)) < 0 && errno == EINTR) {
    }
    return ready > 0 && (p.revents & events);
}

bool sendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!await(fd, POLLOUT)) return false;
        } else {
            return false;
        }
    }
    return true;
}

std::string frame(const std::string& commandLine) {
    const auto length = static_cast<uint32_t>(commandLine.size());
    std::string bytes(LengthBytes, '\0');
    for (size_t i = 0; i < LengthBytes; ++i) bytes[i] = static_cast<char>(length >> (24 - 8 * i));
    return bytes + commandLine;
}

}  // namespace

bool isPrivateFolder(const std::string& folder) {
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool handOverOnSocket(const std::string& commandLine) {
    const auto address = socketAddress();
    if (!address) return false;
    const FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0) return false;
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) return false;
    if (!peerIsThisUser(fd.get()) || !sendAll(fd.get(), frame(commandLine))) return false;
    char answer = 0;
    if (!await(fd.get(), POLLIN)) return false;
    return ::recv(fd.get(), &answer, 1, 0) == 1 && answer == Taken;
}

// The socket's thread: the listening socket, the connections with what each has sent so far,
// and an event that wakes the thread to end.
class InstanceSocket::Listener {
public:
    explicit Listener(std::function<void(std::string)> taken) : taken_(std::move(taken)) {}

    bool listen() {
        const auto address = socketAddress();
        if (!address || wake_.get() < 0) return false;
        // Made under a name of its own and put in place once it listens, so that a start never
        // meets a socket that refuses it; what it replaces is a dead player's (no player
        // answered there: this start asked first).
        sockaddr_un making = *address;
        const std::string temporary = std::string(address->sun_path) + "." + std::to_string(::getpid());
        if (temporary.size() >= sizeof making.sun_path) return false;
        std::memcpy(making.sun_path, temporary.c_str(), temporary.size() + 1);
        FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        if (fd.get() < 0) return false;
        ::unlink(making.sun_path);
        const bool made = ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&making), sizeof making) == 0 &&
                          ::chmod(making.sun_path, S_IRUSR | S_IWUSR) == 0 && ::listen(fd.get(), Backlog) == 0 &&
                          ::rename(making.sun_path, address->sun_path) == 0;
        if (!made) {
            ::unlink(making.sun_path);
            return false;
        }
        listening_ = std::move(fd);
        return true;
    }

    void wake() {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake_.get(), &one, sizeof one);
    }

    void run(std::stop_token stop) {
        std::vector<pollfd> watched;
        while (!stop.stop_requested()) {
            watched.assign({{wake_.get(), POLLIN, 0}, {listening_.get(), POLLIN, 0}});
            for (const auto& [fd, connection] : connections_) watched.push_back({fd, POLLIN, 0});
            if (::poll(watched.data(), watched.size(), -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (watched[1].revents & POLLIN) accept();
            for (size_t i = 2; i < watched.size(); ++i)
                if (watched[i].revents) readFrom(watched[i].fd);
        }
    }

private:
    // What one start has sent so far: the four bytes of the length, then the name.
    struct Connection {
        FileDescriptor fd;
        std::array<uint8_t, LengthBytes> length{};
        size_t lengthGot = 0;
        std::optional<std::string> name;  // sized once the length is known
        size_t nameGot = 0;
    };

    void accept() {
        for (;;) {
            FileDescriptor fd(::accept4(listening_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
            if (fd.get() < 0) return;
            if (!peerIsThisUser(fd.get())) continue;
            const int key = fd.get();
            connections_[key].fd = std::move(fd);
        }
    }

    // Reads what has come; a connection that ends, fails, or announces a name longer than
    // PATH_MAX is closed.
    void readFrom(int fd) {
        Connection& c = connections_.at(fd);
        for (;;) {
            uint8_t* into;
            size_t wanted;
            if (!c.name) {
                into = c.length.data() + c.lengthGot;
                wanted = LengthBytes - c.lengthGot;
            } else {
                into = reinterpret_cast<uint8_t*>(c.name->data()) + c.nameGot;
                wanted = c.name->size() - c.nameGot;
            }
            const ssize_t n = ::recv(fd, into, wanted, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
            if (n <= 0) {
                connections_.erase(fd);
                return;
            }
            if (!c.name) {
                c.lengthGot += static_cast<size_t>(n);
                if (c.lengthGot < LengthBytes) continue;
                uint32_t length = 0;
                for (uint8_t b : c.length) length = length << 8 | b;
                if (length == NullLength) length = 0;
                if (length > PATH_MAX) {
                    connections_.erase(fd);
                    return;
                }
                c.name.emplace(length, '\0');
            } else {
                c.nameGot += static_cast<size_t>(n);
            }
            if (c.name && c.nameGot == c.name->size()) {
                // The start has its answer before the player acts on the name.
                std::string name = std::move(*c.name);
                [[maybe_unused]] const ssize_t sent = ::send(fd, &Taken, 1, MSG_NOSIGNAL);
                connections_.erase(fd);
                taken_(std::move(name));
                return;
            }
        }
    }

    std::function<void(std::string)> taken_;
    FileDescriptor listening_;
    FileDescriptor wake_{::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)};
    std::map<int, Connection> connections_;
};

InstanceSocket::InstanceSocket(std::function<void(std::string)> taken)
    : listener_(std::make_unique<Listener>(std::move(taken))) {
    if (listener_->listen()) thread_ = std::jthread([this](std::stop_token stop) { listener_->run(stop); });
}

InstanceSocket::~InstanceSocket() {
    if (!thread_.joinable()) return;
    thread_.request_stop();
    listener_->wake();
    thread_.join();
}

}  // namespace velorra
