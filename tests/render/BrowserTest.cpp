// The browser tab on a live (headless) web engine, and the popup window.
#include "core/ThreadTestEnv.h"

#include "core/BBS.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuAction.h"
#include "core/FileUtil.h"
#include "render/EmbeddedWB.h"
#include "render/PromptFrames.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "support/ScriptedHttpServer.h"
#include "support/WaitLimit.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QCursor>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Runs the event loop until done() holds (polled every few milliseconds) or the time is up. The web
// engine does its work in this loop, so waiting must not sleep.
bool RunUntil(const std::function<bool()> &done, int timeout = WaitLimitMs)
{
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done() || clock.elapsed() > timeout)
            loop.quit();
    });
    poll.start(2);
    if (!done())
        loop.exec();
    return done();
}

// A stored log of count responses; response n's message is body(n).
QByteArray DatLog(int count, const std::function<QString(int)> &body)
{
    QString log;
    for (int n = 1; n <= count; ++n)
        log += QStringLiteral("名無しさん<>sage<>2024/01/02(火) 03:04:05 ID:id%1<>%2<>%3\r\n")
                   .arg(n % 7)
                   .arg(body(n), n == 1 ? QStringLiteral("テストスレ") : QString());
    return jconvert::UnicodeToSjis(log);
}

// Runs a script in the helper's world of the page and waits for its result.
QVariant Eval(TTavuBrowser &tab, const QString &script)
{
    QVariant result;
    bool done = false;
    tab.Browser()->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    EXPECT_TRUE(RunUntil([&] { return done; })) << script.toStdString();
    return result;
}

bool WaitShown(TTavuBrowser &tab)
{
    return RunUntil([&] { return !tab.Browser()->IsBusy(); });
}

// A thread tab with an empty response list, in a skin of one template file (the others built in).
// A tab shown at a small size, for what its page does whatever the skin.
struct ShownTab {
    ThreadTestEnv env;
    TTavuBrowser tab;

    ShownTab()
    {
        tab.resize(400, 300);
        tab.show();
    }
};

struct SkinnedTab {
    ThreadTestEnv env;
    QTemporaryDir skin;
    ItemRef item{env.NewItem(QStringLiteral("1000000001"), QStringLiteral("テストスレ"))};
    TTavuBrowser tab;
    TResList *list = new TResList(item.get());

    SkinnedTab(const QString &file, const QByteArray &text)
    {
        FileUtil::WriteFileAtomic(skin.filePath(file), text);
        tab.Skin.SkinPath = skin.path() + QLatin1Char('/');
        tab.SetThreadItem(item.get());
        tab.SetResList(list);
    }
    // Shows the tab at a size its page is laid out in.
    void Show()
    {
        tab.resize(800, 600);
        tab.show();
    }
    // Adds the responses numbered first to last to the list, each with the message "本文n".
    void AddResponses(int first, int last)
    {
        const QByteArray log = DatLog(last, [](int n) { return QStringLiteral("本文%1").arg(n); });
        list->LoadDat(log.split('\n').mid(first - 1, last - first + 1).join('\n') + '\n');
    }
    // Writes the list's responses from the index on as one view, and the footer after them.
    void WriteFrom(int from)
    {
        tab.BeginView(list);
        for (int i = from; i < list->Count(); ++i)
            tab.AppendRes(list->Get(i));
        tab.EndView();
        tab.WriteHtml();
    }
};

}  // namespace

// One web-engine run: a thread is rendered, grown on the live page, scrolled; the page reports its
// top response and ticked boxes; links never leave the page; no script of the page ever runs.
TEST(BrowserTest, RendersGrowsScrollsAndKeepsThePageSafe)
{
    ThreadTestEnv env;
    TTavuBrowser tab;
    tab.resize(800, 600);
    tab.show();
    ItemRef item(env.NewItem(QStringLiteral("1000000001"), QStringLiteral("テストスレ")));
    tab.SetThreadItem(item.get());
    auto *list = new TResList(item.get());
    tab.SetResList(list);
    list->LoadDat(DatLog(1000, [](int n) {
        return n == 7 ? QStringLiteral("見て http://example.com/page <script>document.title='pwned'</script>")
                      : QStringLiteral("本文 %1<br>二行目").arg(n);
    }));

    QList<QUrl> navigations;
    QObject::connect(tab.Browser(), &TEmbeddedWB::BeforeNavigate, [&](const QUrl &url, bool &cancel) {
        navigations << url;
        cancel = url.scheme() != QLatin1String("tavu");   // internal links are refused by the control itself
    });

    tab.ClearDocument();
    tab.WriteHeader();
    for (int i = 0; i < 300; ++i)
        tab.AppendRes(list->Get(i));
    tab.AppendHtml(QStringLiteral("<p id=\"raw\">raw<script>document.getElementById('raw').textContent='ran'</script>"
                                  "<img src=\"data:,\" onerror=\"document.title='pwned'\"></p>"));
    ASSERT_TRUE(WaitShown(tab));
    for (int i = 300; i < 1000; ++i)
        tab.AppendRes(list->Get(i));
    ASSERT_TRUE(WaitShown(tab));

    EXPECT_EQ(Eval(tab, QStringLiteral("document.querySelectorAll('a[id^=\"ID\"]').length")).toInt(), 1000);
    EXPECT_EQ(Eval(tab, QStringLiteral("document.getElementById('raw').textContent")).toString(), "raw");
    EXPECT_EQ(Eval(tab, QStringLiteral("document.querySelectorAll('script').length")).toInt(), 0);
    EXPECT_EQ(tab.Browser()->title(), QStringLiteral("テストスレ"));

    tab.ScrollToRes(500);
    EXPECT_TRUE(RunUntil([&] { return tab.GetTopResNumber() == 500; })) << tab.GetTopResNumber();
    Eval(tab, QStringLiteral("window.scrollBy(0, 600)"));
    EXPECT_TRUE(RunUntil([&] { return tab.GetTopResNumber() > 500; }));

    Eval(tab, QStringLiteral("document.querySelector('a[href=\"tavu://res/?no=12\"]').click()"));
    ASSERT_TRUE(RunUntil([&] { return navigations.size() == 1; }));
    EXPECT_EQ(navigations[0].toString(), "tavu://res/?no=12");
    EXPECT_EQ(TTavuBrowser::GetLinkNumber(navigations[0].toString()), 12);
    Eval(tab, QStringLiteral("document.querySelector('a[href^=\"http://example.com\"]').click()"));
    ASSERT_TRUE(RunUntil([&] { return navigations.size() == 2; }));
    EXPECT_EQ(navigations[1].host(), "example.com");
    // Refused when it was asked for: the written document is still the page.
    EXPECT_EQ(tab.Browser()->LocationUrl(), "about:blank");
    EXPECT_EQ(Eval(tab, QStringLiteral("document.querySelectorAll('a[id^=\"ID\"]').length")).toInt(), 1000);

    Eval(tab, QStringLiteral("document.querySelector('input.tavu-check[value=\"20\"]').click()"));
    ASSERT_TRUE(RunUntil([&] { return tab.GetCheckedResList().size() == 1; }));
    EXPECT_EQ(tab.GetCheckedResList()[0]->Number, 20);

    // The written page cannot be reloaded away (it lives in the page alone).
    tab.Browser()->page()->triggerAction(QWebEnginePage::Reload);
    RunUntil([] { return false; }, 300);
    EXPECT_EQ(Eval(tab, QStringLiteral("document.querySelectorAll('a[id^=\"ID\"]').length")).toInt(), 1000);

    // A blank page ends the document: what is written next makes a new page, here a whole thread
    // in one piece (as the cache loader hands it over).
    tab.Navigate(QStringLiteral("about:blank"));
    tab.BeginChunk();
    tab.WriteHeader();
    for (int i = 0; i < 1000; ++i)
        tab.AppendRes(list->Get(i));
    tab.AppendHtml(tab.EndChunk());
    ASSERT_TRUE(WaitShown(tab));
    EXPECT_EQ(Eval(tab, QStringLiteral("document.querySelectorAll('a[id^=\"ID\"]').length")).toInt(), 1000);

    // So does a write after the document was closed.
    tab.WriteHtml();
    tab.WriteHeader();
    tab.AppendRes(list->Get(1));
    ASSERT_TRUE(WaitShown(tab));
    EXPECT_EQ(Eval(tab, QStringLiteral("document.querySelector('a[id^=\"ID\"]').id")).toString(), "ID2");
}

