#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/TavuConfig.h"
#include "net/TavuHttp.h"

#include "NetTestUtil.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempDataRoot.h"

#include <QRegularExpression>
#include <QThread>

#include <zlib.h>

using Server = ScriptedHttpServer;
using TavuHttp = NetTest;

namespace {

QByteArray Gzip(const QByteArray &data, int level = 6)
{
    z_stream zs{};
    deflateInit2(&zs, level, Z_DEFLATED, MAX_WBITS + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&zs, uLong(data.size())) + 32), '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(int(zs.total_out));
    deflateEnd(&zs);
    return out;
}

// Runs one asynchronous GET of `path` and waits for its end.
void RunGet(TTavuHttp &job, JobEvents &events, const Server &server, const char *path)
{
    events.Attach(job);
    job.URL = server.Url(QString::fromLatin1(path));
    job.Get();
    ASSERT_TRUE(WaitFor([&] { return events.done; }));
}

}  // namespace

TEST_F(TavuHttp, HandsOnCompleteLinesAndTheLastOnlyWhenTheBodyIsWhole)
{
    Server server;
    Server::Script pieces;
    pieces.pieces = {{"HTTP/1.1 200 OK\r\nContent-Length: 19\r\n\r\none\r\ntw"}, {"o\nthree", 50}, {"\n\nend", 20}};
    server.Reply(pieces);
    server.Reply("HTTP/1.1 200 OK\r\nContent-Length: 40\r\n\r\none\ntwo\nthr");   // the server lies

    TTavuHttp job;
    JobEvents events;
    int jobRecord = 0;
    job.Job = &jobRecord;
    RunGet(job, events, server, "/board/subject.txt");
    EXPECT_EQ(events.record, &jobRecord);
    EXPECT_EQ(events.log, QStringList({"line:one", "line:two", "line:three", "line:", "line:end", "done:0"}));
    EXPECT_TRUE(job.IsFinished());
    EXPECT_EQ(job.Received(), 19);
    EXPECT_EQ(job.Total(), 19);

    TTavuHttp cut;
    JobEvents cutEvents;
    RunGet(cut, cutEvents, server, "/board/subject.txt");
    EXPECT_EQ(cutEvents.log, QStringList({"line:one", "line:two", "error:4", "done:1"}));
    EXPECT_EQ(cutEvents.errorCode, httpTruncated);
    EXPECT_FALSE(cutEvents.errorMessage.isEmpty());
}

TEST_F(TavuHttp, ConditionalGetCarriesTheStoredValidatorsAndRange)
{
    Server server;
    server.Reply(Server::Make(304, ""));
    server.Reply(Server::Make(304, ""));
    TTavuHttp job;
    JobEvents events;
    job.LastModified = QStringLiteral("Sat, 01 Jan 2005 00:00:00 GMT");
    job.ETag = QStringLiteral("\"abc\"");
    job.StoredSize = 100;
    RunGet(job, events, server, "/dat/1.dat");
    QByteArray request = server.LastRequest();
    EXPECT_EQ(Server::HeaderOf(request, "If-Modified-Since"), "Sat, 01 Jan 2005 00:00:00 GMT");
    EXPECT_EQ(Server::HeaderOf(request, "If-None-Match"), "");
    EXPECT_EQ(Server::HeaderOf(request, "Range"), "bytes=99-");
    EXPECT_EQ(events.log, QStringList({"done:0"}));
    EXPECT_TRUE(job.IsNotModified());

    // without a stored date the ETag is used
    JobEvents second;
    job.LastModified.clear();
    job.StoredSize = 0;
    RunGet(job, second, server, "/dat/1.dat");
    request = server.LastRequest();
    EXPECT_EQ(Server::HeaderOf(request, "If-None-Match"), "\"abc\"");
    EXPECT_EQ(Server::HeaderOf(request, "If-Modified-Since"), "");
    EXPECT_EQ(Server::HeaderOf(request, "Range"), "");
}

TEST_F(TavuHttp, HttpModeOnePrefersTheETag)
{
    TempDataRoot root(true);
    TavuConfig = new TTavuConfig;
    TavuConfig->HTTP_MODE = 1;
    Server server;
    server.Reply(Server::Make(304, ""));
    TTavuHttp job;
    JobEvents events;
    job.LastModified = QStringLiteral("Sat, 01 Jan 2005 00:00:00 GMT");
    job.ETag = QStringLiteral("\"abc\"");
    RunGet(job, events, server, "/dat/1.dat");
    delete TavuConfig;
    TavuConfig = nullptr;
    EXPECT_EQ(Server::HeaderOf(server.LastRequest(), "If-None-Match"), "\"abc\"");
    EXPECT_EQ(Server::HeaderOf(server.LastRequest(), "If-Modified-Since"), "");
}

