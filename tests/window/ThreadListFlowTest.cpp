// The thread-list flow and pane: what a row shows, how a column sorts, the listing kept whole beyond
// what is shown, an open board only brought to the front, a tab closed while its list downloads,
// the error report, marks on threads, closing other tabs and the tab-state file.

#include "WindowParts.h"
#include "DialogAnswers.h"
#include "PostTestEnv.h"

#include "controls/BoardTree.h"
#include "controls/ExtListView.h"
#include "controls/TabButton.h"
#include "controls/WindowLists.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/TextList.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"
#include "services/ThreadListPane.h"
#include "tools/ReboneDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QTreeWidget>

using PostTest::AddThread;
using PostTest::Gone;
using PostTest::ItemRef;
using PostTest::Live;
using PostTest::News;
using PostTest::Settled;
using PostTest::WaitFor;

namespace {

void OpenBoard(TPostWindowEnv &env, const QString &id, bool reload = false)
{
    env.Window()->ListPane().StartThreadListDownload(env.Board(id), reload, false);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
}

void AddThreads(TPostWindowEnv &env, int count)
{
    for (int i = 1; i <= count; ++i)
        AddThread(env.server, News, QStringLiteral("10000000%1").arg(i, 2, 10, QLatin1Char('0')), i);
}

int ShownRows(TPostWindowEnv &env)
{
    return Part<TqorExtListView>(env.Window(), "ThreadListView")->Items()->OwnerDataCount();
}

TThreadItem *Counted(int age, int count, int read)
{
    auto *item = new TThreadItem;
    item->AGECOUNT = age;
    item->COUNT = count;
    item->READ = read;
    return item;
}

}  // namespace

TEST(ThreadListCells, CountsMarksAndTheCountGap)
{
    ItemRef empty(Counted(0, 0, 0));
    EXPECT_EQ(ThreadListPane::CellText(*empty.get(), QStringLiteral("AGECOUNT"), false), QStringLiteral(" "));
    EXPECT_EQ(ThreadListPane::CellText(*empty.get(), QStringLiteral("PRIORITY"), false), QStringLiteral("  "));
    EXPECT_EQ(ThreadListPane::CellText(*empty.get(), QStringLiteral("NEWCOUNT"), true), QString());
    EXPECT_EQ(ThreadListPane::CellMark(*empty.get(), QStringLiteral("INFO")), ThreadListPane::mkNone);

    ItemRef grown(Counted(15, 10, 10));
    EXPECT_EQ(ThreadListPane::CellText(*grown.get(), QStringLiteral("NEWCOUNT"), true), QStringLiteral("+5 "));
    EXPECT_EQ(ThreadListPane::CellText(*grown.get(), QStringLiteral("NEWCOUNT"), false), QString());
    EXPECT_EQ(ThreadListPane::CellMark(*grown.get(), QStringLiteral("UPDATE")), ThreadListPane::mkMoreRes);
    EXPECT_EQ(ThreadListPane::CellMark(*grown.get(), QStringLiteral("INFO")), ThreadListPane::mkRead);
    grown->SetKakolog(true);
    EXPECT_EQ(ThreadListPane::CellText(*grown.get(), QStringLiteral("NEWCOUNT"), true), QString());
    EXPECT_EQ(ThreadListPane::CellMark(*grown.get(), QStringLiteral("UPDATE")), ThreadListPane::mkKakolog);

    ItemRef unread(Counted(20, 12, 4));
    unread->FAVORITE = true;
    EXPECT_EQ(ThreadListPane::CellText(*unread.get(), QStringLiteral("NEWCOUNT"), false), QStringLiteral("8 "));
    EXPECT_EQ(ThreadListPane::CellMark(*unread.get(), QStringLiteral("INFO")), ThreadListPane::mkFavoriteNewRes);
    unread->NewCount = 0;   // a download found nothing new
    EXPECT_EQ(ThreadListPane::CellText(*unread.get(), QStringLiteral("NEWCOUNT"), false), QString());
    unread->Number = 7;
    EXPECT_EQ(ThreadListPane::NumberText(*unread.get()), QStringLiteral("0007"));
}

