// What a thread tab paints while it is drawn anew: never its header alone. Seen from the page: a
// script of the test's own, in every document of the tab, notes at each animation frame what the
// page holds (no body yet, an empty body, text without any response, responses).

#include "WindowParts.h"
#include "PostTestEnv.h"
#include "XServerRun.h"

#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/SaveQueue.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

using namespace PostTest;

namespace {

constexpr QWebEngineScript::ScriptWorldId FrameWorld = QWebEngineScript::UserWorld;

QString KeyOf(int i)
{
    return QStringLiteral("10000000%1").arg(i, 2, 10, QLatin1Char('0'));
}

// From now on, the tab's page notes what each of its frames shows, when that changes: the present
// document, and every later one.
void WatchFrames(TTavuBrowser *tab)
{
    const QString look = QStringLiteral(
        "window.framesSeen = [];"
        "(function look() {"
        "  const body = document.body;"
        "  const shows = !body ? 'none' : body.querySelector('[id^=\"ID\"]') ? 'responses'"
        "              : body.textContent.trim() ? 'text' : 'empty';"
        "  if (window.framesSeen[window.framesSeen.length - 1] !== shows) window.framesSeen.push(shows);"
        "  requestAnimationFrame(look);"
        "})();");
    QWebEngineScript watch;
    watch.setName(QStringLiteral("frames"));
    watch.setWorldId(FrameWorld);
    watch.setInjectionPoint(QWebEngineScript::DocumentCreation);
    watch.setRunsOnSubFrames(false);
    watch.setSourceCode(look);
    tab->Browser()->page()->scripts().insert(watch);
    // The page in the tab now takes the next thread in place.
    tab->Browser()->page()->runJavaScript(look, FrameWorld);
}

// What the frames of the tab's present document showed, in order.
QStringList FramesSeen(TTavuBrowser *tab)
{
    QString seen;
    bool answered = false;
    tab->Browser()->page()->runJavaScript(QStringLiteral("(window.framesSeen || []).join(',')"), FrameWorld,
                                          [&](const QVariant &value) {
                                              seen = value.toString();
                                              answered = true;
                                          });
    EXPECT_TRUE(WaitFor([&] { return answered; }));
    return seen.split(QLatin1Char(','), Qt::SkipEmptyParts);
}

// The picture holds more than a single colour (a blank view holds one).
bool ShowsSomething(const QImage &picture)
{
    if (picture.isNull())
        return false;
    const QRgb first = picture.pixel(0, 0);
    for (int y = 0; y < picture.height(); y += 4) {
        for (int x = 0; x < picture.width(); x += 4) {
            if (picture.pixel(x, y) != first)
                return true;
        }
    }
    return false;
}

// The tab stands covered by a picture that shows something.
bool CoveredByPicture(TTavuBrowser *tab)
{
    const auto *cover = tab->findChild<QLabel *>();
    return tab->IsCovered() && cover && ShowsSomething(cover->pixmap().toImage());
}

// Tells whether the widget it watches was drawn.
class TPaintWatch : public QObject {
public:
    bool Drawn = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        Drawn = Drawn || event->type() == QEvent::Paint;
        return false;
    }
};

TTavuBrowser *OpenInNewTab(TPostWindowEnv &env, TThreadItem *item)
{
    OpenThread(env, item, false, true);
    EXPECT_TRUE(WaitFor([&] { return Settled(env); }));
    return env.Window()->Tabs().Browsers().first();
}

// Three threads of 300 responses, each opened in a tab of its own: the first, once drawn (at the
// response `place` when one is given), goes to the background behind the other two until it gives
// up its page; null if that never comes. The threads stay referred to from `refs`.
TTavuBrowser *FirstOfThreeGivenUp(TPostWindowEnv &env, QList<ItemRef *> &refs, int place = 0)
{
    for (int i = 1; i <= 3; ++i) {
        AddThread(env.server, News, KeyOf(i), 300);
        refs << new ItemRef(NewsItem(env, KeyOf(i)));
    }
    TTavuBrowser *tab = OpenInNewTab(env, refs[0]->get());
    QObject watcher;
    bool painted = false;
    QObject::connect(tab->Browser(), &TEmbeddedWB::Painted, &watcher, [&painted] { painted = true; });
    if (place > 0)
        tab->ScrollToRes(place);
    tab->Browser()->ReportPaint();
    // Drawn, and on the view: the picture the page drew reaches the view a little after.
    if (!WaitFor([&] {
            return painted && (place == 0 || tab->GetTopResNumber() == place)
                && ShowsSomething(tab->Browser()->grab().toImage());
        }))
        return nullptr;
    OpenInNewTab(env, refs[1]->get());
    OpenInNewTab(env, refs[2]->get());
    return WaitFor([tab] { return tab->PageGivenUp(); }) ? tab : nullptr;
}

}  // namespace

