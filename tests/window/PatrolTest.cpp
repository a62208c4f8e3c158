// The patrol: new responses stored in the logs on its worker thread, what it may not read left
// alone, the past-log login, save mode, a log written meanwhile by someone else, stops, and a
// patrol over a tab.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "services/TavuRound.h"

#include "boards/DolibManager.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/ThreadItemList.h"
#include "flows/UpdateCheckController.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>

using PostTest::AddThread;
using PostTest::ItemRef;
using PostTest::RunCheck;
using PostTest::Live;
using PostTest::News;

namespace {

void Append(BoardServer &server, const QString &key, int responses)
{
    for (int i = 0; i < responses; ++i)
        server.AppendRes(News, key, QStringLiteral("新"), QStringLiteral("sage"), QStringLiteral("追加"));
}

// The log the program keeps of a thread on the server: its dat lines, each ended with CR LF.
QByteArray LogOf(const BoardServer &server, const QString &key)
{
    return server.DatBytes(News, key).replace("\n", "\r\n");
}

// A thread on the server whose log is stored up to its current responses.
TThreadItem *Stored(TPostEnv &env, const QString &key, int responses)
{
    AddThread(env.server, News, key, responses);
    TThreadItem *item = env.NewItem(News, key, QStringLiteral("スレ") + key);
    env.StoreThread(item);
    return item;
}

}  // namespace

TEST(Patrol, StoresOnlyWhatIsNewAndLeavesAloneWhatItMayNotRead)
{
    TPostEnv env;
    const QString a = QStringLiteral("1000000001");
    const QString d = QStringLiteral("1000000004");
    ItemRef grown(Stored(env, a, 2));
    ItemRef upToDate(Stored(env, d, 3));
    Append(env.server, a, 2);
    AddThread(env.server, News, QStringLiteral("1000000002"), 5);
    ItemRef notLive(env.NewItem(News, QStringLiteral("1000000002"), QStringLiteral("過去")));
    notLive->SetKakolog(true);
    AddThread(env.server, Live, QStringLiteral("1000000003"), 5);
    ItemRef pastLogService(env.NewItem(Live, QStringLiteral("1000000003"), QStringLiteral("実況")));   // no account
    const QByteArray upToDateLog = FileUtil::ReadFile(upToDate->GetLogFile());
    const qint64 statistic = env.config->VOZADAZOZ_LOAD_THREAD_COUNT;
    env.server.ClearLog();

    TTavuRound patrol;
    const QStringList log = RunCheck(patrol, {grown.get(), notLive.get(), pastLogService.get(), upToDate.get()});

    EXPECT_EQ(log, QStringList({QStringLiteral("▽更新チェック開始"), QStringLiteral("  →巡回中：スレ") + a,
                                QStringLiteral("  →巡回中：スレ") + d, QStringLiteral("△更新チェック終了"),
                                QStringLiteral(" ")}));
    EXPECT_TRUE(patrol.SomethingNew());
    // Only the new bytes were fetched, and the log is the server's dat.
    const QList<BoardServer::Request> fetches = env.server.RequestsTo(QStringLiteral("/news/dat/") + a);
    ASSERT_EQ(fetches.size(), 1);
    EXPECT_EQ(fetches[0].Status, 206);
    EXPECT_EQ(FileUtil::ReadFile(grown->GetLogFile()), LogOf(env.server, a));
    EXPECT_EQ(grown->COUNT, 4);
    EXPECT_EQ(grown->NewCount, 2);
    EXPECT_EQ(grown->LOAD_COUNT, 1);
    ItemRef reread(new TThreadItem);
    reread->CopyLocation(*grown.get());
    reread->LoadInfo();
    EXPECT_EQ(reread->COUNT, 4);
    EXPECT_EQ(reread->SIZE, env.server.DatBytes(News, a).size());
    // Nothing new: the log stays as it was.
    EXPECT_EQ(FileUtil::ReadFile(upToDate->GetLogFile()), upToDateLog);
    EXPECT_EQ(upToDate->COUNT, 3);
    // A thread that is not live, and a past-log-service thread without a login, are not read, and no
    // login is tried without an account.
    EXPECT_TRUE(env.server.RequestsTo(QStringLiteral("1000000002")).isEmpty());
    EXPECT_TRUE(env.server.RequestsTo(QStringLiteral("/live/")).isEmpty());
    EXPECT_TRUE(env.server.RequestsTo(QStringLiteral("futen")).isEmpty());
    EXPECT_EQ(env.config->VOZADAZOZ_LOAD_THREAD_COUNT, statistic + 2);
    EXPECT_FALSE(grown->Checking);

    // A second patrol counts only what it brings itself.
    Append(env.server, a, 1);
    TTavuRound again;
    RunCheck(again, {grown.get()});
    EXPECT_EQ(grown->COUNT, 5);
    EXPECT_EQ(FileUtil::ReadFile(grown->GetLogFile()), LogOf(env.server, a));
}