// A picture link of a response is shown in the page when the skin settings ask for it.
TEST(BrowserTest, ShowsPicturesOfResponsesWhenTheSkinAsks)
{
    ThreadTestEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, "", {"Content-Type: image/png"}));
    TTavuBrowser tab;
    tab.resize(400, 300);
    tab.show();
    TResList list;
    const QString picture = server.Url(QStringLiteral("/pic.png"));
    list.LoadDat(DatLog(1, [&](int) { return QStringLiteral("画像 ") + picture; }));
    tab.SelectSkin(nullptr);
    tab.Skin.RenderImage = true;

    tab.ClearDocument();
    tab.WriteHeader();
    tab.AppendRes(list.Get(0));
    ASSERT_TRUE(WaitShown(tab));
    EXPECT_EQ(Eval(tab, QStringLiteral("document.querySelectorAll('img').length")).toInt(), 1);
    EXPECT_TRUE(RunUntil([&] { return server.Requests().size() == 1; }));
    EXPECT_TRUE(server.LastRequest().startsWith("GET /pic.png "));
}

// Anchors lead to the thread's read URL, so the main window can tell them from other links.
TEST(BrowserTest, AnchorsLeadToTheThreadsReadUrl)
{
    ThreadTestEnv env;
    TBBS type(QStringLiteral("2chscript"), QStringLiteral(VARNELO_SHIP_DIR "/config/bbs/2chscript/"));
    env.news->BBS = &type;
    env.news->URL = QStringLiteral("http://example.net/news/");
    ItemRef item(env.NewItem(QStringLiteral("1000000001")));
    TTavuBrowser tab;
    tab.SetThreadItem(item.get());
    TResList list;
    list.LoadDat(DatLog(1, [](int) { return QStringLiteral("&gt;&gt;12 と &gt;&gt;3-5"); }));

    tab.BeginChunk();
    tab.AppendRes(list.Get(0));
    const QString html = tab.EndChunk();
    // "n": the responses named alone, without response 1.
    EXPECT_TRUE(html.contains(QStringLiteral("\"http://example.net/test/read.cgi/news/1000000001/12n\""))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("\"http://example.net/test/read.cgi/news/1000000001/3-5n\"")));
}

namespace {

// A list of count responses, every one marked visible (as the popup collections mark them).
std::unique_ptr<TResList> VisibleList(int count)
{
    auto list = std::make_unique<TResList>();
    list->LoadDat(DatLog(count, [](int n) { return QStringLiteral("本文%1です").arg(n); }));
    for (int i = 0; i < count; ++i)
        list->Get(i)->Visible = true;
    return list;
}

bool Shows(const TTavuHintWindow &hint, int number)
{
    return hint.Html().contains(QStringLiteral("id=\"ID%1\"").arg(number));
}

}  // namespace

TEST(HintWindowTest, ShowsAtMostMaxPopupCountOldestOrNewest)
{
    ThreadTestEnv env;
    TavuConfig->MAXPOPUPCOUNT = 5;
    TTavuHintWindow hint;
    auto list = VisibleList(15);
    list->Get(1)->Erased = true;
    list->Get(2)->Visible = false;

    hint.PopupResList(list.get(), env.news, QStringLiteral("見出し"));
    EXPECT_TRUE(hint.isVisible());
    EXPECT_TRUE(hint.Html().contains(QStringLiteral("見出し")));
    for (int n : {1, 4, 5, 6, 7})
        EXPECT_TRUE(Shows(hint, n)) << n;
    for (int n : {2, 3, 8, 15})
        EXPECT_FALSE(Shows(hint, n)) << n;

    TavuConfig->POPUPORDER = 1;
    hint.PopupResList(list.get(), env.news, QString());
    for (int n = 11; n <= 15; ++n)
        EXPECT_TRUE(Shows(hint, n)) << n;
    EXPECT_FALSE(Shows(hint, 10));
}