TEST(ThreadListCells, ClicksSortLargestOrAscendingFirstAndReverseOnTheSameColumn)
{
    int column = 0;
    bool flag = false;
    ThreadListPane::ClickSortColumn(3, column, flag);
    EXPECT_EQ(column, 3);
    EXPECT_TRUE(flag);   // ascending, or for new posts and priority largest first
    ThreadListPane::ClickSortColumn(3, column, flag);
    EXPECT_FALSE(flag);
    ThreadListPane::ClickSortColumn(3, column, flag);
    EXPECT_TRUE(flag);
    ThreadListPane::ClickSortColumn(5, column, flag);
    EXPECT_EQ(column, 5);
    EXPECT_TRUE(flag);

    TThreadItemList items;
    for (int count : {3, 9, 1}) {
        ItemRef item(Counted(count, count, 0));
        item->NewCount = count;
        items.Add(item.get());
    }
    items.Sort(ThreadListPane::ColumnInfo(QStringLiteral("NEWCOUNT")).SortKey, true);
    EXPECT_EQ(items.Get(0)->COUNT, 9);
    EXPECT_EQ(ThreadListPane::ColumnInfo(QStringLiteral("NOSUCH")).SortKey, 0);
}

TEST(ThreadListCells, TabLinesRoundTrip)
{
    ThreadListPane::TTabLine line;
    ASSERT_TRUE(ThreadListPane::ParseTabLine(ThreadListPane::TabLineText({QStringLiteral("2ch"), QStringLiteral("news"), true}), line));
    EXPECT_EQ(line.SiteID, QStringLiteral("2ch"));
    EXPECT_EQ(line.BoardID, QStringLiteral("news"));
    EXPECT_TRUE(line.Shown);
    EXPECT_FALSE(ThreadListPane::ParseTabLine(QStringLiteral("2ch"), line));
}

// Only THREADLISTCOUNT threads are shown at first, but every listed thread stays in the document
// and in the stored subject.txt; the next page shows the rest.
TEST(ThreadListFlow, TheListingIsKeptWholeBeyondWhatIsShown)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.config->THREADLISTCOUNT = 3; });
    AddThreads(env, 6);
    OpenBoard(env, News);
    TTavuListDoc *doc = env.Window()->ListPane().ShownListDoc();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Items()->Count(), 6);
    EXPECT_EQ(doc->DisplayCount(), 3);
    EXPECT_EQ(ShownRows(env), 3);
    TTextList subject;
    ASSERT_TRUE(subject.LoadFromFile(env.Board(News)->GetLogDir() + QStringLiteral("subject.txt")));
    EXPECT_EQ(subject.Count(), 6);
    TTextList counts;
    ASSERT_TRUE(counts.LoadFromFile(env.Board(News)->GetLogDir() + QStringLiteral("subject.dat")));
    EXPECT_EQ(counts.Count(), 6);
    EXPECT_TRUE(Part<QPlainTextEdit>(env.Window(), "Memo1")
                    ->toPlainText()
                    .contains(QStringLiteral("△スレッド一覧の取得完了 →ニュース＠テスト (0件 / 6件)")));

    env.Window()->Action(QStringLiteral("actThreadListLoadNext"))->trigger();
    EXPECT_EQ(ShownRows(env), 6);
}

// A click on a column header of the window's list sorts the whole list, then shows all of it; a
// second click on the same column reverses the order.
TEST(ThreadListFlow, AColumnClickSortsTheWholeList)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.config->THREADLISTCOUNT = 2; });
    for (int responses : {3, 9, 1, 4})
        AddThread(env.server, News, QStringLiteral("100000000%1").arg(responses), responses);
    OpenBoard(env, News);
    TTavuListDoc *doc = env.Window()->ListPane().ShownListDoc();
    ASSERT_NE(doc, nullptr);
    const int column = int(env.Window()->StoredLists().ThreadListColumns.indexOf(QStringLiteral("AGECOUNT"))) + 1;
    ASSERT_GT(column, 0);
    const auto counts = [doc] {
        QList<int> list;
        for (int i = 0; i < doc->Items()->Count(); ++i)
            list << doc->Items()->Get(i)->AGECOUNT;
        return list;
    };
    emit Part<TqorExtListView>(env.Window(), "ThreadListView")->header()->sectionClicked(column);
    EXPECT_EQ(counts(), (QList<int>{1, 3, 4, 9}));
    EXPECT_EQ(ShownRows(env), 4);
    emit Part<TqorExtListView>(env.Window(), "ThreadListView")->header()->sectionClicked(column);
    EXPECT_EQ(counts(), (QList<int>{9, 4, 3, 1}));
}

