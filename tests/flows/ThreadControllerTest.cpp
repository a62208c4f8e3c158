// The thread flow driven alone, with no main window: a thread opened from the board server into a
// new tab, the same thread updated in place, a thread the server does not have and a tab let go of
// while it opens; what the controller reports by its signals and what it stores.

#include "uisupport/PostEnv.h"

#include "controls/WindowServices.h"
#include "core/FileUtil.h"
#include "core/TavuActionList.h"
#include "core/TextList.h"
#include "flows/ThreadController.h"
#include "render/EmbeddedWB.h"
#include "services/ThreadListPane.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPointer>
#include <QWidget>

#include <algorithm>

using namespace PostTest;

namespace {

const QString Key = QStringLiteral("1000000001");

// The tabs, rules and bookmarks of a window, without the window: the thread tabs are browser tabs of
// a hidden widget, the one made last in front.
class TThreadHost : public TTabServices, public TRuleServices, public TBookmarkServices {
public:
    TTavuBrowser *CurrentBrowser() const override { return tabs.value(0); }
    TTavuListDoc *CurrentListDoc() const override { return nullptr; }
    QList<TTavuBrowser *> Browsers() const override { return tabs; }
    QList<TTavuListDoc *> ListDocs() const override { return {}; }
    QList<TTavuBrowser *> BrowserTabOrder() const override { return tabs; }
    QList<TTavuListDoc *> ListDocTabOrder() const override { return {}; }
    void ShowBrowserTab(TTavuBrowser *tab) override { tabs.move(tabs.indexOf(tab), 0); }
    TThreadTab *FocusedTab() const override { return nullptr; }
    void CloseBrowser(TTavuBrowser *tab, bool) override { delete tabs.takeAt(tabs.indexOf(tab)); }
    TTavuBrowser *NewPageTab(const QString &, bool) override { return nullptr; }
    TTavuListDoc *BoardTab(const TBoard *) const override { return nullptr; }
    TBoard *ShownBoard() const override { return nullptr; }
    void CloseBoardTabs(const TBoard *) override {}
    void CloseListDoc(TTavuListDoc *, bool) override {}
    void RedrawListTabs() override {}
    TTavuBrowser *NewThreadTab(TThreadItem *item, bool activate) override
    {
        auto *tab = new TTavuBrowser(&host);
        tab->SetResList(new TResList(item));
        tab->SetThreadItem(item);
        if (activate)
            tabs.prepend(tab);
        else
            tabs.append(tab);
        return tab;
    }

    TTavuActionList *ResRules() const override { return resRules.get(); }
    TTavuActionList *ThreadRules() const override { return threadRules.get(); }
    void SaveResRules() override {}
    QString ResRulesFile() const override { return QString(); }
    QString ThreadRulesFile() const override { return QString(); }

    TTextList &BookmarkIndex() override { return *bookmarkIndex; }
    QString BookmarkIndexFile() const override { return TavuConfig->GetProfileDir() + QStringLiteral("bookmark.txt"); }

    QWidget host;
    QList<TTavuBrowser *> tabs;
    std::unique_ptr<TTavuActionList> resRules = std::make_unique<TTavuActionList>();
    std::unique_ptr<TTavuActionList> threadRules = std::make_unique<TTavuActionList>();
    std::unique_ptr<TTextList> bookmarkIndex = std::make_unique<TTextList>();
};

// A thread controller on the host, and what it reported.
struct TThreadFlow {
    explicit TThreadFlow(TThreadHost &host) : flow(host, host, host)
    {
        flow.RecentThreads = &recent;
        QObject::connect(&flow, &TThreadController::Started, &flow, [this] { ++Started; });
        QObject::connect(&flow, &TThreadController::Ended, &flow, [this] { ++Ended; });
        QObject::connect(&flow, &TThreadController::LogLine, &flow, [this](const QString &line) { Log << line; });
        QObject::connect(&flow, &TThreadController::StatusText, &flow, [this](const QString &text) { Statuses << text; });
        QObject::connect(&flow, &TThreadController::NewResCount, &flow, [this](int count) { NewRes = count; });
        QObject::connect(&flow, &TThreadController::ThreadDone, &flow, [this](TThreadItem *item) { Done << item; });
        QObject::connect(&flow, &TThreadController::WorkerStarted, &flow,
                         [this](QThread *worker) { workers << QPointer<QThread>(worker); });
    }

