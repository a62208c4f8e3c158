// The update check: listed counts, updated and fallen marks, errors and stops, on its worker thread
// against the board server, and over a thread-list tab of the main window.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "services/TavuUpdateCheck.h"

#include "core/ThreadItemList.h"
#include "flows/UpdateCheckController.h"
#include "render/TavuListDoc.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>

using PostTest::Gone;
using PostTest::AddThread;
using PostTest::ItemRef;
using PostTest::RunCheck;
using PostTest::Live;
using PostTest::News;

namespace {

TThreadItem *Listed(TPostEnv &env, const QString &board, const QString &key, int ageCount)
{
    TThreadItem *item = env.NewItem(board, key, QStringLiteral("スレ") + key);
    item->AGECOUNT = ageCount;
    return item;
}

}  // namespace

TEST(UpdateCheck, MarksGrownCountsAndFallenThreadsFromAFreshListing)
{
    TPostEnv env;
    env.config->ROUND_KAKO_OCHI = 0;
    AddThread(env.server, News, QStringLiteral("1000000001"), 5);
    AddThread(env.server, News, QStringLiteral("1000000002"), 3);
    AddThread(env.server, News, QStringLiteral("1000000004"), 7);
    AddThread(env.server, Live, QStringLiteral("1000000009"), 2);
    ItemRef grown(Listed(env, News, QStringLiteral("1000000001"), 3));
    ItemRef same(Listed(env, News, QStringLiteral("1000000002"), 3));
    ItemRef fallen(Listed(env, News, QStringLiteral("1000000003"), 2));
    ItemRef pastListed(Listed(env, News, QStringLiteral("1000000004"), 4));
    pastListed->SetKakolog(true);
    ItemRef pastGone(Listed(env, News, QStringLiteral("1000000005"), 4));
    pastGone->SetKakolog(true);
    ItemRef pastOnly(Listed(env, Live, QStringLiteral("1000000009"), 1));
    pastOnly->SetKakolog(true);

    TTavuUpdateCheck check;
    const QStringList log = RunCheck(check, {grown.get(), same.get(), fallen.get(), pastListed.get(), pastGone.get(), pastOnly.get()});

    EXPECT_EQ(log, QStringList({QStringLiteral("▽更新チェック開始"), QStringLiteral("  →チェック中：") + env.Board(News)->URL,
                                QStringLiteral("△更新チェック終了"), QStringLiteral(" ")}));
    EXPECT_TRUE(check.SomethingNew());
    EXPECT_TRUE(grown->Updated);
    EXPECT_EQ(grown->AGECOUNT, 5);
    EXPECT_FALSE(same->Updated);
    EXPECT_FALSE(same->CheckError);
    EXPECT_TRUE(fallen->CheckError);
    EXPECT_TRUE(fallen->Live);
    // Past-log threads are not checked for, yet a listed one gets its count; an unlisted one stays.
    EXPECT_EQ(pastListed->AGECOUNT, 7);
    EXPECT_FALSE(pastGone->CheckError);
    // A board whose threads are all past logs is not downloaded.
    EXPECT_TRUE(env.server.RequestsTo(QStringLiteral("/live/")).isEmpty());
    for (const ItemRef *item : {&grown, &same, &fallen, &pastListed})
        EXPECT_FALSE((*item)->Checking);
    // The check writes no file of the items.
    EXPECT_FALSE(grown->LogExists());
    EXPECT_FALSE(QFile::exists(grown->GetInfFile()));
}

TEST(UpdateCheck, OnlyAWholeFreshListingMarksThreadsAsFallen)
{
    TPostEnv env;
    env.config->ROUND_KAKO_OCHI = 1;
    AddThread(env.server, News, QStringLiteral("1000000001"), 2);
    ItemRef listed(Listed(env, News, QStringLiteral("1000000001"), 2));
    ItemRef fallen(Listed(env, News, QStringLiteral("1000000003"), 2));
    ItemRef onGoneBoard(Listed(env, Gone, QStringLiteral("1000000007"), 2));
    {
        TTavuUpdateCheck check;
        const QStringList log = RunCheck(check, {listed.get(), fallen.get(), onGoneBoard.get()});
        EXPECT_FALSE(check.SomethingNew());
        // A failed listing is logged, and its threads are left as they are.
        const int error = log.indexOf(QStringLiteral("△スレッド一覧取得エラー →消えた板＠テスト"));
        ASSERT_GE(error, 0);
        EXPECT_TRUE(log.value(error + 1).startsWith(QStringLiteral("→404:")));
        EXPECT_EQ(log.value(error + 2), QString());
        EXPECT_TRUE(onGoneBoard->Live);
        EXPECT_FALSE(onGoneBoard->CheckError);
    }
    EXPECT_TRUE(fallen->KAKOLOG);
    EXPECT_FALSE(fallen->Live);

    // The same listing again: the server answers "not modified", which tells nothing of what fell.
    fallen->SetKakolog(false);
    env.server.ClearLog();
    TTavuUpdateCheck again;
    RunCheck(again, {listed.get(), fallen.get()});
    ASSERT_EQ(env.server.RequestsTo(QStringLiteral("/news/subject.txt")).value(0).Status, 304);
    EXPECT_FALSE(fallen->KAKOLOG);
    EXPECT_TRUE(fallen->Live);
}