// Threads erased earlier stay out of the rows however far the list is shown, and the restore offers
// them and brings them back with the next listing.
TEST(ThreadListFlow, ErasedThreadsStayHiddenWhenAllIsShownAndComeBackWhenRestored)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.config->THREADLISTCOUNT = 3; });
    TavuEnviron->SetCached(true, true);
    AddThreads(env, 12);
    const QStringList erased{QStringLiteral("1000000003"), QStringLiteral("1000000005"), QStringLiteral("1000000009")};
    for (const QString &key : erased)
        FileUtil::WriteFileAtomic(env.Board(News)->GetLogDir() + key + QStringLiteral(".inf"), "[LOG]\r\nABONE=1\r\n");
    OpenBoard(env, News);
    TTavuListDoc *doc = env.Window()->ListPane().ShownListDoc();
    EXPECT_EQ(ShownRows(env), 3);

    env.Window()->Action(QStringLiteral("actThreadListLoadAll"))->trigger();
    ASSERT_EQ(ShownRows(env), 9);
    for (int row = 0; row < 9; ++row)
        EXPECT_FALSE(erased.contains(doc->Items()->Get(row)->GetKey())) << row;
    EXPECT_EQ(doc->ArrivalItems()->Count(), 12);

    {
        TDialogAnswers answers(env.env, [](QDialog &dialog) {
            auto &restore = dynamic_cast<TReboneDialog &>(dialog);
            EXPECT_EQ(restore.ListView2->topLevelItemCount(), 3);
            restore.CheckAll(true);
            restore.Button6Click();
        });
        env.Window()->Action(QStringLiteral("actThreadListRebone"))->trigger();
        EXPECT_EQ(answers.Shown, QStringList{QStringLiteral("TReboneDialog")});
    }
    OpenBoard(env, News, true);
    env.Window()->Action(QStringLiteral("actThreadListLoadAll"))->trigger();
    EXPECT_EQ(ShownRows(env), 12);
}

TEST(ThreadListFlow, AnOpenBoardIsOnlyBroughtToTheFrontUnlessReloaded)
{
    TPostWindowEnv env;
    AddThreads(env, 2);
    OpenBoard(env, News);
    OpenBoard(env, Live);
    env.server.ClearLog();

    OpenBoard(env, News);
    EXPECT_TRUE(env.server.Requests().isEmpty());
    EXPECT_EQ(env.Window()->ListPane().ShownListDoc()->BoardID, News);
    EXPECT_EQ(env.Window()->Tabs().ListDocs().first()->BoardID, News);

    OpenBoard(env, News, true);
    EXPECT_EQ(env.server.RequestsTo(QStringLiteral("/news/subject.txt")).size(), 1);
    EXPECT_EQ(env.Window()->Tabs().ListDocs().size(), 2);
    EXPECT_EQ(env.Window()->ListPane().ShownListDoc()->Items()->Count(), 2);
}

TEST(ThreadListFlow, ATabClosedWhileItsListDownloadsIsLetGo)
{
    TPostWindowEnv env;
    AddThreads(env, 3);
    env.Window()->ListPane().StartThreadListDownload(env.Board(News), false, false);
    env.Window()->Tabs().CloseActiveListDoc();
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_TRUE(env.Window()->Tabs().ListDocs().isEmpty());
    EXPECT_EQ(env.Window()->ListPane().ShownListDoc(), nullptr);
    EXPECT_EQ(ShownRows(env), 0);
}

// A list longer than the row limit says how many rows it holds back and how to show them.
TEST(ThreadListFlow, ARowLimitThatHoldsRowsBackSaysSo)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.config->THREADLISTCOUNT = 10; });
    for (int i = 0; i < 12; ++i)
        env.server.AddThread(News, QString::number(1000000001 + i), QStringLiteral("スレ%1").arg(i));
    OpenBoard(env, News);
    EXPECT_EQ(ShownRows(env), 10);
    EXPECT_TRUE(Part<QPlainTextEdit>(env.Window(), "Memo1")
                    ->toPlainText()
                    .contains(QStringLiteral("12件中10件を表示しています。残りは「続きを表示する」で表示します。")))
        << Part<QPlainTextEdit>(env.Window(), "Memo1")->toPlainText().toStdString();
}

TEST(ThreadListFlow, AFailedListIsLoggedAndReported)
{
    TPostWindowEnv env;
    OpenBoard(env, Gone);
    EXPECT_TRUE(Part<QPlainTextEdit>(env.Window(), "Memo1")
                    ->toPlainText()
                    .contains(QStringLiteral("△スレッド一覧取得エラー →消えた板＠テスト")));
    ASSERT_EQ(env.env.Messages.size(), 1);
    EXPECT_TRUE(env.env.Messages[0].contains(QStringLiteral("\n\nスレッド一覧ダウンロードエラー\n消えた板\n\n板が移転したかもしれません。")));
    EXPECT_EQ(env.Window()->ListPane().ShownListDoc()->DownloadState, TTavuListDoc::dsIdle);
}

