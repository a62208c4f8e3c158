#include "BoardServer.h"

#include "core/JConvert.h"

#include <QDateTime>
#include <QLocale>
#include <QTcpSocket>
#include <QUrl>

namespace {

QByteArray StatusText(int status)
{
    switch (status) {
    case 200: return "OK";
    case 206: return "Partial Content";
    case 302: return "Found";
    case 304: return "Not Modified";
    case 404: return "Not Found";
    case 416: return "Requested Range Not Satisfiable";
    default: return "Status";
    }
}

quint32 Crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void AppendLe32(QByteArray &out, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out += char((value >> (8 * i)) & 0xFF);
}

// The fields of a form body; values percent-decoded to bytes.
QMap<QString, QByteArray> FormFields(const QByteArray &body)
{
    QMap<QString, QByteArray> fields;
    for (const QByteArray &pair : body.split('&')) {
        const qsizetype eq = pair.indexOf('=');
        if (eq <= 0)
            continue;
        QByteArray value = pair.mid(eq + 1);
        value.replace('+', ' ');
        fields.insert(QString::fromLatin1(QByteArray::fromPercentEncoding(pair.left(eq))), QByteArray::fromPercentEncoding(value));
    }
    return fields;
}

QString Escaped(QString text)
{
    text.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;")).replace(u'>', QStringLiteral("&gt;"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" <br> ")).replace(u'\n', QStringLiteral(" <br> "));
    return text;
}

QString ResultPage(const QString &title, const QString &marker, const QString &extra = QString())
{
    return QStringLiteral("<html><head><title>%1</title></head><body>%2<!-- %3 --></body></html>\n")
        .arg(title, extra, marker);
}

}  // namespace

BoardServer::BoardServer()
{
    connect(&server, &QTcpServer::newConnection, this, &BoardServer::Accept);
    server.listen(QHostAddress::LocalHost, 0);
}

BoardServer::~BoardServer() = default;

QString BoardServer::Host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(Port());
}

QString BoardServer::Url(const QString &path) const
{
    return QStringLiteral("http://") + Host() + path;
}

QString BoardServer::SessionId()
{
    return QStringLiteral("Monazilla/2.00:0123456789ABCDEF");
}

QByteArray BoardServer::Request::Header(const QByteArray &name) const
{
    for (const auto &header : Headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    }
    return QByteArray();
}

QByteArray BoardServer::Gzip(const QByteArray &bytes)
{
    QByteArray out("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\xff", 10);
    qsizetype pos = 0;
    do {
        const qsizetype size = qMin<qsizetype>(bytes.size() - pos, 65535);
        const bool last = pos + size >= bytes.size();
        out += char(last ? 1 : 0);
        out += char(size & 0xFF);
        out += char(size >> 8);
        out += char(~size & 0xFF);
        out += char((~size >> 8) & 0xFF);
        out += bytes.mid(pos, size);
        pos += size;
    } while (pos < bytes.size());
    AppendLe32(out, Crc32(bytes));
    AppendLe32(out, quint32(bytes.size()));
    return out;
}

// ---- boards and threads ----

void BoardServer::AddBoard(const QString &bbs, Flavor flavor, const QString &dir)
{
    Board &board = boards[bbs];
    board.Kind = flavor;
    board.Dir = dir;
}

QString BoardServer::BoardUrl(const QString &bbs) const
{
    const Board board = boards.value(bbs);
    return Url(board.Dir.isEmpty() ? QStringLiteral("/%1/").arg(bbs) : QStringLiteral("/%1/%2/").arg(board.Dir, bbs));
}

void BoardServer::AddThread(const QString &bbs, const QString &key, const QString &title)
{
    Thread &thread = boards[bbs].Threads[key];
    thread.Title = title;
    Touch(thread);
}

void BoardServer::AppendRes(const QString &bbs, const QString &key, const QString &name, const QString &mail,
                            const QString &body)
{
    Thread *thread = FindThread(bbs, key);
    if (!thread)
        return;
    const int n = int(thread->Res.size()) + 1;
    thread->Res.append({name, mail, QStringLiteral("2024/01/01 00:%1:00").arg(n % 60, 2, 10, QLatin1Char('0')),
                        QStringLiteral("id%1").arg(n), body});
    thread->OverrideDat.clear();
    const bool built = thread->DatVersion == thread->Version;
    Touch(*thread);
    if (built) {
        thread->Dat += jconvert::UnicodeToSjis(DatLine(*thread, n - 1));
        thread->DatVersion = thread->Version;
    }
}

