#include "net/HttpCli.h"

#include "core/Exceptions.h"
#include "core/TavuEnviron.h"
#include "net/HttpSettings.h"
#include "net/SyncWait.h"

#include <QHash>
#include <QIODevice>
#include <QNetworkProxy>
#include <QPointer>
#include <QRegularExpression>
#include <QSslSocket>
#include <QThread>

#include <utility>

namespace {

constexpr int MaxHeaderBytes = 64 * 1024;   // status line and headers together
constexpr int MaxLineBytes = 16 * 1024;     // one header or chunk-size line
constexpr qint64 ReadBufferBytes = 256 * 1024;

void DeleteSocket(QTcpSocket *socket)
{
    if (!socket)
        return;
    socket->disconnect();
    socket->abort();
    socket->deleteLater();
}

// Header values never carry line breaks, so neither server text nor user text can add headers.
QByteArray HeaderText(const QString &value)
{
    QByteArray bytes = value.toLatin1();
    bytes.replace('\r', "").replace('\n', "");
    return bytes;
}

QString BasicCredentials(const QString &user, const QString &password)
{
    return QStringLiteral("Basic ") + QString::fromLatin1((user + QLatin1Char(':') + password).toUtf8().toBase64());
}

// A decimal length as HTTP writes it; -1 when the text is not one.
qint64 ParseLength(const QByteArray &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,15}$"));
    return digits.match(QString::fromLatin1(text)).hasMatch() ? text.toLongLong() : -1;
}

}  // namespace

THttpCli::THttpCli(QObject *parent) : QObject(parent), socket(nullptr, DeleteSocket)
{
    UseLimits(*this, TRequestKind::Page);
    idleTimer.setSingleShot(true);
    connect(&idleTimer, &QTimer::timeout, this, [this] {
        Fail(httpTimeout, QStringLiteral("タイムアウトしました。"), QStringLiteral("%1 ms").arg(Timeout));
    });
    deadlineTimer.setSingleShot(true);
    connect(&deadlineTimer, &QTimer::timeout, this, [this] {
        Fail(httpTimeout, QStringLiteral("時間内に受信が終わりませんでした。"), QStringLiteral("%1 ms").arg(Deadline));
    });
}

THttpCli::~THttpCli() = default;

void THttpCli::Get()
{
    RunSynchronously("GET");
}

void THttpCli::GetASync()
{
    Start("GET");
}

void THttpCli::Post()
{
    RunSynchronously("POST");
}

void THttpCli::PostASync()
{
    Start("POST");
}

void THttpCli::Abort()
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this] { Abort(); }, Qt::QueuedConnection);
        return;
    }
    Fail(httpAborted, QStringLiteral("中止しました。"));
}

void THttpCli::Fail(int code, const QString &message, const QString &detail)
{
    if (!busy)
        return;
    errorCode = code;
    errorMessage = message;
    errorDetail = detail;
    Finish(true);
}