// The popup is sized from what it shows every time, the first time of a session too.
TEST(HintWindowTest, TheFirstPopupIsSizedLikeTheNext)
{
    ThreadTestEnv env;
    auto list = VisibleList(2);
    list->Get(1)->Body = QStringLiteral("二行目まで続く長い本文です。ポップアップの幅は中身で決まります。");
    QList<QSize> sizes;
    for (int shown = 0; shown < 2; ++shown) {
        TTavuHintWindow hint;
        for (int again = 0; again < 2; ++again) {
            hint.PopupResList(list.get(), env.news, QStringLiteral("見出し"));
            sizes << hint.size();
            hint.hide();
        }
    }
    EXPECT_EQ(sizes.at(0), sizes.at(1));
    EXPECT_EQ(sizes.at(0), sizes.at(2));
    EXPECT_GT(sizes.at(0).width(), 300);

    // A line shorter than the screen is never wrapped.
    TTavuHintWindow hint;
    hint.ShowText(QStringLiteral("折り返さない一行 of mixed width text"));
    EXPECT_EQ(hint.findChild<QTextBrowser *>()->document()->lineCount(), 1);
}

// Above or below, a popup lies beside the mouse, never under it (a view under the popup would see
// the mouse leave its link and take the popup away): one line as well as several.
TEST(HintWindowTest, APopupNeverComesUpUnderTheMouse)
{
    ThreadTestEnv env;
    QCursor::setPos(QGuiApplication::primaryScreen()->availableGeometry().center());
    for (int below : {0, 1}) {
        TavuConfig->POPUPPOS = below;
        for (const QString &text : {QStringLiteral("http://127.0.0.1/page.html"), QStringLiteral("一\n二\n三\n四\n五")}) {
            TTavuHintWindow hint;
            hint.ShowText(text);
            QCoreApplication::processEvents();
            EXPECT_FALSE(hint.geometry().contains(QCursor::pos())) << below << " " << text.toStdString();
        }
    }
}

TEST(HintWindowTest, MasksResponsesThatTheirRuleHidesInPopups)
{
    ThreadTestEnv env;
    TTavuHintWindow hint;
    auto list = VisibleList(3);
    TTavuAction popupRule;
    popupRule.PopupHide = true;
    TTavuAction viewRule;
    list->Get(1)->Hidden = true;
    list->HiddenNumbers.insert(2, &popupRule);
    list->Get(2)->Hidden = true;
    list->HiddenNumbers.insert(3, &viewRule);

    hint.PopupResList(list.get(), env.news, QString());
    EXPECT_FALSE(hint.Html().contains(QStringLiteral("本文2です")));
    EXPECT_TRUE(hint.Html().contains(QStringLiteral("ＮＧ")));
    EXPECT_TRUE(hint.Html().contains(QStringLiteral("本文3です")));
    EXPECT_EQ(list->Get(1)->Body, QStringLiteral("本文2です"));   // the thread keeps its text
}

TEST(HintWindowTest, PopsUpARangeOfAnotherThreadsStoredLog)
{
    ThreadTestEnv env;
    TavuConfig->MAXPOPUPCOUNT = 4;
    FileUtil::WriteFileAtomic(env.news->GetLogDir() + QStringLiteral("2000000002.dat"),
                              DatLog(30, [](int n) { return QStringLiteral("他スレ%1").arg(n); }));
    TTavuHintWindow hint;

    hint.PopupThreadUrl(env.news, QStringLiteral("2000000002"), {10, 12, false}, QStringLiteral("他スレ"));
    for (int n : {1, 10, 11, 12})
        EXPECT_TRUE(Shows(hint, n)) << n;
    EXPECT_FALSE(Shows(hint, 13));
    EXPECT_EQ(hint.SkinBoard(), env.news);

    hint.PopupThreadUrl(env.news, QStringLiteral("2000000002"), {10, 12, true}, QString());
    EXPECT_FALSE(Shows(hint, 1));
    TavuConfig->RES1NOPOPUP = true;
    hint.PopupThreadUrl(env.news, QStringLiteral("2000000002"), {0, 0, false}, QString());
    EXPECT_FALSE(Shows(hint, 1));
    for (int n = 27; n <= 30; ++n)
        EXPECT_TRUE(Shows(hint, n)) << n;
    EXPECT_FALSE(Shows(hint, 26));
    hint.PopupThreadUrl(env.news, QStringLiteral("2000000002"), {0, 20, false}, QString());
    EXPECT_TRUE(Shows(hint, 17));
    EXPECT_FALSE(Shows(hint, 15));

    hint.PopupThreadUrl(env.news, QStringLiteral("3000000003"), {1, 1, false}, QStringLiteral("ログなし"));
    EXPECT_EQ(hint.Html(), QStringLiteral("ログなし"));
    hint.PopupThreadUrl(env.news, QStringLiteral("../2000000002"), {1, 1, false}, QStringLiteral("不正"));
    EXPECT_EQ(hint.Html(), QStringLiteral("不正"));
}

// The footer counts the responses of the page when it is written, not when the page began.
TEST(BrowserTest, TheFooterCountsWhatThePageEndsWith)
{
    SkinnedTab skinned(QStringLiteral("footer.html"), "<p>all <RESCOUNT/> new <NEWCOUNT/></p>");
    TTavuBrowser &tab = skinned.tab;
    TResList log;
    log.LoadDat(DatLog(3, [](int n) { return QStringLiteral("本文 %1").arg(n); }));

    tab.BeginChunk();
    tab.WriteHeader();   // an empty list: the stored log was empty
    for (int i = 0; i < log.Count(); ++i) {
        auto *res = new TRes;
        res->Assign(*log.Get(i));
        skinned.list->Add(res);
        tab.AppendRes(res);
    }
    skinned.item->NewCount = 3;
    tab.WriteHtml();
    EXPECT_TRUE(tab.EndChunk().contains(QStringLiteral("<p>all 3 new 3</p>")));
}

