// The hover popups of a thread view: an anchor, an ID with a server's marker, replies, a selected
// number on the context menu, and the digest of an outside page.

#include "PostTestEnv.h"

#include "support/ScriptedHttpServer.h"

#include "commands/HoverPopups.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "mainwindow/KpwSearch.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "render/TavuResWriter.h"
#include "tools/WebCaptureForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QRegularExpression>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

using PostTest::ItemRef;
using PostTest::News;
using PostTest::WaitFor;

namespace {

const QString Key = QStringLiteral("1000000001");

struct THoverEnv {
    TPostWindowEnv env;
    ItemRef item{new TThreadItem};
    TTavuBrowser *tab = nullptr;

    // A thread of the given bodies opened in a tab.
    // RES1NOPOPUP: an anchor's popup shows the responses it names without response 1.
    explicit THoverEnv(const QStringList &bodies)
        : env([](TWindowEnv &e) { e.config->RES1NOPOPUP = true; })
    {
        env.server.AddThread(News, Key, QStringLiteral("スレ"));
        for (const QString &body : bodies)
            env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), body);
        item->SetLocation(env.site->SITEID, News, Key, QString());
        item->DownloadRequest = true;
        env.Window()->OpenThread(item.get(), false, false, true, 0, false, QString());
        WaitFor([this] { return env.Window()->BusyCount() == 0 && TavuHttpList->Count() == 0; });
        tab = env.Window()->Browsers.value(0);
    }

    QString Hover(const QString &url)
    {
        emit tab->StatusTextChange(url);
        return env.Window()->HintWindow->isVisible() ? env.Window()->HintWindow->Html() : QString();
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
    const QString shown = hover.Hover(link.captured(1).replace(QStringLiteral("&amp;"), QStringLiteral("&")));
    EXPECT_TRUE(shown.contains(QStringLiteral("本文二")));
    EXPECT_FALSE(shown.contains(QStringLiteral("本文一")));

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
    EXPECT_TRUE(hover.env.Window()->HintWindow->Html().contains(QStringLiteral("&gt;&gt;2")));

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

    EXPECT_FALSE(THoverPopups::MayFetch(QStringLiteral("http://example.jp/a.PNG")));
    EXPECT_FALSE(THoverPopups::MayFetch(QStringLiteral("http://news.2ch.net/test/read.cgi/x/1")));
    EXPECT_TRUE(THoverPopups::MayFetch(QStringLiteral("http://example.jp/page.html")));
}

// Clicking a link into the thread shown brings its responses up in the double window; a response
// that is not there is named.
TEST(HoverPopups, ALinkIntoTheShownThreadOpensItsResponsesInTheDoubleWindow)
{
    THoverEnv hover({QStringLiteral("本文一"), QStringLiteral("本文二")});
    ASSERT_TRUE(hover.tab);
    bool cancel = false;
    emit hover.tab->Browser()->BeforeNavigate(QUrl(hover.item->BBS->GetReadUrlRange(hover.item.get(), 2, 2, false)), cancel);
    EXPECT_TRUE(cancel);
    ASSERT_TRUE(Kpwfunc::DoubleWindowShown());
    const TResList *shown = hover.env.Window()->PrivateBrowser->ResList();
    ASSERT_TRUE(shown && shown->Count() == 2);
    EXPECT_TRUE(shown->Get(1)->Visible);

    emit hover.tab->Browser()->BeforeNavigate(QUrl(hover.item->BBS->GetReadUrlRange(hover.item.get(), 9, 9, false)), cancel);
    EXPECT_EQ(hover.env.env.Messages.value(hover.env.env.Messages.size() - 1), QStringLiteral("指定レスは消去されています。"));
}

// A second after a hover on an outside page its digest is fetched and shown; a hover that moved
// on meanwhile fetches nothing, and the busy indication it started ends either way.
TEST(HoverPopups, TheDelayedPageDigestIsFetchedOnlyWhileTheMouseStaysAndBusyAlwaysEnds)
{
    THoverEnv hover({QStringLiteral("本文一")});
    ASSERT_TRUE(hover.tab);
    TavuConfig->USESIMPLEAPI = false;   // the digest, not the thumbnail
    TVarneloWindow *window = hover.env.Window();
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(WaitFor([window] { return window->isActiveWindow(); }));
    auto *popups = window->findChild<THoverPopups *>();
    ASSERT_TRUE(popups);
    ScriptedHttpServer page;
    page.Reply(ScriptedHttpServer::Make(
        200, jconvert::UnicodeToSjis(QStringLiteral("<html><title>外のページ</title><body>本文です</body></html>")),
        {"Content-Type: text/html"}));
    const QString url = page.Url(QStringLiteral("/page.html"));

    hover.Hover(url);
    EXPECT_TRUE(window->HtmlPopupTimer->isActive());
    hover.Hover(QString());   // the mouse left the link
    popups->HtmlPopupTimerTimer();
    EXPECT_EQ(window->BusyCount(), 0);
    EXPECT_TRUE(page.Requests().isEmpty());

    hover.Hover(url);
    popups->HtmlPopupTimerTimer();
    EXPECT_EQ(window->BusyCount(), 0);
    // (What the popup showed: the page may report the pointer leaving a link and hide it again.)
    ASSERT_TRUE(WaitFor([&] { return window->HintWindow->Html().contains(QStringLiteral("外のページ")); }));
    EXPECT_TRUE(window->HintWindow->Html().contains(QStringLiteral("本文です")));
    EXPECT_EQ(page.Requests().size(), 1);
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
    ScriptedHttpServer service;
    service.Reply(ScriptedHttpServer::Make(200, QByteArray("GIF89a"), {"Content-Type: image/gif"}));
    popups->WebCaptureForm->ThumbnailHost = QStringLiteral("127.0.0.1:%1").arg(service.Port());
    ScriptedHttpServer page;
    const QString url = page.Url(QStringLiteral("/page.html"));

    hover.Hover(url);
    popups->HtmlPopupTimerTimer();
    EXPECT_TRUE(popups->WebCaptureForm->isVisible());
    EXPECT_FALSE(window->HintWindow->isVisible());
    ASSERT_TRUE(WaitFor([&] { return !service.Requests().isEmpty(); }));
    EXPECT_TRUE(service.Requests().first().startsWith("GET /small/http://127.0.0.1:"));
    EXPECT_TRUE(page.Requests().isEmpty());
    EXPECT_EQ(window->BusyCount(), 0);

    hover.Hover(QString());
    EXPECT_FALSE(popups->WebCaptureForm->isVisible());
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
