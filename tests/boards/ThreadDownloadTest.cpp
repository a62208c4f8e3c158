// Thread lists and threads read from a 2ch-style server: what is asked, what is delivered, and what
// is stored, also when the server's answer does not fit the stored log.

#include "BoardTestEnv.h"

#include "core/DatLine.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "net/TavuHttp.h"

#include <QThread>

#include <gtest/gtest.h>

namespace {

const QString News = QStringLiteral("news");
const QString Key = QStringLiteral("1000000001");

// A thread of "news" with count responses on the server.
void MakeThread(BoardTestEnv &env, int count, const QString &key = Key)
{
    env.server.AddThread(News, key, QStringLiteral("テストスレ"));
    for (int i = 1; i <= count; ++i)
        env.server.AppendRes(News, key, QStringLiteral("名無し"), QString(), QStringLiteral("本文%1").arg(i));
}

QByteArray LogOf(const ItemRef &item)
{
    return FileUtil::ReadFile(item->GetLogFile());
}

}  // namespace

TEST(ThreadList, SubjectIsListedStoredAndAskedAgainWithItsValidators)
{
    BoardTestEnv env;
    MakeThread(env, 2);
    MakeThread(env, 5, QStringLiteral("1000000002"));
    TBoard *news = env.Board(News);

    const BoardTestEnv::Listing first = env.List(news);
    ASSERT_FALSE(first.failed);
    EXPECT_FALSE(first.notModified);
    EXPECT_EQ(first.keys, QStringList({QStringLiteral("1000000002"), Key}));
    EXPECT_EQ(first.counts, QList<int>({5, 2}));
    EXPECT_EQ(first.progressItems, 2);
    EXPECT_EQ(env.server.Requests().value(0).Header("User-Agent"), QByteArray("Vozadazoz/1.00 (Varnelo/2.0)"));
    const QByteArray stored = FileUtil::ReadFile(news->GetLogDir() + QStringLiteral("subject.txt"));
    EXPECT_EQ(stored, jconvert::UnicodeToSjis(QStringLiteral("1000000002.dat<>テストスレ (5)\r\n1000000001.dat<>テストスレ (2)\r\n")));

    // The server's list did not change: the stored list is reported to the per-thread callback only.
    env.server.ClearLog();
    const BoardTestEnv::Listing second = env.List(news);
    EXPECT_TRUE(second.notModified);
    EXPECT_EQ(second.keys, first.keys);
    EXPECT_EQ(second.progressItems, 0);
    EXPECT_EQ(env.server.Requests().value(0).Status, 304);

    // Reload asks without validators.
    env.server.ClearLog();
    EXPECT_FALSE(env.List(news, true).notModified);
    EXPECT_TRUE(env.server.Requests().value(0).Header("If-Modified-Since").isEmpty());
}

TEST(ThreadDownload, OnlyTheNewBytesAreFetchedAndAppended)
{
    BoardTestEnv env;
    MakeThread(env, 3);
    ItemRef item(env.NewItem(News, Key));

    BoardTestEnv::Fetch first = env.Download(item.get());
    ASSERT_FALSE(first.failed) << first.errorMessage.toStdString();
    EXPECT_EQ(first.numbers, QList<int>({1, 2, 3}));
    EXPECT_EQ(item->TITLE, QStringLiteral("テストスレ"));
    // The whole file was asked for compressed, and without a range.
    EXPECT_EQ(env.server.Requests().last().Header("Accept-Encoding"), QByteArray("gzip"));
    EXPECT_EQ(item->SIZE, env.server.DatBytes(News, Key).size());
    const QByteArray before = env.server.DatBytes(News, Key);

    for (int i = 4; i <= 6; ++i)
        env.server.AppendRes(News, Key, QStringLiteral("名無し"), QStringLiteral("sage"), QStringLiteral("本文%1").arg(i));
    env.server.ClearLog();
    item->LoadInfo();
    const BoardTestEnv::Fetch second = env.Download(item.get());
    ASSERT_FALSE(second.failed) << second.errorMessage.toStdString();
    EXPECT_EQ(second.numbers, QList<int>({4, 5, 6}));
    const BoardServer::Request request = env.server.Requests().value(0);
    EXPECT_EQ(request.Header("Range"), "bytes=" + QByteArray::number(before.size() - 1) + '-');
    EXPECT_TRUE(request.Header("Accept-Encoding").isEmpty());
    EXPECT_EQ(request.BodyBytes, env.server.DatBytes(News, Key).size() - before.size() + 1);
    EXPECT_EQ(SplitLogLines(LogOf(item)), SplitLogLines(env.server.DatBytes(News, Key)));

    // Nothing new: a 304, nothing delivered, nothing stored.
    env.server.ClearLog();
    item->LoadInfo();
    const BoardTestEnv::Fetch third = env.Download(item.get());
    EXPECT_TRUE(third.notModified);
    EXPECT_TRUE(third.numbers.isEmpty());
    EXPECT_EQ(env.server.Requests().value(0).Status, 304);

    // Asked without validators: a range reply holding only the overlapping line feed is nothing new.
    env.server.ClearLog();
    const QByteArray log = LogOf(item);
    const BoardTestEnv::Fetch fourth = env.Download(item.get(), true);
    EXPECT_FALSE(fourth.failed);
    EXPECT_TRUE(fourth.notModified);
    EXPECT_EQ(env.server.Requests().value(0).BodyBytes, 1);
    EXPECT_EQ(LogOf(item), log);
}

