// The requests of the tools outside the board types, against servers that flood them (1 GB) or
// trickle (a byte at a time, never idle): each ends with its error at the bounds of its kind
// (kpw.ini LIMIT, made small here), having taken no more than those bounds; and the new-thread
// command's fetch of the board's page leaves the window free while it waits.

#include "PostTestEnv.h"

#include "support/HostileHttpServer.h"

#include "core/Exceptions.h"
#include "mainwindow/ListPane.h"
#include "mainwindow/VarneloWindow.h"
#include "render/TavuListDoc.h"
#include "services/Ninkinet.h"
#include "services/PageFetch.h"
#include "tools/NewThreadDialog.h"
#include "tools/SendDialog.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QTimer>

namespace {

const QList<HostileHttpServer::Mode> Modes = {HostileHttpServer::Flood, HostileHttpServer::Trickle};
constexpr qint64 BoundBytes = 1024 * 1024;

// A flood passes the bounds at once, a trickle meets its deadline after a second.
void SetSmallBounds(TTavuConfig &config)
{
    config.LIMIT_PAGE_MB = 1;
    config.LIMIT_PAGE_SECONDS = 1;
    config.LIMIT_SERVICE_MB = 1;
    config.LIMIT_SERVICE_SECONDS = 1;
}

// The client gave up long before the flood's end (it reads as it goes, so it never held more).
void ExpectGaveUpEarly(const HostileHttpServer &server)
{
    EXPECT_EQ(server.Requests(), 1);
    EXPECT_LT(server.BodyBytesSent(), HostileHttpServer::FloodBytes / 16);
}

}  // namespace

TEST(BoundedRequests, TheCounterTheWizardsPagesAndTheLocalRulesEndAtTheirBounds)
{
    TPostEnv env;
    SetSmallBounds(*env.config);
    for (const auto mode : Modes) {
        HostileHttpServer counterServer(mode);
        TNinkinet counter(QStringLiteral("k1"), counterServer.Url(QStringLiteral("/c?id=<ID>")), QString(), THttpProxy());
        counter.start();
        ASSERT_TRUE(TWindowEnv::WaitUntil([&] { return counter.isFinished(); })) << mode;
        ExpectGaveUpEarly(counterServer);

        HostileHttpServer pageServer(mode);
        QByteArray body;
        EXPECT_FALSE(PageFetch::Get(pageServer.Url(QStringLiteral("/bbsmenu.html")), body)) << mode;
        EXPECT_LE(body.size(), BoundBytes) << mode;
        ExpectGaveUpEarly(pageServer);
    }
}

TEST(BoundedRequests, LocalRulesEndAtTheirBoundsAndNothingIsStored)
{
    for (const auto mode : Modes) {
        HostileHttpServer rules(mode);
        TPostEnv env(QStringLiteral("LOCALRULE=%1\r\n").arg(rules.Url(QStringLiteral("/<bbs>/head.txt"))));
        SetSmallBounds(*env.config);
        PostTest::ItemRef item(env.NewItem(PostTest::News, QStringLiteral("1000000001"), QStringLiteral("スレ")));
        env.config->SENDWIN_PREVIEW = false;
        TSendDialog composer;
        composer.SetThread(item.get());
        try {
            composer.GetLocalRuleFile();
            ADD_FAILURE() << "no error for mode " << mode;
        } catch (const EVarnelo &e) {
            EXPECT_TRUE(e.Message.contains(mode == HostileHttpServer::Flood ? QStringLiteral("大きすぎます")
                                                                            : QStringLiteral("時間内に受信が終わりませんでした")))
                << e.Message.toStdString();
        }
        EXPECT_FALSE(QFile::exists(env.Board(PostTest::News)->GetLogDir() + QStringLiteral("localrule.htm")));
        ExpectGaveUpEarly(rules);
    }
}

// The board's page is fetched while the window goes on: the command returns at once, timers fire
// while the page is awaited, and the composer shows (without the page) once the fetch has ended.
TEST(BoundedRequests, TheNewThreadPageIsAwaitedWithoutHoldingTheWindow)
{
    TPostWindowEnv env([](TWindowEnv &e) { SetSmallBounds(*e.config); });
    env.Window()->ListPane().StartThreadListDownload(env.Board(PostTest::News), false, false);
    TTavuListDoc *doc = nullptr;
    ASSERT_TRUE(PostTest::WaitFor([&] { return env.Window()->Tabs().GetActiveListDoc(doc) && doc->DownloadState == TTavuListDoc::dsIdle; }));
    for (const auto mode : Modes) {
        HostileHttpServer page(mode);
        env.site->SITEID = QStringLiteral("2ch");   // the board type that reads the board's page first
        env.Board(PostTest::News)->URL = page.Url(QStringLiteral("/news/"));
        const int busyBefore = env.Window()->BusyCount();

        env.Window()->Action(QStringLiteral("actThreadListNewThread"))->trigger();
        const QList<TNewThreadDialog *> composers = env.Window()->findChildren<TNewThreadDialog *>();
        ASSERT_FALSE(composers.isEmpty());
        QPointer<TNewThreadDialog> composer = composers.last();
        EXPECT_FALSE(composer->isVisible()) << mode;   // the command has returned with the fetch under way
        EXPECT_EQ(env.Window()->BusyCount(), busyBefore + 1) << mode;

        int ticksWhileWaiting = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (composer && !composer->isVisible())
                ++ticksWhileWaiting;
        });
        tick.start(10);
        ASSERT_TRUE(PostTest::WaitFor([&] { return composer && composer->isVisible(); })) << mode;
        if (mode == HostileHttpServer::Trickle) {   // held for its whole deadline: timers due sooner fire first
            EXPECT_GT(ticksWhileWaiting, 0);
        }
        EXPECT_TRUE(composer->PrefetchedText.isEmpty()) << mode;
        EXPECT_EQ(env.Window()->BusyCount(), busyBefore) << mode;
        ExpectGaveUpEarly(page);
        composer->close();
        env.site->SITEID = QStringLiteral("test");
    }
}
