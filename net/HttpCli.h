#pragma once
// THttpCli: the program's own HTTP client. It sends HTTP/1.0 requests (one request per connection)
// and reads 1.0 and 1.1 replies, including chunked bodies, over TCP or TLS, directly or through a
// proxy (absolute URLs for http, a CONNECT tunnel for https).
//
// The client lives on the thread that created it. The asynchronous operations return at once and
// end with OnError (when failed) and then OnRequestDone; the synchronous ones run a local event loop
// until the request ends and give up with "切断しました。" when the registry's stop flag is set.
// Redirects are not followed: the status and Location are left for the caller.
// Handlers must not delete the client directly; deleteLater() is safe.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <memory>

class QIODevice;
class QSslSocket;
class QTcpSocket;

// Error codes of failed requests. HTTP statuses are reported by their own number.
enum THttpError : int {
    httpAborted = 0,        // ended by Abort: nothing to show the user
    httpConnectFailed = 1,  // host not found, connection refused or dropped before a reply
    httpTimeout = 2,        // no progress within the time-out
    httpBadReply = 3,       // a malformed status line, header or chunk
    httpTruncated = 4,      // the connection closed before the body was complete
    httpBadGzip = 5,        // a compressed body could not be decoded
    httpFileError = 6,      // the received file could not be written
    httpLogChanged = 7,     // a range reply does not continue the stored log
    httpTooLarge = 8,       // the body, its decoded form or one of its lines passed its bound
};

class THttpCli : public QObject {
    Q_OBJECT
public:
    static constexpr const char *DefaultUserAgent = "Varnelo/2.0";

    explicit THttpCli(QObject *parent = nullptr);
    ~THttpCli() override;

    // What to request.
    QString URL;
    QString UserAgent = QString::fromLatin1(DefaultUserAgent);
    QString Proxy;               // proxy host; empty for a direct connection
    int ProxyPort = 80;
    QString ProxyUsername;       // Proxy-Authorization Basic, when not empty
    QString ProxyPassword;
    QString Username;            // Authorization Basic, when not empty
    QString Password;
    QString Cookie;              // the request's Cookie header
    QString Referer;
    QString IfModifiedSince;     // a Last-Modified text as the server gave it
    QString IfNoneMatch;         // an ETag as the server gave it
    qint64 RangeFrom = -1;       // Range "bytes=N-" when not negative
    QString AcceptEncoding;      // "gzip" to accept compressed bodies
    bool NoCache = false;        // Pragma: no-cache
    QString ContentType = QStringLiteral("application/x-www-form-urlencoded");
    QByteArray PostData;         // the form data of Post and PostASync
    QIODevice *RcvdStream = nullptr;  // receives the body when set (the caller owns it)
    // The bounds of every request. They start as those of a page (kpw.ini LIMIT; UseLimits sets
    // another kind's); a request never runs unbounded: a Deadline below 1 or a negative
    // MaxBodyBytes stands for the page's bound.
    int Timeout = 30000;         // ms without any progress before the request fails
    int Deadline;                // ms the whole request may take, however it progresses
    qint64 MaxBodyBytes;         // the most body bytes taken (as they come, before decoding)

    // Operations.
    void Get();          // synchronous; raises EHttpException (see below)
    void GetASync();
    void Post();         // synchronous
    void PostASync();
    void Abort();        // from any thread; a running request ends with httpAborted
    // Ends the running request as failed; used by layers that check the body as it arrives.
    void Fail(int code, const QString &message, const QString &detail = QString());

    // The user's text for an HTTP status that ends a request, e.g. "ファイルが見つかりませんでした。(HTTP 404)";
    // the server's own reason phrase is not shown.
    static QString StatusMessage(int status);

    // The synchronous operations raise EHttpException with status 0 when the request failed
    // (connection, time-out, malformed reply, stop flag) and with the status for answers of 400
    // and above; in every case the status and headers received so far stay readable.

