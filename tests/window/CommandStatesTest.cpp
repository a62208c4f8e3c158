// The states of the thread-list and browser commands as the window's tabs, downloads and selected
// rows decide them.

#include "WindowParts.h"
#include "StoredThread.h"
#include "WindowTestEnv.h"

#include "controls/ExtListView.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QItemSelectionModel>

namespace {

bool Enabled(TWindowEnv &env, const char *name)
{
    return env.Window->Action(QString::fromLatin1(name))->isEnabled();
}

TThreadItem *NewThread(int number, bool logged)
{
    auto *item = new TThreadItem;
    item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), QString::number(1300000000 + number),
                      QStringLiteral("スレ%1").arg(number));
    if (logged)
        FileUtil::WriteFileAtomic(item->GetLogFile(), "a<><>b<>c<>スレ\r\n");
    return item;
}

// A board tab of 2ch/news with the threads, activated, showing the first shown ones.
TTavuListDoc *ListThreads(TWindowEnv &env, const QList<TThreadItem *> &threads, int shown)
{
    auto *items = new TThreadItemList;
    for (TThreadItem *item : threads) {
        items->Add(item);
        item->Release();
    }
    TTavuListDoc *doc = nullptr;
    env.Window->Tabs().NewListDoc(doc, items, TTavuListDoc::lmBoard, false, QStringLiteral("ニュース"),
                        threads[0]->GetBoard());
    doc->SetDisplayCount(shown);
    doc->Activate();
    return doc;
}

