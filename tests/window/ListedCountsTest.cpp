// The count column ("カウント") and the last-fetch column of a favourites folder's list follow the
// thread: after a download, also by another item of the thread, and after a patrol, also of a
// thread that was never read before.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "controls/BoardTree.h"
#include "core/TextList.h"
#include "core/ThreadItemList.h"
#include "flows/UpdateCheckController.h"
#include "render/TavuListDoc.h"
#include "services/FavoriteFolders.h"
#include "services/ThreadListPane.h"

#include <gtest/gtest.h>

#include <QAction>

using PostTest::AddThread;
using PostTest::ItemRef;
using PostTest::News;
using PostTest::WaitFor;

namespace {

const QString Read = QStringLiteral("1000000001");
const QString Unread = QStringLiteral("1000000002");

bool Settled(TPostWindowEnv &env)
{
    return WaitFor([&] { return env.Window()->BusyCount() == 0 && TavuHttpList->Count() == 0; });
}

void Append(BoardServer &server, const QString &key, int responses)
{
    for (int i = 0; i < responses; ++i)
        server.AppendRes(News, key, QStringLiteral("新"), QString(), QStringLiteral("追加"));
}

// Opens the thread as the history and the recent menu do (an item of its own) and closes its tab
// once it is downloaded.
void OpenAndClose(TPostWindowEnv &env, const QString &key)
{
    ItemRef item(new TThreadItem);
    item->SetLocation(env.site->SITEID, News, key, QString());
    item->DownloadRequest = true;
    env.Window()->OpenThread(item.get(), false, false, true, 0, false, QString());
    ASSERT_TRUE(Settled(env));
    ASSERT_EQ(env.Window()->Tabs().Browsers().size(), 1);
    env.Window()->Tabs().CloseBrowser(env.Window()->Tabs().Browsers().first());
}

TThreadItem *Row(TTavuListDoc *doc, const QString &key)
{
    for (int i = 0; i < doc->Items()->Count(); ++i)
        if (doc->Items()->Get(i)->GetKey() == key)
            return doc->Items()->Get(i);
    return nullptr;
}

QString Cell(const TThreadItem *item, const char *column)
{
    return ThreadListPane::CellText(*item, QLatin1String(column), false);
}

}  // namespace

TEST(ListedCounts, TheFavouritesColumnsFollowTheThreadAfterADownloadAndAfterPatrol)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\nfavorites\r\n"); });
    TVarneloWindow *window = env.Window();
    AddThread(env.server, News, Read, 20);
    AddThread(env.server, News, Unread, 4);
    OpenAndClose(env, Read);

    TBoard *folder = BoardTree::EnsureDefaultFavoritesFolder();
    ASSERT_NE(folder, nullptr);
    TTextList lines;
    lines.Lines = {folder->Name, QStringLiteral("test\tnews\t%1\tスレ%1\t1").arg(Read),
                   QStringLiteral("test\tnews\t%1\tスレ%1\t1").arg(Unread)};
    lines.SaveToFile(FavoriteFolders::FolderFile(folder));
    window->ListPane().StartThreadListDownload(folder, false, false);
    TTavuListDoc *doc = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        return window->Tabs().GetActiveListDoc(doc) && doc->DownloadState == TTavuListDoc::dsIdle && doc->Items()->Count() == 2;
    }));
    TThreadItem *read = Row(doc, Read);
    TThreadItem *unread = Row(doc, Unread);
    ASSERT_TRUE(read && unread);
    EXPECT_EQ(Cell(read, "AGECOUNT"), QStringLiteral("20 "));

    // Read again with new posts, by an item of its own: the folder's row counts them.
    Append(env.server, Read, 2);
    OpenAndClose(env, Read);
    EXPECT_EQ(Cell(read, "RESCOUNT"), QStringLiteral("22 "));
    EXPECT_EQ(Cell(read, "AGECOUNT"), QStringLiteral("22 "));

    // A patrol over the folder: the new posts, and a thread fetched for the first time.
    Append(env.server, Read, 3);
    const QString before = read->LAST_LOAD;
    window->Action(QStringLiteral("actThreadListRound"))->trigger();
    ASSERT_TRUE(WaitFor([&] { return Part<TUpdateCheckController>(window)->RunningChecks.isEmpty(); }));
    EXPECT_EQ(Cell(read, "RESCOUNT"), QStringLiteral("25 "));
    EXPECT_EQ(Cell(read, "AGECOUNT"), QStringLiteral("25 "));
    EXPECT_EQ(Cell(unread, "RESCOUNT"), QStringLiteral("4 "));
    EXPECT_EQ(Cell(unread, "AGECOUNT"), QStringLiteral("4 "));
    EXPECT_FALSE(Cell(unread, "LASTLOAD").isEmpty());
    EXPECT_FALSE(Cell(read, "LASTLOAD").isEmpty());
    EXPECT_GE(read->LAST_LOAD, before);
    // The .inf says so too: the next list reads the same.
    ItemRef stored(new TThreadItem);
    stored->SetLocation(env.site->SITEID, News, Unread, QString());
    stored->LoadInfo();
    EXPECT_EQ(stored->AGECOUNT, 4);
    EXPECT_EQ(stored->LAST_LOAD, unread->LAST_LOAD);
}