int BoardServer::ResCount(const QString &bbs, const QString &key) const
{
    const Thread *thread = FindThread(bbs, key);
    return thread ? int(thread->Res.size()) : 0;
}

QStringList BoardServer::Res(const QString &bbs, const QString &key, int number) const
{
    const Thread *thread = FindThread(bbs, key);
    if (!thread || number < 1 || number > thread->Res.size())
        return {};
    const ResRecord &res = thread->Res[number - 1];
    return {res.Name, res.Mail, res.Date, res.Body};
}

QStringList BoardServer::ThreadKeys(const QString &bbs) const
{
    QList<QPair<int, QString>> order;
    const Board board = boards.value(bbs);
    for (auto it = board.Threads.constBegin(); it != board.Threads.constEnd(); ++it) {
        if (!it->Fallen)
            order.append({-it->Order, it.key()});
    }
    std::sort(order.begin(), order.end());
    QStringList keys;
    for (const auto &entry : order)
        keys << entry.second;
    return keys;
}

QString BoardServer::Title(const QString &bbs, const QString &key) const
{
    const Thread *thread = FindThread(bbs, key);
    return thread ? thread->Title : QString();
}

QByteArray BoardServer::DatBytes(const QString &bbs, const QString &key) const
{
    const Thread *thread = FindThread(bbs, key);
    return thread ? DatOf(*thread) : QByteArray();
}

void BoardServer::SetDatBytes(const QString &bbs, const QString &key, const QByteArray &bytes)
{
    if (Thread *thread = FindThread(bbs, key)) {
        thread->OverrideDat = bytes;
        Touch(*thread);
    }
}

void BoardServer::MoveToKako(const QString &bbs, const QString &key, bool gzip)
{
    if (Thread *thread = FindThread(bbs, key)) {
        thread->Fallen = true;
        thread->KakoGzip = gzip;
    }
}

BoardServer::Thread *BoardServer::FindThread(const QString &bbs, const QString &key)
{
    auto board = boards.find(bbs);
    if (board == boards.end())
        return nullptr;
    auto thread = board->Threads.find(key);
    return thread == board->Threads.end() ? nullptr : &*thread;
}

const BoardServer::Thread *BoardServer::FindThread(const QString &bbs, const QString &key) const
{
    const auto board = boards.find(bbs);
    if (board == boards.end())
        return nullptr;
    const auto thread = board->Threads.find(key);
    return thread == board->Threads.end() ? nullptr : &*thread;
}

void BoardServer::Touch(Thread &thread)
{
    ++thread.Version;
    thread.Order = ++changeCounter;
}

QByteArray BoardServer::Encode(const QString &bbs, const QString &text) const
{
    return boards.value(bbs).Kind == Jbbs ? jconvert::UnicodeToEuc(text) : jconvert::UnicodeToSjis(text);
}

QString BoardServer::Decode(const QString &bbs, const QByteArray &bytes) const
{
    return boards.value(bbs).Kind == Jbbs ? jconvert::EucToUnicode(bytes) : jconvert::SjisToUnicode(bytes);
}

QByteArray BoardServer::DatOf(const Thread &thread) const
{
    if (!thread.OverrideDat.isEmpty())
        return thread.OverrideDat;
    if (thread.DatVersion == thread.Version)
        return thread.Dat;
    QString text;
    for (qsizetype i = 0; i < thread.Res.size(); ++i)
        text += DatLine(thread, i);
    thread.Dat = jconvert::UnicodeToSjis(text);
    thread.DatVersion = thread.Version;
    return thread.Dat;
}

QString BoardServer::DatLine(const Thread &thread, qsizetype index)
{
    const ResRecord &res = thread.Res[index];
    return QStringLiteral("%1<>%2<>%3 ID:%4<>%5<>%6\n")
        .arg(res.Name, res.Mail, res.Date, res.Id, res.Body, index == 0 ? thread.Title : QString());
}

