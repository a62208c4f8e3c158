#pragma once
// TSingleInstance: one running copy of the program per user and program folder.
//
// The first copy holds a lock file for its whole run and, once its main window exists, listens on
// a local socket. A later copy finds the lock held, connects, hands its command-line arguments over
// as a list (so arguments holding blanks arrive whole), waits until the running copy has taken them
// and ends. The running copy raises its window and applies the arguments (HandOver).
//
// A copy that crashed leaves a stale lock and maybe a stale socket: the lock names a process that no
// longer runs, so the next start takes it over and replaces the socket. Two copies started at once
// cannot both become the first: only one of them gets the lock. A later copy that finds the lock but
// no socket (the first copy is still starting or is ending) hands nothing over and ends quietly.
//
// The lock and the socket live in a folder no other user can reach (ChooseFolder), never in the
// shared temporary folder where another account could make them first and so take the user's
// command line or keep the program from starting. The socket is the user's alone, and each side of
// a hand-over checks that the other end runs as the same user. When no such folder can be had, the
// lock goes into the program folder itself: a second copy on the same profile is still refused (it
// cannot hand its arguments over and says so), and the first one tells the user in its window
// (Warning) that the guard is weakened and why. A lock file there that another user made is never
// taken for a running copy nor taken over: the refusal says whose it is and what to do.

#include "flows/StartArguments.h"

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLocalSocket;

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    // key names the lock and the socket; the default is per user and per program folder.
    explicit TSingleInstance(const QString &key = DefaultKey(), QObject *parent = nullptr);
    ~TSingleInstance() override;

    static QString DefaultKey();

    // The folder of the lock and the socket, with a trailing "/": $XDG_RUNTIME_DIR when it is
    // private to OwnerUid, else "run/" under the program folder (made with mode 0700). Empty, with
    // the reason in why, when neither may be used.
    QString ChooseFolder(QString *why) const;
    // Why path may not hold the lock and the socket: it must be a folder (not a link) that belongs
    // to ownerUid and that no one else may enter. Empty when it may.
    static QString FolderFault(const QString &path, uint ownerUid);
    // Why the socket at path must not be talked to: it must be a socket of ownerUid that no one
    // else may open. Empty when it may (or when there is nothing at path).
    static QString SocketFault(const QString &path, uint ownerUid);

    // True when this process is the first copy (it then holds the lock). Otherwise the arguments
    // have been handed to the running copy when it listens, and this copy should end.
    bool Start(const QStringList &arguments);

    // The first copy starts taking hand-overs (once its main window can receive them).
    bool Listen();
    bool IsFirst() const { return first; }
    // The folder in use (empty when none could be used and the lock lies in the program folder).
    QString Folder() const { return folder; }
    // What the first copy must tell the user: why later copies cannot hand over. Empty when the
    // guard is whole.
    QString Warning() const { return warning; }
    // Why this copy must not run (another copy writes the same profile). Empty when it may.
    QString Refusal() const { return refusal; }
    // Says the warning or the refusal on the error output and in a message box (the warning also in
    // the log pane).
    void TellUser() const;

    // How long a later copy waits for the running copy to take its arguments.
    int HandOverTimeout = 10000;
    // The user the folder, the socket and the other copy must run as: this process's user.
    uint OwnerUid;

signals:
    // A later copy started with these arguments (possibly none).
    void HandOver(const QStringList &arguments);

private:
    QString key;
    QString folder;
    QString warning;
    QString refusal;
    std::unique_ptr<QLockFile> lock;
    QLocalServer *server = nullptr;
    bool first = false;

    QString SocketName() const;
    bool LockProfile(const QString &why);
    QString ForeignLock(const QString &lockFile) const;
    bool PeerIsOwner(const QLocalSocket &socket) const;
    bool SendArguments(const QStringList &arguments) const;
    void AcceptConnection();
    void ReadHandOver(QLocalSocket *socket);
};
