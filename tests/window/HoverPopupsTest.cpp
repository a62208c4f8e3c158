// The hover popups of a thread view: an anchor, an ID with a server's marker, replies, a selected
// number on the context menu, and the digest of an outside page.

#include "WindowParts.h"
#include "PostTestEnv.h"
#include "XServerRun.h"

#include "controls/WindowServices.h"
#include "support/HostileHttpServer.h"
#include "support/ScriptedHttpServer.h"

#include "commands/HoverPopups.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "render/TavuResWriter.h"
#include "services/ResSearch.h"
#include "tools/WebCaptureForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QRegularExpression>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

using PostTest::ItemRef;
using PostTest::News;
using PostTest::RunInPage;
using PostTest::WaitFor;

namespace {

const QString Key = QStringLiteral("1000000001");

struct THoverEnv {
    TPostWindowEnv env;
    ItemRef item{new TThreadItem};
    TTavuBrowser *tab = nullptr;

    // A thread of the given bodies opened in a tab. An outside page shows its digest, not the
    // thumbnail service's picture (USESIMPLEAPI off). RES1NOPOPUP stays off: it leaves response 1
    // in the popups of links to other threads, never in those of the thread's own anchors.
    explicit THoverEnv(const QStringList &bodies)
        : env([](TWindowEnv &e) {
              e.config->RES1NOPOPUP = false;
              e.config->USESIMPLEAPI = false;
          })
    {
        env.server.AddThread(News, Key, QStringLiteral("スレ"));
        for (const QString &body : bodies)
            env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), body);
        item->SetLocation(env.site->SITEID, News, Key, QString());
        item->DownloadRequest = true;
        env.Window()->OpenThread(item.get(), false, false, true, 0, false, QString());
        WaitFor([this] { return env.Window()->BusyCount() == 0 && TavuHttpList->Count() == 0; });
        tab = env.Window()->Tabs().Browsers().value(0);
    }

    QString Hover(const QString &url)
    {
        emit tab->StatusTextChange(url);
        return env.Window()->Services().Views().HintWindow()->isVisible() ? env.Window()->Services().Views().HintWindow()->Html()
                                                                  : QString();
    }

    // The window in front (the delayed page popup needs it) and its hover unit.
    THoverPopups *InFront()
    {
        TVarneloWindow *window = env.Window();
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        if (!WaitFor([window] { return window->isActiveWindow(); }))
            return nullptr;
        return window->findChild<THoverPopups *>();
    }
};

}  // namespace

TEST(HoverPopups, AnAnchorShowsTheResponsesItNamesAndTheLastOneToo)
{
    THoverEnv hover({QStringLiteral("本文一"), QStringLiteral("本文二"), QStringLiteral("&gt;&gt;2 ３")});
    ASSERT_TRUE(hover.tab);
    // The link the page has for ">>2".
    QString html;
    bool done = false;
    WaitFor([&] { return !hover.tab->Browser()->IsBusy(); });
    hover.tab->DocumentHtml([&](const QString &page) {
        html = page;
        done = true;
    });
    ASSERT_TRUE(WaitFor([&] { return done; }));
    const QRegularExpressionMatch link = QRegularExpression(QStringLiteral("href=\"([^\"]+)\"[^>]*>&gt;&gt;2<")).match(html);
    ASSERT_TRUE(link.hasMatch()) << html.toStdString();
    const QString anchor = link.captured(1).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    const QString shown = hover.Hover(anchor);
    EXPECT_TRUE(shown.contains(QStringLiteral("本文二")));
    EXPECT_FALSE(shown.contains(QStringLiteral("本文一")));
    // The session's first popup is as big as the next one of the same content.
    const QSize first = hover.env.Window()->Services().Views().HintWindow()->size();
    hover.Hover(QString());
    hover.Hover(anchor);
    EXPECT_EQ(hover.env.Window()->Services().Views().HintWindow()->size(), first);

    // A number selected in the view pops up that response on the context menu, the last one too.
    hover.tab->Browser()->page()->runJavaScript(
        QStringLiteral("(function () {"
                       "  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);"
                       "  while (walker.nextNode()) {"
                       "    const at = walker.currentNode.data.indexOf('３');"
                       "    if (at >= 0) {"
                       "      const range = document.createRange();"
                       "      range.setStart(walker.currentNode, at);"
                       "      range.setEnd(walker.currentNode, at + 1);"
                       "      window.getSelection().addRange(range);"
                       "      return;"
                       "    }"
                       "  }"
                       "})()"),
        QWebEngineScript::ApplicationWorld);
    ASSERT_TRUE(WaitFor([&] { return !hover.tab->GetSelectedText().isEmpty(); }));
    auto *popups = hover.env.Window()->findChild<THoverPopups *>();
    ASSERT_TRUE(popups);
    ASSERT_TRUE(popups->OnBrowserContextMenu(hover.tab, QPoint()));
    EXPECT_TRUE(hover.env.Window()->Services().Views().HintWindow()->Html().contains(QStringLiteral("&gt;&gt;2")));

    // A link somewhere else shows its address; leaving it hides the popup.
    EXPECT_TRUE(hover.Hover(QStringLiteral("http://example.invalid/page.png")).contains(QStringLiteral("page.png")));
    EXPECT_TRUE(hover.Hover(QString()).isEmpty());
}