TEST(Patrol, WithoutSaveModeItDownloadsButStoresNothing)
{
    TPostEnv env;
    const QString a = QStringLiteral("1000000001");
    ItemRef item(Stored(env, a, 2));
    const QByteArray before = FileUtil::ReadFile(item->GetLogFile());
    Append(env.server, a, 3);
    env.registry->SetCached(false, true);
    TTavuRound patrol;
    RunCheck(patrol, {item.get()});
    EXPECT_EQ(env.server.RequestsTo(QStringLiteral("/news/dat/") + a).size(), 2);   // stored once, patrolled once
    EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), before);
    EXPECT_FALSE(patrol.SomethingNew());
    EXPECT_EQ(item->COUNT, 2);
}

TEST(Patrol, ALogWrittenByOthersMeanwhileIsNeverOverwritten)
{
    TPostEnv env;
    const QString a = QStringLiteral("1000000001");
    ItemRef item(Stored(env, a, 2));
    Append(env.server, a, 2);
    // While the patrol downloads, the thread is opened and its log rewritten by the thread flow.
    const QByteArray theirs = env.server.DatBytes(News, a) + "someone<>else<>2024/01/01<> more <>\n";
    const QString logFile = item->GetLogFile();
    bool written = false;
    env.registry->SetTraceSink([&](const QString &text) {
        if (!written && text.contains(QStringLiteral("/news/dat/"))) {
            written = true;
            FileUtil::WriteFileAtomic(logFile, theirs);
        }
    });
    TTavuRound patrol;
    RunCheck(patrol, {item.get()});
    env.registry->SetTraceSink({});
    ASSERT_TRUE(written);
    EXPECT_EQ(FileUtil::ReadFile(logFile), theirs);
    EXPECT_EQ(item->COUNT, 2);
    EXPECT_FALSE(patrol.SomethingNew());
    EXPECT_EQ(item->NewCount, 2);   // what arrived is still shown as new
}

TEST(Patrol, LogsInOnceOnItsOwnThreadToReadPastLogServiceThreads)
{
    TPostEnv env;
    env.server.DolibId = QStringLiteral("user@example.jp");
    env.server.DolibPassword = QStringLiteral("pw");
    env.config->DOLIB_USERNAME = env.server.DolibId;
    env.config->DOLIB_PASSWORD = env.server.DolibPassword;
    TDolibManager dolib;
    dolib.LoginUrl = env.server.Url(QStringLiteral("/futen.cgi"));
    AddThread(env.server, Live, QStringLiteral("1000000003"), 2);
    AddThread(env.server, Live, QStringLiteral("1000000004"), 1);
    ItemRef first(env.NewItem(Live, QStringLiteral("1000000003"), QStringLiteral("実況1")));
    ItemRef second(env.NewItem(Live, QStringLiteral("1000000004"), QStringLiteral("実況2")));

    TTavuRound patrol;
    RunCheck(patrol, {first.get(), second.get()});
    EXPECT_EQ(env.server.RequestsTo(QStringLiteral("/futen.cgi")).size(), 1);
    EXPECT_TRUE(dolib.IsLoggedIn());
    EXPECT_EQ(FileUtil::ReadFile(first->GetLogFile()), env.server.DatBytes(Live, QStringLiteral("1000000003")).replace("\n", "\r\n"));
    EXPECT_EQ(second->COUNT, 1);
    EXPECT_TRUE(patrol.SomethingNew());
}

