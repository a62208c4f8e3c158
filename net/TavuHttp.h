#pragma once
// TTavuHttp: one HTTP job of the program. Board lists, thread lists, threads and posts all run as
// jobs. The caller sets the URL, the job record and the events, then starts a conditional GET, an
// unconditional GET or a form POST, asynchronously (events come from the event loop) or
// synchronously (the call returns when the job is done, after its events).
//
// The body arrives as lines: OnLine gets every complete line (without its LF or CR LF) as the bytes
// came from the server (converting them is the caller's: it knows the board's code); a last line
// without a line feed is handed on only when the body is complete. A job ends with OnError (when it
// failed) and then always OnDone. A 304 answer ends with OnDone(not failed) and IsNotModified().
//
// A conditional GET carries If-Modified-Since or If-None-Match from the stored validators (HTTP
// MODE picks which) and, when a stored size is given, a Range from one byte before it; the reply
// must then start at that byte and begin with the stored log's last line feed, otherwise the job
// reports the log as changed (httpLogChanged), and a 416 answer is reported as the range being
// past the server's log. A compressed reply is judged only once its stream has been checked: one that
// is broken is reported as such (httpBadGzip), never as a changed log.
//
// Offline, nothing is sent and OnDone(not failed) comes from the event loop with IsNotModified().
// Every running job is in TavuHttpList, so stop-all can abort them. The request and reply headers
// go to the registry's trace. A job lives on the thread that created it.

#include "net/HttpCli.h"
#include "net/HttpSettings.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class TGzipDecoder;

class TTavuHttp : public QObject {
    Q_OBJECT
public:
    using LineEvent = std::function<void(TTavuHttp *sender, void *job, const QByteArray &line, qint64 received, qint64 total)>;
    using DoneEvent = std::function<void(TTavuHttp *sender, void *job, bool failed)>;
    using ErrorEvent = std::function<void(TTavuHttp *sender, void *job, int code, const QString &message, const QString &detail)>;
    using ProgressEvent = std::function<void(TTavuHttp *sender, void *job, qint64 received, qint64 total)>;

    explicit TTavuHttp(QObject *owner = nullptr);
    ~TTavuHttp() override;

    // The request.
    QString URL;
    QString UserAgent = QString::fromLatin1(THttpCli::DefaultUserAgent);
    bool NoCache = false;
    void *Job = nullptr;          // the caller's job record, handed back in every event
    QString Cookie;
    QString Referer;
    QString Username;             // Basic authorization, when not empty
    QString Password;
    QString ContentType = QStringLiteral("application/x-www-form-urlencoded");
    bool AcceptGzip = false;      // asks for a gzip body; a gzip body, asked for or not, is decoded before lines are made
    int Timeout = 30000;          // ms without progress
    // Bounds of the body, its lines, its decoding and the request's time; a job that passes one
    // fails with httpTooLarge (httpTimeout for the time) and hands on nothing more. The callers
    // set those of what they fetch (ConfiguredLimits); a page's bounds by default.
    TDownloadLimits Limits = ConfiguredLimits(TRequestKind::Page);
    QByteArray *BodySink = nullptr;   // when set, gets the 2xx body's bytes appended as they arrive

    // The stored copy, for the conditional Get.
    QString LastModified;         // its Last-Modified
    QString ETag;                 // its ETag
    qint64 StoredSize = 0;        // its size in bytes; above 0 asks for the rest only

    // Events. received and total count body bytes as they came (total 0 when unknown).
    LineEvent OnLine;
    DoneEvent OnDone;
    ErrorEvent OnError;
    ProgressEvent OnProgress;
    void ClearEvents();

    // Operations; synchronous ones raise EHttpException when the connection failed or timed out,
    // and with "切断しました。" when stop-all ended the wait (the events have run before).
    void Get(bool synchronous = false);
    void GetUnconditional(const QString &recordFile, bool synchronous = false);
    void Post(const QByteArray &formData, bool synchronous = false);
    void Abort();                 // from any thread; the job ends with OnError(httpAborted) and OnDone

    // State and reply.
    bool IsBusy() const { return busy.load(); }
    bool IsFinished() const { return finished.load(); }
    int StatusCode() const { return client->StatusCode(); }
    QString ReasonPhrase() const { return client->ReasonPhrase(); }
    QString HeaderValue(const QByteArray &name) const { return client->HeaderValue(name); }
    QString Location() const { return client->Location(); }
    QString ReplyLastModified() const { return client->HeaderValue("Last-Modified"); }
    QString ReplyETag() const { return client->HeaderValue("ETag"); }
    QStringList Cookies() const { return client->Cookies(); }
    bool IsNotModified() const { return notModified; }   // 304, or offline: keep the stored copy
    // A range reply: the lines are only the rest of the stored log. False after a range request
    // means the server sent the whole file (a 200), whose lines replace the stored log.
    bool IsPartial() const { return partial; }
    // True while OnLine hands on the end of a body that did not end with a line feed (an unfinished line).
    bool IsUnterminatedLine() const { return unterminatedLine; }
    // While OnLine runs: the bytes of the line as they came, its LF or CR LF included.
    qint64 LineBytes() const { return lineBytes; }
    qint64 Received() const { return client->RcvdCount(); }
    // The bytes of the body as its lines come: its Content-Length, or for a gzip body the size its
    // end names, once all of it came; 0 while not known.
    qint64 LineBodySize() const { return gzipBody ? decodedSize : Total(); }
    qint64 Total() const { return qMax<qint64>(0, client->ContentLength()); }

signals:
    void Ended(TTavuHttp *sender);   // the job has ended; emitted just before OnDone

private:
    enum class Kind { Conditional, Unconditional, Post };

    void Start(Kind kind, bool synchronous);
    void Prepare(Kind kind);
    void Wait();
    void ReportOffline(quint64 which);

    void HeaderArrived();
    void DataArrived(const QByteArray &data);
    void NoteDecodedSize(const QByteArray &data);
    bool TakeBody(QByteArrayView bytes);
    bool EmitLines(QByteArrayView bytes);
    // The job as a handler may leave it: freed, or ended and started anew.
    struct TLive {
        QPointer<TTavuHttp> self;
        quint64 serial;
    };
    bool HandLine(QByteArrayView bytes, qsizetype from, qsizetype end, const TLive &live);
    bool LineTooLong(qsizetype bytes);
    void RequestDone(bool failed);
    void CompleteBody();
    void EndFailed(int code, const QString &message, const QString &detail = QString());
    void Done(bool failed);
    void TraceRequest();

    THttpCli *client;
    std::unique_ptr<TGzipDecoder> decoder;
    std::atomic<bool> busy{false};
    std::atomic<bool> finished{false};
    quint64 serial = 0;
    Kind kind = Kind::Conditional;
    QString recordFile;
    QByteArray record;            // the body for the record file
    QByteArray lineBuffer;        // bytes after the last complete line
    QByteArray lineText;          // the line handed on, its buffer kept for the next
    bool takeBody = false;        // a 2xx reply whose body becomes lines
    bool gzipBody = false;        // the body is decoded from gzip
    QByteArray gzipEnd;           // its last bytes so far, which end with its decoded size
    qint64 decodedSize = 0;       // LineBodySize of a gzip body
    bool rangeAsked = false;
    bool partial = false;
    bool overlapChecked = false;
    bool overlapBroken = false;   // a decoded range reply did not continue the log: told once the stream is checked
    bool unterminatedLine = false;
    qint64 lineBytes = 0;
    bool notModified = false;
    bool traced = false;
    int lastError = -1;           // the transport error of the last request; -1 when none
    QString lastErrorMessage;
};