TEST_F(TavuHttp, RangeRepliesMustContinueTheStoredLog)
{
    Server server;
    server.Reply(Server::Make(206, "\nnew 1\nnew 2\n"));
    server.Reply(Server::Make(206, "changed\nlog\n"));
    server.Reply(Server::Make(416, ""));
    server.Reply(Server::Make(206, "\nnot the rest\n", {"Content-Range: bytes 0-13/14"}));

    TTavuHttp job;
    job.StoredSize = 500;
    JobEvents appended;
    RunGet(job, appended, server, "/dat/1.dat");
    EXPECT_EQ(appended.log, QStringList({"line:new 1", "line:new 2", "done:0"}));
    EXPECT_TRUE(job.IsPartial());

    JobEvents changed;
    RunGet(job, changed, server, "/dat/1.dat");
    EXPECT_EQ(changed.log, QStringList({"error:7", "done:1"}));
    EXPECT_EQ(changed.errorCode, httpLogChanged);

    JobEvents pastEnd;
    RunGet(job, pastEnd, server, "/dat/1.dat");
    EXPECT_EQ(pastEnd.log, QStringList({"error:416", "done:1"}));
    EXPECT_NE(pastEnd.errorMessage, changed.errorMessage);

    // A range that starts elsewhere than asked is no continuation, even when it opens with a line feed.
    JobEvents elsewhere;
    RunGet(job, elsewhere, server, "/dat/1.dat");
    EXPECT_EQ(elsewhere.log, QStringList({"error:7", "done:1"}));
}

TEST_F(TavuHttp, ErrorStatusesAndRedirectsAreReportedWithoutTheirBody)
{
    Server server;
    server.Reply(Server::Make(404, "<html>not found</html>\n"));
    server.Reply(Server::Make(302, "", {"Location: http://server.example/403/go.html"}));
    TTavuHttp job;
    JobEvents missing;
    RunGet(job, missing, server, "/a");
    EXPECT_EQ(missing.log, QStringList({"error:404", "done:1"}));
    JobEvents moved;
    RunGet(job, moved, server, "/b");
    EXPECT_EQ(moved.log, QStringList({"error:302", "done:1"}));
    EXPECT_TRUE(moved.errorDetail.contains(QLatin1String("http://server.example/403/")));
    EXPECT_EQ(job.Location(), QStringLiteral("http://server.example/403/go.html"));
}

TEST_F(TavuHttp, OfflineSendsNothingAndReportsDoneLater)
{
    Server server;
    TavuEnviron->SetOffline(true);
    TTavuHttp job;
    JobEvents events;
    events.Attach(job);
    job.URL = server.Url("/x");
    job.Get();
    EXPECT_FALSE(events.done);   // never from inside the call
    ASSERT_TRUE(WaitFor([&] { return events.done; }));
    EXPECT_EQ(events.log, QStringList({"done:0"}));
    EXPECT_TRUE(job.IsNotModified());

    job.Get(true);   // a synchronous job returns once done was reported
    EXPECT_EQ(events.log.size(), 2);
    EXPECT_TRUE(server.Requests().isEmpty());
}

TEST_F(TavuHttp, RecordFileIsReplacedOnlyByAWholeBody)
{
    TempDataRoot root;
    const QString record = root.File("log/site/boardlist.txt");
    Server server;
    server.Reply(Server::Make(200, "board one\nboard two\n"));
    server.Reply("HTTP/1.1 200 OK\r\nContent-Length: 99\r\n\r\nbroken");
    server.Reply(Server::Make(500, "oops"));

    TTavuHttp job;
    JobEvents events;
    events.Attach(job);
    job.URL = server.Url("/bbsmenu.html");
    job.NoCache = true;
    job.GetUnconditional(record, true);
    EXPECT_EQ(FileUtil::ReadFile(record), QByteArray("board one\nboard two\n"));
    EXPECT_EQ(Server::HeaderOf(server.LastRequest(), "Pragma"), "no-cache");

    for (int i = 0; i < 2; ++i) {
        job.GetUnconditional(record, true);
        EXPECT_TRUE(events.failed);
        EXPECT_EQ(FileUtil::ReadFile(record), QByteArray("board one\nboard two\n"));
    }
}

