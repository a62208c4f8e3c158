#pragma once
// HostileHttpServer: a local HTTP server for tests that answers every request with a 200 reply that
// never ends well. A flood sends a body of FloodBytes (1 GB) without a length, in pieces as fast as
// the client takes them and never held whole; a trickle sends its body one byte at a time, a byte
// every TrickleMs, for ever. It counts the requests and the body bytes it sent, so a test can tell
// that a client gave up long before the end. It runs on the thread that created it.

#include <QObject>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

class HostileHttpServer : public QObject {
public:
    enum Mode { Flood, Trickle };
    static constexpr qint64 FloodBytes = 1LL << 30;
    static constexpr int TrickleMs = 50;

    explicit HostileHttpServer(Mode mode);
    ~HostileHttpServer() override;

    QString Url(const QString &path) const;
    int Requests() const { return requests; }
    qint64 BodyBytesSent() const { return bodyBytesSent; }
    int OpenConnections() const;

private:
    void Accept();
    void Answer(QTcpSocket *socket);
    void Flow(QTcpSocket *socket);
    void Drip(QTcpSocket *socket);

    const Mode mode;
    QTcpServer server;
    int requests = 0;
    qint64 bodyBytesSent = 0;
};