    // The state of the last request.
    bool IsBusy() const { return busy.load(); }
    int StatusCode() const { return statusCode; }
    QString ReasonPhrase() const { return reasonPhrase; }
    QString HeaderValue(const QByteArray &name) const;   // the first of that name; case ignored
    QString Location() const { return HeaderValue("Location"); }
    qint64 ContentLength() const { return contentLength; }   // -1 when the reply gave none
    qint64 RcvdCount() const { return rcvdCount; }           // body bytes received
    QByteArray SentHeader() const { return sentHeader; }     // the request header as sent
    QByteArray RcvdHeader() const { return rcvdHeader; }     // status line and headers
    QStringList Cookies() const { return cookies; }          // the Set-Cookie texts accepted
    int ErrorCode() const { return errorCode; }
    QString ErrorMessage() const { return errorMessage; }
    QString ErrorDetail() const { return errorDetail; }

signals:
    void OnHeaderEnd(THttpCli *sender);                            // the reply header is complete
    void OnDocData(THttpCli *sender, const QByteArray &data);      // body bytes, chunking removed
    void OnCookie(THttpCli *sender, const QString &cookie, bool &accept);  // connect directly
    void OnError(THttpCli *sender, int code, const QString &message);
    void OnRequestDone(THttpCli *sender, bool failed);

private:
    enum class Phase { Idle, Connecting, StatusLine, Headers, Body, ChunkSize, ChunkData, ChunkEnd, ChunkTrailer };
    enum class Framing { None, Length, Chunked, UntilClose };

    void Start(const QByteArray &method);
    void RunSynchronously(const QByteArray &method);
    void BoundUnboundedLimits();
    void ResetReply();
    bool UsesProxy() const { return !Proxy.isEmpty(); }
    bool IsHttps() const;
    QSslSocket *TlsSocket() const;

    void OnConnected();
    void OnEncrypted();
    void OnReadyRead();
    void OnDisconnected();
    void OnSocketError();
    void SendRequest();
    QByteArray BuildRequest() const;
    QByteArray BuildTunnelRequest() const;

    void TakeInput();
    QByteArrayView Pending() const { return QByteArrayView(input).sliced(inputPos); }
    QByteArray TakeBytes(qsizetype n);
    void Consume(qsizetype n);
    void Process();
    bool TakeLine(QByteArray &line);
    bool ReadStatusLine();
    bool ReadHeaders();
    void HeaderDone();
    void TunnelReplyDone();
    bool ChooseFraming();
    bool ReadBody();
    bool ReadChunkSize();
    bool ReadChunkData();
    bool ReadChunkEnd();
    bool ReadChunkTrailer();
    void Deliver(const QByteArray &data);
    void FailTooLarge();
    void Succeed();
    void Finish(bool asFailed);
    bool Running(quint64 serial) const;

    QByteArray method;
    QUrl url;
    std::unique_ptr<QTcpSocket, void (*)(QTcpSocket *)> socket;   // a QSslSocket for https
    QTimer idleTimer;
    QTimer deadlineTimer;
    QByteArray input;               // bytes read and not yet parsed start at inputPos
    qsizetype inputPos = 0;
    Phase phase = Phase::Idle;
    Framing framing = Framing::None;
    qint64 remaining = 0;           // bytes left of a Length body or of the current chunk
    int headerBytes = 0;
    bool tunnelling = false;        // reading the proxy's answer to CONNECT
    quint64 serial = 0;             // raised by each request, so stale callbacks can tell
    std::atomic<bool> busy{false};

    QByteArray sentHeader;
    QByteArray rcvdHeader;
    QList<QPair<QByteArray, QString>> headers;
    int statusCode = 0;
    QString reasonPhrase;
    qint64 contentLength = -1;
    qint64 rcvdCount = 0;
    QStringList cookies;
    int errorCode = 0;
    QString errorMessage;
    QString errorDetail;
    bool failed = false;
};