// A tab whose page was given up comes back where it was left, among responses marked new: its first
// frame shows them under the header, and the marks still come off with the next update.
TEST(WholeFrames, ATabComingBackAmongNewResponsesNeverPaintsItsHeaderAlone)
{
    TPostWindowEnv env;
    env.ShowWindow();
    QList<ItemRef *> refs;
    const auto cleanup = qScopeGuard([&refs] { qDeleteAll(refs); });
    for (int i = 1; i <= 3; ++i) {
        AddThread(env.server, News, KeyOf(i), 200);
        refs << new ItemRef(NewsItem(env, KeyOf(i)));
    }
    TTavuBrowser *tab = OpenInNewTab(env, refs[0]->get());
    tab->ScrollToRes(120);   // a first read: every response is marked new
    ASSERT_TRUE(WaitFor([tab] { return tab->GetTopResNumber() == 120; }));
    OpenInNewTab(env, refs[1]->get());
    OpenInNewTab(env, refs[2]->get());
    ASSERT_TRUE(WaitFor([tab] { return tab->PageGivenUp(); }));

    WatchFrames(tab);
    env.Window()->Tabs().ShowBrowserTab(tab, false);
    ASSERT_TRUE(WaitFor([tab] { return !tab->Browser()->IsBusy() && tab->GetTopResNumber() == 120; }));
    ASSERT_TRUE(WaitFor([tab] { return FramesSeen(tab).contains(QStringLiteral("responses")); }));
    EXPECT_FALSE(FramesSeen(tab).contains(QStringLiteral("text"))) << FramesSeen(tab).join(',').toStdString();
    EXPECT_EQ(PageHtml(tab).count(QStringLiteral("class=\"res new\"")), 200);

    env.server.AppendRes(News, KeyOf(1), QStringLiteral("名無し"), QString(), QStringLiteral("追加"));
    OpenThread(env, refs[0]->get(), true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env) && !tab->Browser()->IsBusy(); }));
    // Only the one it brought, once the marks away from the view went in the frames that followed.
    EXPECT_TRUE(WaitFor([tab] { return PageHtml(tab).count(QStringLiteral("class=\"res new\"")) == 1; }));
}

// A tab given another thread keeps showing the one it had until the new one can be drawn with its
// responses: while the server has not answered, and when it has, never the header alone.
TEST(WholeFrames, AReusedTabNeverPaintsTheNextThreadsHeaderAlone)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.config->OPENNEWBROWSER = false; });
    env.ShowWindow();
    AddThread(env.server, News, KeyOf(1), 50);
    AddThread(env.server, News, KeyOf(2), 30);
    ItemRef first(NewsItem(env, KeyOf(1)));
    ItemRef second(NewsItem(env, KeyOf(2)));
    TTavuBrowser *tab = OpenInNewTab(env, first.get());
    ASSERT_TRUE(WaitFor([tab] { return !tab->Browser()->IsBusy(); }));
    TSaveQueue::Instance().WaitAll();

    WatchFrames(tab);
    env.server.Hold = true;
    OpenThread(env, second.get());
    ASSERT_EQ(env.Window()->Tabs().Browsers().size(), 1);
    ASSERT_TRUE(WaitFor([&] { return !env.server.RequestsTo(KeyOf(2)).isEmpty(); }));
    EXPECT_TRUE(RunInPage(tab, QStringLiteral("!!document.getElementById('ID50')")).toBool());   // the one it had
    env.server.Hold = false;
    env.server.AnswerHeld();
    ASSERT_TRUE(WaitFor([&] { return Settled(env) && !tab->Browser()->IsBusy(); }));
    ASSERT_EQ(tab->ThreadItem(), second.get());
    ASSERT_TRUE(WaitFor([tab] { return FramesSeen(tab).contains(QStringLiteral("responses")); }));
    const QStringList frames = FramesSeen(tab);
    EXPECT_FALSE(frames.contains(QStringLiteral("text"))) << frames.join(',').toStdString();
    EXPECT_FALSE(frames.contains(QStringLiteral("empty"))) << frames.join(',').toStdString();
    const QString html = PageHtml(tab);
    EXPECT_TRUE(html.contains(QStringLiteral("id=\"ID30\"")));
    EXPECT_FALSE(html.contains(QStringLiteral("id=\"ID31\"")));
}

