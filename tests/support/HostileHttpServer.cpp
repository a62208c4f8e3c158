#include "HostileHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

constexpr qint64 PieceBytes = 64 * 1024;
constexpr qint64 MaxQueuedBytes = 4 * PieceBytes;   // written but not yet taken by the client

}  // namespace

HostileHttpServer::HostileHttpServer(Mode mode) : mode(mode)
{
    connect(&server, &QTcpServer::newConnection, this, &HostileHttpServer::Accept);
    server.listen(QHostAddress::LocalHost, 0);
}

HostileHttpServer::~HostileHttpServer() = default;

QString HostileHttpServer::Url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
}

int HostileHttpServer::OpenConnections() const
{
    int open = 0;
    for (const QTcpSocket *socket : findChildren<QTcpSocket *>())
        open += socket->state() == QAbstractSocket::ConnectedState ? 1 : 0;
    return open;
}

void HostileHttpServer::Accept()
{
    while (QTcpSocket *socket = server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (!socket->property("answered").toBool() && socket->peek(1 << 16).contains("\r\n\r\n")) {
                socket->setProperty("answered", true);
                Answer(socket);
            }
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void HostileHttpServer::Answer(QTcpSocket *socket)
{
    ++requests;
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n");
    if (mode == Flood) {
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { Flow(socket); });
        Flow(socket);
        return;
    }
    auto *drip = new QTimer(socket);
    connect(drip, &QTimer::timeout, this, [this, socket] { Drip(socket); });
    drip->start(TrickleMs);
}

// Keeps a few pieces queued until the whole flood is out or the client has left.
void HostileHttpServer::Flow(QTcpSocket *socket)
{
    static const QByteArray piece(PieceBytes, 'x');
    while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < MaxQueuedBytes
           && socket->property("sent").toLongLong() < FloodBytes) {
        socket->write(piece);
        socket->setProperty("sent", socket->property("sent").toLongLong() + PieceBytes);
        bodyBytesSent += PieceBytes;
    }
}

void HostileHttpServer::Drip(QTcpSocket *socket)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    socket->write("x");
    ++bodyBytesSent;
}