// An update takes the marks off the responses the last one brought, in the view, in the same step
// as it writes its own, so that the page changes (and is laid out) once; a download cancelled
// before it writes takes them off alone.
TEST(BrowserTest, TheNewMarksGoOffInTheSameStepAsTheNextResponses)
{
    SkinnedTab skinned(QStringLiteral("newres.html"), "<p class=\"new\"><MESSAGE/></p>");
    TTavuBrowser &tab = skinned.tab;
    TResList *list = skinned.list;
    skinned.Show();
    skinned.AddResponses(1, 4);
    list->Get(2)->IsNew = list->Get(3)->IsNew = true;
    const auto marked = [&] {
        return Eval(tab, QStringLiteral("Array.from(document.querySelectorAll('p.new')).map(p => p.textContent).join(' ')"))
            .toString();
    };
    tab.ClearDocument();
    tab.WriteHeader();
    skinned.WriteFrom(0);
    ASSERT_TRUE(WaitShown(tab));
    ASSERT_EQ(marked(), QStringLiteral("本文3 本文4"));
    // Counts the script calls that change the page: each one's changes come to the observer at once.
    Eval(tab, QStringLiteral("window.steps = 0;"
                             "new MutationObserver(() => ++window.steps).observe(document.body, {childList: true, subtree: true});"));

    ASSERT_TRUE(tab.ReopenDocument());
    tab.ClearNewMarks();
    EXPECT_TRUE(tab.Browser()->IsBusy());
    EXPECT_EQ(marked(), QStringLiteral("本文3 本文4"));   // they wait for the update's write
    skinned.AddResponses(5, 5);
    list->Get(4)->IsNew = true;
    skinned.WriteFrom(4);
    ASSERT_TRUE(WaitShown(tab));
    EXPECT_EQ(marked(), QStringLiteral("本文5"));
    EXPECT_EQ(Eval(tab, QStringLiteral("window.steps")).toInt(), 1);
    EXPECT_EQ(Eval(tab, QStringLiteral("document.querySelectorAll('a[id^=\"ID\"]').length")).toInt(), 5);

    ASSERT_TRUE(tab.ReopenDocument());
    tab.ClearNewMarks();
    tab.CancelDownload();
    ASSERT_TRUE(WaitShown(tab));
    EXPECT_EQ(marked(), QString());
    EXPECT_EQ(Eval(tab, QStringLiteral("window.steps")).toInt(), 2);
}

// An update takes the marks off the boxes near the view in the step that brings its responses, and
// changes as much of the page there whatever the number of marks: those away from the view go in the
// frames that follow, a box ticked staying ticked. A page off the screen takes them all off in that
// step.
TEST(BrowserTest, AnUpdateTakesTheMarksOffNearTheViewAtOnceAndTheOthersInTheFramesAfter)
{
    SkinnedTab skinned(QStringLiteral("newres.html"), "<p class=\"new\" style=\"height: 200px\"><MESSAGE/></p>");
    FileUtil::WriteFileAtomic(skinned.skin.filePath(QStringLiteral("res.html")),
                              "<p class=\"read\" style=\"height: 200px\"><MESSAGE/></p>");
    TTavuBrowser &tab = skinned.tab;
    skinned.Show();
    const auto marks = [&] { return Eval(tab, QStringLiteral("document.querySelectorAll('p.new').length")).toInt(); };
    // A first read of count responses, every one new.
    const auto read = [&](int count) {
        skinned.list = new TResList(skinned.item.get());
        tab.SetResList(skinned.list);
        skinned.AddResponses(1, count);
        for (int i = 0; i < count; ++i)
            skinned.list->Get(i)->IsNew = true;
        tab.ClearDocument();
        tab.WriteHeader();
        skinned.WriteFrom(0);
        ASSERT_TRUE(WaitShown(tab));
        ASSERT_EQ(marks(), count);
    };
    // An update that brings one more response.
    const auto update = [&] {
        ASSERT_TRUE(tab.ReopenDocument());
        tab.ClearNewMarks();
        const int next = skinned.list->Count() + 1;
        skinned.AddResponses(next, next);
        skinned.list->Get(next - 1)->IsNew = true;
        skinned.WriteFrom(next - 1);
        ASSERT_TRUE(WaitShown(tab));
    };
    // Reads the thread with the view on its middle response and the first one's box ticked, then
    // updates it; gives the number of changes of the page in the update's step.
    const auto changesOfUpdate = [&](int count) {
        read(count);
        tab.ScrollToRes(count / 2);
        EXPECT_TRUE(RunUntil([&] {
            return tab.GetTopResNumber() == count / 2
                   && Eval(tab, QStringLiteral("document.documentElement.style.overflowAnchor !== 'none'")).toBool();
        }));
        Eval(tab, QStringLiteral("document.querySelector('input[type=checkbox]').click()"));
        EXPECT_TRUE(RunUntil([&] { return tab.GetCheckedResList().size() == 1; }));
        // Each step that changes the page: its changes, and the marks it left in the view.
        Eval(tab, QStringLiteral("window.steps = []; new MutationObserver(records => window.steps.push([records.length,"
                                 " Array.from(document.querySelectorAll('p.new')).filter(p => { const r = p.getBoundingClientRect();"
                                 " return r.bottom > 0 && r.top < window.innerHeight; }).length]))"
                                 ".observe(document.body, {childList: true, subtree: true});"));
        update();
        const QVariantList step = Eval(tab, QStringLiteral("window.steps[0]")).toList();
        EXPECT_EQ(step.value(1).toInt(), 0) << "marks left in the view";
        EXPECT_TRUE(RunUntil([&] { return marks() == 1; }));   // the new response's
        EXPECT_TRUE(Eval(tab, QStringLiteral("document.querySelector('p').className === 'read'"
                                             " && document.querySelector('input[type=checkbox]').checked")).toBool());
        EXPECT_EQ(tab.GetCheckedResList().size(), 1);
        tab.ScrollToRes(1);
        EXPECT_TRUE(RunUntil([&] { return tab.GetTopResNumber() == 1; }));
        return step.value(0).toInt();
    };
    EXPECT_EQ(changesOfUpdate(20), changesOfUpdate(80));

    // The view goes elsewhere right after the update's step, before the next frame (as it goes to
    // the update's first response): no frame that follows shows there a mark that went (each is
    // looked at once laid out, before it is painted).
    read(80);
    Eval(tab, QStringLiteral("window.seen = [];"
                             "const observer = new MutationObserver(() => {"
                             "  if (!document.getElementById('ID81')) return;"
                             "  observer.disconnect();"
                             "  document.getElementById('ID40').scrollIntoView();"
                             "  const frame = () => {"
                             "    const sizes = new ResizeObserver(() => { sizes.disconnect(); window.seen.push("
                             "      Array.from(document.querySelectorAll('p.new')).filter(p => { const r = p.getBoundingClientRect();"
                             "      return r.bottom > 0 && r.top < window.innerHeight; }).length); });"
                             "    sizes.observe(document.documentElement);"
                             "    if (window.seen.length < 3) requestAnimationFrame(frame);"
                             "  };"
                             "  requestAnimationFrame(frame);"
                             "});"
                             "observer.observe(document.body, {childList: true, subtree: true});"));
    update();
    ASSERT_TRUE(RunUntil([&] { return Eval(tab, QStringLiteral("window.seen.length")).toInt() >= 3; }));
    EXPECT_EQ(Eval(tab, QStringLiteral("window.seen.slice(0, 3).join()")).toString(), QStringLiteral("0,0,0"));

    tab.hide();
    read(80);
    update();
    EXPECT_EQ(marks(), 1);
}

