// The board tree with its saved state (boardcnf.ini), adding, changing and deleting boards
// (board.dat, board.abone), the default favorites folder, and the tabs.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "controls/BoardTree.h"
#include "controls/ExtListView.h"
#include "core/IniFile.h"
#include "core/TextList.h"
#include "net/TavuHttp.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QToolBar>
#include <QTreeWidget>

namespace {

// Two boards of category A, one of B, then A again.
void WriteBoards(TWindowEnv &e)
{
    e.Root.Write(QStringLiteral("config/site/test/board.dat"),
                 jconvert::UnicodeToSjis(QStringLiteral("2\r\nA\r\n\th.example\ta1\tA1\r\n\th.example\ta2\tA2\r\n"
                                                        "B\r\n\th.example\tb1\tB1\r\n"
                                                        "A\r\n\th.example\ta3\tA3\r\n")));
    e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\n");
}

QStringList TopTexts(const QTreeWidget *tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0) + (tree->topLevelItem(i)->isExpanded() ? "+" : "-");
    return texts;
}

QStringList BoardIds(const TSite *site)
{
    QStringList ids;
    for (int i = 0; i < site->Boards->Count(); ++i)
        ids << site->Boards->Get(i)->Category + QLatin1Char('/') + site->Boards->Get(i)->ID;
    return ids;
}

QTreeWidgetItem *NodeNamed(QTreeWidget *tree, const QString &text)
{
    const QList<QTreeWidgetItem *> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0);
}

// A board editor that settles what the test asks for.
BoardTree::TBoardEditorHandler Editor(const QString &id, const QString &category, int *calls = nullptr)
{
    return [=](TSite *, const TBoard *, BoardTree::TBoardEditValues &values) {
        if (calls)
            ++*calls;
        values.Name = id.toUpper();
        values.ID = id;
        values.Path = QStringLiteral("h.example");
        values.Url = QStringLiteral("http://h.example/") + id + QLatin1Char('/');
        values.Category = category;
        return true;
    };
}

struct EditorScope {
    explicit EditorScope(BoardTree::TBoardEditorHandler editor) : old(BoardTree::SetBoardEditor(std::move(editor))) {}
    ~EditorScope() { BoardTree::SetBoardEditor(old); }
    BoardTree::TBoardEditorHandler old;
};

}  // namespace

// Collapsed categories, the top and the selected node come back with the site; two nodes of one
// category name share its key.
TEST(BoardTree, StateIsSavedPerSiteAndRestored)
{
    TPostWindowEnv env(WriteBoards);
    QTreeWidget *tree = Part<QTreeWidget>(env.Window(), "BoardListView");
    EXPECT_EQ(TopTexts(tree), QStringList({"A+", "B+", "A+"}));

    tree->topLevelItem(0)->setExpanded(false);
    tree->setCurrentItem(NodeNamed(tree, QStringLiteral("B1")));
    BoardTree::SaveTreeState(tree, env.site);
    const TIniFile ini(env.env.Profile(QStringLiteral("boardcnf.ini")));
    EXPECT_EQ(ini.ReadSection(QStringLiteral("test")),
              QStringList({QStringLiteral("A"), QStringLiteral("TOP"), QStringLiteral("SELECTED")}));
    EXPECT_EQ(ini.ReadString(QStringLiteral("test"), QStringLiteral("SELECTED")), QStringLiteral("B1"));

    BoardTree::FillBoardTree(tree, env.site);
    EXPECT_EQ(TopTexts(tree), QStringList({"A-", "B+", "A-"}));
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("B1"));
    EXPECT_EQ(BoardTree::NodeBoard(tree->currentItem()), env.site->Boards->FindByID(QStringLiteral("b1")));

    // A filter that matches nothing leaves the tree empty and the stored state as it was.
    BoardTree::FillBoardTree(tree, env.site, QStringLiteral("ｚｚ"));
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    BoardTree::SaveTreeState(tree, env.site);
    EXPECT_EQ(TIniFile(env.env.Profile(QStringLiteral("boardcnf.ini"))).ReadString(QStringLiteral("test"), QStringLiteral("A")),
              QStringLiteral("1"));
    // The filter folds width and case.
    BoardTree::FillBoardTree(tree, env.site, QStringLiteral("ｂ１"));
    EXPECT_EQ(TopTexts(tree), QStringList({"B+"}));
}

