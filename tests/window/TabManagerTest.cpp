// The tab manager of the real window: its lists keep the tab shown last first while the bars keep
// their order, a closed tab hands over to the tab shown before it, and closing a board closes only
// that board's tabs.

#include "PostTestEnv.h"

#include "core/ResList.h"
#include "mainwindow/TabManager.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <gtest/gtest.h>

using namespace PostTest;

namespace {

using TTabs = QList<TTavuBrowser *>;

TTavuBrowser *NewPage(TTabManager &tabs, const QString &caption, bool activate = true)
{
    TTavuBrowser *tab = nullptr;
    tabs.NewBrowser(tab, nullptr, nullptr, activate, caption);
    return tab;
}

TTavuBrowser *NewThreadTab(TTabManager &tabs, TThreadItem *item)
{
    TTavuBrowser *tab = nullptr;
    tabs.NewBrowser(tab, new TResList(item), item, true, item->GetKey());
    return tab;
}

TTavuBrowser *ActiveBrowser(const TTabManager &tabs)
{
    TTavuBrowser *tab = nullptr;
    return tabs.GetActiveBrowser(tab) ? tab : nullptr;
}

}  // namespace

TEST(TabManager, ShownTabsComeFirstAndAClosedTabHandsOverToTheOneShownBefore)
{
    TPostWindowEnv env;
    TTabManager &tabs = env.Window()->Tabs();
    TTavuBrowser *a = NewPage(tabs, QStringLiteral("a"));
    TTavuBrowser *b = NewPage(tabs, QStringLiteral("b"));
    TTavuBrowser *c = NewPage(tabs, QStringLiteral("c"));
    TTavuBrowser *behind = NewPage(tabs, QStringLiteral("d"), false);
    EXPECT_EQ(tabs.Browsers(), TTabs({c, b, a, behind}));
    EXPECT_EQ(tabs.BrowserTabOrder(), TTabs({a, b, c, behind}));
    EXPECT_EQ(ActiveBrowser(tabs), c);

    tabs.ShowBrowserTab(a, false);
    EXPECT_EQ(tabs.Browsers(), TTabs({a, c, b, behind}));
    EXPECT_EQ(tabs.BrowserTabOrder(), TTabs({a, b, c, behind}));   // the bar keeps its order
    EXPECT_EQ(tabs.IndexOfActiveBrowserButton(), 0);

    tabs.CloseActiveBrowser();
    EXPECT_EQ(ActiveBrowser(tabs), c);   // shown before a, though b is a's neighbour on the bar
    EXPECT_EQ(tabs.Browsers(), TTabs({c, b, behind}));
    EXPECT_EQ(tabs.BrowserTabOrder(), TTabs({b, c, behind}));

    tabs.CloseBrowser(b);   // not the active one: the active one stays
    EXPECT_EQ(ActiveBrowser(tabs), c);
    tabs.CloseBrowser(b);   // closed already: nothing happens
    EXPECT_EQ(tabs.Browsers(), TTabs({c, behind}));
    EXPECT_EQ(tabs.IndexOfActiveBrowserButton(), 0);
}

TEST(TabManager, ClosingABoardClosesItsListTabAndItsThreadTabsOnly)
{
    TPostWindowEnv env;
    TTabManager &tabs = env.Window()->Tabs();
    TTavuListDoc *news = nullptr;
    TTavuListDoc *live = nullptr;
    tabs.NewListDoc(news, nullptr, TTavuListDoc::lmBoard, true, QStringLiteral("ニュース"), env.Board(News));
    tabs.NewListDoc(live, nullptr, TTavuListDoc::lmBoard, false, QStringLiteral("実況"), env.Board(Live));
    ItemRef newsThread(NewsItem(env, QStringLiteral("1000000001")));
    ItemRef liveThread(new TThreadItem);
    liveThread->SetLocation(env.site->SITEID, Live, QStringLiteral("1000000002"), QString());
    TTavuBrowser *newsTab = NewThreadTab(tabs, newsThread.get());
    TTavuBrowser *page = NewPage(tabs, QStringLiteral("ページ"));
    TTavuBrowser *liveTab = NewThreadTab(tabs, liveThread.get());
    tabs.ShowBrowserTab(newsTab, false);

    tabs.CloseBoardTabs(env.Board(News));
    EXPECT_EQ(tabs.ListDocs(), QList<TTavuListDoc *>({live}));
    EXPECT_EQ(tabs.Browsers(), TTabs({liveTab, page}));
    EXPECT_EQ(ActiveBrowser(tabs), liveTab);
    TTavuListDoc *found = nullptr;
    EXPECT_FALSE(tabs.FindBoardTab(env.Board(News), found));
    ASSERT_TRUE(tabs.FindBoardTab(env.Board(Live), found));
    EXPECT_EQ(found, live);
    ASSERT_TRUE(tabs.GetActiveListDoc(found));
    EXPECT_EQ(found, live);   // the list tab left takes over
}
