#include "mainwindow/SingleInstance.h"

#include "core/DataRoot.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

// The hand-over message: a 32-bit length, then the argument list in QDataStream form.
// The running copy answers one byte when it has taken it.
constexpr quint32 MaxMessageSize = 1 << 20;
const char Acknowledge = '\x06';

QByteArray EncodeArguments(const QStringList &arguments)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << arguments;
    QByteArray message;
    QDataStream head(&message, QIODevice::WriteOnly);
    head << quint32(body.size());
    return message + body;
}

bool StartsWithScheme(const QString &argument, QLatin1String scheme)
{
    return argument.startsWith(scheme, Qt::CaseInsensitive);
}

}  // namespace

TStartArguments TStartArguments::Parse(const QStringList &arguments)
{
    TStartArguments result;
    for (const QString &argument : arguments) {
        if (StartsWithScheme(argument, QLatin1String("http:")) || StartsWithScheme(argument, QLatin1String("https:")))
            result.Url = argument;
        else if (argument == QLatin1String("-n") || argument == QLatin1String("/n"))
            result.NoSave = true;
    }
    return result;
}

TSingleInstance::TSingleInstance(const QString &key, QObject *parent) : QObject(parent), key(key)
{
}

TSingleInstance::~TSingleInstance()
{
    if (server)
        server->close();
}

// "Varnelo2" with the user and a digest of the program folder: each user and each program folder
// runs its own copy.
QString TSingleInstance::DefaultKey()
{
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME", QStringLiteral("user")));
    const QByteArray folder = QDir::cleanPath(DataRoot::AppDir()).toUtf8();
    const QByteArray digest = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("Varnelo2-%1-%2").arg(user, QString::fromLatin1(digest));
}

QString TSingleInstance::SocketName() const
{
    return key;
}

bool TSingleInstance::Start(const QStringList &arguments)
{
    const QString lockPath = QDir(QDir::tempPath()).filePath(key + QStringLiteral(".lock"));
    lock = std::make_unique<QLockFile>(lockPath);
    lock->setStaleLockTime(0);   // stale only when its process is gone, never by age
    first = lock->tryLock(0);
    if (!first) {
        SendArguments(arguments);
        lock.reset();
    }
    return first;
}

bool TSingleInstance::SendArguments(const QStringList &arguments) const
{
    QLocalSocket socket;
    socket.connectToServer(SocketName());
    if (!socket.waitForConnected(HandOverTimeout))
        return false;
    socket.write(EncodeArguments(arguments));
    if (!socket.waitForBytesWritten(HandOverTimeout))
        return false;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(HandOverTimeout))
            return false;
    }
    return socket.read(1) == QByteArray(1, Acknowledge);
}

bool TSingleInstance::Listen()
{
    if (!first || server)
        return server != nullptr;
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(SocketName());   // left by a copy that crashed: we hold the lock
    if (!server->listen(SocketName())) {
        delete server;
        server = nullptr;
        return false;
    }
    connect(server, &QLocalServer::newConnection, this, &TSingleInstance::AcceptConnection);
    return true;
}

void TSingleInstance::AcceptConnection()
{
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadHandOver(socket); });
        ReadHandOver(socket);
    }
}

// Takes the message once it is complete; a message that is too long or malformed is dropped.
void TSingleInstance::ReadHandOver(QLocalSocket *socket)
{
    if (socket->bytesAvailable() < qint64(sizeof(quint32)))
        return;
    QDataStream head(socket->peek(sizeof(quint32)));
    quint32 size = 0;
    head >> size;
    if (size > MaxMessageSize) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < qint64(sizeof(quint32) + size))
        return;
    socket->read(sizeof(quint32));
    QDataStream in(socket->read(size));
    in.setVersion(QDataStream::Qt_6_0);
    QStringList arguments;
    in >> arguments;
    if (in.status() != QDataStream::Ok) {
        socket->abort();
        return;
    }
    emit HandOver(arguments);
    socket->write(&Acknowledge, 1);
    socket->flush();
}
