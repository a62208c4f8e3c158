// The favourites: folder files and board.dat entries, the favourite dialog in its three modes and
// the favourites editor, each dialog driven offscreen through the dialog seam.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "controls/BoardTree.h"
#include "core/FileUtil.h"
#include "core/TextList.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "services/FavoriteFolders.h"
#include "services/Urls.h"
#include "settings/BoardEditor.h"
#include "settings/FavoriteDialog.h"
#include "settings/FavoritesEditor.h"
#include "settings/PropertyWindow.h"
#include "settings/SiteDialogCommands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QDropEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>

#include "controls/ExtListView.h"
#include "mainwindow/BoardPane.h"

namespace {

QStringList FileLines(const QString &path)
{
    const QByteArray bytes = FileUtil::ReadFile(path);
    EXPECT_TRUE(bytes.isEmpty() || bytes.endsWith("\r\n")) << path.toStdString();
    TTextList list;
    list.LoadFromFile(path);
    return list.Lines;
}

QTreeWidgetItem *NodeNamed(QTreeWidget *tree, const QString &text)
{
    return tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
}

struct TFavEnv : TPostEnv {
    TFavEnv() : old(BoardTree::SetBoardEditor({}))
    {
        SiteDialogCommands::InstallBoardEditor();
        favorites = TavuEnviron->FavoritesSite();
    }
    ~TFavEnv() { BoardTree::SetBoardEditor(old); }

    // A folder added through the board editor under the category; returns it. Adding reads the
    // site's boards anew, so the folder returned before is gone: look it up again with Folder.
    TBoard *AddFolder(const QString &name, const QString &category)
    {
        Dialog = [=](QDialog &dialog) {
            auto *editor = qobject_cast<TBoardEditor *>(&dialog);
            editor->Edit1->setText(name);
            editor->ComboBox1->setCurrentText(category);
            editor->Button2->click();
            return editor->result();
        };
        EXPECT_TRUE(BoardTree::AddSiteBoard(favorites, category, QString(), QString()));
        Dialog = {};
        return Folder(name);
    }

    TBoard *Folder(const QString &name) const
    {
        for (int i = 0; i < favorites->Boards->Count(); ++i)
            if (favorites->Boards->Get(i)->Name == name)
                return favorites->Boards->Get(i);
        return nullptr;
    }

    BoardTree::TBoardEditorHandler old;
    TSite *favorites = nullptr;
};

QString Key(const QString &line)
{
    return line.section(u'\t', 2, 2);
}

}  // namespace

TEST(FavoriteFolders, EntriesGoUnderTheirCategory)
{
    const QStringList lines{"2", "ニュース", "\ta\tb\tc", "", "\td\te\tf", "雑談", "\tg\th\ti"};
    EXPECT_EQ(FavoriteFolders::EntryPosition(lines, QStringLiteral("ニュース"), false), 2);
    EXPECT_EQ(FavoriteFolders::EntryPosition(lines, QStringLiteral("ニュース"), true), 5);
    EXPECT_EQ(FavoriteFolders::EntryPosition(lines, QStringLiteral("雑談"), true), 7);
    EXPECT_EQ(FavoriteFolders::EntryPosition(lines, QStringLiteral("2"), true), -1);   // never the format line
    EXPECT_EQ(FavoriteFolders::EntryPosition(lines, QStringLiteral("なし"), false), -1);

    TFavEnv env;
    const QString path = env.favorites->GetDir() + QStringLiteral("board.dat");
    QFile::remove(path);
    FavoriteFolders::AddEntry(env.favorites, QStringLiteral("新"), QStringLiteral("\tx\ty\tz"), true);
    FavoriteFolders::AddEntry(env.favorites, QStringLiteral("新"), QStringLiteral("\tp\tq\tr"), true);
    EXPECT_EQ(FileLines(path), (QStringList{"2", "新", "\tx\ty\tz", "\tp\tq\tr"}));
}

