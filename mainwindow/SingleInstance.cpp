#include "mainwindow/SingleInstance.h"

#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
#include "core/DataRoot.h"
#include "core/FileUtil.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QFile>
#include <QStandardPaths>
#include <QtDebug>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

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

// lstat of the path itself (a trailing "/" would follow a link).
bool StatEntry(const QString &path, struct stat &info)
{
    return ::lstat(QFile::encodeName(QDir::cleanPath(path)).constData(), &info) == 0;
}

// The user the other end of a local socket runs as.
bool PeerUid(qintptr descriptor, uint &uid)
{
#if defined(SO_PEERCRED)
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return false;
    uid = credentials.uid;
#else
    uid_t peerUid = 0;
    gid_t peerGid = 0;
    if (::getpeereid(int(descriptor), &peerUid, &peerGid) != 0)
        return false;
    uid = peerUid;
#endif
    return true;
}

}  // namespace

TSingleInstance::TSingleInstance(const QString &key, QObject *parent)
    : QObject(parent), OwnerUid(::geteuid()), key(key)
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

QString TSingleInstance::FolderFault(const QString &path, uint ownerUid)
{
    struct stat info {};
    if (!StatEntry(path, info))
        return QStringLiteral("%1 がありません").arg(path);
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("%1 はフォルダではありません").arg(path);
    if (info.st_uid != ownerUid)
        return QStringLiteral("%1 は他のユーザーのものです").arg(path);
    if (info.st_mode & (S_IRWXG | S_IRWXO))
        return QStringLiteral("%1 には他のユーザーも入れます").arg(path);
    return {};
}

QString TSingleInstance::SocketFault(const QString &path, uint ownerUid)
{
    struct stat info {};
    if (!StatEntry(path, info))
        return {};
    if (!S_ISSOCK(info.st_mode))
        return QStringLiteral("%1 はソケットではありません").arg(path);
    if (info.st_uid != ownerUid)
        return QStringLiteral("%1 は他のユーザーのものです").arg(path);
    if (info.st_mode & (S_IRWXG | S_IRWXO))
        return QStringLiteral("%1 は他のユーザーも開けます").arg(path);
    return {};
}

QString TSingleInstance::ChooseFolder(QString *why) const
{
    QStringList faults;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        const QString fault = FolderFault(runtime, OwnerUid);
        if (fault.isEmpty())
            return FileUtil::WithSlash(QDir::cleanPath(runtime));
        faults << fault;
    }
    const QString own = DataRoot::AppDir() + QStringLiteral("run");
    QDir().mkpath(DataRoot::AppDir());
    ::mkdir(QFile::encodeName(own).constData(), S_IRWXU);   // an existing entry is judged below
    const QString fault = FolderFault(own, OwnerUid);
    if (fault.isEmpty())
        return FileUtil::WithSlash(own);
    faults << fault;
    if (why)
        *why = faults.join(QStringLiteral("、"));
    return {};
}

QString TSingleInstance::SocketName() const
{
    return folder + key;
}

bool TSingleInstance::Start(const QStringList &arguments)
{
    QString why;
    folder = ChooseFolder(&why);
    if (folder.isEmpty())
        return LockProfile(why);
    lock = std::make_unique<QLockFile>(folder + key + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);   // stale only when its process is gone, never by age
    first = lock->tryLock(0);
    if (!first && lock->error() != QLockFile::LockFailedError) {
        lock.reset();
        const QString unusable = folder;
        folder.clear();
        return LockProfile(QStringLiteral("%1 にロックを作れません").arg(unusable));
    }
    if (!first) {
        SendArguments(arguments);
        lock.reset();
    }
    return first;
}

// No private folder: the lock lies in the program folder, beside the profile it keeps. This copy
// runs only when it gets the lock, and then without listening for later copies.
bool TSingleInstance::LockProfile(const QString &why)
{
    const QString lockFile = DataRoot::AppDir() + key + QStringLiteral(".lock");
    refusal = ForeignLock(lockFile);
    if (!refusal.isEmpty())
        return false;   // never taken over: it is not ours to judge or to remove
    lock = std::make_unique<QLockFile>(lockFile);
    lock->setStaleLockTime(0);
    first = lock->tryLock(0);
    if (first) {
        warning = QStringLiteral("起動の確認に使うフォルダが安全でないため、二つ目のヴァルネロからURLなどを受け取れません。\n(%1)").arg(why);
    } else {
        refusal = lock->error() == QLockFile::LockFailedError
                      ? QStringLiteral("同じデータフォルダでヴァルネロが起動しています。\n起動の確認に使うフォルダが安全でないため、URLなどを渡せませんでした。\n(%1)").arg(why)
                      : QStringLiteral("データフォルダにロックを作れないため起動できません。\n(%1)").arg(why);
        lock.reset();
    }
    return first;
}

// A lock file that another user made: no copy of the program of this user holds it, and this user
// cannot remove it. What to tell the user, or empty when the file is absent or this user's.
QString TSingleInstance::ForeignLock(const QString &lockFile) const
{
    struct stat info {};
    if (!StatEntry(lockFile, info) || info.st_uid == OwnerUid)
        return {};
    const QString folder = QDir::toNativeSeparators(QDir::cleanPath(DataRoot::AppDir()));
    struct stat folderInfo {};
    const bool openFolder = StatEntry(folder, folderInfo) && (folderInfo.st_mode & (S_IWGRP | S_IWOTH));
    QString text = QStringLiteral("データフォルダに、他のユーザーが作ったロックファイルがあるため起動できません"
                                  "（ヴァルネロが起動しているのではありません）。\n%1\n").arg(lockFile);
    if (openFolder)
        text += QStringLiteral("データフォルダ %1 は他のユーザーも書き込めるため、このようなファイルを置かれてしまいます。\n").arg(folder);
    text += QStringLiteral("このファイルは自分では消せません。管理者に頼んで消してもらい、データフォルダを自分だけが書き込めるようにしてください（例: chmod go-w %1）。").arg(folder);
    return text;
}

void TSingleInstance::TellUser() const
{
    if (!refusal.isEmpty()) {
        qWarning().noquote() << refusal;
        Dialogs::ShowMessage(Dialogs::mkError, refusal);
    } else if (!warning.isEmpty()) {
        qWarning().noquote() << warning;
        EventLog::AddLog(warning);
        Dialogs::ShowMessage(Dialogs::mkWarning, warning);
    }
}

bool TSingleInstance::PeerIsOwner(const QLocalSocket &socket) const
{
    uint uid = 0;
    return PeerUid(socket.socketDescriptor(), uid) && uid == OwnerUid;
}

bool TSingleInstance::SendArguments(const QStringList &arguments) const
{
    const QString fault = SocketFault(SocketName(), OwnerUid);
    if (!fault.isEmpty()) {
        qWarning().noquote() << QStringLiteral("起動中のヴァルネロに渡しません: ") + fault;
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(SocketName());
    if (!socket.waitForConnected(HandOverTimeout))
        return false;
    if (!PeerIsOwner(socket)) {
        qWarning().noquote() << QStringLiteral("起動中のヴァルネロに渡しません: %1 の相手は他のユーザーです").arg(SocketName());
        return false;
    }
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
    if (!first || server || folder.isEmpty())
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
        if (!PeerIsOwner(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
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
