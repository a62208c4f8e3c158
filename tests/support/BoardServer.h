#pragma once
// BoardServer: a 2ch-style board server on 127.0.0.1 for tests. It listens on a free port, runs on
// the thread that created it (or the one it was moved to, its listening socket with it) and answers
// HTTP/1.0 and 1.1 requests one per connection.
//
// 2ch boards (TwoCh, Shift_JIS):
//   /<bbs>/subject.txt                  "<key>.dat<>title (n)" lines, newest thread first
//   /<bbs>/dat/<key>.dat                the dat; Range "bytes=N-" (206, or 416 past the end),
//                                       Last-Modified / ETag with 304, gzip when asked without a Range
//   /test/read.cgi/<bbs>/<key>/[range]  the thread as a read.cgi page ("<dt>n ：name：date<dd>body")
//   /test/bbs.cgi                       POST bbs, key, time, FROM, mail, MESSAGE (subject: new thread)
//   /<bbs>/kako/XXXX/XXXXX/<key>.dat[.gz]  the copy of a thread that fell off (MoveToKako)
//   /test/offlaw.cgi/<bbs>/<key>/?sid=  the raw-mode read of a fallen thread with a past-log session
//   /futen.cgi                          the past-log login (POST ID, PW -> "SESSION-ID=...")
//   /be/login                           the Be login (POST m, p -> cookies DMDM and MDMD)
//   /be/profile                         the profile edit page (GET) and its form (POST name, intro)
//   /be/point                           giving a point (GET); all three need the Be cookies
// JBBS boards (Jbbs, EUC-JP), under a folder:
//   /<dir>/<bbs>/subject.txt            "<key>.cgi,title(n)" lines
//   /bbs/rawmode.cgi/<dir>/<bbs>/<key>/[from-]   "n<>name<>mail<>date<>body<>title<>id" lines
//   /bbs/write.cgi/<dir>/<bbs>/<key>/   POST DIR, BBS, KEY, TIME, NAME, MAIL, MESSAGE ("new" as the key
//                                       with SUBJECT: a new thread)
// Posts are answered with a "書きこみました" page; with Confirmation on, a 2ch post without the
// confirmation cookie gets a "書き込み確認" page that sets it (with a hidden field for the form).

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

class BoardServer : public QObject {
    Q_OBJECT
public:
    enum Flavor { TwoCh, Jbbs };

    BoardServer();
    ~BoardServer() override;

    quint16 Port() const { return server.serverPort(); }
    QString Host() const;                        // "127.0.0.1:<port>"
    QString Url(const QString &path) const;      // "http://127.0.0.1:<port>" + path

    // ---- boards and threads ----
    void AddBoard(const QString &bbs, Flavor flavor = TwoCh, const QString &dir = QString());
    QString BoardUrl(const QString &bbs) const;  // ".../<bbs>/" or ".../<dir>/<bbs>/"
    void AddThread(const QString &bbs, const QString &key, const QString &title);
    // Appends one response; its date carries an ID. The title goes with response 1.
    void AppendRes(const QString &bbs, const QString &key, const QString &name, const QString &mail,
                   const QString &body);
    int ResCount(const QString &bbs, const QString &key) const;
    // The fields of response n (1-based): name, mail, date, body.
    QStringList Res(const QString &bbs, const QString &key, int number) const;
    QStringList ThreadKeys(const QString &bbs) const;   // newest first
    QString Title(const QString &bbs, const QString &key) const;
    // The dat as served; SetDatBytes replaces it (a log changed on the server, an unfinished line).
    QByteArray DatBytes(const QString &bbs, const QString &key) const;
    void SetDatBytes(const QString &bbs, const QString &key, const QByteArray &bytes);
    // The thread falls off its board; its copy is kept in the past-log folder, compressed or not.
    void MoveToKako(const QString &bbs, const QString &key, bool gzip);