TEST(FavoriteDialog, ThreadsGoToTheTopOrTheEndOfTheFolder)
{
    TFavEnv env;
    TBoard *folder = env.AddFolder(QStringLiteral("よく見る"), QStringLiteral("スレ"));
    ASSERT_NE(folder, nullptr);
    const QString file = FavoriteFolders::FolderFile(folder);
    QFile::remove(file);   // a folder without its file yet

    TThreadItem *one = env.NewItem(PostTest::News, QStringLiteral("100"), QStringLiteral("一\tつ目"));
    TThreadItem *two = env.NewItem(PostTest::News, QStringLiteral("200"), QStringLiteral("二つ目"));
    TThreadItem *three = env.NewItem(PostTest::News, QStringLiteral("300"), QStringLiteral("三つ目"));
    TFavoriteDialog dialog;
    dialog.Items.Add(one);
    dialog.Items.Add(two);
    dialog.FormShow();
    EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("一\tつ目..."));
    EXPECT_TRUE(dialog.Edit1->isReadOnly());
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("このスレッドがお気に入りに登録されます。"));
    dialog.TreeView1->setCurrentItem(NodeNamed(dialog.TreeView1, QStringLiteral("スレ")));
    EXPECT_FALSE(dialog.Button1->isEnabled());   // a category takes no threads
    dialog.TreeView1->setCurrentItem(NodeNamed(dialog.TreeView1, QStringLiteral("よく見る")));
    dialog.chkAddAfterEdit->setChecked(true);
    env.Dialog = [&dialog](QDialog &d) {
        EXPECT_EQ(&d, &dialog);
        dialog.Button1->click();
        return dialog.result();
    };
    EXPECT_EQ(Dialogs::ExecDialog(dialog), QDialog::Accepted);
    QStringList lines = FileLines(file);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("よく見る"));
    EXPECT_EQ(lines[1], QStringLiteral("test\tnews\t200\t二つ目\t1"));   // each ahead of the one before
    EXPECT_EQ(lines[2], QStringLiteral("test\tnews\t100\t一 つ目\t1"));   // the TAB cannot shift fields
    EXPECT_TRUE(one->FAVORITE && two->FAVORITE);
    EXPECT_TRUE(TavuConfig->FAVADDEDIT);

    TFavoriteDialog last;
    last.Items.Add(three);
    last.TreeView1->setCurrentItem(NodeNamed(last.TreeView1, QStringLiteral("よく見る")));
    last.SpeedButton2->click();
    last.Button1->click();
    lines = FileLines(file);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(Key(lines[3]), QStringLiteral("300"));
    TThreadItem *reread = env.NewItem(PostTest::News, QStringLiteral("300"));
    reread->LoadInfo();
    EXPECT_TRUE(reread->FAVORITE);   // the .inf was saved
    reread->Release();
    for (TThreadItem *item : {one, two, three})
        item->Release();
}

