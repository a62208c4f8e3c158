// The outside services in the main window: the access counter run by the thread-list flow (its
// cookie kept in the configuration, stop-all ending it), the board settings viewer for the boards
// that have one, and the news window of the start-up.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/IniFile.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "services/Ninkinet.h"
#include "support/ScriptedHttpServer.h"
#include "tools/DirectDialog.h"
#include "tools/SettingTextDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QSet>

using PostTest::AddThread;
using PostTest::Live;
using PostTest::News;
using PostTest::WaitFor;

namespace {

bool Settled(TPostWindowEnv &env)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return env.Window()->BusyCount() == 0 && TavuHttpList->Count() == 0
           && env.Window()->findChildren<TNinkinet *>().isEmpty();
}

QString KeptCookie()
{
    return TavuConfig->Ini.ReadString(QStringLiteral("NINKINET"), QStringLiteral("k1"));
}

}  // namespace

TEST(CounterInTheWindow, EachThreadListCallsTheSiteCounterAndKeepsItsCookie)
{
    TPostWindowEnv env;
    AddThread(env.server, News, QStringLiteral("1000000001"), 2);
    ScriptedHttpServer counter;
    counter.Reply(ScriptedHttpServer::Make(200, "ok", {"Set-Cookie: k1=v2; path=/"}));
    env.site->CounterID = QStringLiteral("k1");
    TavuConfig->NINKINET_URL = counter.Url(QStringLiteral("/cgi-bin/bdisp.cgi?id=<ID>"));
    TavuConfig->Ini.WriteString(QStringLiteral("NINKINET"), QStringLiteral("k1"), QStringLiteral("v1"));

    env.Window()->ListPane().StartThreadListDownload(env.Board(News), false, false);
    ASSERT_TRUE(WaitFor([&] { return Settled(env) && KeptCookie() == QLatin1String("v2"); }, 120000));
    ASSERT_EQ(counter.Requests().size(), 1);
    EXPECT_TRUE(counter.LastRequest().startsWith("GET /cgi-bin/bdisp.cgi?id=k1 "));
    EXPECT_EQ(ScriptedHttpServer::HeaderOf(counter.LastRequest(), "Cookie"), QByteArray("k1=v1"));

    TavuConfig->NINKINET_CHECK = false;   // the counter is switched off
    env.Window()->ListPane().StartThreadListDownload(env.Board(News), true, false);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }, 120000));
    EXPECT_EQ(counter.Requests().size(), 1);
}

TEST(CounterInTheWindow, StopAllEndsAHeldCounterCall)
{
    TPostWindowEnv env;
    AddThread(env.server, News, QStringLiteral("1000000001"), 2);
    ScriptedHttpServer counter;
    counter.ReplyNothing();
    env.site->CounterID = QStringLiteral("k1");
    TavuConfig->NINKINET_URL = counter.Url(QStringLiteral("/c?id=<ID>"));
    TavuConfig->Ini.WriteString(QStringLiteral("NINKINET"), QStringLiteral("k1"), QStringLiteral("v1"));

    env.Window()->ListPane().StartThreadListDownload(env.Board(News), false, false);
    ASSERT_TRUE(WaitFor([&] { return !counter.Requests().isEmpty(); }, 120000));
    EXPECT_FALSE(env.Window()->findChildren<TNinkinet *>().isEmpty());   // held by the server
    env.Window()->Services().Session().StopAll();
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }, 120000));
    EXPECT_EQ(KeptCookie(), QStringLiteral("v1"));
}

TEST(SettingTxtInTheWindow, OnlyBoardsOfThe2chTypeOpenTheViewer)
{
    TPostWindowEnv env;
    AddThread(env.server, News, QStringLiteral("1000000001"), 2);
    AddThread(env.server, Live, QStringLiteral("1000000002"), 2);
    QStringList opened;
    Dialogs::TScopedDialogHandlers handlers([](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
                                            [&](QDialog &dialog) {
                                                opened.append(QString::fromLatin1(dialog.metaObject()->className()));
                                                return 0;
                                            });
    for (const QString &board : {News, Live}) {
        env.Window()->ListPane().StartThreadListDownload(env.Board(board), false, false);
        ASSERT_TRUE(WaitFor([&] { return Settled(env); }, 120000));
        env.Window()->Action(QStringLiteral("actShowBrowser"))->setChecked(false);
        env.Window()->Execute(QStringLiteral("act2chShowSettingTxt"));
    }
    EXPECT_EQ(opened, QStringList({QStringLiteral("TSettingTextDialog")}));   // live is a dolibscript board
}

TEST(DirectInTheWindow, TheStartUpOpensTheNewsWindowWhenAsked)
{
    for (bool asked : {false, true}) {
        QStringList opened;
        TWindowEnv env([asked](TWindowEnv &e) { e.config->STARTUPSHOWDIRECT = asked; });
        Dialogs::TScopedDialogHandlers handlers(
            [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; }, [&](QDialog &dialog) {
                opened.append(QString::fromLatin1(dialog.metaObject()->className()));
                return 0;
            });
        env.Start();
        EXPECT_EQ(opened.contains(QStringLiteral("TDirectDialog")), asked) << asked;
    }
}

// The help menu ends with nine outside pages; each opens its own address in a browser tab of the
// program (the tab's navigation is caught before it leaves the machine).
TEST(HelpPagesInTheWindow, NineEntriesEachOpenTheirOwnPageInABrowserTab)
{
    TPostWindowEnv env;
    TavuConfig->URL_OPENINVARNELO = 0;
    TVarneloWindow *window = env.Window();
    QList<QUrl> asked;
    QObject::connect(&window->Services().Frame().Events(), &TWindowEvents::BrowserTabCreated, window, [&asked](TTavuBrowser *tab) {
        QObject::connect(tab->Browser(), &TEmbeddedWB::BeforeNavigate, tab, [&asked](const QUrl &url, bool &cancel) {
            asked << url;
            cancel = true;
        });
    });
    // The entries after the separator that follows the menu's commands.
    QList<QAction *> pages = Part<QMenu>(window, "Help1")->actions();
    while (!pages.isEmpty() && !pages.first()->isSeparator())
        pages.removeFirst();
    if (!pages.isEmpty())
        pages.removeFirst();
    ASSERT_EQ(pages.size(), 9);
    QSet<QString> addresses;
    for (QAction *page : pages) {
        const qsizetype tabs = window->Tabs().Browsers().size();
        page->trigger();
        ASSERT_EQ(window->Tabs().Browsers().size(), tabs + 1) << page->text().toStdString();
        ASSERT_TRUE(WaitFor([&] { return asked.size() == tabs + 1; }));
        EXPECT_TRUE(asked.last().scheme().startsWith(QLatin1String("http"))) << asked.last().toString().toStdString();
        EXPECT_TRUE(window->Tabs().Browsers().first()->IsWebPage());
        addresses.insert(asked.last().toString());
    }
    EXPECT_EQ(addresses.size(), 9);
}