TEST(HoverPopups, RepliesAndIdsIncludingTheServersMarkerPopUp)
{
    THoverEnv hover({QStringLiteral("親"), QStringLiteral("&gt;&gt;1 子")});
    ASSERT_TRUE(hover.tab);
    const QString replies = hover.Hover(QStringLiteral("tavu://res/?no=1"));
    EXPECT_TRUE(replies.contains(QStringLiteral("子")));

    TResList &list = *hover.tab->ResList();
    list.Get(0)->ID = QStringLiteral("abcd1234(主)");
    list.Get(1)->ID = QStringLiteral("abcd1234");
    const QString ids = hover.Hover(TTavuResWriter::IdLink(QStringLiteral("abcd1234")));
    EXPECT_TRUE(ids.contains(QStringLiteral("親")));
    EXPECT_TRUE(ids.contains(QStringLiteral("子")));
}

TEST(HoverPopups, APageDigestKeepsCharactersWholeAndEndsWithDots)
{
    const QString body = QString(200, QChar(u'あ'));
    const QString summary = THoverPopups::PageSummary(
        QStringLiteral("<html><TITLE> 題 </TITLE><body><p>") + body + QStringLiteral("</p></body>"), QStringLiteral("http://x/"));
    const QStringList parts = summary.split(QStringLiteral("\n\n"));
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0], QStringLiteral("題\t"));
    const QStringList lines = parts[1].split(QLatin1Char('\n'));
    EXPECT_EQ(lines.first().size(), 23);   // 46 bytes of double-byte characters
    EXPECT_TRUE(parts[1].endsWith(QStringLiteral("あ...")));
    EXPECT_EQ(parts[2], QStringLiteral("http://x/"));
    EXPECT_TRUE(THoverPopups::PageSummary(QStringLiteral("<body>x"), QString()).startsWith(QStringLiteral("(タイトル無し)")));
    // The entities of the title and the text read as their characters, once.
    EXPECT_EQ(THoverPopups::PageSummary(QStringLiteral("<title>&quot;題&quot; &#9829;</title><body>&lt;本文&gt;&amp;lt;</body>"),
                                        QString()),
              QStringLiteral("\"題\" ♥\t\n\n<本文>&lt;\n\n"));

    EXPECT_FALSE(THoverPopups::MayFetch(QStringLiteral("http://example.jp/a.PNG")));
    EXPECT_FALSE(THoverPopups::MayFetch(QStringLiteral("http://news.2ch.net/test/read.cgi/x/1")));
    EXPECT_TRUE(THoverPopups::MayFetch(QStringLiteral("http://example.jp/page.html")));
}