// A server may compress a range reply it was not asked to compress. Its stream is decoded; when
// it is damaged the job says so, even where the damaged bytes no longer continue the stored log.
TEST_F(TavuHttp, CompressedRangeRepliesAreDecodedAndTheirDamageToldAsSuch)
{
    const QByteArray rest("\nnew 1\n");
    QByteArray damaged = Gzip(rest, 0);   // stored blocks: the first byte of the text is at 15
    ASSERT_EQ(damaged[15], '\n');
    damaged[15] = 'X';
    Server server;
    server.Reply(Server::Make(206, Gzip(rest), {"Content-Encoding: gzip"}));
    server.Reply(Server::Make(206, damaged, {"Content-Encoding: gzip"}));

    TTavuHttp job;
    job.StoredSize = 500;
    JobEvents appended;
    RunGet(job, appended, server, "/dat/1.dat");
    EXPECT_EQ(Server::HeaderOf(server.LastRequest(), "Accept-Encoding"), "");
    EXPECT_EQ(appended.log, QStringList({"line:new 1", "done:0"}));

    JobEvents broken;
    RunGet(job, broken, server, "/dat/1.dat");
    EXPECT_EQ(broken.log, QStringList({"error:5", "done:1"}));
    EXPECT_EQ(broken.errorCode, httpBadGzip);
    EXPECT_FALSE(broken.errorMessage.contains(QRegularExpression(QStringLiteral("[a-z]{5,}")))) << broken.errorMessage.toStdString();
}

TEST_F(TavuHttp, DecodesGzipBodiesAndRejectsBrokenOnes)
{
    const QByteArray text("1<>a<>b<>c<>title\n2<>a<>b<>c<>\n");
    QByteArray broken = Gzip(text);
    broken[broken.size() - 6] = char(broken[broken.size() - 6] ^ 1);   // damage the CRC
    Server server;
    server.Reply(Server::Make(200, Gzip(text), {"Content-Encoding: gzip"}));
    server.Reply(Server::Make(200, Gzip(text)));
    server.Reply(Server::Make(200, broken, {"Content-Encoding: gzip"}));

    TTavuHttp job;
    job.AcceptGzip = true;
    JobEvents encoded;
    RunGet(job, encoded, server, "/dat/1.dat");
    EXPECT_EQ(Server::HeaderOf(server.LastRequest(), "Accept-Encoding"), "gzip");
    EXPECT_EQ(encoded.lines, QList<QByteArray>({"1<>a<>b<>c<>title", "2<>a<>b<>c<>"}));

    JobEvents pastLog;
    job.AcceptGzip = false;
    RunGet(job, pastLog, server, "/kako/1000/1000000000.dat.gz");
    EXPECT_EQ(pastLog.lines, encoded.lines);

    JobEvents bad;
    job.AcceptGzip = true;
    RunGet(job, bad, server, "/dat/1.dat");
    EXPECT_EQ(bad.errorCode, httpBadGzip);
    EXPECT_TRUE(bad.failed);
    // Lines are handed on as they are decoded; the damage found at the end fails the job, so its
    // caller stores none of them.
    EXPECT_EQ(bad.log.mid(bad.log.size() - 2), QStringList({QStringLiteral("error:5"), QStringLiteral("done:1")}));
}

// The lines of a body know the bytes they come to: a plain body's Content-Length, and a gzip
// body's decoded size, which its end names, once all of it came (by its last line at the latest).
TEST_F(TavuHttp, LinesKnowTheBytesTheirBodyComesTo)
{
    QByteArray text;
    for (int n = 1; n <= 3000; ++n)
        text += "name<>sage<>2024/01/02<>response " + QByteArray::number(n) + "<>\n";
    Server server;
    server.Reply(Server::Make(200, text));
    server.Reply(Server::Make(200, Gzip(text), {"Content-Encoding: gzip"}));
    for (const bool gzip : {false, true}) {
        TTavuHttp job;
        job.AcceptGzip = true;
        JobEvents events;
        events.Attach(job);
        QList<qint64> sizes;
        job.OnLine = [&sizes](TTavuHttp *http, void *, const QByteArray &, qint64, qint64) { sizes << http->LineBodySize(); };
        job.URL = server.Url(QStringLiteral("/dat/1.dat"));
        job.Get();
        ASSERT_TRUE(WaitFor([&] { return events.done; }));
        ASSERT_EQ(sizes.size(), 3000) << gzip;
        EXPECT_EQ(sizes.last(), text.size()) << gzip;
        EXPECT_EQ(sizes.count(text.size()) + sizes.count(0), sizes.size()) << gzip;
        if (!gzip) {
            EXPECT_EQ(sizes.first(), text.size());
        }
    }
}