// Focuses the first of the rows and selects them.
void SelectRows(TWindowEnv &env, const QList<int> &rows)
{
    QItemSelectionModel *selection = Part<TqorExtListView>(env.Window, "ThreadListView")->selectionModel();
    const auto index = [&env](int row) {
        return Part<TqorExtListView>(env.Window, "ThreadListView")->model()->index(row, 0);
    };
    selection->setCurrentIndex(index(rows.first()), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    for (int row : rows.mid(1))
        selection->select(index(row), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    env.Window->UpdateThreadListMenu();
}

}  // namespace

// A download in progress keeps the tab from closing and the list from being filtered or
// reloaded; the tab-cycling commands need a second tab; more rows to show enable "次を読み込む".
TEST(CommandStates, ThreadListCommandsFollowTheDownloadAndTheTabs)
{
    TWindowEnv env;
    env.Start();
    TTavuListDoc *doc = ListThreads(env, {NewThread(1, false), NewThread(2, false), NewThread(3, false)}, 2);
    env.Window->UpdateThreadListMenu();
    EXPECT_TRUE(Enabled(env, "actThreadListClose"));
    EXPECT_TRUE(Enabled(env, "actThreadListReload"));
    EXPECT_TRUE(Enabled(env, "actThreadListLoadNext"));
    EXPECT_FALSE(Enabled(env, "actThreadListCancelDownload"));
    EXPECT_FALSE(Enabled(env, "actThreadListNextTab"));

    doc->DownloadState = TTavuListDoc::dsDownloading;
    env.Window->UpdateThreadListMenu();
    EXPECT_FALSE(Enabled(env, "actThreadListClose"));
    EXPECT_FALSE(Enabled(env, "actThreadListReload"));
    EXPECT_FALSE(Enabled(env, "actThreadListFilter"));
    EXPECT_FALSE(Enabled(env, "actThreadListLoadNext"));
    EXPECT_TRUE(Enabled(env, "actThreadListCancelDownload"));
    doc->DownloadState = TTavuListDoc::dsIdle;

    ListThreads(env, {NewThread(4, false)}, 1);
    env.Window->UpdateThreadListMenu();
    EXPECT_FALSE(Enabled(env, "actThreadListLoadNext"));
    EXPECT_TRUE(Enabled(env, "actThreadListNextTab"));
    EXPECT_TRUE(Enabled(env, "actThreadListPriorTab"));
}

// One selected row enables the single-thread commands and deletes a log only when it has one;
// several rows delete their logs whatever the focused one holds. Favourites switch the caption.
TEST(CommandStates, SelectedRowsDecideTheRowCommands)
{
    TWindowEnv env;
    env.Start();
    TTavuListDoc *doc = ListThreads(env, {NewThread(1, true), NewThread(2, false), NewThread(3, false)}, 3);
    QAction *addFavorite = env.Window->Action(QStringLiteral("actThreadListAddFav"));

    SelectRows(env, {0});
    EXPECT_TRUE(Enabled(env, "actThreadListDeleteLog"));
    EXPECT_TRUE(Enabled(env, "actThreadListComment"));
    EXPECT_TRUE(Enabled(env, "actThreadListMoveToLocal"));
    EXPECT_EQ(addFavorite->text(), QStringLiteral("選択スレッドをお気に入りに登録(&F)..."));

    SelectRows(env, {1});
    EXPECT_FALSE(Enabled(env, "actThreadListDeleteLog"));

    for (int row = 0; row < 3; ++row)
        doc->Items()->Get(row)->FAVORITE = true;
    SelectRows(env, {1, 0, 2});
    EXPECT_TRUE(Enabled(env, "actThreadListDeleteLog"));
    EXPECT_FALSE(Enabled(env, "actThreadListComment"));
    EXPECT_TRUE(addFavorite->isChecked());
    EXPECT_EQ(addFavorite->text(), QStringLiteral("選択スレッドをお気に入りから削除(&F)"));

    doc->Items()->Get(2)->FAVORITE = false;
    env.Window->UpdateThreadListMenu();
    EXPECT_FALSE(addFavorite->isChecked());
}

// Offline a thread is not fetched anew but a page is reloaded; only a page can be suppressed; the
// kept copy of a log can be put back only while there is one.
TEST(CommandStates, BrowserCommandsTellAThreadFromAPage)
{
    TWindowEnv env;
    env.Start();
    TTavuBrowser *page = nullptr;
    env.Window->Tabs().NewBrowser(page, nullptr, nullptr, true, QStringLiteral("ページ"));
    env.Window->UpdateBrowserMenu();
    EXPECT_TRUE(Enabled(env, "actThreadReload"));
    EXPECT_TRUE(Enabled(env, "actBrowserKillUrl"));
    EXPECT_FALSE(Enabled(env, "actThreadRefresh"));
    EXPECT_FALSE(Enabled(env, "actBrowserNextTab"));

    TThreadItem *item = NewThread(1, true);
    item->READPOINT = 1;
    TTavuBrowser *tab = StoredThread::OpenTab(item);
    ASSERT_NE(tab, nullptr);
    env.Window->UpdateBrowserMenu();
    EXPECT_FALSE(Enabled(env, "actThreadReload"));
    EXPECT_FALSE(Enabled(env, "actBrowserKillUrl"));
    EXPECT_TRUE(Enabled(env, "actThreadGoBookmark"));
    EXPECT_TRUE(Enabled(env, "actBrowserNextTab"));
    EXPECT_FALSE(Enabled(env, "actThreadReturn"));

    FileUtil::WriteFileAtomic(item->GetBakFile(), "a<><>b<>c<>スレ\r\n");
    env.Window->UpdateBrowserMenu();
    EXPECT_TRUE(Enabled(env, "actThreadReturn"));
    item->Release();
}

// A command keeps its buttons and menu items untouched while an update leaves its state as it was:
// only what a download changes is announced, once.
TEST(CommandStates, AnUpdateAnnouncesOnlyTheStatesItChanges)
{
    TWindowEnv env;
    env.Start();
    TThreadItem *item = NewThread(1, true);
    TTavuBrowser *tab = StoredThread::OpenTab(item);
    ASSERT_NE(tab, nullptr);
    env.Window->UpdateBrowserMenu();
    QAction *copy = env.Window->Action(QStringLiteral("actThreadCopyUrl"));
    QAction *cancel = env.Window->Action(QStringLiteral("actThreadCancelDownload"));
    ASSERT_TRUE(copy->isEnabled());
    ASSERT_FALSE(cancel->isEnabled());
    int copyChanges = 0;
    int cancelChanges = 0;
    QObject::connect(copy, &QAction::changed, [&copyChanges] { ++copyChanges; });
    QObject::connect(cancel, &QAction::changed, [&cancelChanges] { ++cancelChanges; });

    env.Window->UpdateBrowserMenu();
    tab->DownloadState = TTavuBrowser::dsDownloading;
    env.Window->UpdateBrowserMenu();
    EXPECT_EQ(copyChanges, 0);
    EXPECT_EQ(cancelChanges, 1);
    EXPECT_TRUE(copy->isEnabled());
    EXPECT_TRUE(cancel->isEnabled());
    EXPECT_FALSE(Enabled(env, "actThreadReload"));

    tab->DownloadState = TTavuBrowser::dsIdle;
    item->Release();
}