// Offline the stored list shows; a stored list whose last line repeats its first loses it.
TEST(ThreadListFlow, OfflineShowsTheStoredListWithoutItsRepeatedLastLine)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.config->APPSTATE = true; });
    ASSERT_TRUE(TavuEnviron->IsOffline());
    const QString subject = env.Board(News)->GetLogDir() + QStringLiteral("subject.txt");
    TTextList(QStringList{QStringLiteral("1000000001.dat<>一 (3)"), QStringLiteral("1000000002.dat<>二 (2)"),
                          QStringLiteral("1000000001.dat<>一 (3)")})
        .SaveToFile(subject);
    OpenBoard(env, News);
    TTavuListDoc *doc = env.Window()->ListPane().ShownListDoc();
    ASSERT_EQ(doc->Items()->Count(), 2);
    EXPECT_EQ(doc->Items()->Get(1)->TITLE, QStringLiteral("二"));
    EXPECT_EQ(ShownRows(env), 2);
    EXPECT_TRUE(env.server.Requests().isEmpty());
}

TEST(ThreadListFlow, MarksNeedSaveModeAndAnErasedThreadLeavesTheList)
{
    TPostWindowEnv env;
    AddThreads(env, 3);
    OpenBoard(env, News);
    TTavuListDoc *doc = env.Window()->ListPane().ShownListDoc();
    TThreadItem *first = doc->Items()->Get(0);
    Part<TqorExtListView>(env.Window(), "ThreadListView")->SelectItem(0);

    env.Window()->Action(QStringLiteral("actThreadListBold"))->trigger();
    EXPECT_TRUE(first->BOLD);
    EXPECT_TRUE(TIniFile(first->GetInfFile()).ReadBool(QStringLiteral("LOG"), QStringLiteral("BOLD")));

    env.Window()->Action(QStringLiteral("actThreadListAbone"))->trigger();
    EXPECT_EQ(doc->Items()->Count(), 2);
    EXPECT_EQ(ShownRows(env), 2);
    EXPECT_TRUE(TIniFile(first->GetInfFile()).ReadBool(QStringLiteral("LOG"), QStringLiteral("ABONE")));

    TavuEnviron->SetCached(false, true);
    Part<TqorExtListView>(env.Window(), "ThreadListView")->SelectItem(0);
    env.Window()->Action(QStringLiteral("actThreadListReverse"))->trigger();
    EXPECT_FALSE(doc->Items()->Get(0)->REVERSE);
    EXPECT_EQ(env.env.Messages.value(0),
              QStringLiteral("保存モードになっていません。[ファイル|保存モード]をオンにしてください。"));
}

// Closing the other tabs keeps the current one, the locked ones and those whose list failed; the tab
// file lists plain board tabs and brings them back in its order, skipping boards gone since.
TEST(ThreadListFlow, CloseOtherTabsAndTheTabStateFile)
{
    TPostWindowEnv env;
    AddThreads(env, 1);
    OpenBoard(env, News);
    OpenBoard(env, Live);
    TTavuListDoc *news = nullptr;
    ASSERT_TRUE(env.Window()->Tabs().FindBoardTab(env.Board(News), news));
    news->SetLocked(true);
    OpenBoard(env, Gone);
    env.env.Messages.clear();
    env.Window()->Action(QStringLiteral("actThreadListSaveTab"))->trigger();

    env.Window()->Action(QStringLiteral("actThreadListCloseAll"))->trigger();
    QStringList left;
    for (const TTavuListDoc *doc : env.Window()->Tabs().ListDocs())
        left << doc->BoardID;
    EXPECT_EQ(left, QStringList({Gone, News}));

    TTextList tabs;
    ASSERT_TRUE(tabs.LoadFromFile(env.env.Profile(QStringLiteral("tabthread.txt"))));
    EXPECT_EQ(tabs.Lines, QStringList({QStringLiteral("test\tnews\t0"), QStringLiteral("test\tlive\t0"),
                                       QStringLiteral("test\tgone\t1")}));

    news->SetLocked(false);
    env.Window()->Action(QStringLiteral("actThreadListCloseAll2"))->trigger();
    ASSERT_EQ(env.Window()->Tabs().ListDocs().size(), 1);   // the failed one
    env.Window()->Action(QStringLiteral("actThreadListClose"))->trigger();
    EXPECT_TRUE(env.Window()->Tabs().ListDocs().isEmpty());
    TSite *site = env.site;
    site->Boards->Delete(site->Boards->IndexOf(env.Board(Live)));
    QAction *restore = env.Window()->Action(QStringLiteral("actThreadListLoadTab"));
    ASSERT_TRUE(restore->isEnabled());   // with no tab open, which is when the saved ones are wanted
    restore->trigger();
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    QStringList opened;
    for (QAction *action : Part<QToolBar>(env.Window(), "ThreadListBar")->actions()) {
        if (auto *button = qobject_cast<TThreadListToolButton *>(
                Part<QToolBar>(env.Window(), "ThreadListBar")->widgetForAction(action)))
            opened << button->ListDoc->BoardID;
    }
    EXPECT_EQ(opened, QStringList({News, Gone}));
    EXPECT_EQ(env.Window()->ListPane().ShownListDoc()->BoardID, Gone);
}