TEST(BoardTree, AddedBoardsLandAfterTheirCategoryAndDeletedOnesAreListedOnce)
{
    TPostWindowEnv env(WriteBoards);
    {
        EditorScope editor(Editor(QStringLiteral("b2"), QStringLiteral("B")));
        ASSERT_TRUE(BoardTree::AddSiteBoard(env.site, QString(), QString(), QString()));
    }
    {
        EditorScope editor(Editor(QStringLiteral("c1"), QStringLiteral("C")));
        ASSERT_TRUE(BoardTree::AddSiteBoard(env.site, QString(), QString(), QString()));
    }
    {
        EditorScope editor(Editor(QStringLiteral("x1"), QString()));
        ASSERT_TRUE(BoardTree::AddSiteBoard(env.site, QString(), QString(), QString()));
    }
    EXPECT_EQ(BoardIds(env.site), QStringList({"/x1", "A/a1", "A/a2", "B/b1", "B/b2", "A/a3", "C/c1"}));
    // What was written is what is read back.
    TSite copy(QStringLiteral("test"), TSite::KIND_NORMAL, TavuEnviron->BBSList());
    copy.LoadBoards();
    EXPECT_EQ(BoardIds(&copy), BoardIds(env.site));

    // Deleting asks first; the id goes into board.abone once however often it is deleted.
    env.env.Answer = Dialogs::mrNo;
    EXPECT_FALSE(BoardTree::DeleteSiteBoard(env.site, env.site->Boards->FindByID(QStringLiteral("b2"))));
    env.env.Answer = Dialogs::mrYes;
    ASSERT_TRUE(BoardTree::DeleteSiteBoard(env.site, env.site->Boards->FindByID(QStringLiteral("b2"))));
    {
        EditorScope editor(Editor(QStringLiteral("b2"), QStringLiteral("B")));
        ASSERT_TRUE(BoardTree::AddSiteBoard(env.site, QString(), QString(), QString()));
    }
    ASSERT_TRUE(BoardTree::DeleteSiteBoard(env.site, env.site->Boards->FindByID(QStringLiteral("b2"))));
    EXPECT_EQ(env.env.Messages.value(0), QStringLiteral("B2を削除しますか？"));
    TTextList abone;
    ASSERT_TRUE(abone.LoadFromFile(env.site->GetDir() + QStringLiteral("board.abone")));
    EXPECT_EQ(abone.Lines, QStringList({QStringLiteral("b2")}));
    EXPECT_EQ(env.site->Boards->FindByID(QStringLiteral("b2")), nullptr);

    // The delete command closes the board's tab first and refills the tree.
    TVarneloWindow *window = env.Window();
    TTavuListDoc *doc = nullptr;
    window->Tabs().NewListDoc(doc, nullptr, TTavuListDoc::lmBoard, true, QStringLiteral("A1"),
                        env.site->Boards->FindByID(QStringLiteral("a1")));
    BoardTree::FillBoardTree(Part<QTreeWidget>(window, "BoardListView"), env.site);
    Part<QTreeWidget>(window, "BoardListView")
        ->setCurrentItem(NodeNamed(Part<QTreeWidget>(window, "BoardListView"), QStringLiteral("A1")));
    window->Action(QStringLiteral("actBoardDeleteBoard"))->trigger();
    EXPECT_TRUE(window->Tabs().ListDocs().isEmpty());
    EXPECT_EQ(NodeNamed(Part<QTreeWidget>(window, "BoardListView"), QStringLiteral("A1")), nullptr);
    EXPECT_EQ(abone.LoadFromFile(env.site->GetDir() + QStringLiteral("board.abone")), true);
    EXPECT_EQ(abone.Lines, QStringList({QStringLiteral("b2"), QStringLiteral("a1")}));
}