    // Opens the thread as the window does and waits until nothing runs any more.
    void Open(TThreadItem *item, bool reload)
    {
        const int ends = Ended + 1;
        flow.OpenThread(item, reload, false, true, 0, false, QString());
        Settle(ends);
    }
    // Waits for the ends of the openings, the downloads, the cache loaders and the saves.
    void Settle(int ends)
    {
        ASSERT_TRUE(WaitFor([&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return Ended >= ends && TavuHttpList->Count() == 0 && TSaveQueue::Instance().Idle()
                && std::all_of(workers.begin(), workers.end(), [](const QPointer<QThread> &w) { return w.isNull(); });
        }));
    }

    TTextList recent;
    TThreadController flow;
    int Started = 0;
    int Ended = 0;
    QStringList Log;
    QStringList Statuses;
    int NewRes = -1;
    QList<TThreadItem *> Done;
    QList<QPointer<QThread>> workers;
};

int LogLines(const TThreadItem *item)
{
    return int(FileUtil::ReadFile(item->GetLogFile()).count('\n'));
}

// The thread Key of a board, with responses on the server (none: not there), read in save mode by a
// controller on its own host.
struct TThreadEnv {
    TThreadEnv(const QString &board, int responses) : item(env.NewItem(board, Key, QStringLiteral("スレ") + Key))
    {
        TavuEnviron->SetCached(true, true);
        if (responses > 0)
            AddThread(env.server, board, Key, responses);
        item->DownloadRequest = true;
    }
    QString Target() const { return ThreadListPane::ThreadTarget(*item.get()); }

    TPostEnv env;
    ItemRef item;
    TThreadHost host;
    TThreadFlow reports{host};
};

}  // namespace

TEST(ThreadController, AThreadOpensInANewTabAndItsLogIsStored)
{
    TThreadEnv t(News, 3);

    t.reports.Open(t.item.get(), false);

    ASSERT_EQ(t.host.tabs.size(), 1);
    TTavuBrowser *tab = t.host.tabs.first();
    EXPECT_EQ(tab->ThreadItem(), t.item.get());
    EXPECT_EQ(tab->ResList()->Count(), 3);
    EXPECT_EQ(tab->DownloadState, TTavuBrowser::dsIdle);
    EXPECT_EQ(tab->Downloader, nullptr);
    EXPECT_EQ(t.reports.Started, 1);
    EXPECT_EQ(t.reports.Ended, 1);
    EXPECT_EQ(t.reports.Log, QStringList({QString(), QStringLiteral("▽スレッド取得開始 →") + t.Target(),
                                          QStringLiteral("  キャッシュ(0件)"),
                                          QStringLiteral("△スレッド取得完了 →") + t.Target() + QStringLiteral(" (3件/3件)")}));
    EXPECT_EQ(t.reports.Statuses.value(t.reports.Statuses.size() - 1), QStringLiteral("スレッド取得完了：") + t.Target());
    EXPECT_EQ(t.reports.NewRes, 3);
    EXPECT_EQ(t.reports.Done, QList<TThreadItem *>{t.item.get()});
    EXPECT_EQ(t.item->READ, 3);
    EXPECT_EQ(LogLines(t.item.get()), 3);
    EXPECT_EQ(t.reports.recent.Lines,
              QStringList{t.env.site->SITEID + QStringLiteral("\tnews\t") + Key + QLatin1Char('\t') + t.Target()});
    EXPECT_TRUE(t.env.Messages.isEmpty());
}

// Reloaded while its tab is open, the thread fetches only what is new and appends it to the page it
// shows: the stored log is not read again, and only the new responses are new.
TEST(ThreadController, AnOpenThreadTakesItsNewResponsesInPlace)
{
    TThreadEnv t(News, 3);
    t.reports.Open(t.item.get(), false);
    for (int i = 0; i < 2; ++i)
        t.env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("追加%1").arg(i));
    t.reports.Log.clear();

    t.reports.Open(t.item.get(), true);

    ASSERT_EQ(t.host.tabs.size(), 1);
    TResList *list = t.host.tabs.first()->ResList();
    ASSERT_EQ(list->Count(), 5);
    EXPECT_FALSE(list->Get(2)->IsNew);
    EXPECT_TRUE(list->Get(3)->IsNew);
    EXPECT_TRUE(list->Get(4)->IsNew);
    EXPECT_EQ(t.reports.Log, QStringList({QString(), QStringLiteral("▽スレッド取得開始 →") + t.Target(),
                                          QStringLiteral("△スレッド取得完了 →") + t.Target() + QStringLiteral(" (2件/5件)")}));
    EXPECT_EQ(t.reports.Started, 2);
    EXPECT_EQ(t.reports.Ended, 2);
    EXPECT_EQ(t.reports.NewRes, 2);
    EXPECT_EQ(LogLines(t.item.get()), 5);
    EXPECT_EQ(t.reports.recent.Lines.size(), 1);
}

