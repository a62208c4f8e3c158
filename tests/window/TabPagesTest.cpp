// Thread tabs in the background keep no live page: they give it up and come back, rendered from their
// responses, as they were; closed tabs leave no renderer process behind; a tab without its page
// still stores what a reload brings.

#include "PostTestEnv.h"

#include "controls/BoardTree.h"
#include "core/FileUtil.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

using namespace PostTest;

namespace {

QString KeyOf(int i)
{
    return QStringLiteral("10000000%1").arg(i, 2, 10, QLatin1Char('0'));
}

// Opens the threads in new tabs, one after the other.
QList<TTavuBrowser *> OpenInTabs(TPostWindowEnv &env, const QList<TThreadItem *> &items)
{
    QList<TTavuBrowser *> tabs;
    for (TThreadItem *item : items) {
        OpenThread(env, item, false, true);
        EXPECT_TRUE(WaitFor([&] { return Settled(env); }));
        tabs << env.Window()->Tabs().Browsers().first();
    }
    return tabs;
}

// The web engine's processes that the program started and that still run (its descendants): the
// renderers of the pages beside a fixed few. A renderer is forked from the engine's zygote, so its
// command line names no type of its own.
int EngineProcesses()
{
    QMap<qint64, qint64> parents;
    QList<qint64> engine;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray fields = stat.readAll();
        const QList<QByteArray> after = fields.mid(fields.lastIndexOf(')') + 2).split(' ');
        parents[pid] = after.value(1).toLongLong();
        if (fields.contains("(QtWebEngine") && after.value(0) != "Z")
            engine << pid;
    }
    const qint64 self = QCoreApplication::applicationPid();
    int count = 0;
    for (qint64 pid : engine) {
        for (int hop = 0; hop < 10 && pid > 1; ++hop) {
            pid = parents.value(pid);
            if (pid == self) {
                ++count;
                break;
            }
        }
    }
    return count;
}

// The browser tab made in advance for the next one (null while there is none).
TTavuBrowser *KeptAsideTab(TPostWindowEnv &env)
{
    for (TTavuBrowser *tab : env.Window()->findChildren<TTavuBrowser *>()) {
        if (tab->IsKeptAside())
            return tab;
    }
    return nullptr;
}

int Occurrences(const QString &html, const QString &text)
{
    return int(html.count(text));
}

}  // namespace

TEST(TabPages, ABackgroundTabGivesUpItsPageAndComesBackAsItWas)
{
    TPostWindowEnv env;
    env.ShowWindow();
    QList<ItemRef *> refs;
    const auto cleanup = qScopeGuard([&refs] { qDeleteAll(refs); });
    AddThread(env.server, News, KeyOf(1), 300);
    for (int i = 2; i <= 4; ++i)
        AddThread(env.server, News, KeyOf(i), 2);
    for (int i = 1; i <= 4; ++i)
        refs << new ItemRef(NewsItem(env, KeyOf(i)));

    const QList<TTavuBrowser *> first = OpenInTabs(env, {refs[0]->get()});
    TTavuBrowser *tab = first.first();
    tab->ScrollToRes(150);
    ASSERT_TRUE(WaitFor([tab] { return tab->GetTopResNumber() == 150; }));
    const QString before = PageHtml(tab);
    const int marks = Occurrences(before, QStringLiteral("class=\"res new\""));
    ASSERT_EQ(marks, 300);   // a first read: every response is new
    OpenInTabs(env, {refs[1]->get(), refs[2]->get(), refs[3]->get()});
    ASSERT_TRUE(WaitFor([tab] { return tab->PageGivenUp(); }));
    EXPECT_TRUE(tab->Browser()->IsDiscarded());
    EXPECT_FALSE(env.Window()->Tabs().Browsers().first()->PageGivenUp());   // the tab shown keeps its page

    QStringList pieces;   // what goes into the page with an anchor, in order; "front:" for what goes in front
    QObject::connect(tab->Browser(), &TEmbeddedWB::Inserting, [&pieces](const QString &html, bool front) {
        if (html.contains(QStringLiteral("id=\"ID")))
            pieces << (front ? QStringLiteral("front:") : QString()) + html;
    });
    env.Window()->Tabs().ShowBrowserTab(tab, false);
    EXPECT_FALSE(tab->PageGivenUp());
    ASSERT_TRUE(WaitFor([tab] { return !tab->Browser()->IsBusy() && tab->GetTopResNumber() == 150; }))
        << "the view's top: " << tab->GetTopResNumber();
    // It is drawn where it was first; the responses before go in front of them.
    ASSERT_GE(pieces.size(), 2);
    EXPECT_TRUE(pieces.first().contains(QStringLiteral("id=\"ID150\"")));
    EXPECT_FALSE(pieces.first().contains(QStringLiteral("id=\"ID1\"")));
    for (const QString &piece : std::as_const(pieces)) {
        if (piece.contains(QStringLiteral("id=\"ID1\""))) {
            EXPECT_TRUE(piece.startsWith(QStringLiteral("front:")));
        }
    }
    const QString after = PageHtml(tab);
    EXPECT_EQ(Occurrences(after, QStringLiteral("class=\"res new\"")), marks);
    for (const QString &text : {QStringLiteral("本文1<"), QStringLiteral("本文150<"), QStringLiteral("本文300<")})
        EXPECT_EQ(Occurrences(after, text), 1) << text.toStdString();
    EXPECT_EQ(Occurrences(after, QStringLiteral("id=\"ID")), Occurrences(before, QStringLiteral("id=\"ID")));
}