TEST(Patrol, AStopEndsTheRunAfterTheThreadInHand)
{
    TPostEnv env;
    AddThread(env.server, News, QStringLiteral("1000000001"), 2);
    AddThread(env.server, News, QStringLiteral("1000000002"), 2);
    ItemRef first(env.NewItem(News, QStringLiteral("1000000001"), QStringLiteral("一")));
    ItemRef second(env.NewItem(News, QStringLiteral("1000000002"), QStringLiteral("二")));
    TTavuRound patrol;
    const QStringList log = RunCheck(patrol, {first.get(), second.get()}, [&patrol](const QString &line) {
        if (line.startsWith(QStringLiteral("  →巡回中：")))
            patrol.Stop();
    });
    EXPECT_EQ(log, QStringList({QStringLiteral("▽更新チェック開始"), QStringLiteral("  →巡回中：一"),
                                QStringLiteral("※巡回を中止します。しばらくお待ちください。"),
                                QStringLiteral("△更新チェック終了"), QStringLiteral(" ")}));
    EXPECT_TRUE(first->LogExists());
    EXPECT_TRUE(env.server.RequestsTo(QStringLiteral("1000000002")).isEmpty());
}

TEST(Patrol, RunsOverTheCurrentThreadListTab)
{
    TPostWindowEnv env;
    AddThread(env.server, News, QStringLiteral("1000000001"), 2);
    AddThread(env.server, News, QStringLiteral("1000000002"), 3);
    env.Window()->ListPane().StartThreadListDownload(env.Board(News), false, false);
    TTavuListDoc *doc = nullptr;
    ASSERT_TRUE(PostTest::WaitFor([&] {
        return env.Window()->Tabs().GetActiveListDoc(doc) && doc->DownloadState == TTavuListDoc::dsIdle && doc->Items()->Count() == 2;
    }));
    env.Window()->Action(QStringLiteral("actThreadListRound"))->trigger();
    ASSERT_TRUE(PostTest::WaitFor([&] { return Part<TUpdateCheckController>(env.Window())->RunningChecks.isEmpty(); }));

    for (int i = 0; i < doc->Items()->Count(); ++i) {
        TThreadItem *item = doc->Items()->Get(i);
        EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), LogOf(env.server, item->GetKey()));
        EXPECT_EQ(item->COUNT, env.server.ResCount(News, item->GetKey()));
        EXPECT_FALSE(item->Checking);
    }
    const QStringList lines = Part<QPlainTextEdit>(env.env.Window, "Memo1")->toPlainText().split(QLatin1Char('\n'));
    const int start = lines.lastIndexOf(QStringLiteral("▽更新チェック開始"));
    ASSERT_GE(start, 0);
    EXPECT_TRUE(lines.value(start + 1).startsWith(QStringLiteral("  →巡回中：")));
    EXPECT_TRUE(lines.value(start + 2).startsWith(QStringLiteral("  →巡回中：")));
    EXPECT_EQ(lines.value(start + 3), QStringLiteral("△更新チェック終了"));
    EXPECT_EQ(doc->DownloadState, TTavuListDoc::dsIdle);

    // A thread the patrol fetched first was fetched then, and opens with its responses new.
    TThreadItem *first = doc->Items()->Get(0);
    EXPECT_FALSE(TIniFile(first->GetInfFile()).ReadString(QStringLiteral("LOG"), QStringLiteral("LAST_LOAD")).isEmpty());
    PostTest::OpenThread(env, first);
    ASSERT_TRUE(PostTest::WaitFor([&env] { return PostTest::Settled(env); }));
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().value(0);
    ASSERT_TRUE(tab && tab->ResList() && tab->ResList()->Count() > 0);
    EXPECT_EQ(first->NewCount, tab->ResList()->Count());
    for (int i = 0; i < tab->ResList()->Count(); ++i)
        EXPECT_TRUE(tab->ResList()->Get(i)->IsNew) << i;
}