// A tab whose page was given up shows the last frame it showed, from the moment it comes back until
// its page is drawn again where it was: never a blank view or a page still being filled.
TEST(WholeFrames, ATabComingBackShowsItsLastFrameUntilItsPageIsDrawnWhereItWas)
{
    TPostWindowEnv env;
    env.ShowWindow();
    QList<ItemRef *> refs;
    const auto cleanup = qScopeGuard([&refs] { qDeleteAll(refs); });
    TTavuBrowser *tab = FirstOfThreeGivenUp(env, refs, 150);
    ASSERT_NE(tab, nullptr);
    QObject watcher;   // the test's connections end with it, before the window does

    int uncovered = 0;   // pieces that went into the page while the user saw it
    QObject::connect(tab->Browser(), &TEmbeddedWB::Inserting, &watcher, [&](const QString &, bool) {
        if (!CoveredByPicture(tab))
            ++uncovered;
    });
    int topWhenUncovered = -1;
    bool busyWhenUncovered = true;
    QObject::connect(tab, &TTavuBrowser::Uncovered, &watcher, [&] {
        topWhenUncovered = tab->GetTopResNumber();
        busyWhenUncovered = tab->Browser()->IsBusy();
    });
    env.Window()->Tabs().ShowBrowserTab(tab, false);
    EXPECT_TRUE(CoveredByPicture(tab));
    ASSERT_TRUE(WaitFor([&] { return topWhenUncovered >= 0; }));
    EXPECT_EQ(uncovered, 0);
    EXPECT_EQ(topWhenUncovered, 150);
    EXPECT_FALSE(busyWhenUncovered);
    EXPECT_FALSE(tab->IsCovered());
}

// A tab coming back draws its last frame first: its page is written only after that picture was
// drawn (rendering the thread holds the GUI thread, and the picture would wait for it).
TEST(WholeFrames, ATabComingBackIsRenderedOnlyOnceItsLastFrameWasDrawn)
{
    TPostWindowEnv env;
    env.ShowWindow();
    QList<ItemRef *> refs;
    const auto cleanup = qScopeGuard([&refs] { qDeleteAll(refs); });
    TTavuBrowser *tab = FirstOfThreeGivenUp(env, refs);
    ASSERT_NE(tab, nullptr);
    QObject watcher;   // the test's connections end with it, before the window does

    auto *cover = tab->findChild<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(cover, nullptr);
    TPaintWatch drawn;
    cover->installEventFilter(&drawn);
    bool written = false;
    bool writtenBeforeDrawn = false;
    QObject::connect(tab->Browser(), &TEmbeddedWB::Inserting, &watcher, [&] {
        written = true;
        writtenBeforeDrawn = writtenBeforeDrawn || !drawn.Drawn;
    });
    env.Window()->Tabs().ShowBrowserTab(tab, false);
    EXPECT_TRUE(CoveredByPicture(tab));
    ASSERT_TRUE(WaitFor([&] { return written && !tab->IsCovered(); }));
    EXPECT_TRUE(drawn.Drawn);
    EXPECT_FALSE(writtenBeforeDrawn);
    EXPECT_TRUE(PageHtml(tab).contains(QStringLiteral("本文300<")));
}

