// What a new profile shows before anything was stored: the shipped sites in the site list with the
// first one's boards in the tree, and thread-list columns wide enough to read.

#include "WindowParts.h"
#include "WindowTestEnv.h"

#include "controls/ExtListView.h"
#include "controls/WindowLists.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/Site.h"
#include "core/TextList.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QTreeWidget>

namespace {

int ColumnWidth(const TVarneloWindow *window, const QString &key)
{
    const qsizetype index = window->StoredLists().ThreadListColumns.indexOf(key);
    return index < 0 ? -1 : Part<TqorExtListView>(window, "ThreadListView")->columnWidth(int(index) + 1);
}

}  // namespace

TEST(RoadStart, ANewProfileOffersTheShippedSitesAndShowsTheFirst)
{
    TWindowEnv env;
    ASSERT_FALSE(QFile::exists(env.Profile(QStringLiteral("bbs.txt"))));
    env.Start();

    TTextList listed;
    ASSERT_TRUE(listed.LoadFromFile(env.Profile(QStringLiteral("bbs.txt"))));
    EXPECT_EQ(listed.Lines.value(0), QStringLiteral("2ch"));
    QComboBox *sites = Part<QComboBox>(env.Window, "SiteComboBox");
    ASSERT_GE(sites->count(), 2);
    EXPECT_EQ(sites->itemText(0), QStringLiteral("２ちゃんねる"));
    EXPECT_EQ(sites->itemText(1), QStringLiteral("まちBBS"));
    ASSERT_NE(env.Window->Services().BoardTree().CurrentSite(), nullptr);
    EXPECT_EQ(env.Window->Services().BoardTree().CurrentSite()->SITEID, QStringLiteral("2ch"));
    QTreeWidget *tree = Part<QTreeWidget>(env.Window, "BoardListView");
    ASSERT_GT(tree->topLevelItemCount(), 0);
    ASSERT_GT(tree->topLevelItem(0)->childCount(), 0);
}

TEST(RoadStart, AProfileKeepsItsOwnSiteList)
{
    TWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "machibbs\r\n"); });
    env.Start();
    ASSERT_EQ(Part<QComboBox>(env.Window, "SiteComboBox")->count(), 1);
    EXPECT_EQ(env.Window->Services().BoardTree().CurrentSite()->SITEID, QStringLiteral("machibbs"));
}

// Without stored widths the title column is the wide one and the mark columns are as narrow as their
// marks; a stored width wins.
TEST(RoadStart, ColumnsAreReadableUntilWidthsAreStored)
{
    TWindowEnv env([](TWindowEnv &e) { e.config->SetColumnSize(QStringLiteral("RESCOUNT"), 77); });
    env.Start();
    const int title = ColumnWidth(env.Window, QStringLiteral("TITLE"));
    EXPECT_GE(title, 250);
    for (const QString &key : {QStringLiteral("UPDATE"), QStringLiteral("INFO"), QStringLiteral("AGECOUNT"),
                               QStringLiteral("LASTLOAD")}) {
        const int width = ColumnWidth(env.Window, key);
        EXPECT_GT(width, 0) << key.toStdString();
        EXPECT_LT(width, title) << key.toStdString();
    }
    EXPECT_GE(ColumnWidth(env.Window, QStringLiteral("LASTLOAD")),
              Part<TqorExtListView>(env.Window, "ThreadListView")
                  ->fontMetrics()
                  .horizontalAdvance(QStringLiteral("2026/12/06 22:22:33")));
    EXPECT_LE(ColumnWidth(env.Window, QStringLiteral("UPDATE")), 32);
    EXPECT_EQ(ColumnWidth(env.Window, QStringLiteral("RESCOUNT")), 77);
}
