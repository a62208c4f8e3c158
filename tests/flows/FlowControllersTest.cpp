// The flow controllers driven alone, with no main window: a board's thread list downloaded from the
// board server into a tab's document, update checks and patrols over that document, and replies
// sent from a composer; what each controller reports by its signals.

#include "uisupport/PostEnv.h"

#include "controls/BarsAndMenus.h"
#include "core/TextList.h"
#include "core/ThreadItemList.h"
#include "flows/PostController.h"
#include "flows/ThreadListController.h"
#include "flows/UpdateCheckController.h"
#include "render/TavuListDoc.h"
#include "tools/ErrorDialog.h"
#include "tools/SendDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPointer>

using PostTest::AddThread;
using PostTest::Gone;
using PostTest::ItemRef;
using PostTest::News;
using PostTest::WaitFor;

namespace {

// A board tab's document as the window makes it, without its tab button.
std::unique_ptr<TTavuListDoc> BoardDoc(const TBoard *board)
{
    auto doc = std::make_unique<TTavuListDoc>();
    doc->BoardID = board->ID;
    doc->Site = board->Site;
    doc->Caption = board->Name;
    return doc;
}

// What a thread-list controller reported.
struct TListReports {
    explicit TListReports(TThreadListController &flow)
    {
        QObject::connect(&flow, &TThreadListController::Started, &receiver, [this](TTavuListDoc *) { ++Started; });
        QObject::connect(&flow, &TThreadListController::Ended, &receiver,
                         [this](TTavuListDoc *doc, TSite *site) { Ended.append({doc, site}); });
        QObject::connect(&flow, &TThreadListController::LogLine, &receiver, [this](const QString &line) { Log << line; });
        QObject::connect(&flow, &TThreadListController::StatusText, &receiver, [this](const QString &text) { Status = text; });
        QObject::connect(&flow, &TThreadListController::RowCountChanged, &receiver,
                         [this](TTavuListDoc *, int count, bool) { Rows = count; });
    }
    int Started = 0;
    QList<QPair<TTavuListDoc *, TSite *>> Ended;
    QStringList Log;
    QString Status;
    int Rows = -1;
    QObject receiver;   // the connections end with the reports
};

// Fills the document with the board's listing and waits for the end.
void DownloadList(TThreadListController &flow, TTavuListDoc *doc, TBoard *board)
{
    TListReports reports(flow);
    flow.StartThreadListDownload(doc, board, false, false);
    ASSERT_TRUE(WaitFor([&] { return !reports.Ended.isEmpty(); }));
}

// What an update-check controller reported.
struct TCheckReports {
    explicit TCheckReports(TUpdateCheckController &checks)
    {
        QObject::connect(&checks, &TUpdateCheckController::RowCountChanged, &receiver,
                         [this](TTavuListDoc *, int count) { Rows = count; });
        QObject::connect(&checks, &TUpdateCheckController::CommandsChanged, &receiver, [this] { ++CommandChanges; });
        QObject::connect(&checks, &TUpdateCheckController::Finished, &receiver,
                         [this](bool patrol, int sound) { Finished.append({patrol, sound}); });
    }
    int Rows = -1;
    int CommandChanges = 0;
    QList<QPair<bool, int>> Finished;
    QObject receiver;   // the connections end with the reports
};

// Runs a check or patrol over the document and waits until it has left the running list.
void RunCheck(TUpdateCheckController &checks, TTavuListDoc *doc, bool patrol)
{
    checks.actThreadListCheckUpdateExecute(doc, patrol);
    ASSERT_TRUE(checks.CheckRunning);
    EXPECT_TRUE(doc->Busy);
    EXPECT_EQ(doc->DownloadState, TTavuListDoc::dsDownloading);
    ASSERT_TRUE(WaitFor([&] { return checks.RunningChecks.isEmpty(); }));
}

}  // namespace