// A response that loses its new mark becomes node for node what a read response's rendering makes,
// where it was; a ticked box stays ticked, as the tab counts it; the page still finds every
// response by its number. The footer counts anew in the nodes it had.
TEST(BrowserTest, AResponseLosingItsNewMarkIsRenderedAsARead)
{
    SkinnedTab skinned(QStringLiteral("newres.html"),
                       "<div class=\"res new\" style=\"height: 300px\"><span class=\"no\"><NUMBER/></span><span class=\"newmark\">新着</span> "
                       "<input type=\"checkbox\"><MESSAGE/></div>");
    FileUtil::WriteFileAtomic(skinned.skin.filePath(QStringLiteral("res.html")),
                              "<div class=\"res\" style=\"height: 300px\"><span class=\"no\"><NUMBER/></span> "
                              "<input type=\"checkbox\"><MESSAGE/></div>");
    FileUtil::WriteFileAtomic(skinned.skin.filePath(QStringLiteral("footer.html")), "<p class=\"foot\">全<RESCOUNT/>レス</p>");
    TTavuBrowser &tab = skinned.tab;
    TResList *list = skinned.list;
    skinned.Show();
    skinned.AddResponses(1, 3);
    list->Get(1)->IsNew = list->Get(2)->IsNew = true;
    tab.ClearDocument();
    tab.WriteHeader();
    skinned.WriteFrom(0);
    ASSERT_TRUE(WaitShown(tab));
    ASSERT_TRUE(Eval(tab, QStringLiteral("document.querySelectorAll('div.res')[2].querySelector('input').click();"
                                         " window.foot = document.querySelector('p.foot'); true"))
                    .toBool());
    ASSERT_TRUE(RunUntil([&tab] { return tab.GetCheckedResList().size() == 1; }));   // the tick reached the tab

    ASSERT_TRUE(tab.ReopenDocument());
    tab.ClearNewMarks();
    skinned.AddResponses(4, 4);
    list->Get(3)->IsNew = true;
    skinned.WriteFrom(3);
    ASSERT_TRUE(WaitShown(tab));

    // The box still shows the tick the tab still counts.
    EXPECT_TRUE(Eval(tab, QStringLiteral("document.querySelectorAll('div.res')[2].querySelector('input').checked")).toBool());
    ASSERT_EQ(tab.GetCheckedResList().size(), 1);
    EXPECT_EQ(tab.GetCheckedResList().first()->Number, 3);
    EXPECT_TRUE(Eval(tab, QStringLiteral("document.querySelectorAll('p.foot').length === 1"
                                         " && document.querySelector('p.foot') === window.foot")).toBool());
    EXPECT_EQ(Eval(tab, QStringLiteral("window.foot.textContent")).toString(), QStringLiteral("全4レス"));
    EXPECT_EQ(Eval(tab, QStringLiteral("Array.from(document.querySelectorAll('div.res.new')).map(d => d.textContent).join()")).toString(),
              QStringLiteral("4新着 本文4"));
    // Responses 2 and 3 are now node for node what a read response's rendering makes.
    tab.BeginChunk();
    for (int i = 1; i <= 2; ++i) {
        TRes read;
        read.Assign(*list->Get(i));
        read.IsNew = false;
        tab.AppendRes(&read);
    }
    const QString readHtml = tab.EndChunk();
    const QString compare = QStringLiteral(
        "(function (html) { const t = document.createElement('template'); t.innerHTML = html;"
        " document.querySelectorAll('input').forEach(box => { box.checked = false; });"
        " let node = document.getElementById('ID2'); if (!node) return false; node = node.parentElement;"
        " return Array.from(t.content.childNodes).every(w => { const same = node && node.isEqualNode(w);"
        " node = node && node.nextSibling; return same; }); })(%1)")
                                .arg(QString::fromUtf8(QJsonDocument(QJsonArray{readHtml}).toJson(QJsonDocument::Compact)).mid(1).chopped(1));
    EXPECT_TRUE(Eval(tab, compare).toBool()) << readHtml.toStdString();
    tab.ScrollToRes(3);
    ASSERT_TRUE(RunUntil([&tab] { return tab.GetTopResNumber() == 3; }));
}