TEST(UpdateCheck, AStopTakesEffectAfterTheBoardInHand)
{
    TPostEnv env;
    AddThread(env.server, News, QStringLiteral("1000000001"), 4);
    ItemRef first(Listed(env, News, QStringLiteral("1000000001"), 1));
    ItemRef second(Listed(env, Gone, QStringLiteral("1000000002"), 1));
    TTavuUpdateCheck check;
    const QStringList log = RunCheck(check, {first.get(), second.get()}, [&check](const QString &line) {
        if (line.startsWith(QStringLiteral("  →チェック中：")))
            check.Stop();
    });
    EXPECT_EQ(log.mid(2), QStringList({QStringLiteral("※更新チェックを中止します。しばらくお待ちください。"),
                                       QStringLiteral("△更新チェック終了"), QStringLiteral(" ")}));
    EXPECT_EQ(first->AGECOUNT, 4);   // the board in hand was finished
    EXPECT_TRUE(env.server.RequestsTo(QStringLiteral("/gone/")).isEmpty());
}

TEST(UpdateCheck, ADownloadThatGivesUpMarksEveryThreadOfItsBoard)
{
    TPostEnv env;
    AddThread(env.server, News, QStringLiteral("1000000001"), 4);
    ItemRef first(Listed(env, News, QStringLiteral("1000000001"), 1));
    ItemRef pastLog(Listed(env, News, QStringLiteral("1000000002"), 1));
    pastLog->SetKakolog(true);
    env.registry->SetStopped(true);   // stop-all: every synchronous wait gives up
    TTavuUpdateCheck check;
    const QStringList log = RunCheck(check, {first.get(), pastLog.get()});
    env.registry->SetStopped(false);
    EXPECT_TRUE(first->CheckError);
    EXPECT_TRUE(pastLog->CheckError);
    EXPECT_EQ(first->AGECOUNT, 1);
    EXPECT_EQ(log.value(log.size() - 2), QStringLiteral("△更新チェック終了"));
}

TEST(UpdateCheck, RunsOverTheCurrentThreadListTab)
{
    TPostWindowEnv env;
    AddThread(env.server, News, QStringLiteral("1000000001"), 2);
    AddThread(env.server, News, QStringLiteral("1000000002"), 3);
    env.Window()->ListPane().StartThreadListDownload(env.Board(News), false, false);
    TTavuListDoc *doc = nullptr;
    ASSERT_TRUE(PostTest::WaitFor([&] {
        return env.Window()->Tabs().GetActiveListDoc(doc) && doc->DownloadState == TTavuListDoc::dsIdle && doc->Items()->Count() == 2;
    }));
    env.server.AppendRes(News, QStringLiteral("1000000001"), QStringLiteral("名無し"), QString(), QStringLiteral("新しい"));

    QAction *command = env.Window()->Action(QStringLiteral("actThreadListCheckUpdate"));
    ASSERT_TRUE(command->isEnabled());
    command->trigger();
    EXPECT_TRUE(Part<TUpdateCheckController>(env.Window())->CheckRunning);
    EXPECT_FALSE(command->isEnabled());
    EXPECT_EQ(doc->DownloadState, TTavuListDoc::dsDownloading);
    ASSERT_TRUE(PostTest::WaitFor([&] { return Part<TUpdateCheckController>(env.Window())->RunningChecks.isEmpty(); }));

    EXPECT_FALSE(Part<TUpdateCheckController>(env.Window())->CheckRunning);
    EXPECT_EQ(doc->DownloadState, TTavuListDoc::dsIdle);
    EXPECT_TRUE(command->isEnabled());
    TThreadItem *grown = nullptr;
    for (int i = 0; i < doc->Items()->Count(); ++i) {
        if (doc->Items()->Get(i)->GetKey() == QStringLiteral("1000000001"))
            grown = doc->Items()->Get(i);
    }
    ASSERT_TRUE(grown);
    EXPECT_TRUE(grown->Updated);
    EXPECT_EQ(grown->AGECOUNT, 3);
    const QStringList lines = Part<QPlainTextEdit>(env.env.Window, "Memo1")->toPlainText().split(QLatin1Char('\n'));
    const int start = lines.lastIndexOf(QStringLiteral("▽更新チェック開始"));
    ASSERT_GE(start, 0);
    EXPECT_EQ(lines.value(start + 1), QStringLiteral("  →チェック中：") + env.Board(News)->URL);
    EXPECT_EQ(lines.value(start + 2), QStringLiteral("△更新チェック終了"));
}