// Clicking a link into the thread shown brings the responses it names up in the double window, as
// its popup collects them (response 1 as RES1NOPOPUP says for a link that does not say), and no
// others; a response that is not there is named.
TEST(HoverPopups, ALinkIntoTheShownThreadOpensItsResponsesInTheDoubleWindow)
{
    THoverEnv hover({QStringLiteral("本文一"), QStringLiteral("本文二"), QStringLiteral("本文三")});
    ASSERT_TRUE(hover.tab);
    TavuConfig->RES1NOPOPUP = true;
    const QString url = hover.item->BBS->GetReadUrlRange(hover.item.get(), 3, 3, false);
    hover.env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("見て ") + url);
    hover.item->DownloadRequest = true;
    hover.env.Window()->OpenThread(hover.item.get(), true, false, true, 0, false, QString());
    ASSERT_TRUE(WaitFor([&] { return hover.env.Window()->BusyCount() == 0 && !hover.tab->Browser()->IsBusy(); }));
    ASSERT_EQ(hover.tab->ResList()->Count(), 4);

    // The user clicks the link in the page.
    RunInPage(hover.tab, QStringLiteral("Array.from(document.querySelectorAll('a')).find(a => a.textContent.includes('%1')).click()")
                             .arg(url));
    ASSERT_TRUE(WaitFor([&] { return hover.env.Window()->SearchViews().DoubleWindowShown(); }));
    TTavuBrowser *second = Part<TTavuBrowser>(hover.env.Window(), "PrivateBrowser");
    ASSERT_TRUE(WaitFor([second] { return second->ResList() && !second->Browser()->IsBusy(); }));
    const QString html = PostTest::PageHtml(second);
    EXPECT_TRUE(html.contains(QStringLiteral("本文三"))) << html.toStdString();
    EXPECT_FALSE(html.contains(QStringLiteral("本文一")));
    EXPECT_FALSE(html.contains(QStringLiteral("本文二")));
    EXPECT_FALSE(html.contains(QStringLiteral("見て")));
    EXPECT_TRUE(html.contains(QStringLiteral("id=\"ID3\"")));

    bool cancel = false;
    emit hover.tab->Browser()->BeforeNavigate(QUrl(hover.item->BBS->GetReadUrlRange(hover.item.get(), 9, 9, false)), cancel);
    EXPECT_EQ(hover.env.env.Messages.value(hover.env.env.Messages.size() - 1), QStringLiteral("指定レスは消去されています。"));
}

// A second after a hover on an outside page its digest is fetched and shown; a hover that moved
// on meanwhile fetches nothing, and the busy indication it started ends either way.
TEST(HoverPopups, TheDelayedPageDigestIsFetchedOnlyWhileTheMouseStaysAndBusyAlwaysEnds)
{
    THoverEnv hover({QStringLiteral("本文一")});
    ASSERT_TRUE(hover.tab);
    TVarneloWindow *window = hover.env.Window();
    THoverPopups *popups = hover.InFront();
    ASSERT_TRUE(popups);
    ScriptedHttpServer page;
    page.Reply(ScriptedHttpServer::Make(
        200, jconvert::UnicodeToSjis(QStringLiteral("<html><title>外のページ&#9829;</title><body>本文です</body></html>")),
        {"Content-Type: text/html"}));
    const QString url = page.Url(QStringLiteral("/page.html"));

    hover.Hover(url);
    EXPECT_TRUE(window->Services().Views().HtmlPopupTimer()->isActive());
    hover.Hover(QString());   // the mouse left the link
    popups->HtmlPopupTimerTimer();
    EXPECT_EQ(window->BusyCount(), 0);
    EXPECT_TRUE(page.Requests().isEmpty());

    hover.Hover(url);
    popups->HtmlPopupTimerTimer();
    EXPECT_EQ(window->BusyCount(), 0);
    // (What the popup showed: the page may report the pointer leaving a link and hide it again.)
    ASSERT_TRUE(
        WaitFor([&] { return window->Services().Views().HintWindow()->Html().contains(QStringLiteral("外のページ")); }));
    EXPECT_TRUE(window->Services().Views().HintWindow()->Html().contains(QStringLiteral("本文です")));
    EXPECT_EQ(page.Requests().size(), 1);
    EXPECT_TRUE(hover.env.env.LogLines().contains(QStringLiteral("HTML取得完了 ") + url));
}