TEST(ThreadListController, ADownloadFillsTheDocumentAndReportsEachStep)
{
    TPostEnv env;
    for (int i = 1; i <= 3; ++i)
        AddThread(env.server, News, QStringLiteral("100000000%1").arg(i), i);
    TBoard *board = env.Board(News);
    const auto doc = BoardDoc(board);
    TThreadListController flow;
    TListReports reports(flow);

    flow.StartThreadListDownload(doc.get(), board, false, false);
    EXPECT_EQ(reports.Started, 1);
    EXPECT_EQ(doc->DownloadState, TTavuListDoc::dsDownloading);
    EXPECT_EQ(reports.Rows, 0);   // the view is emptied at the start
    ASSERT_TRUE(WaitFor([&] { return !reports.Ended.isEmpty(); }));

    EXPECT_EQ(reports.Ended, (QList<QPair<TTavuListDoc *, TSite *>>{{doc.get(), env.site}}));
    EXPECT_EQ(doc->Items()->Count(), 3);
    EXPECT_EQ(reports.Rows, 3);
    EXPECT_EQ(doc->DownloadState, TTavuListDoc::dsIdle);
    EXPECT_FALSE(doc->DownloadFailed);
    EXPECT_EQ(doc->Downloader, nullptr);
    ASSERT_EQ(reports.Log.size(), 3);
    EXPECT_EQ(reports.Log.mid(0, 2), QStringList({QString(), QStringLiteral("▽スレッド一覧の取得開始 →ニュース＠テスト")}));
    EXPECT_TRUE(reports.Log.at(2).startsWith(QStringLiteral("△スレッド一覧の取得完了 →ニュース＠テスト (")));
    EXPECT_TRUE(reports.Log.at(2).endsWith(QStringLiteral("件 / 3件)")));
    EXPECT_TRUE(reports.Status.isEmpty());
    EXPECT_TRUE(env.Messages.isEmpty());
}

// A download in save mode stores the listing; asked for the cache only, the flow shows what it stored
// at once, without a request, and ends before the call returns.
TEST(ThreadListController, OnlyTheCacheShowsWhatTheLastDownloadStored)
{
    TPostEnv env;
    TavuEnviron->SetCached(true, true);
    AddThread(env.server, News, QStringLiteral("1000000001"), 2);
    AddThread(env.server, News, QStringLiteral("1000000002"), 5);
    TBoard *board = env.Board(News);
    TThreadListController flow;
    DownloadList(flow, BoardDoc(board).get(), board);
    AddThread(env.server, News, QStringLiteral("1000000003"), 1);
    env.server.ClearLog();

    const auto doc = BoardDoc(board);
    TListReports reports(flow);
    flow.StartThreadListDownload(doc.get(), board, false, true);

    EXPECT_EQ(reports.Ended, (QList<QPair<TTavuListDoc *, TSite *>>{{doc.get(), env.site}}));
    EXPECT_TRUE(env.server.Requests().isEmpty());
    ASSERT_EQ(doc->Items()->Count(), 2);
    EXPECT_EQ(doc->Items()->Get(0)->GetKey(), QStringLiteral("1000000002"));
    EXPECT_EQ(doc->Items()->Get(0)->AGECOUNT, 5);
    EXPECT_EQ(reports.Rows, 2);
    EXPECT_EQ(doc->DownloadState, TTavuListDoc::dsIdle);
}

// The board asked for leads the recent boards once; the other boards keep their order.
TEST(ThreadListController, TheListedBoardLeadsTheRecentBoardsOnce)
{
    TPostEnv env;
    TavuEnviron->SetCached(true, true);
    TBoard *board = env.Board(News);
    const QString own = env.site->SITEID + QLatin1Char('\t') + board->ID + QLatin1Char('\t');
    const QString other = env.site->SITEID + QStringLiteral("\tother\tother board");
    TTextList recent;
    recent.Lines = {other, own + QStringLiteral("old target")};
    TThreadListController flow;
    flow.RecentBoards = &recent;

    const auto doc = BoardDoc(board);
    flow.StartThreadListDownload(doc.get(), board, false, true);
    EXPECT_EQ(recent.Lines, (QStringList{own + TThreadListController::BoardTarget(board), other}));
}

TEST(ThreadListController, AFailedListingIsLoggedAndShownOnceAndLeavesTheTabMarked)
{
    TPostEnv env;
    TBoard *board = env.Board(Gone);
    const auto doc = BoardDoc(board);
    TThreadListController flow;
    TListReports reports(flow);

    flow.StartThreadListDownload(doc.get(), board, false, false);
    ASSERT_TRUE(WaitFor([&] { return !reports.Ended.isEmpty(); }));

    const int error = reports.Log.indexOf(QStringLiteral("△スレッド一覧取得エラー →消えた板＠テスト"));
    ASSERT_GE(error, 0);
    EXPECT_TRUE(reports.Log.value(error + 1).startsWith(QStringLiteral("→404:")));
    for (const QString &line : std::as_const(reports.Log))
        EXPECT_FALSE(line.contains(QStringLiteral("取得完了"))) << line.toStdString();   // nothing was completed
    ASSERT_EQ(env.Messages.size(), 1);
    EXPECT_TRUE(env.Messages.first().contains(QStringLiteral("スレッド一覧ダウンロードエラー\n消えた板")));
    EXPECT_TRUE(doc->DownloadFailed);
    EXPECT_EQ(doc->DownloadState, TTavuListDoc::dsIdle);
    EXPECT_EQ(reports.Started, reports.Ended.size());
}