TEST_F(TavuHttp, AbortAllEndsJobsOnEveryThread)
{
    Server server;
    server.ReplyNothing();
    server.ReplyNothing();
    TTavuHttp here;
    JobEvents hereEvents;
    hereEvents.Attach(here);
    here.URL = server.Url("/slow");
    here.Get();

    std::atomic<int> workerError{-1};
    std::atomic<bool> workerDone{false};
    std::atomic<bool> workerStarted{false};
    QThread *worker = QThread::create([&] {
        TTavuHttp job;
        job.URL = server.Url("/slow");
        job.OnError = [&](TTavuHttp *, void *, int code, const QString &, const QString &) { workerError = code; };
        job.OnDone = [&](TTavuHttp *, void *, bool) { workerDone = true; };
        QTimer::singleShot(0, [&] { workerStarted = true; });
        job.Get(true);
    });
    worker->start();
    ASSERT_TRUE(WaitFor([&] { return workerStarted && server.Requests().size() == 2 && TavuHttpList->Count() == 2; }));

    TavuHttpList->AbortAll();
    ASSERT_TRUE(WaitFor([&] { return worker->isFinished() && hereEvents.done; }));
    delete worker;
    EXPECT_EQ(hereEvents.log, QStringList({"error:0", "done:1"}));
    EXPECT_EQ(workerError, httpAborted);
    EXPECT_TRUE(workerDone);
    EXPECT_EQ(TavuHttpList->Count(), 1);   // the worker's job left the list when it was destroyed
    TavuHttpList->DeleteFinished();
    EXPECT_EQ(TavuHttpList->Count(), 0);
}

TEST_F(TavuHttp, CancellingADownloadAbortsOnlyTheJobsOfItsRecord)
{
    Server server;
    server.ReplyNothing();
    server.ReplyNothing();
    int tabRecord = 0;
    int otherRecord = 0;
    const auto start = [&](TTavuHttp &job, JobEvents &events, int *record) {
        events.Attach(job);
        job.Job = record;
        job.URL = server.Url("/slow");
        job.Get();
    };
    TTavuHttp tabJob, otherJob, finishedJob;
    JobEvents tabEvents, otherEvents, finishedEvents;
    start(tabJob, tabEvents, &tabRecord);
    start(otherJob, otherEvents, &otherRecord);
    TavuEnviron->SetOffline(true);   // a job of the same record that has already ended
    start(finishedJob, finishedEvents, &tabRecord);
    ASSERT_TRUE(WaitFor([&] { return finishedEvents.done && server.Requests().size() == 2; }));

    EXPECT_TRUE(TavuHttpList->AbortJobsOf(&tabRecord));
    EXPECT_EQ(tabEvents.log, QStringList({"error:0", "done:1"}));
    EXPECT_FALSE(otherEvents.done);
    EXPECT_EQ(finishedEvents.log, QStringList({"done:0"}));
    EXPECT_FALSE(TavuHttpList->AbortJobsOf(&tabRecord));   // nothing of it runs any more
    otherJob.Abort();
}

TEST_F(TavuHttp, SynchronousJobRaisesOnConnectionFailureAndStop)
{
    quint16 closedPort;
    {
        Server gone;
        closedPort = gone.Port();
    }
    TTavuHttp job;
    JobEvents events;
    events.Attach(job);
    job.URL = QStringLiteral("http://127.0.0.1:%1/").arg(closedPort);
    EXPECT_THROW(job.Get(true), EHttpException);
    EXPECT_EQ(events.log, QStringList({"error:1", "done:1"}));

    Server server;
    server.ReplyNothing();
    job.URL = server.Url("/slow");
    QTimer::singleShot(50, [] { TavuEnviron->SetStopped(true); });
    try {
        job.Get(true);
        FAIL() << "no exception";
    } catch (const EHttpException &e) {
        EXPECT_EQ(e.Message, QStringLiteral("切断しました。"));
    }
    EXPECT_EQ(events.log.mid(2), QStringList({"error:0", "done:1"}));

    // A server that never finishes: the job's deadline ends the wait, whatever its idle time-out.
    TavuEnviron->SetStopped(false);
    server.ReplyNothing();
    job.Timeout = 600000;
    job.Limits.DeadlineMs = 30;
    EXPECT_THROW(job.Get(true), EHttpException);
    EXPECT_EQ(events.errorCode, httpTimeout);
}