// A page that floods (1 GB) or trickles ends its fetch at the bounds of a service's answer: the
// popup and the log say why, and no digest is made of the part that came.
TEST(HoverPopups, APageDigestEndsAtItsBoundsWithItsError)
{
    THoverEnv hover({QStringLiteral("本文一")});
    ASSERT_TRUE(hover.tab);
    TavuConfig->LIMIT_SERVICE_MB = 1;
    TavuConfig->LIMIT_SERVICE_SECONDS = 1;
    TVarneloWindow *window = hover.env.Window();
    THoverPopups *popups = hover.InFront();
    ASSERT_TRUE(popups);
    for (const auto mode : {HostileHttpServer::Flood, HostileHttpServer::Trickle}) {
        HostileHttpServer page(mode);
        const QString url = page.Url(QStringLiteral("/page%1.html").arg(mode));
        hover.Hover(url);
        popups->HtmlPopupTimerTimer();
        const QString error = mode == HostileHttpServer::Flood ? QStringLiteral("大きすぎます")
                                                               : QStringLiteral("時間内に受信が終わりませんでした");
        ASSERT_TRUE(WaitFor([&] { return window->Services().Views().HintWindow()->Html().contains(error); })) << mode;
        EXPECT_FALSE(window->Services().Views().HintWindow()->Html().contains(QStringLiteral("タイトル無し"))) << mode;
        EXPECT_TRUE(hover.env.env.LogLines().join(QLatin1Char('\n')).contains(QStringLiteral("HTML取得エラー ") + url)) << mode;
        EXPECT_EQ(page.Requests(), 1);
        EXPECT_LT(page.BodyBytesSent(), HostileHttpServer::FloodBytes / 16);
    }
}

// The mouse itself rests on a link to an outside page in the view: a second later the page's digest
// shows, and stays while the mouse stays. (The URL's hint is up meanwhile; grown in place into the
// digest it lay for a moment under the mouse, the view saw the mouse leave the link and the digest
// went at once. The headless platform has no such crossings: the test runs again on X below.)
TEST(HoverPopups, RestingTheMouseOnAPageLinkShowsItsDigest)
{
    ScriptedHttpServer page;
    page.Reply(ScriptedHttpServer::Make(
        200, jconvert::UnicodeToSjis(QStringLiteral("<html><title>外のページ&#9829;</title><body>本文です</body></html>")),
        {"Content-Type: text/html"}));
    const QString url = page.Url(QStringLiteral("/page.html"));
    THoverEnv hover({QStringLiteral("見て %1 ここ").arg(url)});
    ASSERT_TRUE(hover.tab);
    TVarneloWindow *window = hover.env.Window();
    window->resize(900, 700);
    ASSERT_TRUE(hover.InFront());
    // The link is measured once the page is shown as it stays: everything written is in it and
    // drawn where it goes, and the cover over the tab is gone (a pointer then lands where it points).
    ASSERT_TRUE(WaitFor([&] { return !hover.tab->Browser()->IsBusy() && !hover.tab->IsCovered(); }));
    const QVariant found = RunInPage(hover.tab,
        QStringLiteral("(function () { const a = [...document.querySelectorAll('a')].find(e => e.href.indexOf('page.html') >= 0);"
                       " if (!a) return null; const r = a.getBoundingClientRect(); return [r.left + 3, r.top + r.height / 2]; })()"));
    const QVariantList at = found.toList();
    ASSERT_EQ(at.size(), 2);
    QWidget *surface = hover.tab->Browser()->focusProxy();
    ASSERT_TRUE(surface);
    const QPointF point(at[0].toDouble(), at[1].toDouble());
    QCursor::setPos(surface->mapToGlobal(point.toPoint()));
    QMouseEvent move(QEvent::MouseMove, point, surface->mapToGlobal(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(surface, &move);
    ASSERT_TRUE(WaitFor([&] { return hover.tab->StatusText == url; }));

    ASSERT_TRUE(WaitFor([&] {
        return window->Services().Views().HintWindow()->isVisible()
            && window->Services().Views().HintWindow()->Html().contains(QStringLiteral("外のページ♥"));
    }));
    // What the view has to say about the mouse comes before the answers of two round trips to the page.
    for (int trip = 0; trip < 2; ++trip)
        RunInPage(hover.tab, QStringLiteral("1"));
    EXPECT_TRUE(window->Services().Views().HintWindow()->isVisible());
    EXPECT_EQ(hover.tab->StatusText, url);
    EXPECT_TRUE(hover.env.env.LogLines().contains(QStringLiteral("HTML取得完了 ") + url));
}

TEST(HoverPopups, TheDigestStaysOnAnXServer)
{
    RunOnXServer("HoverPopups.RestingTheMouseOnAPageLinkShowsItsDigest");
}

namespace {

// The menus on the screen now (the engine's own menu would be one of them).
QList<QMenu *> ShownMenus()
{
    QList<QMenu *> shown;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *menu = qobject_cast<QMenu *>(widget); menu && menu->isVisible())
            shown << menu;
    }
    return shown;
}

// A right click on the page as the user gives it, on the widget that takes the page's input.
void RightClick(TEmbeddedWB *view)
{
    QWidget *input = view->focusProxy() ? view->focusProxy() : view;
    QTest::mouseClick(input, Qt::RightButton, Qt::NoModifier, QPoint(input->width() / 2, input->height() - 10));
}

}  // namespace

