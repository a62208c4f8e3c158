// Cancelling what loads into a tab while the server never answers: a thread-list download, an
// update check on a board tab and a thread download each end at once, without an error report.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "controls/WindowServices.h"
#include "core/ThreadItemList.h"
#include "flows/UpdateCheckController.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>

using namespace PostTest;

namespace {

// Waits until the server has been asked once more than `before`.
bool Asked(TPostWindowEnv &env, qsizetype before)
{
    return WaitFor([&] { return env.server.Requests().size() > before; });
}

void Trigger(TPostWindowEnv &env, const char *action)
{
    QAction *command = env.Window()->Action(QString::fromUtf8(action));
    ASSERT_NE(command, nullptr);
    ASSERT_TRUE(command->isEnabled()) << action;
    command->trigger();
}

}  // namespace

TEST(RoadCancel, AHangingThreadListDownloadIsAborted)
{
    TPostWindowEnv env;
    env.server.Hold = true;
    env.Window()->ListPane().StartThreadListDownload(env.Board(News), false, false);
    ASSERT_TRUE(Asked(env, 0));
    TTavuListDoc *doc = env.Window()->ListPane().ShownListDoc();
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->DownloadState, TTavuListDoc::dsDownloading);

    Trigger(env, "actThreadListCancelDownload");
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(doc->DownloadState, TTavuListDoc::dsIdle);
    EXPECT_TRUE(env.env.Messages.isEmpty());   // a cancel is no error

    // The tab takes the next download as usual.
    env.server.Hold = false;
    AddThread(env.server, News, QStringLiteral("1000000001"), 1);
    env.Window()->ListPane().StartThreadListDownload(env.Board(News), true, false);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(doc->Items()->Count(), 1);
}

// The cancel command stops an update check through the check itself, which says so in the log pane.
TEST(RoadCancel, CancellingAnUpdateCheckLogsThatItStops)
{
    TPostWindowEnv env;
    AddThread(env.server, News, QStringLiteral("1000000001"), 2);
    env.Window()->ListPane().StartThreadListDownload(env.Board(News), false, false);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));

    env.server.Hold = true;
    const qsizetype before = env.server.Requests().size();
    Trigger(env, "actThreadListCheckUpdate");
    ASSERT_TRUE(Asked(env, before));
    Trigger(env, "actThreadListCancelDownload");
    EXPECT_TRUE(Part<QPlainTextEdit>(env.Window(), "Memo1")
                    ->toPlainText()
                    .contains(QStringLiteral("※更新チェックを中止します。しばらくお待ちください。")));

    // The request in hand ends with stop-all; the check then ends and frees the tab.
    env.Window()->Services().Session().StopAll();
    ASSERT_TRUE(WaitFor([&] { return Part<TUpdateCheckController>(env.Window())->RunningChecks.isEmpty(); }));
    EXPECT_EQ(env.Window()->ListPane().ShownListDoc()->DownloadState, TTavuListDoc::dsIdle);
}

TEST(RoadCancel, AHangingThreadDownloadIsAborted)
{
    TPostWindowEnv env;
    AddThread(env.server, News, QStringLiteral("1000000001"), 2);
    env.server.Hold = true;
    ItemRef item(NewsItem(env, QStringLiteral("1000000001")));
    OpenThread(env, item.get(), false, true);
    ASSERT_TRUE(Asked(env, 0));
    TTavuBrowser *tab = nullptr;
    ASSERT_TRUE(env.Window()->Tabs().GetActiveBrowser(tab));
    ASSERT_TRUE(WaitFor([&] { return tab->DownloadState == TTavuBrowser::dsDownloading; }));

    tab->CancelDownload();
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(tab->DownloadState, TTavuBrowser::dsIdle);
    EXPECT_EQ(tab->Downloader, nullptr);
    EXPECT_TRUE(env.env.Messages.isEmpty());
    EXPECT_FALSE(item->LogExists());   // nothing half-fetched is stored
}