// F5 on a tab whose page was given up brings and stores the new responses like on any other tab.
TEST(TabPages, ATabWithoutItsPageStillStoresWhatAReloadBrings)
{
    TPostWindowEnv env;
    QList<ItemRef *> refs;
    const auto cleanup = qScopeGuard([&refs] { qDeleteAll(refs); });
    for (int i = 1; i <= 3; ++i) {
        AddThread(env.server, News, KeyOf(i), 3);
        refs << new ItemRef(NewsItem(env, KeyOf(i)));
    }
    const QList<TTavuBrowser *> tabs = OpenInTabs(env, {refs[0]->get(), refs[1]->get(), refs[2]->get()});
    ASSERT_TRUE(WaitFor([&] { return tabs[0]->PageGivenUp(); }));
    env.server.AppendRes(News, KeyOf(1), QStringLiteral("名無し"), QString(), QStringLiteral("追加"));

    OpenThread(env, refs[0]->get(), true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(FileUtil::ReadFile(refs[0]->get()->GetLogFile()), env.server.DatBytes(News, KeyOf(1)).replace("\n", "\r\n"));
    EXPECT_EQ(tabs[0]->ResList()->Count(), 4);
    EXPECT_EQ(Occurrences(PageHtml(tabs[0]), QStringLiteral("追加")), 1);
}

// Tabs that are closed take their renderer processes with them, however often they are opened.
TEST(TabPages, ClosingTabsLeavesNoRendererProcessBehind)
{
    TPostWindowEnv env;
    QList<ItemRef *> refs;
    const auto cleanup = qScopeGuard([&refs] { qDeleteAll(refs); });
    for (int i = 1; i <= 6; ++i) {
        AddThread(env.server, News, KeyOf(i), 5);
        refs << new ItemRef(NewsItem(env, KeyOf(i)));
    }
    QList<TThreadItem *> items;
    for (ItemRef *ref : refs)
        items << ref->get();
    // The page of the tab made in advance counts among those that stay.
    ASSERT_TRUE(WaitFor([&] { return KeptAsideTab(env) && KeptAsideTab(env)->IsReady(); }));
    const int before = EngineProcesses();
    for (int round = 0; round < 2; ++round) {
        OpenInTabs(env, items);
        // Only the tabs shown last keep a live page.
        EXPECT_TRUE(WaitFor([&] { return EngineProcesses() <= before + 2; })) << EngineProcesses();
        while (!env.Window()->Tabs().Browsers().isEmpty())
            env.Window()->Tabs().CloseActiveBrowser();
        EXPECT_TRUE(WaitFor([&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);   // the closed tabs go
            return EngineProcesses() <= before;
        })) << EngineProcesses() << " " << before;
    }
}

// A thread tab is made in advance, its page loaded, out of sight beside the view and out of the
// tab lists: the next thread opened in a tab takes it and goes into it without loading a page, and
// another is made for the tab after.
TEST(TabPages, ANewThreadTabIsTheOneMadeInAdvance)
{
    TPostWindowEnv env;
    env.ShowWindow();
    AddThread(env.server, News, KeyOf(1), 5);
    ItemRef item(NewsItem(env, KeyOf(1)));
    const auto keptAside = [&env] { return KeptAsideTab(env); };
    ASSERT_TRUE(WaitFor([&] { return keptAside() && keptAside()->IsReady(); }));
    TTavuBrowser *spare = keptAside();
    EXPECT_TRUE(spare->isVisible());
    EXPECT_FALSE(spare->geometry().intersects(spare->parentWidget()->rect()));
    EXPECT_TRUE(env.Window()->Tabs().Browsers().isEmpty());
    int loads = 0;
    QObject::connect(spare->Browser(), &QWebEngineView::loadStarted, spare, [&loads] { ++loads; });

    OpenThread(env, item.get(), false, true);
    ASSERT_EQ(env.Window()->Tabs().Browsers().size(), 1);
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    EXPECT_EQ(tab, spare);
    EXPECT_FALSE(tab->IsKeptAside());
    EXPECT_EQ(tab->geometry(), tab->parentWidget()->rect());
    ASSERT_TRUE(WaitFor([&] { return Settled(env) && !tab->Browser()->IsBusy() && !tab->IsCovered(); }));
    EXPECT_EQ(loads, 0);
    EXPECT_EQ(PageHtml(tab).count(QStringLiteral("本文")), 5);
    EXPECT_TRUE(WaitFor([&] { return keptAside() && keptAside() != tab; }));
}