TEST(BoardTree, ChangesMoveABoardAndWaitForRunningRequests)
{
    TPostWindowEnv env(WriteBoards);
    {
        EditorScope editor(Editor(QStringLiteral("a1"), QStringLiteral("B")));
        ASSERT_TRUE(BoardTree::ModifySiteBoard(env.site, env.site->Boards->FindByID(QStringLiteral("a1"))));
    }
    EXPECT_EQ(BoardIds(env.site), QStringList({"A/a2", "B/b1", "B/a1", "A/a3"}));

    int calls = 0;
    EditorScope editor(Editor(QStringLiteral("z9"), QStringLiteral("A"), &calls));
    auto *running = new TTavuHttp;
    running->URL = env.server.Url(QStringLiteral("/news/subject.txt"));
    running->Get();
    env.env.Messages.clear();
    EXPECT_FALSE(BoardTree::AddSiteBoard(env.site, QString(), QString(), QString()));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(env.env.Messages.value(0), QStringLiteral("読み込み，または書き込みが完了していません。"));
    PostTest::WaitFor([] { return TavuHttpList->Count() == 0 || !TavuHttpList->Get(0)->IsBusy(); });
    delete running;

    // The default favorites folder is made once, numbered on from the site's counter.
    TSite *favorites = TavuEnviron->FavoritesSite();
    TavuConfig->DEFFAVNAME = QStringLiteral("いつもの");
    TBoard *folder = BoardTree::EnsureDefaultFavoritesFolder();
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->ID, QStringLiteral("fav00002"));
    EXPECT_EQ(BoardTree::EnsureDefaultFavoritesFolder(), BoardTree::FindDefaultFavorites());
    TTextList folderFile;
    ASSERT_TRUE(folderFile.LoadFromFile(favorites->GetDir() + QStringLiteral("fav00002.txt")));
    EXPECT_EQ(folderFile.Lines, QStringList({QStringLiteral("いつもの")}));
    EXPECT_EQ(TIniFile(favorites->GetDir() + QStringLiteral("site.ini")).ReadInteger(QStringLiteral("LIST"), QStringLiteral("USED")), 2);
    // In the favorites site only folders can be changed.
    TBoard shortcut;
    shortcut.Kind = TBoard::KIND_NORMAL;
    env.env.Messages.clear();
    EXPECT_FALSE(BoardTree::ModifySiteBoard(favorites, &shortcut));
    EXPECT_EQ(env.env.Messages.value(0), QStringLiteral("それは修正できません。"));
}

TEST(BoardTree, TabsKeepTheirOrderAndTheBarIsAsWideAsItsButtons)
{
    TPostWindowEnv env;
    TVarneloWindow *window = env.Window();
    TTavuListDoc *first = nullptr;
    TTavuListDoc *second = nullptr;
    window->Tabs().NewListDoc(first, nullptr, TTavuListDoc::lmBoard, true, QStringLiteral("一"), env.Board(PostTest::News));
    window->Tabs().NewListDoc(second, nullptr, TTavuListDoc::lmBoard, false, QStringLiteral("二"), env.Board(PostTest::Live));
    TTavuListDoc *active = nullptr;
    ASSERT_TRUE(window->Tabs().GetActiveListDoc(active));
    EXPECT_EQ(active, first);
    EXPECT_EQ(window->Tabs().ListDocs(), QList<TTavuListDoc *>({first, second}));
    EXPECT_EQ(window->Tabs().IndexOfBoardTab(second), 1);
    EXPECT_EQ(Part<QToolBar>(window, "ThreadListBar")->maximumWidth(),
              BoardTree::GetBarWidth(Part<QToolBar>(window, "ThreadListBar")));

    window->Tabs().CloseListDoc(first);
    ASSERT_TRUE(window->Tabs().GetActiveListDoc(active));
    EXPECT_EQ(active, second);
    window->Tabs().CloseListDoc(second);
    EXPECT_FALSE(window->Tabs().GetActiveListDoc(active));
    EXPECT_EQ(Part<TqorExtListView>(window, "ThreadListView")->Items()->OwnerDataCount(), 0);

    TTavuBrowser *page = nullptr;
    window->Tabs().NewBrowser(page, nullptr, nullptr, true, QStringLiteral("ページ"));
    Part<QComboBox>(window, "UrlComboBox")->setEditText(QStringLiteral("http://example.invalid/"));
    window->Tabs().CloseBrowser(page);
    EXPECT_TRUE(window->Tabs().Browsers().isEmpty());
    EXPECT_TRUE(Part<QComboBox>(window, "UrlComboBox")->currentText().isEmpty());
}
