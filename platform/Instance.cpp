#include "Instance.h"
#include "Settings.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace platform {

namespace {
QLocalServer *server = nullptr;
const QByteArray RaiseRequest = "raise\n";
} // namespace

std::string InstanceServerName()
{
    QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(SettingsFolder()), QCryptographicHash::Sha1)
                          .toHex()
                          .left(16);
    return "brantoval-" + std::to_string(getuid()) + "-" + hash.toStdString();
}

bool RaiseOtherInstance()
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(InstanceServerName()));
    if (!socket.waitForConnected(1000))
        return false;
    socket.write(RaiseRequest);
    socket.waitForBytesWritten(1000);
    // Wait for the other side to take the request before going away.
    socket.waitForReadyRead(2000);
    socket.disconnectFromServer();
    return true;
}

bool StartInstanceServer(std::function<void()> onRaise)
{
    if (server)
        return true;
    QString name = QString::fromStdString(InstanceServerName());
    server = new QLocalServer;
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        // A name left behind by an instance that died: nobody answers on it.
        QLocalServer::removeServer(name);
        if (!server->listen(name)) {
            delete server;
            server = nullptr;
            return false;
        }
    }
    QObject::connect(server, &QLocalServer::newConnection, [onRaise] {
        while (QLocalSocket *s = server->nextPendingConnection()) {
            QObject::connect(s, &QLocalSocket::readyRead, s, [s, onRaise] {
                if (s->readAll().contains("raise")) {
                    if (onRaise)
                        onRaise();
                    s->write("ok\n");
                    s->flush();
                }
            });
            QObject::connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    return true;
}

void StopInstanceServer()
{
    if (!server)
        return;
    server->close();
    delete server;
    server = nullptr;
}

} // namespace platform
