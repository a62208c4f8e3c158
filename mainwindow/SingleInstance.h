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

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLocalSocket;

// What a command line asks for. Every argument is examined: one that begins with "http:" or
// "https:" is the URL to open (the last one wins); "-n" or "/n" turns save mode off for this run.
// Anything else is ignored; in particular a lone "-n" is never taken for a URL.
struct TStartArguments {
    bool NoSave = false;
    QString Url;

    static TStartArguments Parse(const QStringList &arguments);
};

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    // key names the lock and the socket; the default is per user and per program folder.
    explicit TSingleInstance(const QString &key = DefaultKey(), QObject *parent = nullptr);
    ~TSingleInstance() override;

    static QString DefaultKey();

    // True when this process is the first copy (it then holds the lock). Otherwise the arguments
    // have been handed to the running copy when it listens, and this copy should end.
    bool Start(const QStringList &arguments);

    // The first copy starts taking hand-overs (once its main window can receive them).
    bool Listen();
    bool IsFirst() const { return first; }

    // How long a later copy waits for the running copy to take its arguments.
    int HandOverTimeout = 10000;

signals:
    // A later copy started with these arguments (possibly none).
    void HandOver(const QStringList &arguments);

private:
    QString key;
    std::unique_ptr<QLockFile> lock;
    QLocalServer *server = nullptr;
    bool first = false;

    QString SocketName() const;
    bool SendArguments(const QStringList &arguments) const;
    void AcceptConnection();
    void ReadHandOver(QLocalSocket *socket);
};
