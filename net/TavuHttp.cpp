#include "net/TavuHttp.h"

#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/TavuEnviron.h"
#include "net/Gzip.h"
#include "net/HttpSettings.h"
#include "net/SyncWait.h"
#include "net/TavuHttpList.h"

#include <QFileInfo>
#include <QtEndian>
#include <QPointer>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

#include <cstring>
#include <utility>

namespace {

qsizetype IndexOfLineFeed(QByteArrayView bytes, qsizetype from)
{
    const void *found = from < bytes.size() ? std::memchr(bytes.data() + from, '\n', size_t(bytes.size() - from)) : nullptr;
    return found ? static_cast<const char *>(found) - bytes.data() : -1;
}

QByteArray WithoutCr(QByteArray line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

// Writes a header block to the trace, one line each; credentials are masked.
void Trace(const QByteArray &header)
{
    if (!TavuEnviron)
        return;
    for (const QByteArray &raw : header.split('\n')) {
        const QByteArray line = WithoutCr(raw);
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = line.left(colon).toLower();
        if (colon > 0 && (name == "authorization" || name == "proxy-authorization"))
            TavuEnviron->AddTrace(QString::fromLatin1(line.left(colon)) + QStringLiteral(": ********"));
        else
            TavuEnviron->AddTrace(QString::fromLatin1(line));
    }
}

QString StatusMessage(int status, const QString &location)
{
    if (status >= 300 && status < 400)
        return QStringLiteral("リダイレクトされました。(HTTP %1) → %2").arg(status).arg(location);
    return THttpCli::StatusMessage(status);
}

// The first byte of a range reply ("bytes 99-199/200"); -1 when the header names none.
qint64 RangeStart(const QString &contentRange)
{
    static const QRegularExpression range(QStringLiteral("^\\s*bytes\\s+(\\d{1,15})-"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = range.match(contentRange);
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

const QString LogChangedMessage = QStringLiteral("サーバーのログが手元のログと一致しません。スレッドを取得し直してください。");
const QString RangePastEndMessage = QStringLiteral("サーバーのログが手元のログより小さくなっています。スレッドを取得し直してください。");

}  // namespace

TTavuHttp::TTavuHttp(QObject *owner) : QObject(owner), client(new THttpCli(this))
{
    connect(client, &THttpCli::OnHeaderEnd, this, &TTavuHttp::HeaderArrived);
    connect(client, &THttpCli::OnDocData, this, [this](THttpCli *, const QByteArray &data) { DataArrived(data); });
    connect(client, &THttpCli::OnRequestDone, this, [this](THttpCli *, bool failed) { RequestDone(failed); });
}

TTavuHttp::~TTavuHttp()
{
    if (TavuHttpList)
        TavuHttpList->Remove(this);
}

void TTavuHttp::ClearEvents()
{
    OnLine = nullptr;
    OnDone = nullptr;
    OnError = nullptr;
    OnProgress = nullptr;
}

void TTavuHttp::Get(bool synchronous)
{
    Start(Kind::Conditional, synchronous);
}

void TTavuHttp::GetUnconditional(const QString &path, bool synchronous)
{
    recordFile = path;
    FileUtil::ForceDirectories(QFileInfo(path).absolutePath());
    Start(Kind::Unconditional, synchronous);
}

void TTavuHttp::Post(const QByteArray &formData, bool synchronous)
{
    client->PostData = formData;
    Start(Kind::Post, synchronous);
}

void TTavuHttp::Abort()
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this] { Abort(); }, Qt::QueuedConnection);
        return;
    }
    if (!busy)
        return;
    if (client->IsBusy())
        client->Abort();   // ends through RequestDone
    else
        EndFailed(httpAborted, QStringLiteral("中止しました。"));
}

// ---- starting ----

void TTavuHttp::Start(Kind how, bool synchronous)
{
    if (busy)
        Abort();
    const quint64 current = ++serial;
    kind = how;
    record.clear();
    lineBuffer.clear();
    decoder.reset();
    gzipEnd.clear();
    decodedSize = 0;
    takeBody = rangeAsked = partial = overlapChecked = overlapBroken = gzipBody = unterminatedLine = notModified = traced = false;
    lastError = -1;
    lastErrorMessage.clear();
    finished = false;
    busy = true;
    if (TavuHttpList)
        TavuHttpList->Add(this);

    if (TavuEnviron && TavuEnviron->IsOffline()) {
        QTimer::singleShot(0, this, [this, current] { ReportOffline(current); });
    } else {
        Prepare(how);
        if (how == Kind::Post)
            client->PostASync();
        else
            client->GetASync();
    }
    if (synchronous)
        Wait();
}