// A thread opened in a new tab shows up with its responses: until they are drawn, the window keeps
// showing what it showed, and its caption never counts an empty thread.
TEST(WholeFrames, AThreadOpenedInANewTabShowsUpWithItsResponses)
{
    TPostWindowEnv env;
    env.ShowWindow();
    AddThread(env.server, News, KeyOf(1), 50);
    AddThread(env.server, News, KeyOf(2), 100);
    ItemRef first(NewsItem(env, KeyOf(1)));
    ItemRef second(NewsItem(env, KeyOf(2)));
    OpenInNewTab(env, first.get());

    QStringList captions;   // the thread counts the caption showed
    QObject watcher;        // the test's connections end with it, before the window does
    QObject::connect(&env.Window()->Services().Frame().Events(), &TWindowEvents::ThreadShown, &watcher,
                     [&] { captions << Part<QLabel>(env.Window(), "ThreadCountLabel")->text(); });
    OpenThread(env, second.get(), false, true);
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    ASSERT_EQ(tab->ThreadItem(), second.get());
    EXPECT_TRUE(tab->IsCovered());   // by what was shown, not an empty view
    int topWhenUncovered = -1;
    QObject::connect(tab, &TTavuBrowser::Uncovered, &watcher, [&] { topWhenUncovered = tab->GetTopResNumber(); });
    ASSERT_TRUE(WaitFor([&] { return Settled(env) && !tab->Browser()->IsBusy() && !tab->IsCovered(); }));
    EXPECT_GT(topWhenUncovered, 0);
    EXPECT_FALSE(captions.contains(QStringLiteral("(0 / 0)"))) << captions.join(' ').toStdString();
    EXPECT_EQ(Part<QLabel>(env.Window(), "ThreadCountLabel")->text(), QStringLiteral("(100 / 100)"));
}

// A thread opened in a new tab is drawn once with its first screen, under its header, before the
// page takes the rest of its responses; the page still ends with every response, in order.
TEST(WholeFrames, ANewTabIsDrawnWithItsFirstScreenBeforeItTakesTheRest)
{
    TPostWindowEnv env;
    env.ShowWindow();
    const int count = TTavuBrowser::FirstScreenSize * 5;
    AddThread(env.server, News, KeyOf(1), 5);
    AddThread(env.server, News, KeyOf(2), count);
    ItemRef first(NewsItem(env, KeyOf(1)));
    ItemRef second(NewsItem(env, KeyOf(2)));
    OpenInNewTab(env, first.get());
    OpenThread(env, second.get(), false, true);
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    ASSERT_EQ(tab->ThreadItem(), second.get());

    QObject watcher;   // the test's connections end with it, before the window does
    static const QRegularExpression anchor(QStringLiteral("id=\"ID\\d+\""));
    int inserted = 0;           // responses that went into the page
    int insertedWhenDrawn = -1;   // when the page first said it drew what it held
    QObject::connect(tab->Browser(), &TEmbeddedWB::Inserting, &watcher,
                     [&](const QString &html, bool) { inserted += int(html.count(anchor)); });
    QObject::connect(tab->Browser(), &TEmbeddedWB::Painted, &watcher, [&] {
        if (insertedWhenDrawn < 0)
            insertedWhenDrawn = inserted;
    });
    ASSERT_TRUE(WaitFor([&] { return Settled(env) && !tab->Browser()->IsBusy() && !tab->IsCovered(); }));
    EXPECT_EQ(insertedWhenDrawn, TTavuBrowser::FirstScreenSize);
    EXPECT_EQ(inserted, count);
    const QString html = PageHtml(tab);
    EXPECT_LT(html.indexOf(QStringLiteral("id=\"ID1\"")), html.indexOf(QStringLiteral("id=\"ID%1\"").arg(count)));
    EXPECT_EQ(html.count(anchor), count);
}

// On an X server the window composites the pages without OpenGL: the tab's last frame still holds
// the page it showed.
TEST(WholeFrames, ATabComingBackShowsItsLastFrameOnAnXServer)
{
    RunOnXServer("WholeFrames.ATabComingBackShowsItsLastFrameUntilItsPageIsDrawnWhereItWas");
}

TEST(WholeFrames, ATabComingBackIsRenderedOnlyOnceItsLastFrameWasDrawnOnAnXServer)
{
    RunOnXServer("WholeFrames.ATabComingBackIsRenderedOnlyOnceItsLastFrameWasDrawn");
}