TEST_F(TavuHttp, TracesHeadersWithoutCredentials)
{
    Server server;
    server.Reply(Server::Make(200, "x\n", {"Set-Cookie: SID=1", "ETag: \"e1\"", "Last-Modified: Sun, 02 Jan 2005 00:00:00 GMT"}));
    TTavuHttp job;
    JobEvents events;
    job.Username = QStringLiteral("me");
    job.Password = QStringLiteral("secret");
    RunGet(job, events, server, "/auth/x.dat");
    const QStringList trace = TavuEnviron->TraceLines();
    EXPECT_TRUE(trace.contains(QStringLiteral("GET /auth/x.dat HTTP/1.0")));
    EXPECT_TRUE(trace.contains(QStringLiteral("Authorization: ********")));
    EXPECT_TRUE(trace.contains(QStringLiteral("HTTP/1.1 200 Scripted")));
    EXPECT_FALSE(trace.join('\n').contains(QString::fromLatin1(QByteArray("me:secret").toBase64())));
    EXPECT_EQ(job.ReplyETag(), QStringLiteral("\"e1\""));
    EXPECT_EQ(job.ReplyLastModified(), QStringLiteral("Sun, 02 Jan 2005 00:00:00 GMT"));
    EXPECT_EQ(job.Cookies(), QStringList{QStringLiteral("SID=1")});
}

TEST_F(TavuHttp, LinesAndDecodedBodiesPastTheirBoundsEndTheJobWithoutThem)
{
    const QByteArray longLine = QByteArray(300, 'a') + "\n";
    const QByteArray zeros = QByteArray(8 * 1024 * 1024, '\0') + "\n";    // 8 MB that gzip makes 8 KB
    QByteArray lines;
    for (int i = 0; i < 40000; ++i)
        lines += "1<>name<>mail<>" + QByteArray::number(i) + "<>\n";
    Server server;
    server.Reply(Server::Make(200, "short<>\n" + longLine));
    server.Reply(QByteArray("HTTP/1.0 200 OK\r\n\r\n") + QByteArray(100000, 'b'));   // no line feed at all
    server.Reply(Server::Make(200, Gzip(zeros), {"Content-Encoding: gzip"}));
    server.Reply(Server::Make(200, Gzip(lines), {"Content-Encoding: gzip"}));

    TTavuHttp job;
    job.AcceptGzip = true;
    job.Limits.MaxLineBytes = 200;
    JobEvents tooLong;
    RunGet(job, tooLong, server, "/dat/1.dat");
    EXPECT_EQ(tooLong.errorCode, httpTooLarge);
    EXPECT_EQ(tooLong.lines, QList<QByteArray>({"short<>"}));

    JobEvents endless;
    RunGet(job, endless, server, "/dat/1.dat");
    EXPECT_EQ(endless.errorCode, httpTooLarge);
    EXPECT_TRUE(endless.lines.isEmpty());

    job.Limits.MaxLineBytes = -1;
    job.Limits.MaxGzipRatio = 100;
    JobEvents bomb;
    RunGet(job, bomb, server, "/dat/1.dat");
    EXPECT_EQ(bomb.errorCode, httpTooLarge);
    EXPECT_TRUE(bomb.lines.isEmpty());

    // Output past the body's bound, whatever the ratio.
    job.Limits.MaxGzipRatio = 0;
    job.Limits.MaxBodyBytes = lines.size() / 2;
    JobEvents big;
    RunGet(job, big, server, "/dat/1.dat");
    EXPECT_EQ(big.errorCode, httpTooLarge);
    EXPECT_LT(big.lines.size(), 40000);
    EXPECT_TRUE(big.failed);
}

TEST_F(TavuHttp, EachKindHasItsConfiguredBoundsFarAboveRealBodies)
{
    const TDownloadLimits dat = ConfiguredLimits(TRequestKind::Dat);
    const TDownloadLimits subject = ConfiguredLimits(TRequestKind::Subject);
    EXPECT_GE(dat.MaxBodyBytes, 32 * 1024 * 1024);
    EXPECT_GE(subject.MaxBodyBytes, 128 * 1024 * 1024);
    EXPECT_GT(dat.DeadlineMs, 0);

    TempDataRoot root;
    TTavuConfig config;
    TavuConfig = &config;
    config.LIMIT_DAT_MB = 2;
    config.LIMIT_DAT_SECONDS = 3;
    config.LIMIT_PAGE_MB = 0;   // not a bound: the default stands
    EXPECT_EQ(ConfiguredLimits(TRequestKind::Dat).MaxBodyBytes, 2 * 1024 * 1024);
    EXPECT_EQ(ConfiguredLimits(TRequestKind::Dat).DeadlineMs, 3000);
    EXPECT_GT(ConfiguredLimits(TRequestKind::Page).MaxBodyBytes, 0);
    TavuConfig = nullptr;
}
