// The controllers of the thread tabs in the real window: every browser tab has one, made and freed
// with it, and the tab commands go to the focused tab's controller, never to another tab.

#include "PostTestEnv.h"

#include "commands/ThreadTabController.h"
#include "controls/WindowServices.h"
#include "core/ResList.h"
#include "mainwindow/TabManager.h"
#include "render/TavuBrowser.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPointer>

using namespace PostTest;

namespace {

void Trigger(TPostWindowEnv &env, const char *name)
{
    QAction *action = env.Window()->Action(QString::fromLatin1(name));
    ASSERT_TRUE(action && action->isEnabled()) << name;
    action->trigger();
}

TTavuBrowser *NewPage(TTabManager &tabs, const QString &caption)
{
    TTavuBrowser *tab = nullptr;
    tabs.NewBrowser(tab, nullptr, nullptr, true, caption);
    return tab;
}

}  // namespace

TEST(ThreadTabController, EachTabHasItsOwnControllerAndTheFocusedOneTakesTheCommands)
{
    TPostWindowEnv env;
    TTabManager &tabs = env.Window()->Tabs();
    TWindowServices &services = env.Window()->Services();
    EXPECT_EQ(services.Tabs().FocusedTab(), nullptr);
    TTavuBrowser *first = NewPage(tabs, QStringLiteral("一"));
    TTavuBrowser *second = NewPage(tabs, QStringLiteral("二"));
    QPointer<TThreadTabController> firstController = tabs.Controller(first);
    ASSERT_TRUE(firstController && tabs.Controller(second));
    EXPECT_NE(tabs.Controller(first), tabs.Controller(second));
    EXPECT_EQ(&firstController->Tab(), first);
    EXPECT_EQ(services.Tabs().FocusedTab(), tabs.Controller(second));

    Trigger(env, "actBrowserNavigateLock");
    EXPECT_TRUE(second->Locked);
    EXPECT_FALSE(first->Locked);

    tabs.ShowBrowserTab(first, false);
    EXPECT_EQ(services.Tabs().FocusedTab(), firstController);
    Trigger(env, "actBrowserClose");   // the focused tab, though the other one is locked
    EXPECT_EQ(tabs.Browsers(), QList<TTavuBrowser *>({second}));
    EXPECT_EQ(services.Tabs().FocusedTab(), tabs.Controller(second));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(firstController.isNull());   // freed with its tab
}

TEST(ThreadTabController, AReloadAsksOnlyForTheFocusedTabsThread)
{
    TPostWindowEnv env;
    const QString firstKey = QStringLiteral("1000000001");
    const QString secondKey = QStringLiteral("1000000002");
    TTavuBrowser *first = OpenDownloadedThread(env, firstKey, 2);
    ASSERT_NE(first, nullptr);
    AddThread(env.server, News, secondKey, 2);
    ItemRef secondThread(NewsItem(env, secondKey));
    OpenThread(env, secondThread.get(), false, true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    TTabManager &tabs = env.Window()->Tabs();
    TTavuBrowser *second = tabs.Browsers().first();
    ASSERT_NE(second, first);
    ASSERT_EQ(second->ResList()->Count(), 2);

    tabs.ShowBrowserTab(first, false);
    for (const QString &key : {firstKey, secondKey})
        env.server.AppendRes(News, key, QStringLiteral("名無し"), QString(), QStringLiteral("追加"));
    Trigger(env, "actThreadReload");
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(first->ResList()->Count(), 3);
    EXPECT_EQ(second->ResList()->Count(), 2);
}