// The page is sent the new responses before the window hears that the download ended: the end of
// the progress, the status texts and the tab's caption come while the page shows them.
TEST(ThreadController, AnUpdateSendsItsResponsesToThePageBeforeItReportsItsEnd)
{
    TThreadEnv t(News, 3);
    t.reports.Open(t.item.get(), false);
    t.env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("追加"));
    TTavuBrowser *tab = t.host.tabs.first();
    ASSERT_TRUE(WaitFor([tab] { return !tab->Browser()->IsBusy(); }));   // the page shows the first read
    QStringList order;
    QObject::connect(tab->Browser(), &TEmbeddedWB::Inserting, &t.reports.flow, [&order](const QString &html) {
        if (html.contains(QStringLiteral("追加")))
            order << QStringLiteral("page");
    });
    QObject::connect(&t.reports.flow, &TThreadController::ProgressEnded, &t.reports.flow,
                     [&order] { order << QStringLiteral("progress"); });
    QObject::connect(&t.reports.flow, &TThreadController::TabCaptionChanged, &t.reports.flow,
                     [&order] { order << QStringLiteral("caption"); });
    QObject::connect(&t.reports.flow, &TThreadController::StatusText, &t.reports.flow,
                     [&order](const QString &text) { order << QStringLiteral("status ") + text; });

    t.reports.Open(t.item.get(), true);

    EXPECT_EQ(order, QStringList({QStringLiteral("status スレッド取得開始：") + t.Target(), QStringLiteral("page"),
                                  QStringLiteral("progress"), QStringLiteral("status "), QStringLiteral("caption"),
                                  QStringLiteral("status スレッド取得完了：") + t.Target()}));
    EXPECT_EQ(tab->ResList()->Count(), 4);
    EXPECT_EQ(LogLines(t.item.get()), 4);
}

TEST(ThreadController, AThreadTheServerLacksIsLoggedAndToldOnceAndStoresNothing)
{
    TThreadEnv t(Gone, 0);

    t.reports.Open(t.item.get(), false);

    const int error = t.reports.Log.indexOf(QStringLiteral("△スレッド取得エラー →") + t.Target());
    ASSERT_GE(error, 0);
    EXPECT_TRUE(t.reports.Log.value(error + 1).startsWith(QStringLiteral("→404:")));
    EXPECT_TRUE(t.reports.Log.filter(QStringLiteral("△スレッド取得完了")).isEmpty());
    // The error stays in the status bar until the download's end clears it.
    EXPECT_EQ(t.reports.Statuses.mid(t.reports.Statuses.size() - 2),
              QStringList({QStringLiteral("スレッド取得エラー：") + t.Target(), QString()}));
    ASSERT_EQ(t.env.Messages.size(), 1);
    EXPECT_TRUE(t.env.Messages.first().contains(QStringLiteral("スレッドダウンロードエラー\nスレ") + Key));
    EXPECT_EQ(t.reports.Started, 1);
    EXPECT_EQ(t.reports.Ended, 1);
    ASSERT_EQ(t.host.tabs.size(), 1);
    EXPECT_EQ(t.host.tabs.first()->ResList()->Count(), 0);
    EXPECT_EQ(t.host.tabs.first()->Downloader, nullptr);
    EXPECT_FALSE(QFile::exists(t.item->GetLogFile()));
}

// The window's busy state rests on one end for every start, also for a tab let go of while it opens;
// what the download still brings goes nowhere.
TEST(ThreadController, ATabLetGoOfWhileOpeningStillEndsOnceAndTakesNothing)
{
    TThreadEnv t(News, 3);
    t.env.server.Hold = true;
    t.reports.flow.OpenThread(t.item.get(), false, false, true, 0, false, QString());
    ASSERT_TRUE(WaitFor([&] { return !t.env.server.Requests().isEmpty(); }));
    ASSERT_EQ(t.host.tabs.size(), 1);
    TTavuBrowser *tab = t.host.tabs.first();

    t.reports.flow.DetachBrowser(tab);
    EXPECT_EQ(tab->Downloader, nullptr);
    EXPECT_EQ(tab->DownloadState, TTavuBrowser::dsIdle);
    t.env.server.Hold = false;
    t.env.server.AnswerHeld();
    t.reports.Settle(1);

    EXPECT_EQ(t.reports.Started, 1);
    EXPECT_EQ(t.reports.Ended, 1);
    EXPECT_EQ(tab->ResList()->Count(), 0);
    EXPECT_TRUE(t.reports.Log.filter(QStringLiteral("△スレッド取得完了")).isEmpty());
    EXPECT_FALSE(QFile::exists(t.item->GetLogFile()));
}
