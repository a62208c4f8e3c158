#pragma once
// ScriptedHttpServer: a local HTTP server for tests that answers each connection with exactly the
// bytes it was given, piece by piece with pauses when asked, and records every request it got.
// It listens on 127.0.0.1 on a free port and runs on the thread that created it.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

class ScriptedHttpServer : public QObject {
    Q_OBJECT
public:
    struct Piece {
        QByteArray data;
        int delayMs = 0;   // pause before the piece is sent
    };
    struct Script {
        QList<Piece> pieces;
        bool close = true;    // close the connection after the last piece (false: keep it open)
    };

    ScriptedHttpServer();
    ~ScriptedHttpServer() override;

    quint16 Port() const { return server.serverPort(); }
    QString Url(const QString &path) const;

    // Queues the answer of the next connection.
    void Reply(const QByteArray &bytes);
    void Reply(const Script &script);
    void ReplyNothing();   // accepts, reads the request and never answers

    // A whole reply: status line, the headers given (each "Name: value"), Content-Length unless
    // a header names the length or the framing, and the body.
    static QByteArray Make(int status, const QByteArray &body, const QList<QByteArray> &headers = {});

    QList<QByteArray> Requests() const { return requests; }      // header and body of each
    QByteArray LastRequest() const { return requests.value(requests.size() - 1); }
    static QByteArray HeaderOf(const QByteArray &request, const QByteArray &name);

private:
    void Accept();
    void Read(QTcpSocket *socket);
    void Play(QTcpSocket *socket, Script script);

    QTcpServer server;
    QList<Script> scripts;
    QList<QByteArray> requests;
};