// A new written document takes the place of the one the page shows without a load: its head
// replaces the page's head and body, and later writes go inside what it left open. A head of
// another document type takes a page loaded in its mode; after a web page, the next document gets
// its page back. No script of a head ever runs or stays.
TEST(BrowserTest, ANewDocumentTakesThePageInPlace)
{
    ShownTab shown;
    TTavuBrowser &tab = shown.tab;
    TEmbeddedWB &page = *tab.Browser();
    const auto write = [&page](const QString &head, const QString &body) {
        page.Renew();
        page.Write(head);
        page.Write(body);
        page.Close();
        return RunUntil([&page] { return !page.IsBusy(); });
    };
    ASSERT_TRUE(write(QStringLiteral("<html><head><style>p { color: rgb(1, 2, 3); }</style></head><body class=\"one\"><dl>"),
                      QStringLiteral("<dt id=\"ID1\">一</dt>")));
    ASSERT_TRUE(Eval(tab, QStringLiteral("!!document.querySelector('dl > dt#ID1')")).toBool());

    int loads = 0;
    QObject::connect(&page, &QWebEngineView::loadStarted, &page, [&loads] { ++loads; });
    ASSERT_TRUE(write(QStringLiteral("<html><head><title>二</title><script>document.title = 'ran';</script></head>"
                                     "<body class=\"two\"><div>"),
                      QStringLiteral("<p id=\"ID2\">二</p>")));
    EXPECT_EQ(loads, 0);
    EXPECT_EQ(Eval(tab, QStringLiteral("document.body.className")).toString(), QStringLiteral("two"));
    EXPECT_TRUE(Eval(tab, QStringLiteral("!!document.querySelector('body > div > p#ID2') && !document.querySelector('dl')")).toBool());
    EXPECT_EQ(Eval(tab, QStringLiteral("getComputedStyle(document.getElementById('ID2')).color")).toString(),
              QStringLiteral("rgb(0, 0, 0)"));   // the style of the first head went with it
    EXPECT_EQ(Eval(tab, QStringLiteral("document.title + document.querySelectorAll('script').length")).toString(),
              QStringLiteral("二0"));
    EXPECT_EQ(tab.GetTopResNumber(), 2);

    ASSERT_TRUE(write(QStringLiteral("<!DOCTYPE html><html><head></head><body>"), QStringLiteral("<p id=\"ID3\">三</p>")));
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(Eval(tab, QStringLiteral("document.compatMode + !!document.getElementById('ID3')")).toString(),
              QStringLiteral("CSS1Compattrue"));

    bool complete = false;
    QObject::connect(&page, &TEmbeddedWB::DocumentComplete, &page, [&complete] { complete = true; });
    page.Navigate(QStringLiteral("about:blank"));
    ASSERT_TRUE(RunUntil([&complete] { return complete; }));
    ASSERT_TRUE(write(QStringLiteral("<html><head></head><body class=\"four\">"), QStringLiteral("<p id=\"ID4\">四</p>")));
    EXPECT_EQ(Eval(tab, QStringLiteral("document.body.className + document.querySelectorAll('p').length")).toString(),
              QStringLiteral("four1"));
    EXPECT_EQ(page.LocationUrl(), QStringLiteral("about:blank"));
}

// Responses that come while the first screen is on its way to the window are made once it is drawn,
// and keep their place among what else is written meanwhile.
TEST(BrowserTest, ResponsesMadeWhenDueKeepTheirPlaceAmongOtherWrites)
{
    SkinnedTab skinned(QStringLiteral("res.html"), "<p class=\"r\"><MESSAGE/></p>");
    TTavuBrowser &tab = skinned.tab;
    skinned.Show();
    const int screen = TTavuBrowser::FirstScreenSize;
    skinned.AddResponses(1, screen + 3);
    int drawn = 0;
    QStringList madeWhenDrawn;   // the last response made when the page said it drew
    QObject::connect(tab.Browser(), &TEmbeddedWB::Painted, &tab, [&] { ++drawn; });
    QObject::connect(tab.Browser(), &TEmbeddedWB::Inserting, &tab, [&](const QString &html, bool) {
        if (drawn == 0 && html.contains(QStringLiteral("本文%1<").arg(screen + 1)))
            madeWhenDrawn << html;
    });
    tab.ClearDocument();
    tab.WriteHeader();
    tab.BeginView(skinned.list);
    for (int i = 0; i < screen + 2; ++i)
        tab.AppendRes(skinned.list->Get(i));
    tab.AppendHtml(QStringLiteral("<p class=\"r\">間</p>"));
    tab.AppendRes(skinned.list->Get(screen + 2));
    tab.EndView();
    tab.WriteHtml();
    ASSERT_TRUE(WaitShown(tab));
    ASSERT_TRUE(RunUntil([&tab] { return !tab.Browser()->IsBusy(); }));
    EXPECT_GT(drawn, 0);
    EXPECT_TRUE(madeWhenDrawn.isEmpty()) << "a response after the first screen went to the page before it was drawn";
    const QStringList shown = Eval(tab, QStringLiteral("Array.from(document.querySelectorAll('p.r')).map(p => p.textContent.trim()).join(' ')"))
                                  .toString().split(QLatin1Char(' '));
    ASSERT_EQ(shown.size(), screen + 4);
    EXPECT_EQ(shown.mid(screen), QStringList({QStringLiteral("本文%1").arg(screen + 1), QStringLiteral("本文%1").arg(screen + 2),
                                               QStringLiteral("間"), QStringLiteral("本文%1").arg(screen + 3)}));
}

