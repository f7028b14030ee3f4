#include "player/app/single_instance.h"

#include "player/mpris/mpris_adapter.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDataStream>
#include <QLocalSocket>
#include <QMetaObject>

namespace velorra {

namespace {

constexpr const char* InstancePath = "/org/velorra/Velorra/Instance";
constexpr const char* InstanceInterface = "org.velorra.Velorra.Instance";
// How long a start waits for the running player to answer before it opens its own window.
constexpr int AnswerTimeoutMs = 10000;
constexpr char Taken = '1';

QString socketPath() {
    const QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
    return folder.isEmpty() ? QString() : QString::fromLocal8Bit(folder) + QStringLiteral("/velorra-instance");
}

QByteArray bytes(const std::string& text) { return {text.data(), static_cast<qsizetype>(text.size())}; }

bool handOverOnBus(QDBusConnection bus, const std::string& commandLine) {
    const QString service = QString::fromLatin1(mpris::ServiceName);
    if (!bus.interface()->isServiceRegistered(service)) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(service, QString::fromLatin1(InstancePath),
                                                       QString::fromLatin1(InstanceInterface), QStringLiteral("HandOver"));
    call << bytes(commandLine);
    return bus.call(call, QDBus::Block, AnswerTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

bool handOverOnSocket(const std::string& commandLine) {
    const QString path = socketPath();
    if (path.isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(AnswerTimeoutMs)) return false;
    QDataStream out(&socket);
    out << bytes(commandLine);
    if (!socket.waitForBytesWritten(AnswerTimeoutMs)) return false;
    while (socket.bytesAvailable() == 0)
        if (!socket.waitForReadyRead(AnswerTimeoutMs)) return false;
    char answer = 0;
    return socket.getChar(&answer) && answer == Taken;
}

}  // namespace

bool handToRunningPlayer(const std::string& commandLine) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() ? handOverOnBus(bus, commandLine) : handOverOnSocket(commandLine);
}

InstanceServer::InstanceServer(std::function<void(const std::string&)> onHandOver)
    : onHandOver_(std::move(onHandOver)) {
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
            readFrom(socket);
        }
    });
}

bool InstanceServer::exportOn(QDBusConnection bus) {
    return bus.registerObject(QString::fromLatin1(InstancePath), this, QDBusConnection::ExportAllSlots);
}

bool InstanceServer::listenOnSocket() {
    const QString path = socketPath();
    if (path.isEmpty()) return false;
    // No player answered there (this start asked first): what is left is a dead player's.
    QLocalServer::removeServer(path);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    return server_.listen(path);
}

void InstanceServer::HandOver(const QByteArray& commandLine) {
    const std::string line(commandLine.constData(), static_cast<size_t>(commandLine.size()));
    QMetaObject::invokeMethod(this, [this, line] { onHandOver_(line); }, Qt::QueuedConnection);
}

void InstanceServer::readFrom(QLocalSocket* socket) {
    QDataStream in(socket);
    in.startTransaction();
    QByteArray commandLine;
    in >> commandLine;
    if (!in.commitTransaction()) return;
    socket->putChar(Taken);
    socket->flush();
    HandOver(commandLine);
}

}  // namespace velorra