void TTavuHttp::Prepare(Kind how)
{
    client->URL = URL;
    client->UserAgent = UserAgent;
    client->NoCache = NoCache;
    client->Cookie = Cookie;
    client->Referer = Referer;
    client->Username = Username;
    client->Password = Password;
    client->ContentType = ContentType;
    client->Timeout = Timeout;
    client->Deadline = Limits.DeadlineMs;
    client->MaxBodyBytes = Limits.MaxBodyBytes;
    client->AcceptEncoding = AcceptGzip ? QStringLiteral("gzip") : QString();
    ApplyProxy(*client, ConfiguredProxy(how == Kind::Post));

    client->IfModifiedSince.clear();
    client->IfNoneMatch.clear();
    client->RangeFrom = -1;
    if (how != Kind::Conditional)
        return;
    // The ETag is used when the setting asks for it or when no date is stored.
    const bool useETag = !ETag.isEmpty() && (ConfiguredHttpMode() == 1 || LastModified.isEmpty());
    if (useETag)
        client->IfNoneMatch = ETag;
    else
        client->IfModifiedSince = LastModified;
    if (StoredSize > 0) {
        client->RangeFrom = StoredSize - 1;   // the stored last line feed comes back first
        rangeAsked = true;
    }
}

void TTavuHttp::Wait()
{
    QPointer<TTavuHttp> self(this);
    const bool stopped = WaitUntil(this, &TTavuHttp::Ended, [this] { return IsBusy(); }, [this] { Abort(); });
    if (stopped)
        throw EHttpException(0, TTavuEnviron::StoppedMessage());
    if (self && (lastError == httpConnectFailed || lastError == httpTimeout))
        throw EHttpException(0, lastErrorMessage);
}

void TTavuHttp::ReportOffline(quint64 which)
{
    if (!busy || serial != which)
        return;
    notModified = true;
    Done(false);
}

// ---- the reply ----

void TTavuHttp::HeaderArrived()
{
    TraceRequest();
    const int status = client->StatusCode();
    takeBody = status >= 200 && status < 300;
    partial = rangeAsked && status == 206;
    if (partial) {
        // A range that starts elsewhere than asked cannot continue the stored log.
        const qint64 start = RangeStart(client->HeaderValue("Content-Range"));
        if (start >= 0 && start != client->RangeFrom) {
            client->Fail(httpLogChanged, LogChangedMessage, client->HeaderValue("Content-Range"));
            return;
        }
    }
    // Some servers compress a reply that did not ask for it: its bytes are gzip all the same.
    const bool gzipEncoded = client->HeaderValue("Content-Encoding").contains(QLatin1String("gzip"), Qt::CaseInsensitive);
    if (takeBody && (gzipEncoded || IsGzipUrl(URL))) {
        decoder = std::make_unique<TGzipDecoder>();
        gzipBody = true;
        decoder->SetLimits(client->MaxBodyBytes, Limits.MaxGzipRatio);   // the bound the client applies
    }
}

void TTavuHttp::DataArrived(const QByteArray &data)
{
    if (!takeBody)
        return;
    const quint64 current = serial;
    QPointer<TTavuHttp> self(this);
    if (OnProgress)
        OnProgress(this, Job, Received(), Total());
    if (!self || !busy || serial != current)
        return;
    if (!decoder) {
        TakeBody(data);
        return;
    }
    NoteDecodedSize(data);
    // The decoder is held here while it feeds: a handler may end the job, or free it, meanwhile.
    std::unique_ptr<TGzipDecoder> feeding = std::move(decoder);
    auto live = [&] { return self && busy && serial == current; };
    try {
        feeding->Feed(data, [&](QByteArrayView decoded) { return TakeBody(decoded) && live(); });
    } catch (const EGzipTooLarge &e) {
        client->Fail(httpTooLarge, e.Message);
        return;
    } catch (const EGzipError &e) {
        client->Fail(httpBadGzip, e.Message);
        return;
    }
    if (live())
        decoder = std::move(feeding);
}

// A gzip stream ends with its decoded size (modulo 4 GiB, as the format keeps it): once the whole
// body came, its lines are known to come to that many bytes.
void TTavuHttp::NoteDecodedSize(const QByteArray &data)
{
    constexpr qsizetype SizeBytes = 4;
    gzipEnd = (gzipEnd + data.right(SizeBytes)).right(SizeBytes);
    if (Total() > 0 && Received() >= Total() && gzipEnd.size() == SizeBytes)
        decodedSize = qFromLittleEndian<quint32>(gzipEnd.constData());
}

// Takes the next bytes of the body; false when the job has ended.
bool TTavuHttp::TakeBody(QByteArrayView bytes)
{
    if (overlapBroken)
        return true;   // the rest of the stream is only checked
    if (partial && !overlapChecked && !bytes.isEmpty()) {
        if (bytes.front() != '\n') {
            // A damaged stream decodes to other bytes too: its end tells which it is.
            overlapBroken = gzipBody;
            if (gzipBody)
                return true;
            client->Fail(httpLogChanged, LogChangedMessage);
            return false;
        }
        bytes = bytes.sliced(1);
        overlapChecked = true;
    }
    if (kind == Kind::Unconditional)
        record.append(bytes);
    if (BodySink)
        BodySink->append(bytes.data(), bytes.size());
    if (!OnLine)
        return true;   // nobody takes lines
    return EmitLines(bytes);
}

