#include "ScriptedHttpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

ScriptedHttpServer::ScriptedHttpServer()
{
    connect(&server, &QTcpServer::newConnection, this, &ScriptedHttpServer::Accept);
    server.listen(QHostAddress::LocalHost, 0);
}

ScriptedHttpServer::~ScriptedHttpServer() = default;

QString ScriptedHttpServer::Url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(Port()).arg(path);
}

void ScriptedHttpServer::Reply(const QByteArray &bytes)
{
    scripts.append(Script{{Piece{bytes}}});
}

void ScriptedHttpServer::Reply(const Script &script)
{
    scripts.append(script);
}

void ScriptedHttpServer::ReplyNothing()
{
    scripts.append(Script{{}, false});
}

QByteArray ScriptedHttpServer::Make(int status, const QByteArray &body, const QList<QByteArray> &headers)
{
    QByteArray text = "HTTP/1.1 " + QByteArray::number(status) + " Scripted\r\n";
    bool framed = false;
    for (const QByteArray &header : headers) {
        text += header + "\r\n";
        const QByteArray name = header.left(header.indexOf(':')).toLower();
        framed = framed || name == "content-length" || name == "transfer-encoding";
    }
    if (!framed)
        text += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    return text + "\r\n" + body;
}

QByteArray ScriptedHttpServer::HeaderOf(const QByteArray &request, const QByteArray &name)
{
    const QByteArray head = request.left(request.indexOf("\r\n\r\n"));
    for (const QByteArray &line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return line.mid(colon + 1).trimmed();
    }
    return QByteArray();
}

void ScriptedHttpServer::Accept()
{
    while (QTcpSocket *socket = server.nextPendingConnection()) {
        socket->setParent(this);
        socket->setProperty("received", QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
    }
}

// Collects the request (header, then a body of Content-Length bytes) and then plays the script.
void ScriptedHttpServer::Read(QTcpSocket *socket)
{
    QByteArray received = socket->property("received").toByteArray() + socket->readAll();
    socket->setProperty("received", received);
    const qsizetype headerEnd = received.indexOf("\r\n\r\n");
    if (headerEnd < 0 || socket->property("answered").toBool())
        return;
    const qsizetype bodyLength = HeaderOf(received, "Content-Length").toLongLong();
    if (received.size() < headerEnd + 4 + bodyLength)
        return;
    socket->setProperty("answered", true);
    requests.append(received);
    Play(socket, scripts.isEmpty() ? Script{{Piece{Make(599, "no script")}}} : scripts.takeFirst());
}

void ScriptedHttpServer::Play(QTcpSocket *socket, Script script)
{
    if (script.pieces.isEmpty()) {
        if (script.close)
            socket->disconnectFromHost();
        return;
    }
    const Piece piece = script.pieces.takeFirst();
    QPointer<QTcpSocket> alive(socket);
    QTimer::singleShot(piece.delayMs, this, [this, alive, piece, script] {
        if (!alive)
            return;
        alive->write(piece.data);
        alive->flush();
        Play(alive, script);
    });
}
