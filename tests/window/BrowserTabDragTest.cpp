// A thread tab's button dragged onto a favourites folder of the board tree: the thread joins the
// folder; a web page or a drop on a category adds nothing.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "commands/BrowserTabDrag.h"
#include "controls/BoardTree.h"
#include "core/TextList.h"
#include "mainwindow/BoardPane.h"
#include "services/FavoriteFolders.h"

#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMimeData>
#include <QTreeWidget>

using PostTest::ItemRef;
using PostTest::News;
using PostTest::WaitFor;

namespace {

const QString Key = QStringLiteral("1000000001");

// Drops a dragged tab on the node; whether the tree took the drop.
bool DropOn(QTreeWidget *tree, QTreeWidgetItem *node)
{
    QMimeData data;
    data.setData(TBrowserTabDrag::MimeType(), QByteArray());
    const QPoint at = tree->visualItemRect(node).center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree->viewport(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree->viewport(), &drop);
    return enter.isAccepted() && drop.isAccepted();
}

QStringList FolderLines(const TBoard *folder)
{
    TTextList lines;
    lines.LoadFromFile(FavoriteFolders::FolderFile(folder));
    return lines.Lines;
}

}  // namespace

TEST(BrowserTabDrag, AThreadTabDroppedOnAFavouritesFolderJoinsItOnce)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\nfavorites\r\n"); });
    PostTest::AddThread(env.server, News, Key, 2);
    TVarneloWindow *window = env.Window();
    ItemRef item(new TThreadItem);
    item->SetLocation(env.site->SITEID, News, Key, QString());
    item->DownloadRequest = true;
    window->OpenThread(item.get(), false, false, true, 0, false, QString());
    ASSERT_TRUE(WaitFor([window] { return window->BusyCount() == 0 && TavuHttpList->Count() == 0; }));
    TTavuBrowser *tab = window->Tabs().Browsers().value(0);
    ASSERT_TRUE(tab && tab->ThreadItem());

    const TBoard *folder = BoardTree::EnsureDefaultFavoritesFolder();
    ASSERT_NE(folder, nullptr);
    window->BoardPane().SelectSite(TavuEnviron->FavoritesSite());
    window->show();
    const QList<QTreeWidgetItem *> nodes =
        Part<QTreeWidget>(window, "BoardListView")->findItems(folder->Name, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(nodes.size(), 1);
    auto *drag = window->findChild<TBrowserTabDrag *>();
    ASSERT_TRUE(drag);

    drag->DraggedTab = tab;
    EXPECT_TRUE(DropOn(Part<QTreeWidget>(window, "BoardListView"), nodes[0]));
    const QStringList lines = FolderLines(folder);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("test\tnews\t") + Key + QLatin1Char('\t')));
    EXPECT_TRUE(tab->ThreadItem()->FAVORITE);

    // Again: it is there already.
    EXPECT_TRUE(DropOn(Part<QTreeWidget>(window, "BoardListView"), nodes[0]));
    EXPECT_EQ(FolderLines(folder).size(), 2);

    // On the category: nothing.
    ASSERT_TRUE(nodes[0]->parent());
    EXPECT_TRUE(DropOn(Part<QTreeWidget>(window, "BoardListView"), nodes[0]->parent()));
    EXPECT_EQ(FolderLines(folder).size(), 2);
}