// The window's busy state rests on one end for every start, also for a download let go of.
TEST(ThreadListController, ADetachedDownloadStillEndsOnceAndFillsNothing)
{
    TPostEnv env;
    AddThread(env.server, News, QStringLiteral("1000000001"), 2);
    TBoard *board = env.Board(News);
    const auto doc = BoardDoc(board);
    TThreadListController flow;
    TListReports reports(flow);
    env.server.Hold = true;

    flow.StartThreadListDownload(doc.get(), board, false, false);
    ASSERT_TRUE(WaitFor([&] { return !env.server.Requests().isEmpty(); }));
    flow.Detach(doc.get());
    env.server.Hold = false;
    env.server.AnswerHeld();
    ASSERT_TRUE(WaitFor([&] { return !reports.Ended.isEmpty(); }));
    // Jobs ended outside an event loop of the program's are freed as its loop would.
    ASSERT_TRUE(WaitFor([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return TavuHttpList->Count() == 0;
    }));

    EXPECT_EQ(reports.Started, 1);
    EXPECT_EQ(reports.Ended.size(), 1);
    EXPECT_EQ(doc->Items()->Count(), 0);
    EXPECT_EQ(doc->DownloadState, TTavuListDoc::dsIdle);
    EXPECT_EQ(doc->Downloader, nullptr);
    EXPECT_TRUE(env.Messages.isEmpty());
}

TEST(UpdateCheckController, ARunOverATabLeavesItIdleAndReportsTheSoundItPlays)
{
    TPostEnv env;
    env.config->SOUND_EXECUPDATECHECK_THREAD = false;
    AddThread(env.server, News, QStringLiteral("1000000001"), 2);
    AddThread(env.server, News, QStringLiteral("1000000002"), 3);
    TBoard *board = env.Board(News);
    const auto doc = BoardDoc(board);
    TThreadListController lists;
    DownloadList(lists, doc.get(), board);
    TUpdateCheckController checks;
    TCheckReports reports(checks);

    RunCheck(checks, doc.get(), false);
    EXPECT_EQ(reports.Rows, 2);   // every thread of the tab is shown for the run
    EXPECT_EQ(reports.Finished, (QList<QPair<bool, int>>{{false, EventLog::esUpdateCheckNo}}));
    EXPECT_FALSE(checks.CheckRunning);
    EXPECT_EQ(reports.CommandChanges, 2);
    EXPECT_EQ(doc->DownloadState, TTavuListDoc::dsIdle);
    EXPECT_FALSE(doc->Busy);
    EXPECT_EQ(doc->UpdateCheck, nullptr);

    // A thread grew: the run found something and plays its sound at the end...
    env.server.AppendRes(News, QStringLiteral("1000000001"), QStringLiteral("名無し"), QString(), QStringLiteral("新"));
    RunCheck(checks, doc.get(), false);
    EXPECT_EQ(reports.Finished.value(1), qMakePair(false, int(EventLog::esUpdateCheck)));
    // ... unless it played it during the run.
    env.config->SOUND_EXECUPDATECHECK_THREAD = true;
    env.server.AppendRes(News, QStringLiteral("1000000002"), QStringLiteral("名無し"), QString(), QStringLiteral("新"));
    RunCheck(checks, doc.get(), false);
    EXPECT_EQ(reports.Finished.value(2), qMakePair(false, -1));
}

TEST(UpdateCheckController, APatrolIsReportedAsOneAndTheTabsCheckStopsWhenAsked)
{
    TPostEnv env;
    TBoard *board = env.Board(News);
    const auto doc = BoardDoc(board);
    TUpdateCheckController checks;
    TCheckReports reports(checks);

    RunCheck(checks, doc.get(), true);
    EXPECT_EQ(reports.Finished, (QList<QPair<bool, int>>{{true, EventLog::esRoundNo}}));

    AddThread(env.server, News, QStringLiteral("1000000001"), 2);
    TThreadListController lists;
    DownloadList(lists, doc.get(), board);
    env.server.Hold = true;
    env.server.ClearLog();
    EXPECT_FALSE(checks.StopCheckOf(doc.get()));   // nothing runs on the tab
    checks.actThreadListCheckUpdateExecute(doc.get(), false);
    ASSERT_TRUE(WaitFor([&] { return !env.server.Requests().isEmpty(); }));
    EXPECT_TRUE(checks.StopCheckOf(doc.get()));
    ASSERT_EQ(checks.RunningChecks.size(), 1);
    EXPECT_TRUE(checks.RunningChecks.first()->isInterruptionRequested());
    env.server.Hold = false;
    env.server.AnswerHeld();
    ASSERT_TRUE(WaitFor([&] { return checks.RunningChecks.isEmpty(); }));
    EXPECT_FALSE(checks.CheckRunning);
    EXPECT_EQ(reports.Finished.size(), 2);
}