// A right click on a thread view away from a selection opens the window's browser menu, never the
// engine's own; a view that nobody answers shows no menu at all.
TEST(HoverPopups, TheContextMenuOfAPageIsAlwaysTheProgramsOwn)
{
    THoverEnv hover({QStringLiteral("本文一"), QStringLiteral("本文二")});
    ASSERT_TRUE(hover.tab);
    TVarneloWindow *window = hover.env.Window();
    window->show();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(WaitFor([&] { return !hover.tab->Browser()->IsBusy() && hover.tab->Browser()->focusProxy(); }));

    RightClick(hover.tab->Browser());
    ASSERT_TRUE(WaitFor([&] { return Part<QMenu>(window, "BrowserPopup")->isVisible(); }));
    EXPECT_EQ(ShownMenus(), QList<QMenu *>({Part<QMenu>(window, "BrowserPopup")}));
    Part<QMenu>(window, "BrowserPopup")->close();

    TEmbeddedWB bare;
    bare.resize(300, 200);
    bool loaded = false;
    QObject::connect(&bare, &QWebEngineView::loadFinished, &bare, [&loaded] { loaded = true; });
    bare.setHtml(QStringLiteral("<html><body><p>ページ</p></body></html>"));
    bare.show();
    int asked = 0;
    QObject::connect(&bare, &TEmbeddedWB::ContextMenu, &bare, [&asked](const QPoint &, bool &) { ++asked; });
    ASSERT_TRUE(WaitFor([&] { return loaded && bare.focusProxy(); }));
    RightClick(&bare);
    ASSERT_TRUE(WaitFor([&] { return asked > 0; }));
    EXPECT_TRUE(ShownMenus().isEmpty());
}

// With USESIMPLEAPI a hover on an outside page shows the thumbnail service's picture of it in the
// page-thumbnail window (the service here is a local server) and fetches no digest; the next hover
// hides the window.
TEST(HoverPopups, ThePageThumbnailWindowShowsTheServicePictureInsteadOfTheDigest)
{
    THoverEnv hover({QStringLiteral("本文一")});
    ASSERT_TRUE(hover.tab);
    TavuConfig->USESIMPLEAPI = true;
    TVarneloWindow *window = hover.env.Window();
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(WaitFor([window] { return window->isActiveWindow(); }));
    auto *popups = window->findChild<THoverPopups *>();
    ASSERT_TRUE(popups && popups->WebCaptureForm);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    ScriptedHttpServer service;
    for (int hovers = 0; hovers < 3; ++hovers)   // a hover made again asks again
        service.Reply(ScriptedHttpServer::Make(200, png, {"Content-Type: image/png"}));
    popups->WebCaptureForm->ThumbnailHost = QStringLiteral("127.0.0.1:%1").arg(service.Port());
    ScriptedHttpServer page;
    const QString url = page.Url(QStringLiteral("/page.html"));

    // The shown page reports where the real pointer is, away from the link, whenever it gets to it:
    // such a late report ends the hover, which is then made again.
    const auto hovered = [&] {
        if (!popups->WebCaptureForm->isVisible()) {
            hover.Hover(url);
            popups->HtmlPopupTimerTimer();
        }
        return popups->WebCaptureForm->isVisible() && !service.Requests().isEmpty();
    };
    ASSERT_TRUE(WaitFor(hovered));
    EXPECT_FALSE(window->Services().Views().HintWindow()->isVisible());
    EXPECT_TRUE(service.Requests().first().startsWith("GET /small/http://127.0.0.1:"));
    EXPECT_TRUE(page.Requests().isEmpty());
    EXPECT_EQ(window->BusyCount(), 0);
    // The picture that came is the one drawn.
    TEmbeddedWB *shown = popups->WebCaptureForm->WebBrowser1;
    ASSERT_TRUE(WaitFor([shown] { return !shown->IsBusy(); }));
    int width = -2;   // -2 while an answer is awaited; 0 while the picture loads
    const auto ask = [&] {
        width = -2;
        shown->page()->runJavaScript(QStringLiteral("document.images.length ? document.images[0].naturalWidth : -1"),
                                     QWebEngineScript::ApplicationWorld, [&width](const QVariant &value) { width = value.toInt(); });
    };
    ask();
    EXPECT_TRUE(WaitFor([&] {
        if (width == 0)
            ask();
        return width > 0 || width == -1;
    }));
    EXPECT_EQ(width, 8);

    hover.Hover(QString());
    EXPECT_FALSE(popups->WebCaptureForm->isVisible());
}