// A scroll asked for right after a write goes to the page in the same call as the write: the page
// shows the new responses where it is to show them in one frame, never first where it stood.
TEST(BrowserTest, AScrollAfterAWriteComesInTheSameStepAsTheWrite)
{
    SkinnedTab skinned(QStringLiteral("res.html"), "<div style=\"height: 200px\"><MESSAGE/></div>");
    TTavuBrowser &tab = skinned.tab;
    TResList *list = skinned.list;
    skinned.Show();
    skinned.AddResponses(1, 20);
    tab.ClearDocument();
    tab.WriteHeader();
    skinned.WriteFrom(0);
    ASSERT_TRUE(WaitShown(tab));
    // Notes where the view stood when each page change was made.
    Eval(tab, QStringLiteral("window.standing = [];"
                             "new MutationObserver(() => window.standing.push(window.scrollY))"
                             ".observe(document.body, {childList: true, subtree: true}); true"));

    // As an update does: the view goes to the first new response as it comes, the footer follows.
    ASSERT_TRUE(tab.ReopenDocument());
    skinned.AddResponses(21, 30);
    tab.BeginView(list);
    for (int i = 20; i < list->Count(); ++i) {
        tab.AppendRes(list->Get(i));
        if (i == 20)
            tab.ScrollToRes(21);
    }
    tab.EndView();
    tab.WriteHtml();
    ASSERT_TRUE(WaitShown(tab));
    ASSERT_TRUE(RunUntil([&tab] { return tab.GetTopResNumber() > 1; }));   // the view went down there
    // One page change, made with the view already gone from the top where it stood.
    const QStringList standing = Eval(tab, QStringLiteral("window.standing.join(' ')")).toString().split(' ');
    ASSERT_EQ(standing.size(), 1);
    EXPECT_GT(standing.first().toDouble(), 0.0);
}

// What is written after a first screen waits until the page has drawn it, then goes in parts, a
// call each, so that the page draws (and scrolls) between them; the page ends with every piece in
// order and the tail after them.
TEST(BrowserTest, WritesAfterAFirstScreenGoInPartsOnceItIsDrawn)
{
    ShownTab shown;
    TTavuBrowser &tab = shown.tab;
    TEmbeddedWB &page = *tab.Browser();
    int painted = 0;
    QList<int> partsWhenDrawn;   // the pieces each part held, and -1 where the page said it drew
    QObject::connect(&page, &TEmbeddedWB::Painted, &page, [&] {
        ++painted;
        partsWhenDrawn << -1;
    });
    QObject::connect(&page, &TEmbeddedWB::Inserting, &page,
                     [&](const QString &html, bool) { partsWhenDrawn << int(html.count(QStringLiteral("<p id="))); });
    page.Renew();
    page.Write(QStringLiteral("<html><head></head><body><p id=\"ID1\">一</p>"));
    page.HoldWritesUntilPainted();
    const int pieces = 6;
    const QString filler(40000, QLatin1Char('x'));
    for (int n = 2; n < 2 + pieces; ++n)
        page.Write(QStringLiteral("<p id=\"ID%1\">%2</p>").arg(n).arg(filler));
    page.WriteTail(QStringLiteral("<p id=\"tail\">尾</p>"));
    page.Close();
    ASSERT_TRUE(RunUntil([&] { return painted > 0 && !page.IsBusy(); }));
    // The head with the first screen, drawn, then the pieces in parts.
    ASSERT_GE(partsWhenDrawn.size(), 4);
    EXPECT_EQ(partsWhenDrawn.mid(0, 2), QList<int>({1, -1}));
    EXPECT_GE(partsWhenDrawn.count(1) + partsWhenDrawn.count(2), 3);
    EXPECT_EQ(Eval(tab, QStringLiteral("Array.from(document.querySelectorAll('p')).map(p => p.id).join(' ')")).toString(),
              QStringLiteral("ID1 ID2 ID3 ID4 ID5 ID6 ID7 tail"));
}

// A first screen written with room below it for the responses still to come: the page is as high
// from its first frame on as once they have come in, away from the view, each in its share of the
// room, which stays below everything appended; the tail, which follows everything written, takes its
// place, even when fewer came than it was kept for.
TEST(BrowserTest, RoomBelowAFirstScreenKeepsThePageAsHighAsItsResponsesToCome)
{
    ShownTab shown;
    TTavuBrowser &tab = shown.tab;
    TEmbeddedWB &page = *tab.Browser();
    const auto box = [](int n) {
        return TEmbeddedWB::Boxed(QStringLiteral("<a id=\"ID%1\"></a>").arg(n),
                                  QStringLiteral("<div style=\"height: 200px\">%1</div>").arg(n));
    };
    bool painted = false;
    QObject::connect(&page, &TEmbeddedWB::Painted, &page, [&painted] { painted = true; });
    page.Renew();
    page.Write(QStringLiteral("<html><head></head><body>"));
    for (int n = 1; n <= 5; ++n)   // more than the view and the reach the engine lays out around it
        page.Write(box(n));
    page.Write(TEmbeddedWB::BackRoom(70));
    page.HoldWritesUntilPainted();
    ASSERT_TRUE(RunUntil([&] { return painted && !page.IsBusy(); }));
    const QString height = QStringLiteral("document.documentElement.scrollHeight");
    const int drawn = Eval(tab, height).toInt();

    for (int n = 6; n <= 65; ++n)
        page.Write(box(n));
    ASSERT_TRUE(RunUntil([&] { return !page.IsBusy(); }));
    EXPECT_EQ(Eval(tab, height).toInt(), drawn);
    EXPECT_EQ(Eval(tab, QStringLiteral("document.body.lastElementChild.className + ' '"
                                       "+ document.body.lastElementChild.previousElementSibling.firstChild.id")).toString(),
              QStringLiteral("varnelo-back-room ID65"));

    page.WriteTail(QStringLiteral("<p id=\"tail\">尾</p>"));
    page.Close();
    ASSERT_TRUE(RunUntil([&] { return !page.IsBusy(); }));
    EXPECT_EQ(Eval(tab, QStringLiteral("document.querySelectorAll('.varnelo-back-room').length + ' '"
                                       "+ document.body.lastElementChild.id")).toString(),
              QStringLiteral("0 tail"));
    EXPECT_LT(Eval(tab, height).toInt(), drawn);
}

