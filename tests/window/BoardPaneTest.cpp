// The board pane as the user works it: a site chosen in the site box fills the tree with its boards
// and becomes the site the window reports; a board clicked in the tree (or double-clicked, as
// BOARDLISTSETTING says) opens its thread list in a tab.

#include "WindowParts.h"
#include "WindowTestEnv.h"

#include "controls/BoardTree.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "mainwindow/BoardPane.h"
#include "render/TavuListDoc.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTreeWidget>

namespace {

TBoard *News()
{
    return TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("2ch"))->Boards->FindByID(QStringLiteral("news"));
}

// The window shown, offering two sites.
struct TShownPane {
    TShownPane()
        : env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\nmachibbs\r\n"); })
    {
        env.Start();
        env.Window->resize(1000, 700);
        env.Window->show();
        QApplication::processEvents();
    }

    QTreeWidget *Tree() const { return Part<QTreeWidget>(env.Window, "BoardListView"); }

    // The news board's node, brought into view as the user scrolls to it.
    QTreeWidgetItem *NewsNode() const
    {
        env.Window->BoardPane().SelectBoardInTree(News());
        QTreeWidgetItem *node = Tree()->currentItem();
        return BoardTree::NodeBoard(node) == News() ? node : nullptr;
    }
    QPoint Place(QTreeWidgetItem *node) const { return Tree()->visualItemRect(node).center(); }

    bool Settled() const
    {
        return QTest::qWaitFor([&] { return env.Window->BusyCount() == 0; }, WaitLimitMs);
    }

    TWindowEnv env;
};

}  // namespace

TEST(BoardPane, ASiteChosenInTheSiteBoxFillsTheTreeAndIsTheSiteShown)
{
    TShownPane w;
    TSite *machi = TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("machibbs"));
    ASSERT_NE(w.env.Window->Services().BoardTree().CurrentSite(), machi);
    QComboBox *sites = Part<QComboBox>(w.env.Window, "SiteComboBox");
    const int index = sites->findText(QStringLiteral("まちBBS"));
    ASSERT_GE(index, 0);

    sites->setCurrentIndex(index);

    EXPECT_EQ(w.env.Window->Services().BoardTree().CurrentSite(), machi);
    QTreeWidget *tree = w.Tree();
    ASSERT_GT(tree->topLevelItemCount(), 0);
    ASSERT_GT(tree->topLevelItem(0)->childCount(), 0);
    const TBoard *first = BoardTree::NodeBoard(tree->topLevelItem(0)->child(0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Site, machi);
}

TEST(BoardPane, AClickedBoardOpensItsThreadListInATab)
{
    TShownPane w;
    TavuConfig->BOARDLISTSETTING = 0;
    QTreeWidgetItem *node = w.NewsNode();
    ASSERT_NE(node, nullptr);

    QTest::mouseClick(w.Tree()->viewport(), Qt::LeftButton, {}, w.Place(node));

    ASSERT_TRUE(w.Settled());
    ASSERT_EQ(w.env.Window->Tabs().ListDocs().size(), 1);
    EXPECT_EQ(w.env.Window->Tabs().ListDocs()[0]->GetBoard(), News());
    EXPECT_EQ(w.env.Window->Services().ThreadList().ShownListDoc(), w.env.Window->Tabs().ListDocs()[0]);
}

TEST(BoardPane, WithDoubleClicksASingleClickOpensNothing)
{
    TShownPane w;
    TavuConfig->BOARDLISTSETTING = 1;
    QTreeWidgetItem *node = w.NewsNode();
    ASSERT_NE(node, nullptr);

    QTest::mouseClick(w.Tree()->viewport(), Qt::LeftButton, {}, w.Place(node));
    ASSERT_TRUE(w.Settled());
    EXPECT_TRUE(w.env.Window->Tabs().ListDocs().isEmpty());

    QTest::mouseDClick(w.Tree()->viewport(), Qt::LeftButton, {}, w.Place(node));
    ASSERT_TRUE(w.Settled());
    ASSERT_EQ(w.env.Window->Tabs().ListDocs().size(), 1);
    EXPECT_EQ(w.env.Window->Tabs().ListDocs()[0]->GetBoard(), News());
}