    // ---- behaviour ----
    bool Confirmation = false;   // bbs.cgi asks once for confirmation
    bool IgnoreRange = false;    // dat requests with a Range get the whole file (200)
    bool BrokenGzip = false;     // compressed dat replies lose their last bytes (a broken stream)
    bool GzipAlways = false;     // dat replies, ranges too, come compressed whether asked for or not
    bool ErrorOnPost = false;    // every post gets an error page
    int FallenStatus = 302;      // the answer for the dat of a thread that fell off
    bool Hold = false;           // requests are read and logged but not answered (a hanging server)
    // Answers the requests held so far as if they had just come (their log entries keep Status 0).
    void AnswerHeld();
    QString DolibId, DolibPassword;   // the past-log account futen.cgi accepts
    QString BeMail, BePassword;       // the Be account /be/login accepts
    QString BeName, BeIntro;          // the profile the Be pages show and store
    static QString SessionId();       // what futen.cgi hands out after "SESSION-ID="

    // ---- what was asked and served ----
    struct Request {
        QByteArray Method;
        QByteArray Path;                 // with its query
        QList<QPair<QByteArray, QByteArray>> Headers;
        QByteArray Body;
        int Status = 0;
        qint64 BodyBytes = 0;            // body bytes of the answer
        QByteArray Header(const QByteArray &name) const;
    };
    QList<Request> Requests() const { return requests; }
    // The requests whose path contains the text (every request for an empty text).
    QList<Request> RequestsTo(const QString &pathPart) const;
    qint64 BytesServed(const QString &pathPart = QString()) const;
    void ClearLog() { requests.clear(); }

    // A gzip stream of the bytes (stored blocks, checked by its CRC-32 and length).
    static QByteArray Gzip(const QByteArray &bytes);

private:
    struct ResRecord {
        QString Name, Mail, Date, Id, Body;
    };
    struct Thread {
        QString Title;
        QList<ResRecord> Res;
        QByteArray OverrideDat;   // served instead of the records when not empty
        int Version = 0;          // raised by every change (Last-Modified, ETag)
        int Order = 0;            // the last change; the newest thread first
        bool Fallen = false;
        bool KakoGzip = false;
        // The dat as last built from the records and the version it was built at: a request for a
        // long thread does not build it again, and a response appended to it adds its own line.
        mutable QByteArray Dat;
        mutable int DatVersion = -1;
    };
    struct Board {
        Flavor Kind = TwoCh;
        QString Dir;
        QMap<QString, Thread> Threads;
    };
    struct Reply {
        int Status = 200;
        QByteArray Body;
        QList<QByteArray> Headers;
    };

    QTcpServer server{this};   // a child: it goes along when the server moves to another thread
    QMap<QString, Board> boards;
    QList<Request> requests;
    QList<QPair<QPointer<QTcpSocket>, Request>> held;
    int changeCounter = 0;
    int nextKey = 1700000000;

    void Accept();
    void Read(QTcpSocket *socket);
    void Respond(QTcpSocket *socket, Request &request);
    Reply Answer(Request &request);
    Reply Get(const Request &request, const QStringList &parts, const QString &query);
    Reply Post(const Request &request, const QStringList &parts);

    Reply Subject(const Request &request, const QString &bbs) const;
    Reply Dat(const Request &request, const QString &bbs, const QString &key) const;
    Reply Kako(const QString &bbs, const QString &file) const;
    QByteArray Compressed(const QByteArray &bytes, QList<QByteArray> *headers) const;
    Reply ReadCgi(const QString &bbs, const QString &key) const;
    Reply RawMode(const QString &bbs, const QString &key, const QString &range) const;
    Reply Offlaw(const QString &bbs, const QString &key, const QString &query) const;
    Reply DolibLogin(const Request &request) const;
    Reply BeLogin(const Request &request) const;
    Reply BeProfile(const Request &request);
    Reply WriteRes(const Request &request, const QString &bbs, QString key, bool twoCh);

    Thread *FindThread(const QString &bbs, const QString &key);
    const Thread *FindThread(const QString &bbs, const QString &key) const;
    void Touch(Thread &thread);
    QByteArray Encode(const QString &bbs, const QString &text) const;
    QString Decode(const QString &bbs, const QByteArray &bytes) const;
    QByteArray DatOf(const Thread &thread) const;
    static QString DatLine(const Thread &thread, qsizetype index);
    static QString LastModified(const Thread &thread);
    static QString ETagOf(const QString &key, const Thread &thread);
};