// A tab whose list failed stays when the other tabs (or all) are closed, while it looks and acts as
// any idle tab; the next list that arrives lets it go with the others again.
TEST(ThreadListFlow, ATabWhoseListFailedOutlivesClosingTheOthers)
{
    TPostWindowEnv env;
    AddThreads(env, 1);
    OpenBoard(env, Gone);
    TTavuListDoc *gone = env.Window()->ListPane().ShownListDoc();
    EXPECT_EQ(gone->DownloadState, TTavuListDoc::dsIdle);
    EXPECT_TRUE(env.Window()->Action(QStringLiteral("actThreadListReload"))->isEnabled());
    EXPECT_FALSE(env.Window()->Action(QStringLiteral("actThreadListCancelDownload"))->isEnabled());
    OpenBoard(env, Live);
    OpenBoard(env, News);

    env.Window()->Action(QStringLiteral("actThreadListCloseAll"))->trigger();
    QStringList left;
    for (const TTavuListDoc *doc : env.Window()->Tabs().ListDocs())
        left << doc->BoardID;
    EXPECT_EQ(left, QStringList({News, Gone}));
    env.Window()->Action(QStringLiteral("actThreadListCloseAll2"))->trigger();
    ASSERT_EQ(env.Window()->Tabs().ListDocs(), QList<TTavuListDoc *>{gone});

    env.server.AddBoard(Gone);
    OpenBoard(env, Gone, true);
    OpenBoard(env, News);
    env.Window()->Action(QStringLiteral("actThreadListCloseAll"))->trigger();
    ASSERT_EQ(env.Window()->Tabs().ListDocs().size(), 1);
    EXPECT_EQ(env.Window()->Tabs().ListDocs()[0]->BoardID, News);
}

TEST(ThreadListFlow, TheFilterShowsItsMatchesInATabOfTheirOwn)
{
    TPostWindowEnv env;
    AddThreads(env, 4);
    OpenBoard(env, News);
    QString wanted = QStringLiteral("03");
    const auto old = ThreadListPane::SetFilterDialog([&wanted](const TThreadItemList &, ThreadListPane::TThreadFilter &filter) {
        filter.MatchesTitle = [wanted](const QString &title) { return title.contains(wanted); };
        return true;
    });
    env.Window()->Action(QStringLiteral("actThreadListFilter"))->trigger();
    TTavuListDoc *found = env.Window()->ListPane().ShownListDoc();
    ASSERT_EQ(env.Window()->Tabs().ListDocs().size(), 2);
    EXPECT_EQ(found->Mode, TTavuListDoc::lmFilter);
    ASSERT_EQ(found->Items()->Count(), 1);
    EXPECT_EQ(found->Items()->Get(0)->GetKey(), QStringLiteral("1000000003"));
    EXPECT_EQ(ShownRows(env), 1);
    EXPECT_TRUE(Part<QPlainTextEdit>(env.Window(), "Memo1")->toPlainText().contains(QStringLiteral("  →該当件数:1")));

    // No match: the tab goes again.
    wanted = QStringLiteral("無い");
    env.Window()->Tabs().CloseListDoc(found);
    env.Window()->Action(QStringLiteral("actThreadListFilter"))->trigger();
    EXPECT_EQ(env.Window()->Tabs().ListDocs().size(), 1);
    EXPECT_EQ(env.env.Messages.value(0), QStringLiteral("該当スレッドが見つかりませんでした。"));
    ThreadListPane::SetFilterDialog(old);
}
