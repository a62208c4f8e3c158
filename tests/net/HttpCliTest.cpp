#include "core/Exceptions.h"
#include "core/TavuConfig.h"
#include "net/HttpCli.h"

#include "NetTestUtil.h"
#include "support/HostileHttpServer.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempDataRoot.h"

#include <QBuffer>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>
#include <QThread>
#include <QTimer>

using Server = ScriptedHttpServer;

namespace {

// The events of one asynchronous request.
struct CliEvents {
    QStringList log;
    int errorCode = -1;
    bool done = false;

    explicit CliEvents(THttpCli &cli)
    {
        QObject::connect(&cli, &THttpCli::OnError, [this](THttpCli *, int code, const QString &) {
            errorCode = code;
            log.append(QStringLiteral("error"));
        });
        QObject::connect(&cli, &THttpCli::OnRequestDone, [this](THttpCli *, bool failed) {
            done = true;
            log.append(failed ? QStringLiteral("done:failed") : QStringLiteral("done"));
        });
    }
};

}  // namespace

using HttpCli = NetTest;

TEST_F(HttpCli, SendsAnHttp10RequestWithItsHeaders)
{
    Server server;
    server.Reply(Server::Make(200, "body bytes"));
    THttpCli cli;
    QBuffer stream;
    stream.open(QIODevice::WriteOnly);
    cli.URL = server.Url("/board/subject.txt?x=1#frag");
    cli.RcvdStream = &stream;
    cli.Cookie = QStringLiteral("PON=abc\r\nX-Injected: 1");
    cli.Referer = QStringLiteral("http://127.0.0.1/board/");
    cli.IfModifiedSince = QStringLiteral("Sat, 01 Jan 2005 00:00:00 GMT");
    cli.RangeFrom = 99;
    cli.AcceptEncoding = QStringLiteral("gzip");
    cli.NoCache = true;
    cli.Username = QStringLiteral("user");
    cli.Password = QStringLiteral("pass");
    cli.Get();

    const QByteArray request = server.LastRequest();
    EXPECT_TRUE(request.startsWith("GET /board/subject.txt?x=1 HTTP/1.0\r\n")) << request.constData();
    EXPECT_EQ(Server::HeaderOf(request, "Host"), "127.0.0.1:" + QByteArray::number(server.Port()));
    EXPECT_EQ(Server::HeaderOf(request, "User-Agent"), "Varnelo/2.0");
    EXPECT_EQ(Server::HeaderOf(request, "Cookie"), "PON=abcX-Injected: 1");   // no header smuggled in
    EXPECT_EQ(Server::HeaderOf(request, "If-Modified-Since"), "Sat, 01 Jan 2005 00:00:00 GMT");
    EXPECT_EQ(Server::HeaderOf(request, "Range"), "bytes=99-");
    EXPECT_EQ(Server::HeaderOf(request, "Accept-Encoding"), "gzip");
    EXPECT_EQ(Server::HeaderOf(request, "Pragma"), "no-cache");
    EXPECT_EQ(Server::HeaderOf(request, "Authorization"), "Basic " + QByteArray("user:pass").toBase64());
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(cli.ReasonPhrase(), QStringLiteral("Scripted"));
    EXPECT_EQ(stream.data(), "body bytes");
}