QString BoardServer::LastModified(const Thread &thread)
{
    const QDateTime when = QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC).addSecs(thread.Version);
    return QLocale::c().toString(when, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
}

QString BoardServer::ETagOf(const QString &key, const Thread &thread)
{
    return QStringLiteral("\"%1-%2\"").arg(key).arg(thread.Version);
}

// ---- what was served ----

QList<BoardServer::Request> BoardServer::RequestsTo(const QString &pathPart) const
{
    QList<Request> found;
    for (const Request &request : requests) {
        if (QString::fromLatin1(request.Path).contains(pathPart))
            found << request;
    }
    return found;
}

qint64 BoardServer::BytesServed(const QString &pathPart) const
{
    qint64 total = 0;
    for (const Request &request : RequestsTo(pathPart))
        total += request.BodyBytes;
    return total;
}

// ---- the connection ----

void BoardServer::Accept()
{
    while (QTcpSocket *socket = server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void BoardServer::Read(QTcpSocket *socket)
{
    QByteArray received = socket->property("received").toByteArray() + socket->readAll();
    socket->setProperty("received", received);
    const qsizetype headerEnd = received.indexOf("\r\n\r\n");
    if (headerEnd < 0 || socket->property("answered").toBool())
        return;
    Request request;
    const QList<QByteArray> lines = received.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.Method = requestLine.value(0);
    request.Path = requestLine.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.Headers.append({lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    const qsizetype length = request.Header("Content-Length").toLongLong();
    if (received.size() < headerEnd + 4 + length)
        return;
    socket->setProperty("answered", true);
    request.Body = received.mid(headerEnd + 4, length);
    if (Hold) {
        requests << request;
        held.append({socket, request});
        return;
    }
    Respond(socket, request);
    requests << request;
}

void BoardServer::AnswerHeld()
{
    const auto waiting = std::exchange(held, {});
    for (auto [socket, request] : waiting) {
        if (socket)
            Respond(socket, request);
    }
}

void BoardServer::Respond(QTcpSocket *socket, Request &request)
{
    const Reply reply = Answer(request);
    QByteArray text = "HTTP/1.1 " + QByteArray::number(reply.Status) + ' ' + StatusText(reply.Status) + "\r\n";
    for (const QByteArray &header : reply.Headers)
        text += header + "\r\n";
    text += "Content-Length: " + QByteArray::number(reply.Body.size()) + "\r\nConnection: close\r\n\r\n" + reply.Body;
    request.Status = reply.Status;
    request.BodyBytes = reply.Body.size();
    socket->write(text);
    socket->disconnectFromHost();
}

BoardServer::Reply BoardServer::Answer(Request &request)
{
    QString path = QString::fromLatin1(request.Path);
    const qsizetype q = path.indexOf(u'?');
    const QString query = q < 0 ? QString() : path.mid(q + 1);
    if (q >= 0)
        path.truncate(q);
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    if (request.Method == "POST")
        return Post(request, parts);
    return Get(request, parts, query);
}

BoardServer::Reply BoardServer::Get(const Request &request, const QStringList &parts, const QString &query)
{
    const QString first = parts.value(0);
    if (first == QLatin1String("test") && parts.value(1) == QLatin1String("read.cgi"))
        return ReadCgi(parts.value(2), parts.value(3));
    if (first == QLatin1String("test") && parts.value(1) == QLatin1String("offlaw.cgi"))
        return Offlaw(parts.value(2), parts.value(3), query);
    if (first == QLatin1String("bbs") && parts.value(1) == QLatin1String("rawmode.cgi"))
        return RawMode(parts.value(3), parts.value(4), parts.value(5));
    if (boards.contains(first) && parts.value(1) == QLatin1String("subject.txt"))
        return Subject(request, first);
    if (boards.contains(parts.value(1)) && parts.value(2) == QLatin1String("subject.txt"))
        return Subject(request, parts.value(1));
    if (boards.contains(first) && parts.value(1) == QLatin1String("dat"))
        return Dat(request, first, parts.value(2).section(u'.', 0, 0));
    if (first == QLatin1String("be") && parts.value(1) != QLatin1String("login"))
        return BeProfile(request);
    if (boards.contains(first) && parts.value(1) == QLatin1String("kako"))
        return Kako(first, parts.last());
    return Reply{404, "not found\n", {}};
}

BoardServer::Reply BoardServer::Post(const Request &request, const QStringList &parts)
{
    if (parts.value(0) == QLatin1String("futen.cgi"))
        return DolibLogin(request);
    if (parts.value(0) == QLatin1String("be") && parts.value(1) == QLatin1String("login"))
        return BeLogin(request);
    if (parts.value(0) == QLatin1String("be"))
        return BeProfile(request);
    if (parts.value(0) == QLatin1String("test") && parts.value(1) == QLatin1String("bbs.cgi")) {
        const QMap<QString, QByteArray> fields = FormFields(request.Body);
        return WriteRes(request, QString::fromLatin1(fields.value(QStringLiteral("bbs"))),
                        QString::fromLatin1(fields.value(QStringLiteral("key"))), true);
    }
    if (parts.value(0) == QLatin1String("bbs") && parts.value(1) == QLatin1String("write.cgi"))
        return WriteRes(request, parts.value(3), parts.value(4), false);
    return Reply{404, "not found\n", {}};
}

// ---- answers ----

BoardServer::Reply BoardServer::Subject(const Request &request, const QString &bbs) const
{
    // The list changes with any of its threads: its date is the one of the latest change.
    Thread newest;
    for (const Thread &thread : boards.value(bbs).Threads)
        newest.Version = qMax(newest.Version, thread.Order);
    const QByteArray lastModified = LastModified(newest).toLatin1();
    if (request.Header("If-Modified-Since") == lastModified)
        return Reply{304, QByteArray(), {"Last-Modified: " + lastModified}};
    const bool jbbs = boards.value(bbs).Kind == Jbbs;
    QString text;
    for (const QString &key : ThreadKeys(bbs)) {
        const Thread *thread = FindThread(bbs, key);
        text += jbbs ? QStringLiteral("%1.cgi,%2(%3)\n").arg(key, thread->Title).arg(thread->Res.size())
                     : QStringLiteral("%1.dat<>%2 (%3)\n").arg(key, thread->Title).arg(thread->Res.size());
    }
    return Reply{200, Encode(bbs, text), {"Last-Modified: " + lastModified}};
}

BoardServer::Reply BoardServer::Dat(const Request &request, const QString &bbs, const QString &key) const
{
    const Thread *thread = FindThread(bbs, key);
    if (!thread)
        return Reply{404, "not found\n", {}};
    if (thread->Fallen)
        return Reply{FallenStatus, "fallen\n", {"Location: " + Url(QStringLiteral("/%1/kako/%2.html").arg(bbs, key)).toLatin1()}};
    const QByteArray lastModified = LastModified(*thread).toLatin1();
    const QByteArray etag = ETagOf(key, *thread).toLatin1();
    const QList<QByteArray> validators{"Last-Modified: " + lastModified, "ETag: " + etag};
    if (request.Header("If-Modified-Since") == lastModified || request.Header("If-None-Match") == etag)
        return Reply{304, QByteArray(), validators};
    const QByteArray dat = DatOf(*thread);
    const QByteArray range = request.Header("Range");
    if (range.startsWith("bytes=") && !IgnoreRange) {
        const qint64 from = range.mid(6).split('-').value(0).toLongLong();
        if (from >= dat.size())
            return Reply{416, QByteArray(), {"Content-Range: bytes */" + QByteArray::number(dat.size())}};
        QList<QByteArray> headers = validators;
        headers << "Content-Range: bytes " + QByteArray::number(from) + '-' + QByteArray::number(dat.size() - 1) + '/'
                       + QByteArray::number(dat.size());
        return Reply{206, GzipAlways ? Compressed(dat.mid(from), &headers) : dat.mid(from), headers};
    }
    if ((request.Header("Accept-Encoding").contains("gzip") && range.isEmpty()) || GzipAlways) {
        QList<QByteArray> headers = validators;
        return Reply{200, Compressed(dat, &headers), headers};
    }
    return Reply{200, dat, validators};
}

// The bytes gzip-encoded as a dat reply sends them, broken when BrokenGzip asks for it.
QByteArray BoardServer::Compressed(const QByteArray &bytes, QList<QByteArray> *headers) const
{
    *headers << "Content-Encoding: gzip";
    const QByteArray gzip = Gzip(bytes);
    return BrokenGzip ? gzip.left(gzip.size() - 6) : gzip;
}

BoardServer::Reply BoardServer::Kako(const QString &bbs, const QString &file) const
{
    const QString key = file.section(u'.', 0, 0);
    const Thread *thread = FindThread(bbs, key);
    if (!thread || !thread->Fallen)
        return Reply{404, "not found\n", {}};
    const bool asksGzip = file.endsWith(QLatin1String(".gz"));
    if (asksGzip != thread->KakoGzip)
        return Reply{404, "not found\n", {}};
    return Reply{200, asksGzip ? Gzip(DatOf(*thread)) : DatOf(*thread), {}};
}

BoardServer::Reply BoardServer::ReadCgi(const QString &bbs, const QString &key) const
{
    const Thread *thread = FindThread(bbs, key);
    if (!thread)
        return Reply{404, "not found\n", {}};
    QString page = QStringLiteral("<html><head><title>%1</title></head><body>\n<dl class=\"thread\">\n").arg(thread->Title);
    for (qsizetype i = 0; i < thread->Res.size(); ++i) {
        const ResRecord &res = thread->Res[i];
        const QString name = res.Mail.isEmpty()
                                 ? QStringLiteral("<font color=green><b>%1</b></font>").arg(res.Name)
                                 : QStringLiteral("<a href=\"mailto:%1\"><b>%2</b></a>").arg(res.Mail, res.Name);
        page += QStringLiteral("<dt>%1 ：%2：%3 ID:%4<dd> %5 <br><br>\n").arg(i + 1).arg(name, res.Date, res.Id, res.Body);
    }
    page += QStringLiteral("</dl>\n</body></html>\n");
    return Reply{200, Encode(bbs, page), {}};
}

BoardServer::Reply BoardServer::RawMode(const QString &bbs, const QString &key, const QString &range) const
{
    const Thread *thread = FindThread(bbs, key);
    if (!thread)
        return Reply{404, "not found\n", {}};
    const int from = qMax(1, range.section(u'-', 0, 0).toInt());
    QString text;
    for (qsizetype i = from - 1; i < thread->Res.size(); ++i) {
        const ResRecord &res = thread->Res[i];
        text += QStringLiteral("%1<>%2<>%3<>%4<>%5<>%6<>%7\n")
                    .arg(i + 1)
                    .arg(res.Name, res.Mail, res.Date, res.Body, i == 0 ? thread->Title : QString(), res.Id);
    }
    return Reply{200, Encode(bbs, text), {}};
}

BoardServer::Reply BoardServer::Offlaw(const QString &bbs, const QString &key, const QString &query) const
{
    const Thread *thread = FindThread(bbs, key);
    QString sid;
    for (const QString &pair : query.split(u'&')) {
        if (pair.startsWith(QLatin1String("sid=")))
            sid = QUrl::fromPercentEncoding(pair.mid(4).toLatin1());
    }
    if (!thread || sid != SessionId())
        return Reply{200, "-ERR not found\n", {}};
    const QByteArray dat = DatOf(*thread);
    return Reply{200, "+OK " + QByteArray::number(dat.size()) + "/1024K\n" + dat, {}};
}

BoardServer::Reply BoardServer::DolibLogin(const Request &request) const
{
    const QMap<QString, QByteArray> fields = FormFields(request.Body);
    const bool ok = !DolibId.isEmpty() && fields.value(QStringLiteral("ID")) == DolibId.toLatin1()
                    && fields.value(QStringLiteral("PW")) == DolibPassword.toLatin1();
    return Reply{200, ok ? "SESSION-ID=" + SessionId().toLatin1() + "\n" : QByteArray("SESSION-ID=ERROR:p2\n"), {}};
}

BoardServer::Reply BoardServer::BeLogin(const Request &request) const
{
    const QMap<QString, QByteArray> fields = FormFields(request.Body);
    if (BeMail.isEmpty() || fields.value(QStringLiteral("m")) != BeMail.toLatin1()
        || fields.value(QStringLiteral("p")) != BePassword.toLatin1())
        return Reply{200, "login failed\n", {}};
    return Reply{200, "ok\n", {"Set-Cookie: DMDM=dmdm123; path=/", "Set-Cookie: MDMD=mdmd456; path=/"}};
}

BoardServer::Reply BoardServer::BeProfile(const Request &request)
{
    if (!request.Header("Cookie").contains("DMDM=dmdm123"))
        return Reply{200, jconvert::UnicodeToSjis(QStringLiteral("ログインしてください\n")), {}};
    if (request.Path.startsWith("/be/point"))
        return Reply{200, "ok\n", {}};
    if (request.Method == "POST") {
        const QMap<QString, QByteArray> fields = FormFields(request.Body);
        if (fields.value(QStringLiteral("sid")) != "s1")
            return Reply{200, "error\n", {}};
        BeName = jconvert::SjisToUnicode(fields.value(QStringLiteral("name")));
        BeIntro = jconvert::SjisToUnicode(fields.value(QStringLiteral("intro")));
        return Reply{200, jconvert::UnicodeToSjis(QStringLiteral("変更が完了しました\n")), {}};
    }
    QString intro = BeIntro;
    intro.replace(u'<', QStringLiteral("&lt;")).replace(u'>', QStringLiteral("&gt;"));
    return Reply{200,
                 jconvert::UnicodeToSjis(QStringLiteral("<html><body><form method=POST action=\"/be/profile\">\n"
                                                        "残りモリタポ：<b>120</b><br>\n評価：A<br>\n"
                                                        "<input type=hidden name=\"sid\" value=\"s1\">\n"
                                                        "名前：<input type=text name=\"name\" value=\"%1\">\n"
                                                        "<textarea name=\"intro\">%2</textarea>\n</form></body></html>\n")
                                             .arg(BeName, intro)),
                 {}};
}

// A post to bbs.cgi (twoCh) or write.cgi: a reply to key, or a new thread ("new" or no key).
BoardServer::Reply BoardServer::WriteRes(const Request &request, const QString &bbs, QString key, bool twoCh)
{
    auto page = [this, &bbs](const QString &html) { return Encode(bbs, html); };
    const QMap<QString, QByteArray> raw = FormFields(request.Body);
    auto field = [&](const char *twoChName, const char *jbbsName) {
        return Decode(bbs, raw.value(QString::fromLatin1(twoCh ? twoChName : jbbsName)));
    };
    if (!boards.contains(bbs) || ErrorOnPost)
        return Reply{200, page(ResultPage(QStringLiteral("ＥＲＲＯＲ！"), QStringLiteral("2ch_X:error"),
                                          QStringLiteral("<font size=+1 color=#FF0000><b>ＥＲＲＯＲ：書き込めません。</b></font>"
                                                         "<br>\n本文を見直してください。"))), {}};
    const bool confirmed = request.Header("Cookie").contains("PON=");
    if (twoCh && Confirmation && !confirmed)
        return Reply{200,
                     page(ResultPage(QStringLiteral("■ 書き込み確認 ■"), QStringLiteral("2ch_X:cookie"),
                                     QStringLiteral("<form method=POST action=\"../test/bbs.cgi\">"
                                                    "<input type=hidden name=\"yuki\" value=\"akari\">"
                                                    "<input type=submit value=\"上記全てを承諾して書き込む\"></form>"))),
                     {"Set-Cookie: PON=pon789; path=/"}};
    if (key.isEmpty() || key == QLatin1String("new")) {
        key = QString::number(nextKey++);
        AddThread(bbs, key, field("subject", "SUBJECT"));
    }
    if (!FindThread(bbs, key))
        return Reply{200, page(ResultPage(QStringLiteral("ＥＲＲＯＲ！"), QStringLiteral("2ch_X:error"))), {}};
    AppendRes(bbs, key, field("FROM", "NAME"), field("mail", "MAIL"), Escaped(field("MESSAGE", "MESSAGE")));
    return Reply{200, page(ResultPage(QStringLiteral("書きこみました。"), QStringLiteral("2ch_X:true"))), {}};
}