TEST(ThreadDownload, AChangedOrShortenedLogIsNeverTouched)
{
    BoardTestEnv env;
    MakeThread(env, 3);
    ItemRef item(env.NewItem(News, Key));
    ASSERT_FALSE(env.Download(item.get()).failed);
    const QByteArray stored = LogOf(item);
    const QByteArray original = env.server.DatBytes(News, Key);
    const qint64 size = item->SIZE;

    // The bytes before the stored end changed: the range reply does not begin with the line feed.
    QByteArray changed = env.server.DatBytes(News, Key);
    changed[changed.size() - 1] = 'X';
    changed += "new<><>date<>body<>\n";
    env.server.SetDatBytes(News, Key, changed);
    BoardTestEnv::Fetch fetch = env.Download(item.get());
    EXPECT_TRUE(fetch.failed);
    EXPECT_EQ(fetch.errorCode, int(httpLogChanged));
    EXPECT_TRUE(fetch.numbers.isEmpty());
    EXPECT_EQ(LogOf(item), stored);
    EXPECT_EQ(item->SIZE, size);

    // A post deleted on the server: the file got shorter (416).
    env.server.SetDatBytes(News, Key, original.left(original.indexOf('\n') + 1));
    fetch = env.Download(item.get());
    EXPECT_TRUE(fetch.failed);
    EXPECT_EQ(fetch.errorCode, 416);
    EXPECT_EQ(LogOf(item), stored);

    // The same, answered with the whole (shorter) file by a server that ignores ranges.
    env.server.IgnoreRange = true;
    fetch = env.Download(item.get());
    EXPECT_TRUE(fetch.failed);
    EXPECT_EQ(fetch.errorCode, int(httpLogChanged));
    EXPECT_EQ(LogOf(item), stored);
}

TEST(ThreadDownload, AWholeFileForARangeDeliversOnlyWhatIsNew)
{
    BoardTestEnv env;
    MakeThread(env, 2);
    ItemRef item(env.NewItem(News, Key));
    ASSERT_FALSE(env.Download(item.get()).failed);
    env.server.IgnoreRange = true;
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("三"));
    item->LoadInfo();
    const BoardTestEnv::Fetch fetch = env.Download(item.get());
    ASSERT_FALSE(fetch.failed);
    EXPECT_EQ(fetch.numbers, QList<int>({3}));
    EXPECT_EQ(SplitLogLines(LogOf(item)).size(), 3);

    // A whole file that differs in a stored line is a changed log.
    QByteArray other = env.server.DatBytes(News, Key);
    other.replace(QByteArray("id1"), QByteArray("idX"));
    env.server.SetDatBytes(News, Key, other + "x<><>d<>b<>\n");
    item->LoadInfo();
    EXPECT_EQ(env.Download(item.get()).errorCode, int(httpLogChanged));
    EXPECT_EQ(SplitLogLines(LogOf(item)).size(), 3);
}

TEST(ThreadDownload, AnUnfinishedLastLineIsHeldBackUntilItIsComplete)
{
    BoardTestEnv env;
    MakeThread(env, 2);
    const QByteArray whole = env.server.DatBytes(News, Key);
    const QByteArray half = whole.left(whole.lastIndexOf('\n', whole.size() - 2) + 1) + "名無し<><>2024";
    env.server.SetDatBytes(News, Key, half);
    ItemRef item(env.NewItem(News, Key));
    BoardTestEnv::Fetch fetch = env.Download(item.get());
    EXPECT_EQ(fetch.numbers, QList<int>({1}));
    EXPECT_EQ(SplitLogLines(LogOf(item)).size(), 1);

    env.server.SetDatBytes(News, Key, whole);
    item->LoadInfo();
    fetch = env.Download(item.get());
    ASSERT_FALSE(fetch.failed) << fetch.errorMessage.toStdString();
    EXPECT_EQ(fetch.numbers, QList<int>({2}));
    QByteArray crlf = whole;
    EXPECT_EQ(LogOf(item), crlf.replace("\n", "\r\n"));
}