TEST_F(HttpCli, SpeaksToAProxyWithAbsoluteUrlsAndPostsForms)
{
    Server proxy;
    proxy.Reply(Server::Make(200, "via proxy"));
    proxy.Reply(Server::Make(200, "posted"));
    THttpCli cli;
    cli.Proxy = QStringLiteral("127.0.0.1");
    cli.ProxyPort = proxy.Port();
    cli.ProxyUsername = QStringLiteral("pu");
    cli.ProxyPassword = QStringLiteral("pp");
    cli.URL = QStringLiteral("http://board.example:8080/test/read.cgi?bbs=a");
    cli.Get();
    QByteArray request = proxy.LastRequest();
    EXPECT_TRUE(request.startsWith("GET http://board.example:8080/test/read.cgi?bbs=a HTTP/1.0\r\n"));
    EXPECT_EQ(Server::HeaderOf(request, "Host"), "board.example:8080");
    EXPECT_EQ(Server::HeaderOf(request, "Proxy-Authorization"), "Basic " + QByteArray("pu:pp").toBase64());

    cli.PostData = "bbs=a&key=1&MESSAGE=%82%A0";
    cli.Post();
    request = proxy.LastRequest();
    EXPECT_TRUE(request.startsWith("POST http://board.example:8080/test/read.cgi?bbs=a HTTP/1.0\r\n"));
    EXPECT_EQ(Server::HeaderOf(request, "Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(Server::HeaderOf(request, "Content-Length"), "26");
    EXPECT_TRUE(request.endsWith("\r\n\r\nbbs=a&key=1&MESSAGE=%82%A0"));
}

TEST_F(HttpCli, HttpsThroughAProxyAsksForATunnel)
{
    Server proxy;
    proxy.Reply(Server::Make(407, "", {"Proxy-Authenticate: Basic realm=\"p\""}));
    THttpCli cli;
    cli.Proxy = QStringLiteral("127.0.0.1");
    cli.ProxyPort = proxy.Port();
    cli.ProxyUsername = QStringLiteral("pu");
    cli.ProxyPassword = QStringLiteral("pp");
    cli.URL = QStringLiteral("https://login.example/auth?x=1");
    EXPECT_THROW(cli.Get(), EHttpException);
    const QByteArray request = proxy.LastRequest();
    EXPECT_TRUE(request.startsWith("CONNECT login.example:443 HTTP/1.0\r\n")) << request.constData();
    EXPECT_EQ(Server::HeaderOf(request, "Proxy-Authorization"), "Basic " + QByteArray("pu:pp").toBase64());
    EXPECT_FALSE(request.contains("/auth"));   // the path only goes inside the tunnel
    EXPECT_EQ(cli.ErrorCode(), httpConnectFailed);
}

TEST_F(HttpCli, ReadsChunkedCloseDelimitedAndCountedBodies)
{
    Server server;
    Server::Script chunked;
    chunked.pieces = {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5;ext=1\r\nhel"},
                      {"lo\r\n6\r\n world\r\n", 30},
                      {"0\r\nX-Trailer: 1\r\n\r\n", 30}};
    server.Reply(chunked);
    Server::Script untilClose;
    untilClose.pieces = {{"HTTP/1.0 200 OK\nServer: old\n\nfirst "}, {"second", 30}};
    server.Reply(untilClose);
    server.Reply("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello and bytes past the length");

    for (const QByteArray &expected : {QByteArray("hello world"), QByteArray("first second"), QByteArray("hello")}) {
        THttpCli cli;
        QByteArray body;
        QObject::connect(&cli, &THttpCli::OnDocData, [&body](THttpCli *, const QByteArray &data) { body += data; });
        cli.URL = server.Url("/x");
        cli.Get();
        EXPECT_EQ(body, expected);
        EXPECT_EQ(cli.RcvdCount(), expected.size());
    }
}

TEST_F(HttpCli, MalformedOrCutRepliesFailOnce)
{
    const struct {
        QByteArray reply;
        int code;
    } cases[] = {
        {"HTTP/1.1 OK\r\n\r\nbody", httpBadReply},
        {"ICY 200 OK\r\n\r\nbody", httpBadReply},
        {"HTTP/1.1 200 OK\r\nno colon here\r\n\r\n", httpBadReply},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\nhello", httpBadReply},
        {"HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nhello", httpBadReply},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nhello", httpBadReply},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhelloXX0\r\n\r\n", httpBadReply},
        {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly this", httpTruncated},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n", httpTruncated},
        {"HTTP/1.1 200 OK\r\nContent-Le", httpTruncated},
        {"", httpBadReply},
    };
    for (const auto &c : cases) {
        Server server;
        server.Reply(c.reply);
        THttpCli cli;
        CliEvents events(cli);
        cli.URL = server.Url("/x");
        cli.GetASync();
        ASSERT_TRUE(WaitFor([&] { return events.done; })) << c.reply.constData();
        EXPECT_EQ(events.errorCode, c.code) << c.reply.constData();
        EXPECT_EQ(events.log, QStringList({"error", "done:failed"})) << c.reply.constData();
        EXPECT_FALSE(cli.IsBusy());
    }
}

TEST_F(HttpCli, ABodyTheStreamCannotTakeIsAFailure)
{
    Server server;
    server.Reply(Server::Make(200, "a body for a closed stream"));
    THttpCli cli;
    CliEvents events(cli);
    QBuffer stream;
    stream.open(QIODevice::ReadOnly);   // takes no byte
    cli.RcvdStream = &stream;
    cli.URL = server.Url("/file.zip");
    cli.GetASync();
    ASSERT_TRUE(WaitFor([&] { return events.done; }));
    EXPECT_EQ(events.errorCode, httpFileError);
    EXPECT_EQ(events.log, QStringList({"error", "done:failed"}));
}

TEST_F(HttpCli, SynchronousGetRaisesOnFailuresAndErrorStatuses)
{
    quint16 closedPort;
    {
        Server gone;
        closedPort = gone.Port();
    }
    THttpCli cli;
    cli.URL = QStringLiteral("http://127.0.0.1:%1/").arg(closedPort);
    try {
        cli.Get();
        FAIL() << "no exception";
    } catch (const EHttpException &e) {
        EXPECT_EQ(e.StatusCode, 0);
        EXPECT_EQ(cli.ErrorCode(), httpConnectFailed);
    }

    Server server;
    server.Reply(Server::Make(404, "missing"));
    server.Reply(Server::Make(302, "", {"Location: http://elsewhere/403/"}));
    cli.URL = server.Url("/none");
    try {
        cli.Get();
        FAIL() << "no exception";
    } catch (const EHttpException &e) {
        EXPECT_EQ(e.StatusCode, 404);
    }
    // a redirect is reported, not followed
    cli.Get();
    EXPECT_EQ(cli.StatusCode(), 302);
    EXPECT_EQ(cli.Location(), QStringLiteral("http://elsewhere/403/"));
    EXPECT_EQ(server.Requests().size(), 2);

    cli.URL = QStringLiteral("ftp://host/file");
    EXPECT_THROW(cli.Get(), EHttpException);
}

TEST_F(HttpCli, AbortEndsThroughErrorAndDoneAndFreesTheClient)
{
    Server server;
    server.ReplyNothing();
    server.Reply(Server::Make(200, "second"));
    THttpCli cli;
    CliEvents events(cli);
    cli.URL = server.Url("/slow");
    cli.GetASync();
    ASSERT_TRUE(WaitFor([&] { return server.Requests().size() == 1; }));
    cli.Abort();
    EXPECT_EQ(events.log, QStringList({"error", "done:failed"}));
    EXPECT_EQ(events.errorCode, httpAborted);
    EXPECT_FALSE(cli.IsBusy());

    cli.GetASync();   // the client takes the next request at once
    ASSERT_TRUE(WaitFor([&] { return events.log.size() == 3; }));
    EXPECT_EQ(events.log.last(), QStringLiteral("done"));
}

TEST_F(HttpCli, SilentServerTimesOut)
{
    Server server;
    server.ReplyNothing();
    THttpCli cli;
    CliEvents events(cli);
    cli.URL = server.Url("/slow");
    cli.Timeout = 150;
    cli.GetASync();
    ASSERT_TRUE(WaitFor([&] { return events.done; }));
    EXPECT_EQ(events.errorCode, httpTimeout);
}

TEST_F(HttpCli, StopFlagEndsASynchronousWait)
{
    Server server;
    server.ReplyNothing();
    THttpCli cli;
    cli.URL = server.Url("/slow");
    QTimer::singleShot(100, [] { TavuEnviron->SetStopped(true); });
    try {
        cli.Get();
        FAIL() << "no exception";
    } catch (const EHttpException &e) {
        EXPECT_EQ(e.Message, QStringLiteral("切断しました。"));   // the stop, not the time-out
    }
    EXPECT_FALSE(cli.IsBusy());
}

TEST_F(HttpCli, KeepsOnlyAcceptedCookies)
{
    Server server;
    server.Reply(Server::Make(200, "", {"Set-Cookie: PON=abc; path=/", "Set-Cookie: TRACK=1; path=/"}));
    THttpCli cli;
    QStringList offered;
    QObject::connect(&cli, &THttpCli::OnCookie, [&](THttpCli *, const QString &cookie, bool &accept) {
        offered.append(cookie);
        accept = !cookie.startsWith(QLatin1String("TRACK"));
    });
    cli.URL = server.Url("/");
    cli.Get();
    EXPECT_EQ(offered.size(), 2);
    EXPECT_EQ(cli.Cookies(), QStringList{QStringLiteral("PON=abc; path=/")});
}

TEST_F(HttpCli, RunsSynchronouslyOnAWorkerThread)
{
    Server server;
    server.Reply(Server::Make(200, "from the worker"));
    QByteArray body;
    int status = 0;
    QThread *worker = QThread::create([&] {
        THttpCli cli;
        QBuffer stream;
        stream.open(QIODevice::WriteOnly);
        cli.RcvdStream = &stream;
        cli.URL = server.Url("/w");
        cli.Get();
        status = cli.StatusCode();
        body = stream.data();
    });
    worker->start();
    ASSERT_TRUE(WaitFor([&] { return worker->isFinished(); }));
    delete worker;
    EXPECT_EQ(status, 200);
    EXPECT_EQ(body, "from the worker");
}

// A server that sends its body a byte at a time, each byte written by the test, never idle long.
TEST_F(HttpCli, ADeadlineEndsARequestThatKeepsTricklingAndASynchronousWait)
{
    QTcpServer trickler;
    ASSERT_TRUE(trickler.listen(QHostAddress::LocalHost));
    THttpCli cli;
    CliEvents events(cli);
    cli.URL = QStringLiteral("http://127.0.0.1:%1/slow.dat").arg(trickler.serverPort());
    cli.Timeout = 600000;   // the idle time-out alone never ends it
    cli.Deadline = 40;
    cli.GetASync();
    for (int round = 0; round < 100000 && !trickler.hasPendingConnections(); ++round)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    ASSERT_TRUE(trickler.hasPendingConnections());
    ASSERT_FALSE(events.done);
    std::unique_ptr<QTcpSocket> peer(trickler.nextPendingConnection());
    peer->write("HTTP/1.0 200 OK\r\nContent-Length: 10000000\r\n\r\n");
    int sent = 0;
    while (!events.done && sent < 10000000) {
        peer->write("x", 1);
        peer->flush();
        ++sent;
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(events.errorCode, httpTimeout);
    EXPECT_LT(sent, 10000000);
    EXPECT_EQ(cli.ErrorMessage(), QStringLiteral("時間内に受信が終わりませんでした。"));

    // The synchronous request (update check, patrol) obeys it too.
    Server silent;
    silent.ReplyNothing();
    cli.URL = silent.Url("/hang");
    EXPECT_THROW(cli.Get(), EHttpException);
    EXPECT_EQ(cli.ErrorCode(), httpTimeout);
}

TEST_F(HttpCli, ABodyPastItsBoundFailsWhateverItsFraming)
{
    Server server;
    server.Reply(Server::Make(200, QByteArray(5000, 'x')));                     // announced
    server.Reply(QByteArray("HTTP/1.0 200 OK\r\n\r\n") + QByteArray(5000, 'x'));   // until close
    THttpCli cli;
    cli.MaxBodyBytes = 4096;
    for (int reply = 0; reply < 2; ++reply) {
        QBuffer body;
        body.open(QIODevice::WriteOnly);
        cli.RcvdStream = &body;
        cli.URL = server.Url("/big");
        EXPECT_THROW(cli.Get(), EHttpException) << reply;
        EXPECT_EQ(cli.ErrorCode(), httpTooLarge) << reply;
        EXPECT_LE(body.size(), 4096) << reply;
    }
}

// A client nobody bounded keeps a page's bounds (kpw.ini LIMIT): a flood of 1 GB ends at the body's
// bound, taken as it came and never all of it, and a trickle at the deadline, however steady.
TEST_F(HttpCli, AClientGivenNoBoundsKeepsThoseOfAPage)
{
    TempDataRoot root;
    TTavuConfig config;
    TavuConfig = &config;
    const auto restore = qScopeGuard([] { TavuConfig = nullptr; });
    config.LIMIT_PAGE_MB = 1;
    config.LIMIT_PAGE_SECONDS = 1;

    THttpCli fresh;
    EXPECT_EQ(fresh.MaxBodyBytes, 1024 * 1024);
    EXPECT_EQ(fresh.Deadline, 1000);

    for (const auto mode : {HostileHttpServer::Flood, HostileHttpServer::Trickle}) {
        HostileHttpServer server(mode);
        THttpCli cli;
        CliEvents events(cli);
        cli.MaxBodyBytes = -1;   // "no bound" by mistake
        cli.Deadline = 0;
        qint64 taken = 0;
        QObject::connect(&cli, &THttpCli::OnDocData, [&taken](THttpCli *, const QByteArray &data) { taken += data.size(); });
        cli.URL = server.Url("/page.html");
        cli.GetASync();
        ASSERT_TRUE(WaitFor([&] { return events.done; })) << mode;
        EXPECT_EQ(events.errorCode, mode == HostileHttpServer::Flood ? httpTooLarge : httpTimeout) << mode;
        EXPECT_LE(taken, 1024 * 1024) << mode;
        EXPECT_LT(server.BodyBytesSent(), HostileHttpServer::FloodBytes / 16) << mode;
    }
}