TEST(FavoriteDialog, PagesAndBoardsJoinACategory)
{
    TFavEnv env;
    ASSERT_NE(env.AddFolder(QStringLiteral("既定"), QStringLiteral("リンク")), nullptr);
    const QString path = env.favorites->GetDir() + QStringLiteral("board.dat");
    for (int round = 0; round < 2; ++round) {
        TFavoriteDialog page;
        page.Mode = TFavoriteDialog::fmPage;
        page.PageTitle = QStringLiteral("ページ");
        page.PageUrl = QStringLiteral("http://example.com/");
        page.FormShow();
        EXPECT_FALSE(page.Edit1->isReadOnly());
        EXPECT_TRUE(page.Button1->isEnabled());   // the default folder's category is chosen to begin with
        page.TreeView1->setCurrentItem(NodeNamed(page.TreeView1, QStringLiteral("リンク")));
        page.Edit1->setText(QStringLiteral("ページ%1").arg(round));
        page.SpeedButton2->click();
        page.Button1->click();
        EXPECT_EQ(page.result(), QDialog::Accepted);
    }
    QStringList lines = FileLines(path);
    EXPECT_EQ(lines.value(lines.size() - 2), QStringLiteral("\thttp://example.com/\twww00001\tページ0\twww"));
    EXPECT_EQ(lines.value(lines.size() - 1), QStringLiteral("\thttp://example.com/\twww00002\tページ1\twww"));

    TFavoriteDialog board;
    board.Mode = TFavoriteDialog::fmBoard;
    board.Board = env.Board(PostTest::News);
    board.FormShow();
    EXPECT_EQ(board.Label1->text(), QStringLiteral("この板がお気に入りに登録されます。"));
    board.TreeView1->setCurrentItem(NodeNamed(board.TreeView1, QStringLiteral("リンク")));
    board.Button1->click();   // at the top of the category
    lines = FileLines(path);
    const int category = lines.indexOf(QStringLiteral("リンク"));
    ASSERT_GE(category, 1);
    EXPECT_EQ(lines.value(category + 1), FavoriteFolders::BoardEntryLine(env.Board(PostTest::News)));
    env.favorites->LoadBoards();
    EXPECT_NE(env.favorites->Boards->FindByID(QStringLiteral("www00002")), nullptr);
}

TEST(FavoritesEditor, ShowsSortsReordersAndRemoves)
{
    TFavEnv env;
    TBoard *folder = env.AddFolder(QStringLiteral("箱"), QStringLiteral("分類"));
    ASSERT_NE(folder, nullptr);
    QList<TThreadItem *> items;
    for (const char *key : {"3", "1", "2"})
        items << env.NewItem(PostTest::News, QString::fromLatin1(key), QStringLiteral("題") + QString::fromLatin1(key));
    FavoriteFolders::AddThreads(folder, items, true);
    const QString file = FavoriteFolders::FolderFile(folder);

    env.Dialog = [&](QDialog &dialog) {
        auto *editor = qobject_cast<TFavoritesEditor *>(&dialog);
        editor->TreeView1->setCurrentItem(NodeNamed(editor->TreeView1, QStringLiteral("箱")));
        EXPECT_EQ(editor->Threads().Count(), 3);
        EXPECT_EQ(editor->StatusBar1->currentMessage(), QStringLiteral("3 件"));
        EXPECT_EQ(TFavoritesEditor::CellText(editor->Threads().Get(0), 0), QStringLiteral("0001"));

        editor->SortByColumn(8);   // DAT
        EXPECT_EQ(editor->Threads().Get(0)->GetKey(), QStringLiteral("1"));
        editor->SortByColumn(8);   // the same column again reverses
        EXPECT_EQ(editor->Threads().Get(0)->GetKey(), QStringLiteral("3"));
        editor->SortByColumn(1);   // another column starts ascending
        EXPECT_EQ(editor->Threads().Get(0)->TITLE, QStringLiteral("題1"));

        editor->qorExtListView1->SelectItem(0);   // "題1" moves down one place
        editor->Action(QStringLiteral("actThreadMoveDown"))->trigger();
        EXPECT_EQ(editor->Threads().Get(1)->GetKey(), QStringLiteral("1"));
        EXPECT_EQ(editor->qorExtListView1->SelectedRows(), QList<int>{1});
        EXPECT_TRUE(editor->Modified());
        editor->Action(QStringLiteral("actSetKakoLog"))->trigger();
        EXPECT_TRUE(editor->Threads().Get(1)->KAKOLOG);
        editor->Action(QStringLiteral("actSelectKakoLog"))->trigger();
        EXPECT_EQ(editor->qorExtListView1->SelectedRows(), QList<int>{1});
        editor->reject();
        return int(QDialog::Rejected);
    };
    {
        TFavoritesEditor editor;
        Dialogs::ExecDialog(editor);
    }
    QStringList lines = FileLines(file);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(Key(lines[1]) + Key(lines[2]) + Key(lines[3]), QStringLiteral("213"));
    EXPECT_EQ(FileLines(file.left(file.size() - 4) + QStringLiteral(".bak")).size(), 4);   // the file before
    EXPECT_TRUE(QFile::exists(env.favorites->GetDir() + QStringLiteral("board.dat")));

    env.Dialog = [&](QDialog &dialog) {
        auto *editor = qobject_cast<TFavoritesEditor *>(&dialog);
        editor->TreeView1->setCurrentItem(NodeNamed(editor->TreeView1, QStringLiteral("箱")));
        editor->Action(QStringLiteral("actSelectAll"))->trigger();
        editor->Action(QStringLiteral("actErase"))->trigger();
        EXPECT_EQ(editor->Threads().Count(), 0);
        EXPECT_EQ(editor->StatusBar1->currentMessage(), QStringLiteral("0 件"));
        editor->TreeView1->setCurrentItem(NodeNamed(editor->TreeView1, QStringLiteral("分類")));
        editor->Action(QStringLiteral("actFolderEdit"))->trigger();   // only folders can be edited
        EXPECT_EQ(env.Messages.value(0), QStringLiteral("それは修正できません。"));
        editor->reject();
        return int(QDialog::Rejected);
    };
    {
        TFavoritesEditor editor;
        Dialogs::ExecDialog(editor);
    }
    EXPECT_EQ(FileLines(file), QStringList{QStringLiteral("箱")});   // only the name is left
    for (TThreadItem *item : items) {
        item->LoadInfo();   // the editor's own items saved their .inf
        EXPECT_FALSE(item->FAVORITE);
        item->Release();
    }
}