QString THttpCli::HeaderValue(const QByteArray &name) const
{
    for (const auto &[key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return QString();
}

// ---- starting a request ----

void THttpCli::RunSynchronously(const QByteArray &how)
{
    if (StopRequested())
        throw EHttpException(0, TTavuEnviron::StoppedMessage());
    Start(how);
    const bool stopped = WaitUntil(this, &THttpCli::OnRequestDone, [this] { return IsBusy(); }, [this] { Abort(); });
    if (stopped)
        throw EHttpException(0, TTavuEnviron::StoppedMessage());
    if (failed)
        throw EHttpException(0, errorMessage);
    if (statusCode >= 400)
        throw EHttpException(statusCode, StatusMessage(statusCode));
}

QString THttpCli::StatusMessage(int status)
{
    static const QHash<int, QString> known = {
        {400, QStringLiteral("リクエストが正しくありません。")},
        {401, QStringLiteral("認証が必要です。")},
        {403, QStringLiteral("アクセスが許可されていません。")},
        {404, QStringLiteral("ファイルが見つかりませんでした。")},
        {407, QStringLiteral("プロキシの認証が必要です。")},
        {408, QStringLiteral("サーバーが応答を待ちきれませんでした。")},
        {410, QStringLiteral("ファイルは削除されました。")},
        {416, QStringLiteral("要求した範囲のデータがありません。")},
        {500, QStringLiteral("サーバー内部でエラーが発生しました。")},
        {502, QStringLiteral("中継サーバーがエラーを受け取りました。")},
        {503, QStringLiteral("サーバーが混雑しているか停止しています。")},
        {504, QStringLiteral("中継サーバーが応答を待ちきれませんでした。")},
    };
    QString text = known.value(status);
    if (text.isEmpty()) {
        text = status >= 500   ? QStringLiteral("サーバーでエラーが発生しました。")
               : status >= 400 ? QStringLiteral("リクエストを受け付けてもらえませんでした。")
                               : QStringLiteral("サーバーの応答を使えませんでした。");
    }
    return text + QStringLiteral("(HTTP %1)").arg(status);
}

void THttpCli::Start(const QByteArray &how)
{
    if (busy)
        Abort();
    ResetReply();
    method = how;
    url = QUrl(URL, QUrl::TolerantMode);
    const quint64 current = ++serial;
    busy = true;
    BoundUnboundedLimits();

    const bool knownScheme = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    QString refusal;
    if (!url.isValid() || !knownScheme || url.host().isEmpty())
        refusal = QStringLiteral("URLが正しくありません。");
    else if (IsHttps() && !QSslSocket::supportsSsl())
        refusal = QStringLiteral("httpsで接続できません。(TLSが使えません)");
    if (!refusal.isEmpty()) {
        // Reported from the event loop, never from inside the call.
        QTimer::singleShot(0, this, [this, current, refusal] {
            if (Running(current))
                Fail(httpConnectFailed, refusal, URL);
        });
        return;
    }

    // Plain http goes over a bare TCP socket, whose read blocks reach the parser without a copy.
    socket.reset(IsHttps() ? new QSslSocket : new QTcpSocket);
    socket->setProxy(QNetworkProxy::NoProxy);   // a proxy is spoken to by this client itself
    socket->setReadBufferSize(ReadBufferBytes);  // bounded reads: the buffers are reused, not mapped anew
    connect(socket.get(), &QTcpSocket::connected, this, &THttpCli::OnConnected);
    if (QSslSocket *tls = TlsSocket())
        connect(tls, &QSslSocket::encrypted, this, &THttpCli::OnEncrypted);
    connect(socket.get(), &QTcpSocket::readyRead, this, &THttpCli::OnReadyRead);
    connect(socket.get(), &QTcpSocket::disconnected, this, &THttpCli::OnDisconnected);
    connect(socket.get(), &QTcpSocket::errorOccurred, this, &THttpCli::OnSocketError);
    connect(socket.get(), &QTcpSocket::bytesWritten, this, [this] { idleTimer.start(Timeout); });

    phase = Phase::Connecting;
    idleTimer.start(Timeout);
    deadlineTimer.start(Deadline);
    if (UsesProxy())
        socket->connectToHost(Proxy, quint16(ProxyPort));
    else if (IsHttps())
        TlsSocket()->connectToHostEncrypted(url.host(), quint16(url.port(443)));
    else
        socket->connectToHost(url.host(), quint16(url.port(80)));
}

// A bound switched off by mistake falls back to a page's.
void THttpCli::BoundUnboundedLimits()
{
    const TDownloadLimits page = ConfiguredLimits(TRequestKind::Page);
    if (Deadline <= 0)
        Deadline = page.DeadlineMs;
    if (MaxBodyBytes < 0)
        MaxBodyBytes = page.MaxBodyBytes;
}

void THttpCli::ResetReply()
{
    input.clear();
    inputPos = 0;
    sentHeader.clear();
    rcvdHeader.clear();
    headers.clear();
    statusCode = 0;
    reasonPhrase.clear();
    contentLength = -1;
    rcvdCount = 0;
    headerBytes = 0;
    cookies.clear();
    errorCode = 0;
    errorMessage.clear();
    errorDetail.clear();
    failed = false;
    tunnelling = false;
    framing = Framing::None;
}

bool THttpCli::IsHttps() const
{
    return url.scheme() == QLatin1String("https");
}

QSslSocket *THttpCli::TlsSocket() const
{
    return qobject_cast<QSslSocket *>(socket.get());
}

bool THttpCli::Running(quint64 which) const
{
    return busy && serial == which;
}

// ---- socket events ----

void THttpCli::OnConnected()
{
    idleTimer.start(Timeout);
    if (UsesProxy() && IsHttps()) {
        tunnelling = true;
        sentHeader = BuildTunnelRequest();
        socket->write(sentHeader);
        phase = Phase::StatusLine;
    } else if (!IsHttps()) {
        SendRequest();
    }
    // direct https: the request goes out once the TLS handshake is done (OnEncrypted)
}

void THttpCli::OnEncrypted()
{
    SendRequest();
}

void THttpCli::OnReadyRead()
{
    idleTimer.start(Timeout);
    TakeInput();
    Process();
}

void THttpCli::OnDisconnected()
{
    const quint64 current = serial;
    QPointer<THttpCli> self(this);
    TakeInput();
    Process();
    if (!self || !Running(current))
        return;
    if (phase == Phase::Body && framing == Framing::UntilClose)
        Succeed();
    else if (phase == Phase::StatusLine && rcvdHeader.isEmpty() && Pending().isEmpty())
        Fail(httpBadReply, QStringLiteral("サーバーから応答がありませんでした。"), url.host());
    else if (phase == Phase::StatusLine || phase == Phase::Headers)
        Fail(httpTruncated, QStringLiteral("サーバーの応答が途中で切れました。"), QString::fromLatin1(rcvdHeader + Pending().toByteArray()));
    else
        Fail(httpTruncated, QStringLiteral("受信データが途中で切れました。"),
             QStringLiteral("%1 / %2 bytes").arg(rcvdCount).arg(contentLength));
}

void THttpCli::OnSocketError()
{
    const auto error = socket->error();
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;   // a closed connection is judged by OnDisconnected, which may be a normal end
    const QString detail = socket->errorString();
    if (error == QAbstractSocket::HostNotFoundError)
        Fail(httpConnectFailed, QStringLiteral("サーバーが見つかりませんでした。"), detail);
    else if (phase == Phase::Connecting)
        Fail(httpConnectFailed, QStringLiteral("サーバーに接続できませんでした。"), detail);
    else
        Fail(httpTruncated, QStringLiteral("通信中に接続が切れました。"), detail);
}

void THttpCli::SendRequest()
{
    idleTimer.start(Timeout);
    sentHeader = BuildRequest();
    socket->write(sentHeader);
    if (method == "POST")
        socket->write(PostData);
    socket->flush();   // the request leaves now, not after what the window does in its next turn
    phase = Phase::StatusLine;
}

QByteArray THttpCli::BuildRequest() const
{
    QByteArray target;
    if (UsesProxy() && !IsHttps()) {
        target = url.toEncoded(QUrl::RemoveFragment | QUrl::RemoveUserInfo);
    } else {
        target = url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
        if (!target.startsWith('/'))
            target.prepend('/');
    }
    QByteArray text = method + ' ' + target + " HTTP/1.0\r\n";
    auto add = [&text](const char *name, const QString &value) {
        if (!value.isEmpty())
            text += QByteArray(name) + ": " + HeaderText(value) + "\r\n";
    };
    const int defaultPort = IsHttps() ? 443 : 80;
    const QString host = url.host(QUrl::FullyEncoded);
    add("Host", url.port(defaultPort) == defaultPort ? host : host + QLatin1Char(':') + QString::number(url.port()));
    add("Accept", QStringLiteral("*/*"));
    add("User-Agent", UserAgent);
    add("Referer", Referer);
    add("Cookie", Cookie);
    add("If-Modified-Since", IfModifiedSince);
    add("If-None-Match", IfNoneMatch);
    if (RangeFrom >= 0)
        add("Range", QStringLiteral("bytes=%1-").arg(RangeFrom));
    add("Accept-Encoding", AcceptEncoding);
    if (NoCache)
        add("Pragma", QStringLiteral("no-cache"));
    if (!Username.isEmpty())
        add("Authorization", BasicCredentials(Username, Password));
    if (UsesProxy() && !IsHttps() && !ProxyUsername.isEmpty())
        add("Proxy-Authorization", BasicCredentials(ProxyUsername, ProxyPassword));
    if (method == "POST") {
        add("Content-Type", ContentType);
        add("Content-Length", QString::number(PostData.size()));
    }
    return text + "\r\n";
}

QByteArray THttpCli::BuildTunnelRequest() const
{
    const QByteArray authority = url.host(QUrl::FullyEncoded).toLatin1() + ':' + QByteArray::number(url.port(443));
    QByteArray text = "CONNECT " + authority + " HTTP/1.0\r\nHost: " + authority + "\r\n";
    text += "User-Agent: " + HeaderText(UserAgent) + "\r\n";
    if (!ProxyUsername.isEmpty())
        text += "Proxy-Authorization: " + HeaderText(BasicCredentials(ProxyUsername, ProxyPassword)) + "\r\n";
    return text + "\r\n";
}

// ---- reading the reply ----

// Moves what the socket has into the input. The bytes already read go first (one move of the
// little left over); with nothing left over, the socket's read block is taken as it is (reading
// exactly what is available hands over a block that holds it all without copying it).
void THttpCli::TakeInput()
{
    if (inputPos > 0) {
        input.remove(0, inputPos);
        inputPos = 0;
    }
    if (input.isEmpty())
        input = socket->read(socket->bytesAvailable());
    else
        input += socket->readAll();
}

// The first n pending bytes, taken from the input (without a copy when they are all of it).
QByteArray THttpCli::TakeBytes(qsizetype n)
{
    QByteArray bytes = inputPos == 0 && n == input.size() ? std::exchange(input, QByteArray())
                                                           : Pending().first(n).toByteArray();
    Consume(n);
    return bytes;
}

void THttpCli::Consume(qsizetype n)
{
    inputPos += n;
    if (inputPos >= input.size()) {
        input.clear();
        inputPos = 0;
    }
}

// Runs the reply parser over the input until it needs more bytes or the request has ended.
void THttpCli::Process()
{
    const quint64 current = serial;
    QPointer<THttpCli> self(this);
    for (;;) {
        bool progressed = false;
        switch (phase) {
        case Phase::StatusLine: progressed = ReadStatusLine(); break;
        case Phase::Headers: progressed = ReadHeaders(); break;
        case Phase::Body: progressed = ReadBody(); break;
        case Phase::ChunkSize: progressed = ReadChunkSize(); break;
        case Phase::ChunkData: progressed = ReadChunkData(); break;
        case Phase::ChunkEnd: progressed = ReadChunkEnd(); break;
        case Phase::ChunkTrailer: progressed = ReadChunkTrailer(); break;
        case Phase::Idle:
        case Phase::Connecting: return;
        }
        if (!self || !Running(current) || !progressed)
            return;
    }
}

// Takes one line (without its CR LF or LF) from the input; false while it is incomplete.
bool THttpCli::TakeLine(QByteArray &line)
{
    const QByteArrayView pending = Pending();
    const qsizetype end = pending.indexOf('\n');
    if (end < 0 || end > MaxLineBytes) {
        if (end > MaxLineBytes || pending.size() > MaxLineBytes)
            Fail(httpBadReply, QStringLiteral("サーバーの応答が不正です。(行が長すぎます)"));
        return false;
    }
    line = pending.first(end).toByteArray();
    if (line.endsWith('\r'))
        line.chop(1);
    Consume(end + 1);
    return true;
}

bool THttpCli::ReadStatusLine()
{
    QByteArray line;
    if (!TakeLine(line))
        return false;
    if (line.isEmpty())
        return true;   // a stray blank line before the status line
    static const QRegularExpression status(QStringLiteral("^HTTP/\\d+\\.\\d+[ \\t]+(\\d{3})(?:[ \\t]+(.*))?$"));
    const auto match = status.match(QString::fromLatin1(line));
    if (!match.hasMatch()) {
        Fail(httpBadReply, QStringLiteral("サーバーの応答が不正です。(ステータス行)"), QString::fromLatin1(line));
        return false;
    }
    statusCode = match.captured(1).toInt();
    reasonPhrase = match.captured(2).trimmed();
    rcvdHeader = line + "\r\n";
    headerBytes = int(line.size());
    phase = Phase::Headers;
    return true;
}

bool THttpCli::ReadHeaders()
{
    QByteArray line;
    if (!TakeLine(line))
        return false;
    headerBytes += int(line.size()) + 2;
    if (headerBytes > MaxHeaderBytes) {
        Fail(httpBadReply, QStringLiteral("サーバーの応答が不正です。(ヘッダが長すぎます)"));
        return false;
    }
    if (line.isEmpty()) {
        HeaderDone();
        return true;
    }
    rcvdHeader += line + "\r\n";
    if ((line.startsWith(' ') || line.startsWith('\t')) && !headers.isEmpty()) {
        headers.last().second += QLatin1Char(' ') + QString::fromLatin1(line.trimmed());
        return true;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0) {
        Fail(httpBadReply, QStringLiteral("サーバーの応答が不正です。(ヘッダ)"), QString::fromLatin1(line));
        return false;
    }
    headers.append({line.left(colon).trimmed(), QString::fromLatin1(line.mid(colon + 1).trimmed())});
    return true;
}

void THttpCli::HeaderDone()
{
    if (tunnelling) {
        TunnelReplyDone();
        return;
    }
    if (statusCode >= 100 && statusCode < 200) {   // an interim reply: the real one follows
        rcvdHeader.clear();
        headers.clear();
        statusCode = 0;
        phase = Phase::StatusLine;
        return;
    }
    const quint64 current = serial;
    QPointer<THttpCli> self(this);
    for (const auto &[name, value] : headers) {
        if (name.compare("Set-Cookie", Qt::CaseInsensitive) != 0)
            continue;
        bool accept = true;
        emit OnCookie(this, value, accept);
        if (!self || !Running(current))
            return;
        if (accept)
            cookies.append(value);
    }
    emit OnHeaderEnd(this);
    if (!self || !Running(current) || !ChooseFraming())
        return;
    if (framing == Framing::None)
        Succeed();
    else
        phase = framing == Framing::Chunked ? Phase::ChunkSize : Phase::Body;
}

void THttpCli::TunnelReplyDone()
{
    if (statusCode != 200) {
        Fail(httpConnectFailed, QStringLiteral("プロキシに接続できませんでした。"), QString::fromLatin1(rcvdHeader));
        return;
    }
    const QByteArray tunnelRequest = sentHeader;
    ResetReply();
    sentHeader = tunnelRequest;
    phase = Phase::Connecting;
    TlsSocket()->setPeerVerifyName(url.host());
    TlsSocket()->startClientEncryption();
}

// Decides how the body ends; false (after failing the request) when the lengths contradict.
bool THttpCli::ChooseFraming()
{
    if (method == "HEAD" || statusCode == 204 || statusCode == 304) {
        framing = Framing::None;
        return true;
    }
    if (HeaderValue("Transfer-Encoding").contains(QLatin1String("chunked"), Qt::CaseInsensitive)) {
        framing = Framing::Chunked;
        return true;
    }
    for (const auto &[name, value] : headers) {
        if (name.compare("Content-Length", Qt::CaseInsensitive) != 0)
            continue;
        const qint64 length = ParseLength(value.toLatin1());
        if (length < 0 || (contentLength >= 0 && length != contentLength)) {
            Fail(httpBadReply, QStringLiteral("サーバーの応答が不正です。(Content-Length)"), value);
            return false;
        }
        contentLength = length;
    }
    if (contentLength > MaxBodyBytes) {
        FailTooLarge();
        return false;
    }
    framing = contentLength < 0 ? Framing::UntilClose : contentLength == 0 ? Framing::None : Framing::Length;
    remaining = contentLength;
    return true;
}

bool THttpCli::ReadBody()
{
    if (Pending().isEmpty())
        return false;
    if (framing == Framing::UntilClose) {
        Deliver(TakeBytes(Pending().size()));
        return false;
    }
    // Bytes past the announced length are not part of the body and are dropped with the connection.
    const QByteArray piece = TakeBytes(qsizetype(qMin<qint64>(remaining, Pending().size())));
    remaining -= piece.size();
    const quint64 current = serial;
    QPointer<THttpCli> self(this);
    Deliver(piece);
    if (!self || !Running(current))
        return false;
    if (remaining == 0)
        Succeed();
    return true;
}

bool THttpCli::ReadChunkSize()
{
    QByteArray line;
    if (!TakeLine(line))
        return false;
    const QByteArray digits = line.left(line.indexOf(';') < 0 ? line.size() : line.indexOf(';')).trimmed();
    bool ok = false;
    const qint64 size = digits.size() <= 12 ? digits.toLongLong(&ok, 16) : -1;
    if (!ok || size < 0) {
        Fail(httpBadReply, QStringLiteral("サーバーの応答が不正です。(チャンク)"), QString::fromLatin1(line));
        return false;
    }
    remaining = size;
    phase = size == 0 ? Phase::ChunkTrailer : Phase::ChunkData;
    return true;
}

bool THttpCli::ReadChunkData()
{
    if (Pending().isEmpty())
        return false;
    const QByteArray piece = TakeBytes(qsizetype(qMin<qint64>(remaining, Pending().size())));
    remaining -= piece.size();
    if (remaining == 0)
        phase = Phase::ChunkEnd;
    Deliver(piece);
    return true;
}

bool THttpCli::ReadChunkEnd()
{
    QByteArray line;
    if (!TakeLine(line))
        return false;
    if (!line.isEmpty()) {
        Fail(httpBadReply, QStringLiteral("サーバーの応答が不正です。(チャンク)"), QString::fromLatin1(line));
        return false;
    }
    phase = Phase::ChunkSize;
    return true;
}

bool THttpCli::ReadChunkTrailer()
{
    QByteArray line;
    if (!TakeLine(line))
        return false;
    if (line.isEmpty())
        Succeed();
    return true;
}

void THttpCli::FailTooLarge()
{
    Fail(httpTooLarge, QStringLiteral("受信データが大きすぎます。(上限 %1 バイト)").arg(MaxBodyBytes),
         QStringLiteral("%1 / %2 bytes").arg(qMax(rcvdCount, contentLength)).arg(MaxBodyBytes));
}

void THttpCli::Deliver(const QByteArray &data)
{
    rcvdCount += data.size();
    if (rcvdCount > MaxBodyBytes) {
        FailTooLarge();
        return;
    }
    if (RcvdStream && RcvdStream->write(data) != data.size()) {
        // A body the stream could not take whole is never reported as received.
        Fail(httpFileError, QStringLiteral("受信データを書き込めませんでした。"), RcvdStream->errorString());
        return;
    }
    emit OnDocData(this, data);
}

// ---- ending ----

void THttpCli::Succeed()
{
    Finish(false);
}

void THttpCli::Finish(bool asFailed)
{
    idleTimer.stop();
    deadlineTimer.stop();
    socket.reset();
    phase = Phase::Idle;
    failed = asFailed;
    busy = false;

    const quint64 current = serial;
    QPointer<THttpCli> self(this);
    if (asFailed) {
        emit OnError(this, errorCode, errorMessage);
        if (!self || serial != current)
            return;
    }
    emit OnRequestDone(this, asFailed);
}
