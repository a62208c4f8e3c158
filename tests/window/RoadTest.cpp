// The reading road end to end against the board server: a board's thread list, a thread opened from
// it with its responses rendered, new responses fetched by a reload (only the new bytes), the log and
// its .inf on disk, and the stored list and log shown offline.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "controls/BoardTree.h"
#include "controls/ExtListView.h"
#include "core/IniFile.h"
#include "core/ThreadItemList.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QRegularExpression>

using PostTest::AddThread;
using PostTest::News;
using PostTest::WaitFor;

namespace {

const QString Key = QStringLiteral("1000000001");

bool Idle(TVarneloWindow *window)
{
    return window->BusyCount() == 0;
}

// The dat as the log keeps it: the server's lines, each ended by CR LF.
QByteArray AsLog(const QByteArray &dat)
{
    QByteArray log = dat;
    return log.replace("\n", "\r\n");
}

// The response anchors of the tab's page, in page order, once everything written is in the page.
QStringList ShownAnchors(TTavuBrowser *tab)
{
    const QString html = PostTest::PageHtml(tab);
    QStringList anchors;
    const QRegularExpression anchor(QStringLiteral("id=\"(ID\\d+)\""));
    for (auto it = anchor.globalMatch(html); it.hasNext();)
        anchors << it.next().captured(1);
    return anchors;
}

QStringList Numbered(int count)
{
    QStringList ids;
    for (int i = 1; i <= count; ++i)
        ids << QStringLiteral("ID%1").arg(i);
    return ids;
}

}  // namespace

TEST(Road, ListOpenReloadAndOffline)
{
    TPostWindowEnv env;
    TVarneloWindow *window = env.Window();
    AddThread(env.server, News, Key, 3);
    AddThread(env.server, News, QStringLiteral("1000000002"), 2);
    TBoard *board = env.Board(News);

    // The board's thread list.
    window->ListPane().StartThreadListDownload(board, false, false);
    ASSERT_TRUE(WaitFor([&] { return Idle(window); }));
    TTavuListDoc *doc = window->ListPane().ShownListDoc();
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->Items()->Count(), 2);
    EXPECT_EQ(Part<TqorExtListView>(window, "ThreadListView")->Items()->OwnerDataCount(), 2);
    EXPECT_TRUE(QFile::exists(board->GetLogDir() + QStringLiteral("subject.txt")));

    // The thread of the second row (the older thread) opens from the list.
    const int row = doc->Items()->Get(0)->GetKey() == Key ? 0 : 1;
    TThreadItem *item = doc->Items()->Get(row);
    Part<TqorExtListView>(window, "ThreadListView")->SelectItem(row);
    window->ListPane().OpenSelectedThread();
    ASSERT_TRUE(WaitFor([&] { return Idle(window); }));
    TTavuBrowser *tab = nullptr;
    ASSERT_TRUE(window->Tabs().GetActiveBrowser(tab));
    EXPECT_EQ(tab->ResList()->Count(), 3);
    EXPECT_EQ(ShownAnchors(tab), Numbered(3));
    EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), AsLog(env.server.DatBytes(News, Key)));
    const qint64 firstSize = env.server.DatBytes(News, Key).size();
    {
        const TIniFile inf(item->GetInfFile());
        EXPECT_EQ(inf.ReadInt64(QStringLiteral("LOG"), QStringLiteral("SIZE")), firstSize);
        EXPECT_EQ(inf.ReadInteger(QStringLiteral("LOG"), QStringLiteral("COUNT")), 3);
        EXPECT_EQ(inf.ReadInteger(QStringLiteral("LOG"), QStringLiteral("READ")), 3);
        EXPECT_FALSE(inf.ReadString(QStringLiteral("LOG"), QStringLiteral("LAST_MODIFIED")).isEmpty());
    }

    // Two responses more on the server: the reload asks for what follows the stored bytes only and
    // shows the new responses after the stored ones.
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("新しい本文4"));
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QStringLiteral("sage"), QStringLiteral("新しい本文5"));
    env.server.ClearLog();
    window->OpenThread(item, true, false, true, 0, false, QString());
    ASSERT_TRUE(WaitFor([&] { return Idle(window) && tab->DownloadState == TTavuBrowser::dsIdle; }));
    const auto datRequests = env.server.RequestsTo(QStringLiteral("/dat/") + Key);
    ASSERT_EQ(datRequests.size(), 1);
    EXPECT_EQ(datRequests[0].Header("Range"), QByteArray("bytes=") + QByteArray::number(firstSize - 1) + '-');
    const QByteArray dat = env.server.DatBytes(News, Key);
    EXPECT_EQ(datRequests[0].BodyBytes, dat.size() - firstSize + 1);
    ASSERT_TRUE(window->Tabs().GetActiveBrowser(tab));
    EXPECT_EQ(tab->ResList()->Count(), 5);
    EXPECT_EQ(tab->ResList()->Get(4)->Body, QStringLiteral("新しい本文5"));
    EXPECT_EQ(ShownAnchors(tab), Numbered(5));
    EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), AsLog(dat));
    {
        const TIniFile inf(item->GetInfFile());
        EXPECT_EQ(inf.ReadInt64(QStringLiteral("LOG"), QStringLiteral("SIZE")), dat.size());
        EXPECT_EQ(inf.ReadInteger(QStringLiteral("LOG"), QStringLiteral("COUNT")), 5);
    }
    EXPECT_TRUE(Part<QPlainTextEdit>(window, "Memo1")
                    ->toPlainText()
                    .contains(QStringLiteral("△スレッド取得完了 →スレ") + Key
                              + QStringLiteral("／ニュース＠テスト (2件/5件)")));

    // Offline: the stored list and the stored log, and no request at all.
    window->Action(QStringLiteral("actOnline"))->trigger();
    ASSERT_TRUE(TavuEnviron->IsOffline());
    window->Tabs().CloseActiveBrowser();
    window->Tabs().CloseActiveListDoc();
    env.server.ClearLog();
    window->ListPane().StartThreadListDownload(board, false, false);
    ASSERT_TRUE(WaitFor([&] { return Idle(window); }));
    doc = window->ListPane().ShownListDoc();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Items()->Count(), 2);
    item = doc->Items()->Get(row);
    item->DownloadRequest = true;
    window->OpenThread(item, false, false, true, 0, false, QString());
    ASSERT_TRUE(WaitFor([&] { return Idle(window); }));
    ASSERT_TRUE(window->Tabs().GetActiveBrowser(tab));
    EXPECT_EQ(tab->ResList()->Count(), 5);
    EXPECT_EQ(ShownAnchors(tab), Numbered(5));
    EXPECT_TRUE(env.server.Requests().isEmpty());
}