// Hands on every line that the bytes complete, straight from them; only the part of a line cut by
// the end of the piece is kept for the next one. False when the job has ended.
bool TTavuHttp::EmitLines(QByteArrayView bytes)
{
    const TLive live{QPointer<TTavuHttp>(this), serial};
    qsizetype from = 0;
    if (!lineBuffer.isEmpty()) {
        const qsizetype end = IndexOfLineFeed(bytes, 0);
        if (LineTooLong(lineBuffer.size() + (end < 0 ? bytes.size() : end)))
            return false;
        if (end < 0) {
            lineBuffer.append(bytes);
            return true;
        }
        lineBuffer.append(bytes.first(end + 1));
        const QByteArray line = std::exchange(lineBuffer, QByteArray());
        if (!HandLine(line, 0, line.size() - 1, live))
            return false;
        from = end + 1;
    }
    for (qsizetype end; (end = IndexOfLineFeed(bytes, from)) >= 0; from = end + 1) {
        if (LineTooLong(end - from) || !HandLine(bytes, from, end, live))
            return false;
    }
    if (LineTooLong(bytes.size() - from))
        return false;
    lineBuffer = bytes.sliced(from).toByteArray();
    return true;
}

// Hands on the line of bytes from..end (end: its line feed) without its line break.
bool TTavuHttp::HandLine(QByteArrayView bytes, qsizetype from, qsizetype end, const TLive &live)
{
    if (!OnLine)
        return true;
    lineBytes = end + 1 - from;
    const qsizetype length = end > from && bytes[end - 1] == '\r' ? end - 1 - from : end - from;
    // The line's bytes go into one buffer reused from line to line, not a new one each. It is held
    // here while the handler runs, so a line handed on meanwhile (from a nested event loop) gets its
    // own; a handler that keeps the line keeps a shared copy, which the next line's write leaves alone.
    QByteArray line = std::exchange(lineText, QByteArray());
    line.resize(length);
    std::memcpy(line.data(), bytes.data() + from, size_t(length));
    OnLine(this, Job, line, Received(), Total());
    if (!live.self)
        return false;   // a handler freed the job
    lineText = std::move(line);
    return busy && serial == live.serial;   // false: a handler ended the job
}

// Fails the job when a line (without its line feed) passes the bound.
bool TTavuHttp::LineTooLong(qsizetype bytes)
{
    if (Limits.MaxLineBytes < 0 || bytes <= Limits.MaxLineBytes)
        return false;
    client->Fail(httpTooLarge, QStringLiteral("1行が長すぎます。(上限 %1 バイト)").arg(Limits.MaxLineBytes));
    return true;
}

void TTavuHttp::RequestDone(bool failed)
{
    if (failed) {
        if (!traced)
            Trace(client->SentHeader());
        lastError = client->ErrorCode();
        lastErrorMessage = client->ErrorMessage();
        EndFailed(client->ErrorCode(), client->ErrorMessage(), client->ErrorDetail());
        return;
    }
    const int status = client->StatusCode();
    if (takeBody)
        CompleteBody();
    else if (status == 304) {
        notModified = true;
        Done(false);
    } else if (status == 416)
        EndFailed(416, RangePastEndMessage, QString::fromLatin1(client->RcvdHeader()));
    else
        EndFailed(status, StatusMessage(status, client->Location()),
                  QString::fromLatin1(client->RcvdHeader()));
}

// The body has arrived whole: check it, hand on the last line and write the record file.
void TTavuHttp::CompleteBody()
{
    if (decoder) {
        try {
            decoder->Finish();
        } catch (const EGzipError &e) {
            EndFailed(httpBadGzip, e.Message);
            return;
        }
    }
    if (partial && (overlapBroken || !overlapChecked)) {
        EndFailed(httpLogChanged, LogChangedMessage);
        return;
    }
    if (!lineBuffer.isEmpty() && OnLine) {
        const quint64 current = serial;
        QPointer<TTavuHttp> self(this);
        unterminatedLine = true;
        lineBytes = lineBuffer.size();
        OnLine(this, Job, WithoutCr(std::exchange(lineBuffer, QByteArray())), Received(), Total());
        if (!self || !busy || serial != current)
            return;
    }
    if (kind == Kind::Unconditional) {
        try {
            FileUtil::WriteFileAtomic(recordFile, record);
        } catch (const EFileError &e) {
            EndFailed(httpFileError, QStringLiteral("受信したファイルを保存できませんでした。"), e.Message);
            return;
        }
    }
    Done(false);
}

void TTavuHttp::EndFailed(int code, const QString &message, const QString &detail)
{
    const quint64 current = serial;
    QPointer<TTavuHttp> self(this);
    if (OnError)
        OnError(this, Job, code, message, detail);
    if (self && busy && serial == current)
        Done(true);
}

void TTavuHttp::Done(bool failed)
{
    busy = false;
    finished = true;
    record.clear();
    lineBuffer.clear();
    lineText.clear();
    decoder.reset();
    QPointer<TTavuHttp> self(this);
    emit Ended(this);   // first, so a synchronous wait ends even when OnDone frees the job
    if (self && OnDone)
        OnDone(this, Job, failed);
}

void TTavuHttp::TraceRequest()
{
    traced = true;
    Trace(client->SentHeader());
    Trace(client->RcvdHeader());
}