namespace {

// What a post controller reported.
struct TPostReports {
    explicit TPostReports(TPostController &posts)
    {
        QObject::connect(&posts, &TPostController::Started, &receiver, [this] { ++Started; });
        QObject::connect(&posts, &TPostController::Ended, &receiver,
                         [this](TPostController::TOutcome outcome) { Ended.append(outcome); });
        QObject::connect(&posts, &TPostController::LogLine, &receiver, [this](const QString &line) { Log << line; });
        QObject::connect(&posts, &TPostController::ReplySent, &receiver, [this](TThreadItem *item) { Sent.append(item); });
    }
    int Started = 0;
    QList<TPostController::TOutcome> Ended;
    QStringList Log;
    QList<TThreadItem *> Sent;
    QObject receiver;   // the connections end with the reports
};

// A reply composer for the thread, written and sent as the user does.
TSendDialog *WriteReply(TPostController &posts, QWidget &window, TThreadItem *item, const QString &body)
{
    auto *composer = new TSendDialog(&window);
    composer->SetThread(item);
    composer->OnSend = [&posts](TSendDialog *sender) { posts.StartPost(sender); };
    composer->SenderName->setEditText(QStringLiteral("書いた人"));
    composer->SenderBody->setPlainText(body);
    composer->show();
    composer->actSend->trigger();
    return composer;
}

}  // namespace

TEST(PostController, AReplyThatGoesThroughIsReportedSentAndClosesItsComposer)
{
    TPostEnv env;
    env.config->SENDWIN_PREVIEW = false;
    const QString key = QStringLiteral("1000000001");
    AddThread(env.server, News, key, 2);
    ItemRef item(env.NewItem(News, key, QStringLiteral("スレ") + key));
    QWidget window;
    TPostController posts(&window);
    TPostReports reports(posts);

    QPointer<TSendDialog> composer = WriteReply(posts, window, item.get(), QStringLiteral("お返事です"));
    ASSERT_TRUE(WaitFor([&] { return !reports.Ended.isEmpty(); }));

    EXPECT_EQ(reports.Started, 1);
    EXPECT_EQ(reports.Ended, QList<TPostController::TOutcome>{TPostController::poSent});
    EXPECT_EQ(reports.Sent, QList<TThreadItem *>{item.get()});
    EXPECT_TRUE(item->DownloadRequest);   // the window reopens it with its new response
    EXPECT_EQ(item->SEND_COUNT, 1);
    EXPECT_EQ(env.server.ResCount(News, key), 3);
    const QString target = QStringLiteral("スレ%1／ニュース＠テスト").arg(key);
    EXPECT_EQ(reports.Log, QStringList({QString(), QStringLiteral("▽書き込み開始 →") + target,
                                        QStringLiteral("△書き込み完了 →") + target}));
    ASSERT_TRUE(WaitFor([&] { return composer.isNull(); }));
}

TEST(PostController, ARefusedReplyShowsTheServersPageAndBringsTheComposerBack)
{
    TPostEnv env;
    env.config->SENDWIN_PREVIEW = false;
    env.server.ErrorOnPost = true;
    const QString key = QStringLiteral("1000000001");
    AddThread(env.server, News, key, 2);
    ItemRef item(env.NewItem(News, key, QStringLiteral("スレ") + key));
    QStringList pages;
    env.Dialog = [&pages](QDialog &dialog) {
        if (qobject_cast<TErrorDialog *>(&dialog))
            pages << dialog.windowTitle();
        return int(QDialog::Accepted);
    };
    QWidget window;
    TPostController posts(&window);
    TPostReports reports(posts);

    QPointer<TSendDialog> composer = WriteReply(posts, window, item.get(), QStringLiteral("消えてはならない文"));
    ASSERT_TRUE(WaitFor([&] { return !reports.Ended.isEmpty(); }));

    EXPECT_EQ(pages.size(), 1);
    EXPECT_EQ(reports.Ended, QList<TPostController::TOutcome>{TPostController::poFailed});
    EXPECT_TRUE(reports.Sent.isEmpty());
    EXPECT_EQ(item->SEND_COUNT, 0);
    EXPECT_TRUE(reports.Log.contains(QStringLiteral("△書き込みエラー →スレ%1／ニュース＠テスト").arg(key)));
    ASSERT_TRUE(composer);
    EXPECT_TRUE(composer->isVisible());
    EXPECT_EQ(composer->SenderBody->toPlainText(), QStringLiteral("消えてはならない文"));

    // Sent again while offline: refused before anything starts, and the composer comes back.
    TavuEnviron->SetOffline(true);
    env.Messages.clear();
    composer->actSend->trigger();
    EXPECT_EQ(env.Messages, QStringList({QStringLiteral("オフライン状態では実行できません。")}));
    EXPECT_EQ(reports.Started, 1);
    EXPECT_TRUE(composer->isVisible());
    composer->SenderBody->clear();
    composer->close();
}
