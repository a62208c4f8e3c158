// A thread's page lays out only the responses near its view, each in a box of its own; a thread
// shown again at its saved place still has the saved response exactly at the top of the view, and
// keeps it there once the responses around it are laid out; an update takes the new marks off
// inside the boxes.

#include "PostTestEnv.h"

#include "core/FileUtil.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"

#include <gtest/gtest.h>

using namespace PostTest;

namespace {

const QString Key = QStringLiteral("1000000001");
constexpr int Count = 1000;
constexpr int Saved = 600;

// Responses of one to six lines, so that no estimate of their height is right.
void AddUnevenThread(BoardServer &server)
{
    server.AddThread(News, Key, QStringLiteral("スレ"));
    for (int n = 1; n <= Count; ++n) {
        QString body = QStringLiteral("本文%1").arg(n);
        for (int line = 0; line < n % 6; ++line)
            body += QStringLiteral("<br>%1行目").arg(line + 2);
        server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), body);
    }
}

// The page after two more frames: whatever the view laid out when it came near has been drawn.
void WaitTwoFrames(TTavuBrowser *tab)
{
    RunInPage(tab, QStringLiteral("window.framesAfter = 0;"
                                  "requestAnimationFrame(() => requestAnimationFrame(() => { window.framesAfter = 2; }));"
                                  "true"));
    ASSERT_TRUE(WaitFor([tab] { return RunInPage(tab, QStringLiteral("window.framesAfter")).toInt() == 2; }));
}

// Where the anchor of the response is, in pixels below the top of the view.
double AnchorTop(TTavuBrowser *tab, int number)
{
    return RunInPage(tab, QStringLiteral("document.getElementById('ID%1').getBoundingClientRect().top").arg(number))
        .toDouble();
}

// How many responses' boxes the page has not laid out (those away from the view).
int BoxesNotLaidOut(TTavuBrowser *tab)
{
    return RunInPage(tab, QStringLiteral("Array.from(document.querySelectorAll('div.varnelo-res'))"
                                         ".filter(box => getComputedStyle(box).contentVisibility === 'auto'"
                                         " && box.getBoundingClientRect().bottom < -window.innerHeight * 2).length"))
        .toInt();
}

// The response is at the very top of the view once the page holds everything and its place is no
// longer pinned (a new page is shown from its first screen on), and stays there over the frames
// that follow.
void ExpectPlaceAtTheTop(TTavuBrowser *tab, int place)
{
    ASSERT_TRUE(WaitFor([tab] {
        return !tab->Browser()->IsBusy() && !tab->IsCovered()
            && RunInPage(tab, QStringLiteral("document.documentElement.style.overflowAnchor !== 'none'")).toBool();
    }));
    for (int frame = 0; frame < 3; ++frame) {
        WaitTwoFrames(tab);
        EXPECT_EQ(tab->GetTopResNumber(), place);
        EXPECT_NEAR(AnchorTop(tab, place), 0.0, 1.0) << "after " << frame * 2 + 2 << " frames";
    }
}

void ExpectExactlyAtTheTop(TTavuBrowser *tab)
{
    ExpectPlaceAtTheTop(tab, Saved);
}

// The box grew while the place was pinned (the page's own anchoring is off meanwhile), and the pin
// has ended since.
bool PlaceSettledAfterGrowing(TTavuBrowser *tab)
{
    return RunInPage(tab, QStringLiteral("window.grown === true"
                                         " && document.documentElement.style.overflowAnchor !== 'none'")).toBool();
}

// Opens the thread in a tab of its own and gives the tab once its page is done (null if it never is).
TTavuBrowser *OpenAndSettle(TPostWindowEnv &env, TThreadItem *item)
{
    OpenThread(env, item, false, true);
    if (!WaitFor([&] { return Settled(env); }))
        return nullptr;
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    return WaitFor([tab] { return !tab->Browser()->IsBusy(); }) ? tab : nullptr;
}

// A shown window with the uneven thread opened from the server in a tab of its own, its page done
// (tab is null if it never is).
struct TOpenedUnevenThread {
    TPostWindowEnv env;
    ItemRef item;
    TTavuBrowser *tab;