// From the window: Ctrl+D on a thread tab adds the thread to the folder chosen in the favourite
// dialog; on a favourite it takes the thread out of every folder file without asking. The folder's
// open thread list follows at once, and the thread's tab stays in front.
TEST(FavoriteCommands, TheCurrentThreadGoesInAndOutOfAFolder)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\nfavorites\r\n"); });
    const QString key = QStringLiteral("1000000001");
    PostTest::AddThread(env.server, PostTest::News, key, 2);
    TavuConfig->URL_OPENINVARNELO = 0;
    env.Window()->OpenThreadUrl(env.server.Url(QStringLiteral("/test/read.cgi/news/") + key + QLatin1Char('/')));
    ASSERT_EQ(env.Window()->Tabs().Browsers().size(), 1);
    TThreadItem *item = env.Window()->Tabs().Browsers().first()->ThreadItem();
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(PostTest::WaitFor([item] { return item->LogExists(); }));
    TBoard *folder = BoardTree::EnsureDefaultFavoritesFolder();
    ASSERT_NE(folder, nullptr);
    const QString file = FavoriteFolders::FolderFile(folder);
    env.Window()->ListPane().StartThreadListDownload(folder, false, false);
    TTavuListDoc *folderTab = nullptr;
    ASSERT_TRUE(env.Window()->Tabs().FindBoardTab(folder, folderTab));
    ASSERT_TRUE(PostTest::WaitFor([folderTab] { return folderTab->IsSettled(); }));
    EXPECT_EQ(folderTab->Items()->Count(), 0);
    const auto listed = [folderTab](int count) {
        return PostTest::WaitFor([folderTab, count] { return folderTab->IsSettled() && folderTab->Items()->Count() == count; });
    };

    QAction *add = env.Window()->Action(QStringLiteral("actThreadAddFav"));
    EXPECT_EQ(add->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    int shown = 0;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [&](QDialog &d) {
            auto *dialog = dynamic_cast<TFavoriteDialog *>(&d);
            if (!dialog)
                return int(QDialog::Rejected);
            ++shown;
            dialog->FormShow();
            EXPECT_EQ(dialog->Label1->text(), QStringLiteral("このスレッドがお気に入りに登録されます。"));
            dialog->TreeView1->setCurrentItem(NodeNamed(dialog->TreeView1, folder->Name));
            dialog->Button1->click();
            return dialog->result();
        });
    add->trigger();
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(item->FAVORITE);
    QStringList lines = FileLines(file);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], folder->Name);
    EXPECT_EQ(Key(lines[1]), key);
    EXPECT_TRUE(listed(1));
    EXPECT_EQ(env.Window()->Tabs().Browsers().first()->ThreadItem(), item);

    add->trigger();
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(item->FAVORITE);
    EXPECT_EQ(FileLines(file), QStringList{folder->Name});
    EXPECT_TRUE(listed(0));
}