TEST(ThreadDownload, AFallenThreadIsReadFromItsPastLogCopy)
{
    for (bool gzip : {true, false}) {
        BoardTestEnv env;
        MakeThread(env, 4);
        env.server.MoveToKako(News, Key, gzip);
        ItemRef item(env.NewItem(News, Key));
        const BoardTestEnv::Fetch fetch = env.Download(item.get());
        ASSERT_FALSE(fetch.failed) << fetch.errorMessage.toStdString();
        EXPECT_EQ(fetch.numbers.size(), 4);
        EXPECT_TRUE(item->KAKOLOG);
        EXPECT_FALSE(item->Live);
        EXPECT_EQ(env.server.RequestsTo(QStringLiteral("/news/kako/1000/10000/1000000001.dat")).size(), gzip ? 1 : 2);

        // A past log does not change: asked again, nothing is requested.
        env.server.ClearLog();
        item->LoadInfo();
        EXPECT_TRUE(env.Download(item.get()).notModified);
        EXPECT_TRUE(env.server.Requests().isEmpty());
    }
    // Not found anywhere: an error, nothing stored.
    BoardTestEnv env;
    MakeThread(env, 1, QStringLiteral("1000000009"));
    env.server.MoveToKako(News, QStringLiteral("1000000009"), true);
    env.server.FallenStatus = 404;
    ItemRef item(env.NewItem(News, QStringLiteral("1000000008")));
    const BoardTestEnv::Fetch fetch = env.Download(item.get());
    EXPECT_TRUE(fetch.failed);
    EXPECT_EQ(fetch.errorCode, 404);
    EXPECT_FALSE(item->LogExists());
}

TEST(ThreadDownload, ValidatorsChangeOnlyWithAStoredLog)
{
    BoardTestEnv env;
    MakeThread(env, 2);
    ItemRef item(env.NewItem(News, Key));
    env.registry->SetCached(false, true);
    const BoardTestEnv::Fetch fetch = env.Download(item.get());
    ASSERT_FALSE(fetch.failed);
    EXPECT_EQ(fetch.numbers.size(), 2);
    EXPECT_EQ(item->SIZE, 0);
    EXPECT_TRUE(item->LAST_MODIFIED.isEmpty());
    EXPECT_FALSE(item->LogExists());
}

TEST(ThreadDownload, UnsafeKeysAreRefusedBeforeAnyRequest)
{
    BoardTestEnv env;
    auto *item = new TThreadItem;
    item->SetLocation(env.site->SITEID, News, QStringLiteral("1.dat"), QString());
    item->DatName = QStringLiteral("../../evil.dat");
    ItemRef ref(item);
    const BoardTestEnv::Fetch fetch = env.Download(item);
    EXPECT_TRUE(fetch.failed);
    EXPECT_TRUE(env.server.Requests().isEmpty());

    // A listed thread whose key is not a safe file name is not listed.
    MakeThread(env, 1);
    env.server.AddThread(News, QStringLiteral("../../x"), QStringLiteral("t"));
    EXPECT_EQ(env.List(env.Board(News)).keys, QStringList({Key}));
}

TEST(ThreadDownload, SynchronousDownloadRunsOnAWorkerThread)
{
    BoardTestEnv env;
    MakeThread(env, 3);
    ItemRef item(env.NewItem(News, Key));
    QList<int> numbers;
    bool done = false;
    QThread *worker = QThread::create([&] {
        TResDownloader job(item.get());
        job.Board = item->GetBoard();
        job.SetCacheReady();
        job.OnRes = [&numbers](TResDownloader *, TRes *res, int, int) {
            numbers << res->Number;
            delete res;
        };
        job.OnDone = [&done](TResDownloader *, bool failed) { done = !failed; };
        item->BBS->DownloadThread(&job, false, false, true);
    });
    worker->start();
    BoardTestEnv::WaitFor([worker] { return worker->isFinished(); });
    delete worker;
    EXPECT_TRUE(done);
    EXPECT_EQ(numbers, QList<int>({1, 2, 3}));

    // Stop-all ends a synchronous download with "切断しました。"; the job still hears of its end.
    env.registry->SetStopped(true);
    TResDownloader job(item.get());
    job.SetCacheReady();
    bool failed = false;
    job.OnDone = [&failed](TResDownloader *, bool f) { failed = f; };
    try {
        item->BBS->DownloadThread(&job, true, false, true);
        ADD_FAILURE() << "no exception";
    } catch (const EHttpException &e) {
        EXPECT_EQ(e.Message, TTavuEnviron::StoppedMessage());
    }
    BoardTestEnv::WaitFor([&failed] { return failed; });
    EXPECT_TRUE(failed);
    env.registry->SetStopped(false);
}