    TOpenedUnevenThread() : item(Prepared(env)), tab(OpenAndSettle(env, item.get())) {}

    static TThreadItem *Prepared(TPostWindowEnv &env)
    {
        env.ShowWindow();
        AddUnevenThread(env.server);
        return NewsItem(env, Key);
    }
};

}  // namespace

TEST(SavedPlace, AThreadShownAgainHasItsSavedResponseExactlyAtTheTop)
{
    TPostWindowEnv env;
    env.ShowWindow();
    AddUnevenThread(env.server);
    ItemRef item(NewsItem(env, Key));
    OpenThread(env, item.get(), false, true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    ASSERT_EQ(tab->ResList()->Count(), Count);
    tab->ScrollToRes(Saved);
    ExpectExactlyAtTheTop(tab);
    EXPECT_GT(BoxesNotLaidOut(tab), Count / 2);   // what lies far above the view is not laid out

    // Closed, the thread keeps its place; opened from its log, it shows there.
    env.Window()->Tabs().CloseActiveBrowser();
    ASSERT_EQ(item->TOP, Saved);
    ItemRef again(NewsItem(env, Key));
    again->DownloadRequest = false;
    OpenThread(env, again.get(), false, true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    tab = env.Window()->Tabs().Browsers().first();
    ExpectExactlyAtTheTop(tab);
    EXPECT_GT(BoxesNotLaidOut(tab), Count / 2);

    // A tab that gave up its page comes back there too.
    for (const QString &other : {QStringLiteral("1000000002"), QStringLiteral("1000000003"), QStringLiteral("1000000004")}) {
        AddThread(env.server, News, other, 2);
        ItemRef otherItem(NewsItem(env, other));
        OpenThread(env, otherItem.get(), false, true);
        ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    }
    ASSERT_TRUE(WaitFor([tab] { return tab->PageGivenUp(); }));
    env.Window()->Tabs().ShowBrowserTab(tab, false);
    ExpectExactlyAtTheTop(tab);
}

// While the responses near a place being shown take their real height, the view moves under the
// place until it is put back; the tab never takes where the view stood meanwhile for its place (it
// would keep it as the thread's place if it went to the background right then). Here the response
// before the place grows at the first frame, as a box whose estimate was too small.
TEST(SavedPlace, ATabTakesThePlaceItShowsNeverWhereTheViewStoodWhileTheBoxesTookTheirHeight)
{
    TOpenedUnevenThread opened;
    TPostWindowEnv &env = opened.env;
    TTavuBrowser *tab = opened.tab;
    ASSERT_NE(tab, nullptr);
    // The document hears of the scroll before the window does, where the page reads its top.
    ASSERT_TRUE(RunInPage(tab, QStringLiteral("document.addEventListener('scroll', () => {"
                                              "  const box = document.getElementById('ID%1').parentElement;"
                                              "  if (window.scrollY > 0 && !window.grown) {"
                                              "    box.style.minHeight = (box.offsetHeight + 300) + 'px';"
                                              "    window.grown = true;"
                                              "  }"
                                              "}); true").arg(Saved - 1)).toBool());

    QObject watcher;   // the test's connections end with it, before the window does
    QList<int> tops;
    QObject::connect(tab->Browser(), &TEmbeddedWB::TopResChanged, &watcher, [&tops](int top) { tops << top; });
    tab->ScrollToRes(Saved);
    ASSERT_TRUE(WaitFor([tab] { return PlaceSettledAfterGrowing(tab); }));
    EXPECT_EQ(tops, QList<int>{Saved});
    EXPECT_NEAR(AnchorTop(tab, Saved), 0.0, 1.0);

    env.Window()->Tabs().CloseActiveBrowser();
    EXPECT_EQ(opened.item->TOP, Saved);
}

// Responses written in front of the view while the view stands away from a pinned place (the boxes
// near it took their height in the frame before) keep the place, not where the view stood. Here the
// response before the place grows at the first frame, and a write in front comes in that very frame,
// as the page's control sends it.
TEST(SavedPlace, AWriteInFrontWhileTheBoxesTakeTheirHeightKeepsThePinnedPlace)
{
    TOpenedUnevenThread opened;
    TTavuBrowser *tab = opened.tab;
    ASSERT_NE(tab, nullptr);
    ASSERT_TRUE(RunInPage(tab, QStringLiteral(
        "document.addEventListener('scroll', () => {"
        "  if (window.scrollY === 0 || window.grown) return;"
        "  window.grown = true;"
        "  const box = document.getElementById('ID%1').parentElement;"
        "  box.style.minHeight = (box.offsetHeight + 300) + 'px';"
        "  const start = document.createTreeWalker(document, NodeFilter.SHOW_COMMENT);"
        "  let generation = -1;"
        "  while (start.nextNode()) {"
        "    const mark = /^varnelo-end:(\\d+)$/.exec(start.currentNode.data);"
        "    if (mark) generation = parseInt(mark[1], 10);"
        "  }"
        "  window.written = varnelo.append(generation, [['<p>前</p>', true]], false, null);"
        "}); true").arg(Saved - 1)).toBool());

    tab->ScrollToRes(Saved);
    ASSERT_TRUE(WaitFor([tab] { return PlaceSettledAfterGrowing(tab); }));
    ASSERT_TRUE(RunInPage(tab, QStringLiteral("window.written === true")).toBool());
    ExpectExactlyAtTheTop(tab);
}

// The first update after a first read takes the marks off inside the responses' boxes: each box
// stays the element it was (one away from the view keeps its size and is not laid out again), now
// holding the read form (one away from the view in the frames that follow the update), and the
// first new response comes to the top of the view exactly.
TEST(SavedPlace, TheFirstUpdateTakesTheMarksOffInsideTheBoxesAndShowsTheFirstNewOneAtTheTop)
{
    TPostWindowEnv env;
    env.ShowWindow();
    AddUnevenThread(env.server);
    ItemRef item(NewsItem(env, Key));
    OpenThread(env, item.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    ASSERT_EQ(tab->ResList()->Count(), Count);
    ASSERT_EQ(PageHtml(tab).count(QStringLiteral("class=\"res new\"")), Count);   // a first read: all new
    ASSERT_TRUE(RunInPage(tab, QStringLiteral("window.keptBox = document.getElementById('ID10').parentElement;"
                                              " window.keptBox.classList.contains('varnelo-res')")).toBool());

    for (int n = 1; n <= 10; ++n)
        env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("新着%1").arg(n));
    env.Window()->Action(QStringLiteral("actThreadReload"))->trigger();
    ASSERT_TRUE(WaitFor([&] { return Settled(env) && !tab->Browser()->IsBusy(); }));
    ASSERT_EQ(tab->ResList()->Count(), Count + 10);

    EXPECT_TRUE(WaitFor([tab] {
        return RunInPage(tab, QStringLiteral("window.keptBox.isConnected"
                                             " && document.getElementById('ID10').parentElement === window.keptBox"
                                             " && window.keptBox.className === 'varnelo-res'"
                                             " && window.keptBox.querySelector('div.res:not(.new)') !== null")).toBool();
    }));
    EXPECT_TRUE(WaitFor([tab] { return PageHtml(tab).count(QStringLiteral("class=\"res new\"")) == 10; }));
    ASSERT_TRUE(WaitFor([tab] { return !tab->IsCovered(); }));
    WaitTwoFrames(tab);
    EXPECT_EQ(tab->GetTopResNumber(), Count + 1);
    EXPECT_NEAR(AnchorTop(tab, Count + 1), 0.0, 1.0);
}

// A box shows nothing outside itself: in a skin that does not break long words (katjusha), an
// address longer than the line breaks inside its response instead of being cut off at its edge.
TEST(SavedPlace, ALongWordBreaksInsideItsResponsesBox)
{
    TPostWindowEnv env([](TWindowEnv &e) {
        const QString skin = e.Root.Path() + QStringLiteral("def/skin/katjusha/");
        FileUtil::WriteFileAtomic(e.Profile(QStringLiteral("skin.ini")),
                                  QStringLiteral("[test]\r\nSKINPATH=%1\r\nKATJUSHA=1\r\n").arg(skin).toUtf8());
    });
    env.ShowWindow();
    env.server.AddThread(News, Key, QStringLiteral("スレ"));
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(),
                         QStringLiteral("https://example.com/") + QString(400, QLatin1Char('a')));
    ItemRef item(NewsItem(env, Key));
    OpenThread(env, item.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    ASSERT_TRUE(WaitFor([tab] { return !tab->Browser()->IsBusy(); }));
    const QString box = QStringLiteral("document.getElementById('ID1').parentElement");
    ASSERT_EQ(RunInPage(tab, box + QStringLiteral(".className")).toString(), QStringLiteral("varnelo-res varnelo-marked"));
    EXPECT_LE(RunInPage(tab, box + QStringLiteral(".scrollWidth")).toInt(), RunInPage(tab, box + QStringLiteral(".clientWidth")).toInt());
    EXPECT_GT(RunInPage(tab, box + QStringLiteral(".getBoundingClientRect().height")).toDouble(), 60.0);   // on several lines
}

// A thread read to its end opens from its log at its place, drawn before it takes the responses
// far before it: from the first frame that shows the place, the place stays exactly where it is and
// the page keeps its height while those responses come in front (the room kept for them), so that
// the view and its scroll bar never move. Seen from the page: a script of the test's own notes, at
// each frame, where the place is and how high the page is.
TEST(SavedPlace, AThreadOpenedFromItsLogIsDrawnAtItsPlaceAndNothingMovesWhileTheRestComes)
{
    constexpr int End = Count - 8;
    TOpenedUnevenThread opened;
    TPostWindowEnv &env = opened.env;
    TTavuBrowser *tab = opened.tab;
    ASSERT_NE(tab, nullptr);
    tab->ScrollToRes(End);
    ASSERT_TRUE(WaitFor([tab] { return tab->GetTopResNumber() == End; }));
    env.Window()->Tabs().CloseActiveBrowser();
    ASSERT_EQ(opened.item->TOP, End);

    TTavuBrowser *next = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (TTavuBrowser *kept : env.Window()->findChildren<TTavuBrowser *>())
            next = kept->IsKeptAside() && kept->IsReady() ? kept : next;
        return next != nullptr;
    }));
    RunInPage(next, QStringLiteral(
        "window.seen = [];"
        "(function look() {"
        "  const place = document.getElementById('ID%1');"
        "  if (place) {"
        "    const frame = [place.getBoundingClientRect().top, document.scrollingElement.scrollHeight,"
        "                   document.querySelectorAll('[id^=\"ID\"]').length,"
        "                   document.querySelectorAll('div.varnelo-res[style*=\"visible\"]').length].join(' ');"
        "    if (window.seen[window.seen.length - 1] !== frame) window.seen.push(frame);"
        "  }"
        "  requestAnimationFrame(look);"
        "})(); true").arg(End));
    ItemRef again(NewsItem(env, Key));
    again->DownloadRequest = false;
    OpenThread(env, again.get(), false, true);
    ASSERT_EQ(env.Window()->Tabs().Browsers().first(), next);
    ExpectPlaceAtTheTop(next, End);

    const QStringList seen = RunInPage(next, QStringLiteral("window.seen.join(',')")).toString().split(QLatin1Char(','));
    ASSERT_FALSE(seen.isEmpty());
    const int written = seen.first().section(QLatin1Char(' '), 2, 2).toInt();
    EXPECT_LT(written, Count / 2) << "drawn before the rest came";
    // Of what came with it, the boxes far from the place wait for the engine to lay them out.
    EXPECT_LT(seen.first().section(QLatin1Char(' '), 3, 3).toInt(), written);
    EXPECT_EQ(seen.last().section(QLatin1Char(' '), 2, 2).toInt(), Count);
    const QString shown = seen.first().section(QLatin1Char(' '), 0, 1);
    for (const QString &frame : seen)
        EXPECT_EQ(frame.section(QLatin1Char(' '), 0, 1), shown) << seen.join(QLatin1String(" | ")).toStdString();
}