// A thumbnail service that cannot be reached, or gives no picture, leaves no empty picture box:
// the page's text digest shows instead.
TEST(HoverPopups, WithoutTheServicesPictureThePageDigestShows)
{
    THoverEnv hover({QStringLiteral("本文一")});
    ASSERT_TRUE(hover.tab);
    TavuConfig->USESIMPLEAPI = true;
    THoverPopups *popups = hover.InFront();
    ASSERT_TRUE(popups && popups->WebCaptureForm);
    ScriptedHttpServer notPicture;
    notPicture.Reply(ScriptedHttpServer::Make(200, QByteArray("<html>error</html>"), {"Content-Type: text/html"}));
    ScriptedHttpServer page;
    for (int i = 0; i < 2; ++i)
        page.Reply(ScriptedHttpServer::Make(200, QByteArray("<html><head><title>Page</title></head><body>digest text</body></html>"),
                                            {"Content-Type: text/html"}));
    const QString url = page.Url(QStringLiteral("/page.html"));
    TVarneloWindow *window = hover.env.Window();

    const QStringList hosts = {QStringLiteral("127.0.0.1:1"), QStringLiteral("127.0.0.1:%1").arg(notPicture.Port())};
    for (qsizetype i = 0; i < hosts.size(); ++i) {
        popups->WebCaptureForm->ThumbnailHost = hosts[i];
        // The shown page reports where the real pointer is, away from the link, whenever it gets to
        // it: such a late report ends the hover (its hint goes), and one that comes before the page
        // is asked for leaves no digest to come. The hover is then made again.
        const auto hoverLink = [&] {
            hover.Hover(QString());
            hover.Hover(url);
            popups->HtmlPopupTimerTimer();
        };
        const auto pageAsked = [&] {
            return hover.env.env.LogLines().count(QStringLiteral("HTML取得開始 ") + url) > i;
        };
        hoverLink();
        ASSERT_TRUE(WaitFor([&] {
            if (!pageAsked() && !window->Services().Views().HintWindow()->isVisible())
                hoverLink();
            return page.Requests().size() == i + 1 && window->Services().Views().HintWindow()->Html().contains(QStringLiteral("digesttext"));
        })) << hosts[i].toStdString();
        EXPECT_FALSE(popups->WebCaptureForm->isVisible()) << hosts[i].toStdString();
    }
    EXPECT_EQ(page.Requests().size(), 2);
}

// Mode 1 shows the linked picture itself: only the picture's own server is asked.
TEST(HoverPopups, ThePageThumbnailWindowShowsAPictureItselfWithoutTheService)
{
    ScriptedHttpServer pictures;
    pictures.Reply(ScriptedHttpServer::Make(200, QByteArray("GIF89a"), {"Content-Type: image/gif"}));
    TWebCaptureForm form;
    form.ThumbnailHost = QStringLiteral("127.0.0.1:1");   // never to be asked
    form.ShowThumbnail(1, pictures.Url(QStringLiteral("/a.gif")));
    EXPECT_TRUE(form.isVisible());
    ASSERT_TRUE(WaitFor([&] { return !pictures.Requests().isEmpty(); }));
    EXPECT_TRUE(pictures.Requests().first().startsWith("GET /a.gif "));
}
