// A thread of the read history opens as a thread, from the recent-thread menu and from a double
// click in the history window: a thread tab with its posts, and no web page asking for the dat.

#include "PostTestEnv.h"

#include "core/TextList.h"
#include "settings/HistDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTreeView>

using PostTest::AddThread;
using PostTest::News;
using PostTest::WaitFor;

namespace {

const QString Key = QStringLiteral("1000000001");

// The read history names the thread of the server.
void WriteReadHistory(TWindowEnv &env)
{
    env.WriteProfile(QStringLiteral("readhist.txt"),
                     jconvert::UnicodeToSjis(QStringLiteral("test\tnews\t%1\tスレ%1\t2024/05/01 10:00:00\r\n").arg(Key)));
}

// The tab that shows the thread with all its posts once nothing runs; nullptr when there is none.
TTavuBrowser *ThreadTab(TPostWindowEnv &env, int posts)
{
    TVarneloWindow *window = env.Window();
    TTavuBrowser *tab = nullptr;
    WaitFor([&] {
        return window->BusyCount() == 0 && TavuHttpList->Count() == 0 && window->Tabs().GetActiveBrowser(tab)
            && tab->ResList() && tab->ResList()->Count() == posts;
    });
    return tab && tab->ResList() && tab->ResList()->Count() == posts ? tab : nullptr;
}

// The requests for the dat that a web page made (the program's own client names itself otherwise).
int PageRequestsForDat(const BoardServer &server)
{
    int count = 0;
    for (const BoardServer::Request &request : server.RequestsTo(QStringLiteral("/dat/")))
        if (request.Header("User-Agent").contains("QtWebEngine"))
            ++count;
    return count;
}

void ExpectThreadTab(TPostWindowEnv &env, TTavuBrowser *tab)
{
    ASSERT_NE(tab, nullptr);
    EXPECT_FALSE(tab->IsWebPage());
    ASSERT_NE(tab->ThreadItem(), nullptr);
    EXPECT_EQ(tab->ThreadItem()->GetKey(), Key);
    EXPECT_EQ(env.Window()->Tabs().Browsers().size(), 1);
    EXPECT_EQ(PageRequestsForDat(env.server), 0);
}

}  // namespace

TEST(HistoryOpening, TheRecentMenuOpensTheThreadInAThreadTab)
{
    TPostWindowEnv env(WriteReadHistory);
    AddThread(env.server, News, Key, 3);
    QMenu *recent = env.Window()->findChild<QMenu *>(QStringLiteral("RecentRead"));
    ASSERT_TRUE(recent);
    emit recent->aboutToShow();
    ASSERT_FALSE(recent->actions().isEmpty());
    recent->actions().constFirst()->trigger();
    ExpectThreadTab(env, ThreadTab(env, 3));
}

TEST(HistoryOpening, ADoubleClickInTheHistoryWindowOpensTheThreadInAThreadTab)
{
    TPostWindowEnv env(WriteReadHistory);
    AddThread(env.server, News, Key, 2);
    env.Window()->Action(QStringLiteral("actShowHist"))->trigger();
    auto *history = env.Window()->findChild<THistDialog *>();
    ASSERT_TRUE(history && history->isVisible());
    QTreeView *list = history->ListView1;
    ASSERT_EQ(list->model()->rowCount(), 1);
    // The row is clicked, then double-clicked (the view's own signal: the offscreen platform makes
    // no double click of two presses).
    const QModelIndex row = list->model()->index(0, 1);
    list->setCurrentIndex(row);
    emit list->doubleClicked(row);
    ExpectThreadTab(env, ThreadTab(env, 2));
    history->close();
}
