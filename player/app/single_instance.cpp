#include "player/app/single_instance.h"

#include "player/mpris/mpris_adapter.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QMetaObject>

namespace velorra {

namespace {

constexpr const char* InstancePath = "/org/velorra/Velorra/Instance";
constexpr const char* InstanceInterface = "org.velorra.Velorra.Instance";
// How long a start waits for the running player to answer before it opens its own window.
constexpr int AnswerTimeoutMs = 10000;

QByteArray bytes(const std::string& text) { return {text.data(), static_cast<qsizetype>(text.size())}; }

bool handOverOnBus(QDBusConnection bus, const std::string& commandLine) {
    const QString service = QString::fromLatin1(mpris::ServiceName);
    if (!bus.interface()->isServiceRegistered(service)) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(service, QString::fromLatin1(InstancePath),
                                                       QString::fromLatin1(InstanceInterface), QStringLiteral("HandOver"));
    call << bytes(commandLine);
    return bus.call(call, QDBus::Block, AnswerTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

}  // namespace

bool handToRunningPlayer(const std::string& commandLine) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() ? handOverOnBus(bus, commandLine) : handOverOnSocket(commandLine);
}

InstanceServer::InstanceServer(std::function<void(const std::string&)> onHandOver)
    : onHandOver_(std::move(onHandOver)) {}

bool InstanceServer::exportOn(QDBusConnection bus) {
    return bus.registerObject(QString::fromLatin1(InstancePath), this, QDBusConnection::ExportAllSlots);
}

bool InstanceServer::listenOnSocket() {
    socket_ = std::make_unique<InstanceSocket>([this](std::string commandLine) { takeLater(std::move(commandLine)); });
    return socket_->listening();
}

void InstanceServer::HandOver(const QByteArray& commandLine) {
    takeLater(std::string(commandLine.constData(), static_cast<size_t>(commandLine.size())));
}

void InstanceServer::takeLater(std::string commandLine) {
    QMetaObject::invokeMethod(
        this, [this, line = std::move(commandLine)] { onHandOver_(line); }, Qt::QueuedConnection);
}

}  // namespace velorra