// A folder file that cannot be read is reported when the folder is shown; the list stays empty.
TEST(FavoritesEditor, AFolderThatCannotBeReadIsReported)
{
    TFavEnv env;
    TBoard *folder = env.AddFolder(QStringLiteral("読めない"), QStringLiteral("分類"));
    ASSERT_NE(folder, nullptr);
    const QString file = FavoriteFolders::FolderFile(folder);
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file));   // something that exists but is no file
    TFavoritesEditor editor;
    editor.TreeView1->setCurrentItem(NodeNamed(editor.TreeView1, QStringLiteral("読めない")));
    EXPECT_EQ(editor.Threads().Count(), 0);
    ASSERT_EQ(env.Messages.size(), 1);
    EXPECT_TRUE(env.Messages.first().endsWith(QStringLiteral("\r\n\r\nスレッド一覧ダウンロードエラー\r\n読めない")));
    QDir(file).removeRecursively();
}

// Rows dropped on a row move in front of it keeping their order; rows dropped on another folder of
// the tree leave the shown folder's file and join the end of that folder's file.
TEST(FavoritesEditor, DroppedRowsMoveInTheListOrToAnotherFolder)
{
    TFavEnv env;
    ASSERT_TRUE(env.AddFolder(QStringLiteral("箱"), QStringLiteral("分類")));
    ASSERT_TRUE(env.AddFolder(QStringLiteral("別の箱"), QStringLiteral("分類")));
    TBoard *box = env.Folder(QStringLiteral("箱"));
    TBoard *other = env.Folder(QStringLiteral("別の箱"));
    ASSERT_TRUE(box && other);
    QList<TThreadItem *> items;
    for (const char *key : {"1", "2", "3", "4"})
        items << env.NewItem(PostTest::News, QString::fromLatin1(key), QStringLiteral("題") + QString::fromLatin1(key));
    FavoriteFolders::AddThreads(box, items, true);
    const QString otherName = other->Name;

    {
        TFavoritesEditor editor;
        editor.TreeView1->setCurrentItem(NodeNamed(editor.TreeView1, QStringLiteral("箱")));
        ASSERT_EQ(editor.Threads().Count(), 4);
        auto keys = [&editor] {
            QStringList list;
            for (int i = 0; i < editor.Threads().Count(); ++i)
                list << editor.Threads().Get(i)->GetKey();
            return list;
        };
        editor.qorExtListView1->SelectItem(0);
        editor.qorExtListView1->selectionModel()->select(editor.qorExtListView1->model()->index(2, 0),
                                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        editor.MoveSelectedTo(3);
        EXPECT_EQ(keys(), (QStringList{"2", "1", "3", "4"}));
        EXPECT_EQ(editor.qorExtListView1->SelectedRows(), (QList<int>{1, 2}));
        editor.MoveSelectedTo(-1);
        EXPECT_EQ(keys(), (QStringList{"2", "4", "1", "3"}));

        // Dropped on the other folder's node through the tree's viewport.
        editor.show();
        QTreeWidgetItem *node = NodeNamed(editor.TreeView1, otherName);
        ASSERT_NE(node, nullptr);
        auto *data = new QMimeData;
        data->setData(QStringLiteral("application/x-varnelo-favorite-threads"), QByteArray());
        const QPoint at = editor.TreeView1->visualItemRect(node).center();
        QDragEnterEvent enter(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor.TreeView1->viewport(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor.TreeView1->viewport(), &drop);
        delete data;
        EXPECT_TRUE(drop.isAccepted());
        EXPECT_EQ(keys(), (QStringList{"2", "4"}));
        editor.close();
    }
    QStringList moved;
    for (const QString &line : FileLines(FavoriteFolders::FolderFile(other)).mid(1))
        moved << Key(line);
    EXPECT_EQ(moved, (QStringList{"1", "3"}));
    QStringList kept;
    for (const QString &line : FileLines(FavoriteFolders::FolderFile(box)).mid(1))
        kept << Key(line);
    EXPECT_EQ(kept, (QStringList{"2", "4"}));
    for (TThreadItem *item : items)
        item->Release();
}

// Rows of the thread list dropped on a favourites folder of the board tree join that folder.
TEST(FavoriteCommands, ThreadListRowsDroppedOnAFolderJoinIt)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\nfavorites\r\n"); });
    const QString key = QStringLiteral("1000000001");
    PostTest::AddThread(env.server, PostTest::News, key, 1);
    TVarneloWindow *window = env.Window();
    window->ListPane().StartThreadListDownload(env.Board(PostTest::News), false, false);
    ASSERT_TRUE(PostTest::WaitFor([window] {
        return window->ListPane().ShownListDoc() && window->ListPane().ShownListDoc()->DownloadState == TTavuListDoc::dsIdle
               && window->ListPane().ShownListDoc()->Items()->Count() == 1;
    }));
    Part<TqorExtListView>(window, "ThreadListView")->SelectItem(0);
    const TBoard *folder = BoardTree::EnsureDefaultFavoritesFolder();
    ASSERT_NE(folder, nullptr);
    window->BoardPane().SelectSite(TavuEnviron->FavoritesSite());
    window->show();
    QTreeWidgetItem *node = NodeNamed(Part<QTreeWidget>(window, "BoardListView"), folder->Name);
    ASSERT_NE(node, nullptr);

    QMimeData data;
    data.setData(QStringLiteral("application/x-varnelo-threads"), QByteArray());
    const QPoint at = Part<QTreeWidget>(window, "BoardListView")->visualItemRect(node).center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Part<QTreeWidget>(window, "BoardListView")->viewport(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Part<QTreeWidget>(window, "BoardListView")->viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    const QStringList lines = FileLines(FavoriteFolders::FolderFile(folder));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(Key(lines[1]), key);
    EXPECT_TRUE(window->ListPane().ShownListDoc()->Items()->Get(0)->FAVORITE);
}

// The property command shows the focused thread; a folder dragged onto another folder takes its
// category and place, onto a category node goes behind that category's last board, and both end
// in the favorites' board.dat.
TEST(FavoritesEditor, PropertiesOfTheFocusedThreadAndFoldersDraggedInTheTree)
{
    TFavEnv env;
    // Adding a folder reads the site's boards anew: each is looked up once all are there.
    for (const auto &[name, category] : {std::pair{"箱", "分類"}, std::pair{"別の箱", "別分類"}, std::pair{"三番", "別分類"}})
        ASSERT_TRUE(env.AddFolder(QString::fromUtf8(name), QString::fromUtf8(category)));
    TBoard *box = env.Folder(QStringLiteral("箱"));
    ASSERT_TRUE(box);
    QList<TThreadItem *> items;
    for (const char *key : {"1", "2"})
        items << env.NewItem(PostTest::News, QString::fromLatin1(key), QStringLiteral("題") + QString::fromLatin1(key));
    FavoriteFolders::AddThreads(box, items, true);

    QStringList shown;
    env.Dialog = [&shown](QDialog &dialog) {
        auto &window = dynamic_cast<TPropertyWindow &>(dialog);
        shown << window.DatNo->text() << window.Title->text();
        return int(QDialog::Rejected);
    };
    auto dropFolder = [](TFavoritesEditor &editor, const QString &moved, const QString &onto) {
        editor.TreeView1->setCurrentItem(NodeNamed(editor.TreeView1, moved));
        auto *data = new QMimeData;
        data->setData(QStringLiteral("application/x-varnelo-favorite-folder"), QByteArray());
        const QPoint at = editor.TreeView1->visualItemRect(NodeNamed(editor.TreeView1, onto)).center();
        QDragEnterEvent enter(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor.TreeView1->viewport(), &enter);
        QDropEvent drop(QPointF(at), Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor.TreeView1->viewport(), &drop);
        delete data;
        return enter.isAccepted() && drop.isAccepted();
    };
    const QString boxName = box->Name;
    const QString otherName = QStringLiteral("別の箱");
    {
        TFavoritesEditor editor;
        editor.show();
        editor.TreeView1->setCurrentItem(NodeNamed(editor.TreeView1, boxName));
        ASSERT_EQ(editor.Threads().Count(), 2);
        QAction *property = editor.Action(QStringLiteral("actProperty"));
        ASSERT_TRUE(property->isEnabled());
        editor.qorExtListView1->setCurrentIndex(editor.qorExtListView1->model()->index(1, 0));
        property->trigger();
        EXPECT_EQ(shown, (QStringList{QStringLiteral("2"), QStringLiteral("題2")}));

        EXPECT_TRUE(dropFolder(editor, boxName, otherName));
        EXPECT_EQ(box->Category, QStringLiteral("別分類"));
        EXPECT_EQ(NodeNamed(editor.TreeView1, boxName)->parent()->text(0), QStringLiteral("別分類"));
        EXPECT_EQ(BoardTree::NodeBoard(editor.TreeView1->currentItem()), box);
        EXPECT_TRUE(dropFolder(editor, otherName, QStringLiteral("別分類")));
        editor.close();
    }
    // Each category stands once in board.dat, also the one a folder moved within.
    const QStringList lines = FileLines(env.favorites->GetDir() + QStringLiteral("board.dat"));
    EXPECT_EQ(lines.count(QStringLiteral("別分類")), 1) << lines.join(u'|').toStdString();
    env.favorites->LoadBoards();   // what board.dat now holds
    QStringList order;
    for (int i = 0; i < env.favorites->Boards->Count(); ++i)
        order << env.favorites->Boards->Get(i)->Category + u'/' + env.favorites->Boards->Get(i)->Name;
    const int at = order.indexOf(QStringLiteral("別分類/") + boxName);
    ASSERT_GE(at, 0);
    EXPECT_EQ(order.mid(at), (QStringList{QStringLiteral("別分類/") + boxName, QStringLiteral("別分類/三番"),
                                          QStringLiteral("別分類/別の箱")}));
    for (TThreadItem *item : items)
        item->Release();
}

// A folder file that exists but cannot be read is not taken for an empty folder: adding to it says
// so and leaves the file as it was.
TEST(FavoriteDialog, AFolderFileThatCannotBeReadIsToldAndKept)
{
    TFavEnv env;
    TBoard *folder = env.AddFolder(QStringLiteral("壊れた"), QStringLiteral("スレ"));
    ASSERT_NE(folder, nullptr);
    const QString file = FavoriteFolders::FolderFile(folder);
    QFile::remove(file);
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), file));   // every read fails

    TFavoriteDialog dialog;
    dialog.Items.Add(env.NewItem(PostTest::News, QStringLiteral("100"), QStringLiteral("一つ目")));
    dialog.FormShow();
    dialog.TreeView1->setCurrentItem(NodeNamed(dialog.TreeView1, QStringLiteral("壊れた")));
    env.Dialog = [&dialog](QDialog &) {
        dialog.Button1->click();
        return dialog.result();
    };
    EXPECT_NE(Dialogs::ExecDialog(dialog), QDialog::Accepted);
    ASSERT_EQ(env.Messages.size(), 1);
    EXPECT_TRUE(env.Messages.first().contains(file)) << env.Messages.first().toStdString();
    EXPECT_EQ(QFileInfo(file).symLinkTarget(), QStringLiteral("/proc/self/mem"));
    QFile::remove(file);
}