// HTML written when due behind a first screen (in front of it or after it) is made only once that
// screen is drawn, each part just before the call that takes it; with nothing drawn first it is made
// at once.
TEST(BrowserTest, HtmlWrittenWhenDueIsMadeAsThePageTakesIt)
{
    ShownTab shown;
    TTavuBrowser &tab = shown.tab;
    TEmbeddedWB &page = *tab.Browser();
    QStringList steps;
    QObject::connect(&page, &TEmbeddedWB::Painted, &page, [&] { steps << QStringLiteral("drawn"); });
    QObject::connect(&page, &TEmbeddedWB::Inserting, &page, [&](const QString &html, bool) {
        static const QRegularExpression id(QStringLiteral("id=\"(ID\\d+)\""));
        for (const QRegularExpressionMatch &match : id.globalMatch(html))
            steps << QStringLiteral("in ") + match.captured(1);
    });
    const auto part = [&steps](int n) {
        return [&steps, n] {
            steps << QStringLiteral("made %1").arg(n);
            return QStringLiteral("<p id=\"ID%1\">%1</p>").arg(n);
        };
    };
    page.Renew();
    page.Write(QStringLiteral("<html><head></head><body>") + TEmbeddedWB::FrontMark() + QStringLiteral("<p id=\"ID3\">3</p>"));
    page.HoldWritesUntilPainted();
    page.WriteWhenDue(part(1), true);
    page.WriteWhenDue(part(4), false);
    page.WriteWhenDue(part(2), true);
    ASSERT_TRUE(RunUntil([&] { return steps.contains(QStringLiteral("drawn")) && !page.IsBusy(); }));
    EXPECT_EQ(steps, QStringList({"in ID3", "drawn", "made 1", "in ID1", "made 4", "in ID4", "made 2", "in ID2"}));
    EXPECT_EQ(Eval(tab, QStringLiteral("Array.from(document.querySelectorAll('p')).map(p => p.id).join(' ')")).toString(),
              QStringLiteral("ID1 ID2 ID3 ID4"));

    steps.clear();
    page.WriteWhenDue(part(0), true);
    EXPECT_EQ(steps, QStringList({"made 0"}));
    ASSERT_TRUE(RunUntil([&] { return !page.IsBusy(); }));
    EXPECT_EQ(Eval(tab, QStringLiteral("Array.from(document.querySelectorAll('p')).map(p => p.id).join(' ')")).toString(),
              QStringLiteral("ID1 ID2 ID0 ID3 ID4"));
}

// A tab kept aside lays out a sample thread in its own skin once its page is in, and is ready only
// once its page is empty again; the thread it then takes shows alone.
TEST(BrowserTest, ATabKeptAsideLaysOutASampleInItsSkinAndIsReadyOnceEmptyAgain)
{
    // Each response of this skin is far taller than a whole sample in the built-in templates.
    SkinnedTab skinned(QStringLiteral("res.html"), "<div class=\"r\" style=\"height: 3000px\"><MESSAGE/></div>");
    TTavuBrowser &tab = skinned.tab;
    tab.KeepAside(true);
    skinned.Show();
    ASSERT_TRUE(RunUntil([&tab] { return tab.IsReady(); }));
    EXPECT_GE(tab.Browser()->WarmedHeight(), 3000);
    EXPECT_TRUE(Eval(tab, QStringLiteral("document.head.childNodes.length + document.body.childNodes.length === 0")).toBool());

    tab.KeepAside(false);
    skinned.AddResponses(1, 3);
    tab.ClearDocument();
    tab.WriteHeader();
    skinned.WriteFrom(0);
    ASSERT_TRUE(WaitShown(tab));
    EXPECT_EQ(Eval(tab, QStringLiteral("Array.from(document.querySelectorAll('div.r')).map(r => r.textContent.trim()).join(' ')")).toString(),
              QStringLiteral("本文1 本文2 本文3"));
}

// A document begun while the page still lays out its sample stays whole: the page is emptied of the
// sample only if nothing came in the meantime.
TEST(BrowserTest, ADocumentBegunWhileThePageLaysOutASampleStaysWhole)
{
    ShownTab shown;
    TEmbeddedWB &page = *shown.tab.Browser();
    page.PrepareShell();
    ASSERT_TRUE(RunUntil([&page] { return page.ShellReady(); }));
    page.WarmUp(QStringLiteral("<html><head></head><body><p id=\"sample\" style=\"height: 500px\">見本</p></body></html>"));
    page.Renew();
    page.Write(QStringLiteral("<html><head></head><body class=\"thread\">"));
    page.Write(QStringLiteral("<p id=\"ID1\">一</p>"));
    page.Close();
    ASSERT_TRUE(RunUntil([&page] { return !page.IsBusy() && !page.IsWarmingUp(); }));
    EXPECT_GT(page.WarmedHeight(), 0);
    EXPECT_EQ(Eval(shown.tab, QStringLiteral("document.body.className + (document.getElementById('sample') ? 'sample' : '') + "
                                             "document.querySelectorAll('p#ID1').length"))
                  .toString()
                  .toStdString(),
              "thread1");
}

// The view of a page holds a frame back for a moment, to gather it with others; asked, it
// composites that frame at once. Each try changes the colour of the page and, until the view shows
// it, has the view composite every frame it holds back: the colour shows up right after one of
// those, unless the view's own wait ended between two looks.
TEST(BrowserTest, AViewCompositesAFrameItHoldsBackAtOnceWhenAsked)
{
    ShownTab shown;
    TEmbeddedWB &page = *shown.tab.Browser();
    page.Renew();
    page.Write(QStringLiteral("<html><head></head><body>"));
    page.Close();
    ASSERT_TRUE(RunUntil([&] { return !page.IsBusy(); }));
    QWidget *view = page.focusProxy();
    ASSERT_NE(view, nullptr);
    const auto shows = [&page](QColor colour) {
        const QImage picture = page.grab().toImage();
        return picture.pixel(picture.width() / 2, picture.height() / 2) == colour.rgb();
    };

    bool caught = false;
    for (int hue = 0; hue < 360 && !caught; hue += 15) {
        const QColor colour = QColor::fromHsv(hue, 255, 255);
        Eval(shown.tab, QStringLiteral("document.body.style.background = '%1'").arg(colour.name()));
        ASSERT_TRUE(RunUntil([&] {
            if (shows(colour))
                return true;
            caught = PromptFrames::CompositeWaitingFrame(view) && shows(colour);
            return caught;
        }));
    }
    EXPECT_TRUE(caught);
}