TEST(ThreadDownload, ReadCgiPagesAreConvertedToDatLines)
{
    BoardTestEnv env;
    const QString cgi = QStringLiteral("cgi");
    env.server.AddThread(cgi, Key, QStringLiteral("ページ"));
    env.server.AppendRes(cgi, Key, QStringLiteral("名"), QStringLiteral("sage"), QStringLiteral("一"));
    env.server.AppendRes(cgi, Key, QStringLiteral("名"), QString(), QStringLiteral("二"));
    ItemRef item(env.NewItem(cgi, Key));
    BoardTestEnv::Fetch fetch = env.Download(item.get());
    ASSERT_FALSE(fetch.failed) << fetch.errorMessage.toStdString();
    EXPECT_EQ(fetch.bodies, QStringList({QStringLiteral("一"), QStringLiteral("二")}));
    EXPECT_EQ(item->TITLE, QStringLiteral("ページ"));

    env.server.AppendRes(cgi, Key, QStringLiteral("名"), QString(), QStringLiteral("三"));
    fetch = env.Download(item.get());
    EXPECT_EQ(fetch.numbers, QList<int>({3}));
    EXPECT_TRUE(env.server.Requests().last().Path.endsWith("/3-n"));
    const QStringList log = jconvert::SjisToUnicode(LogOf(item)).split(QStringLiteral("\r\n"));
    EXPECT_EQ(log.value(0), QStringLiteral("名<>sage<>2024/01/01 00:01:00 ID:id1<>一<>ページ"));
}

TEST(ThreadDownload, ADatWithCrLfLineEndsIsCountedAsServedSoTheRangeContinuesIt)
{
    BoardTestEnv env;
    MakeThread(env, 1);
    const QByteArray served = jconvert::UnicodeToSjis(QStringLiteral("名無し<><>2024/01/01 ID:a<>一<>改行スレ\r\n"
                                                                     "名無し<>sage<>2024/01/01 ID:b<>二<>\r\n"));
    env.server.SetDatBytes(News, Key, served);
    ItemRef item(env.NewItem(News, Key));
    ASSERT_FALSE(env.Download(item.get()).failed);
    EXPECT_EQ(item->SIZE, served.size());

    const QByteArray more = served + jconvert::UnicodeToSjis(QStringLiteral("名無し<><>2024/01/02 ID:c<>三<>\r\n"));
    env.server.SetDatBytes(News, Key, more);
    const BoardTestEnv::Fetch next = env.Download(item.get());
    ASSERT_FALSE(next.failed) << next.errorMessage.toStdString();
    EXPECT_EQ(next.numbers, QList<int>({3}));
    EXPECT_EQ(item->SIZE, more.size());
    EXPECT_EQ(env.server.Requests().last().Header("Range"), QByteArray("bytes=%1-").replace("%1", QByteArray::number(served.size() - 1)));
    EXPECT_EQ(SplitLogLines(LogOf(item)), SplitLogLines(more));
}

TEST(ThreadDownload, ADatPastItsBoundIsAClearErrorAndTheStoredLogStaysAsItWas)
{
    BoardTestEnv env;
    MakeThread(env, 2);
    ItemRef item(env.NewItem(News, Key));
    ASSERT_FALSE(env.Download(item.get()).failed);
    const QByteArray log = LogOf(item);
    const QByteArray inf = FileUtil::ReadFile(item->GetInfFile());

    env.config->LIMIT_DAT_MB = 1;
    const QString body = QStringLiteral("長い本文").repeated(20000);   // 160 KB a response
    for (int i = 0; i < 8; ++i)
        env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), body);
    const BoardTestEnv::Fetch fetch = env.Download(item.get());
    EXPECT_TRUE(fetch.failed);
    EXPECT_EQ(fetch.errorCode, httpTooLarge);
    EXPECT_TRUE(fetch.errorMessage.contains(QStringLiteral("大きすぎます"))) << fetch.errorMessage.toStdString();
    EXPECT_EQ(LogOf(item), log);
    EXPECT_EQ(FileUtil::ReadFile(item->GetInfFile()), inf);
}
