// The board editor (ids, paths, folder counters, checks), the move of thread logs to the local
// folder, the site selection's stepping and the site order files (bbs.txt, bbsbar.txt), each
// dialog driven offscreen through the dialog seam.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "controls/BoardTree.h"
#include "controls/WindowServices.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/TextList.h"
#include "services/BBSOrder.h"
#include "services/BoardEditRules.h"
#include "settings/BBSDialog.h"
#include "settings/BBSOrderDialog.h"
#include "settings/BoardEditor.h"
#include "settings/LocalDialog.h"
#include "settings/SiteDialogCommands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

namespace {

QString Sjis(const QByteArray &bytes)
{
    return jconvert::SjisToUnicode(bytes);
}

// Fills the board editor the way a user does and presses OK.
std::function<int(QDialog &)> FillEditor(const QString &name, const QString &path, const QString &category = {})
{
    return [=](QDialog &dialog) {
        auto *editor = qobject_cast<TBoardEditor *>(&dialog);
        if (!editor)
            return int(QDialog::Rejected);
        editor->Edit1->setText(name);
        if (editor->Edit2->isEnabled())
            editor->Edit2->setText(path);
        if (!category.isEmpty())
            editor->ComboBox1->setCurrentText(category);
        editor->Button2->click();
        return editor->result();
    };
}

// An editor bound to the site, adding (edited == nullptr) or changing a board, with its fields set.
void Prepare(TBoardEditor &editor, TSite *site, const TBoard *edited, const QString &name, const QString &url,
             const QString &category)
{
    editor.SetSite(site);
    editor.EditMode = edited != nullptr;
    editor.EditedBoard = edited;
    editor.SetBoardName(name);
    editor.SetURL(url);
    editor.SetCategoryName(category);
}

// A stored log of the thread: its .dat with one response and its .inf.
TThreadItem *StoredThread(TPostEnv &env, const QString &key)
{
    TThreadItem *item = env.NewItem(PostTest::News, key, QStringLiteral("スレ") + key);
    FileUtil::ForceDirectories(env.Board(PostTest::News)->GetLogDir());
    FileUtil::WriteFileAtomic(item->GetLogFile(), jconvert::UnicodeToSjis(QStringLiteral("名無し<><>2024/01/01<>本文<>スレ\n")));
    FileUtil::WriteFileAtomic(QString(item->GetLogFile()).replace(QStringLiteral(".dat"), QStringLiteral(".txt")), "memo");
    item->COUNT = 1;
    item->SaveInfo();
    return item;
}

QTreeWidgetItem *NodeNamed(QTreeWidget *tree, const QString &text)
{
    return tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
}

// A local folder added through the editor; returns its log folder.
QString AddLocalFolder(TPostEnv &env, const QString &name, const QString &folder)
{
    env.Dialog = FillEditor(name, folder, QStringLiteral("ローカル"));
    EXPECT_TRUE(BoardTree::AddSiteBoard(TavuEnviron->LocalSite(), QStringLiteral("ローカル"), QString(), QString()));
    for (int i = 0; i < TavuEnviron->LocalSite()->Boards->Count(); ++i) {
        if (TavuEnviron->LocalSite()->Boards->Get(i)->Name == name)
            return TavuEnviron->LocalSite()->Boards->Get(i)->GetLogDir();
    }
    return QString();
}

struct EditorInstalled {
    EditorInstalled() : old(BoardTree::SetBoardEditor({})) { SiteDialogCommands::InstallBoardEditor(); }
    ~EditorInstalled() { BoardTree::SetBoardEditor(old); }
    BoardTree::TBoardEditorHandler old;
};

}  // namespace

TEST(BoardEditRules, UrlsGiveIdAndHostPath)
{
    QString id;
    QString path;
    ASSERT_TRUE(BoardEditRules::SplitBoardUrl(QStringLiteral("http://h.example/game/abc/"), id, path));
    EXPECT_EQ(id, QStringLiteral("abc"));
    EXPECT_EQ(path, QStringLiteral("h.example/game"));
    ASSERT_TRUE(BoardEditRules::SplitBoardUrl(QStringLiteral("https://h.example:8080/abc"), id, path));
    EXPECT_EQ(id, QStringLiteral("abc"));
    EXPECT_EQ(path, QStringLiteral("h.example:8080"));
    EXPECT_FALSE(BoardEditRules::SplitBoardUrl(QStringLiteral("http://h.example//"), id, path));
}

TEST(BoardEditor, ChecksFieldsAndRefusesDuplicateIds)
{
    TPostEnv env;
    TBoardEditor editor;
    Prepare(editor, env.site, nullptr, QStringLiteral("  "), QStringLiteral("http://x/abc/"), QStringLiteral("テスト"));
    editor.Button2Click();
    EXPECT_EQ(env.Messages.value(0), QStringLiteral("板名を入力してください。"));
    editor.SetBoardName(QStringLiteral("板"));
    editor.SetURL(QStringLiteral(" "));
    editor.Button2Click();
    EXPECT_EQ(env.Messages.value(1), QStringLiteral("パスを入力してください。"));
    editor.SetURL(QStringLiteral("http://x/abc/"));
    editor.ComboBox1->setCurrentText(QString());
    editor.Button2Click();
    EXPECT_EQ(env.Messages.value(2), QStringLiteral("カテゴリを入力してください。"));

    // An id another board holds is refused with that board's name.
    editor.SetCategoryName(QStringLiteral("テスト"));
    editor.SetURL(QStringLiteral("http://other.example/news/"));
    editor.Button2Click();
    EXPECT_EQ(env.Messages.value(3), QStringLiteral("newsはすでに登録されているIDと重複します。\r\n　→『ニュース』"));
    EXPECT_EQ(editor.result(), QDialog::Rejected);
    // A path that leaves no usable id is refused too.
    editor.SetURL(QStringLiteral("http://other.example/../"));
    editor.Button2Click();
    EXPECT_EQ(env.Messages.size(), 5);
    EXPECT_EQ(editor.result(), QDialog::Rejected);

    editor.SetURL(QStringLiteral("http://other.example/dir/abc/"));
    editor.Button2Click();
    EXPECT_EQ(editor.result(), QDialog::Accepted);
    EXPECT_EQ(editor.GetBoardID(), QStringLiteral("abc"));
    EXPECT_EQ(editor.GetBoardPath(), QStringLiteral("other.example/dir"));

    // Editing a board without changing its URL passes the check against itself.
    TBoardEditor edit;
    const TBoard *news = env.Board(PostTest::News);
    Prepare(edit, env.site, news, news->Name, QStringLiteral("http://") + news->HostPath + QStringLiteral("/news/"),
            news->Category);
    edit.Button2Click();
    EXPECT_EQ(edit.result(), QDialog::Accepted);
    EXPECT_EQ(edit.GetBoardID(), QStringLiteral("news"));
}

TEST(BoardEditor, SiteKindsShapeTheDialogAndTheIds)
{
    TPostEnv env;
    TBoardEditor normal;
    normal.SetSite(env.site);
    EXPECT_EQ(normal.ComboBox1->count(), 1);   // one category for the run of three boards
    EXPECT_FALSE(normal.Button1->isEnabled());
    normal.SetCharSet(2);
    normal.SetCharSet(7);
    EXPECT_EQ(normal.GetCharSet(), 2);

    // The first favourites folder is fav00001 with its folder file; the next one counts on.
    TSite *favorites = TavuEnviron->FavoritesSite();
    FileUtil::WriteFileAtomic(favorites->GetDir() + QStringLiteral("site.ini"), "[SITE]\r\nSITEID=favorites\r\n");
    for (const QString &expected : {QStringLiteral("fav00001"), QStringLiteral("fav00002")}) {
        TBoardEditor editor;
        Prepare(editor, favorites, nullptr, QStringLiteral("お気に入り") + expected, QString(), QString());
        EXPECT_FALSE(editor.Edit2->isEnabled());
        EXPECT_FALSE(editor.Button1->isEnabled());
        editor.Button2Click();
        ASSERT_EQ(editor.result(), QDialog::Accepted);
        EXPECT_EQ(editor.GetBoardID(), expected);
        EXPECT_EQ(editor.GetBoardPath(), QStringLiteral("<favorites>"));
        EXPECT_EQ(FileUtil::ReadFile(favorites->GetDir() + expected + QStringLiteral(".txt")),
                  jconvert::UnicodeToSjis(QStringLiteral("お気に入り") + expected + QStringLiteral("\r\n")));
    }
    EXPECT_EQ(TIniFile(favorites->GetDir() + QStringLiteral("site.ini")).ReadInteger(QStringLiteral("LIST"), QStringLiteral("USED")), 2);

    // A local folder typed without a trailing separator is stored with one.
    TBoardEditor local;
    Prepare(local, TavuEnviron->LocalSite(), nullptr, QStringLiteral("保存"), QStringLiteral("/tmp/keep"), QStringLiteral("c"));
    EXPECT_TRUE(local.Button1->isEnabled());
    local.Button2Click();
    ASSERT_EQ(local.result(), QDialog::Accepted);
    EXPECT_EQ(local.GetBoardID(), QStringLiteral("local00001"));
    EXPECT_EQ(local.GetBoardPath(), QStringLiteral("/tmp/keep/"));
    EXPECT_TRUE(env.Messages.isEmpty());
}

// The editor behind AddSiteBoard, answered through the seam; the folder browse keeps its choice.
TEST(BoardEditor, AddsThroughTheSeamAndBrowsesForFolders)
{
    TPostEnv env;
    EditorInstalled installed;
    const QString folder = AddLocalFolder(env, QStringLiteral("保存庫"), env.root.Path() + QStringLiteral("keep"));
    EXPECT_EQ(folder, env.root.Path() + QStringLiteral("keep/"));
    const TBoard *board = TavuEnviron->LocalSite()->Boards->FindByID(QStringLiteral("local00001"));
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->Category, QStringLiteral("ローカル"));

    TBoardEditor editor;
    editor.SetSite(TavuEnviron->LocalSite());
    env.Dialog = [&env](QDialog &dialog) {
        auto *files = qobject_cast<QFileDialog *>(&dialog);
        if (!files)
            return int(QDialog::Rejected);
        files->selectFile(env.root.Path() + QStringLiteral("chosen"));
        return int(QDialog::Accepted);
    };
    FileUtil::ForceDirectories(env.root.Path() + QStringLiteral("chosen"));
    editor.Button1Click();
    EXPECT_EQ(editor.GetURL(), env.root.Path() + QStringLiteral("chosen/"));
    EXPECT_EQ(TavuConfig->LOCALFOLDERLASTPATH, env.root.Path() + QStringLiteral("chosen"));
}

TEST(LocalDialog, MovesLogsAndKeepsTheFirstOrigin)
{
    TPostEnv env;
    EditorInstalled installed;
    PostTest::ItemRef moved(StoredThread(env, QStringLiteral("1001")));
    PostTest::ItemRef missing(env.NewItem(PostTest::News, QStringLiteral("1002"), QStringLiteral("無い")));
    const QString former = moved->GetLogFile();
    const QString first = AddLocalFolder(env, QStringLiteral("一"), env.root.Path() + QStringLiteral("one"));
    const QString second = AddLocalFolder(env, QStringLiteral("二"), env.root.Path() + QStringLiteral("two"));

    TLocalDialog dialog;
    dialog.Items.Add(moved.get());
    dialog.Items.Add(missing.get());
    dialog.UpdateTitle();
    EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("スレ1001..."));
    EXPECT_FALSE(dialog.Button1->isEnabled());
    dialog.TreeView1->setCurrentItem(NodeNamed(dialog.TreeView1, QStringLiteral("一")));
    ASSERT_TRUE(dialog.Button1->isEnabled());
    dialog.Button1->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Moved, QList<TThreadItem *>({moved.get()}));   // the thread without a log is skipped

    EXPECT_FALSE(QFile::exists(former));
    EXPECT_TRUE(QFile::exists(first + QStringLiteral("1001.dat")));
    EXPECT_EQ(FileUtil::ReadFile(first + QStringLiteral("1001.txt")), QByteArray("memo"));
    EXPECT_EQ(moved->GetLogFile(), first + QStringLiteral("1001.dat"));
    EXPECT_EQ(TIniFile(TThreadItem::InfPathOf(former)).ReadString(QStringLiteral("INFO"), QStringLiteral("LOCAL")), first);
    const TIniFile once(first + QStringLiteral("1001.inf"));
    EXPECT_EQ(once.ReadString(QStringLiteral("ORG"), QStringLiteral("SITEID")), QStringLiteral("test"));
    EXPECT_EQ(once.ReadString(QStringLiteral("ORG"), QStringLiteral("BOARDID")), PostTest::News);

    // Moved on again, the log keeps the place it first came from.
    TLocalDialog again;
    again.Items.Add(moved.get());
    again.TreeView1->setCurrentItem(NodeNamed(again.TreeView1, QStringLiteral("二")));
    again.Button1Click();
    const TIniFile twice(second + QStringLiteral("1001.inf"));
    EXPECT_EQ(twice.ReadString(QStringLiteral("ORG"), QStringLiteral("BOARDID")), PostTest::News);
    EXPECT_TRUE(QFile::exists(second + QStringLiteral("1001.dat")));
}

// "新規フォルダ割り当て(&W)" presets the selected folder's category and shows the new folder.
TEST(LocalDialog, NewFolderJoinsTheTree)
{
    TPostEnv env;
    EditorInstalled installed;
    AddLocalFolder(env, QStringLiteral("一"), env.root.Path() + QStringLiteral("one"));
    TLocalDialog dialog;
    dialog.TreeView1->setCurrentItem(NodeNamed(dialog.TreeView1, QStringLiteral("一")));
    QString preset;
    env.Dialog = [&preset](QDialog &d) {
        auto *editor = qobject_cast<TBoardEditor *>(&d);
        preset = editor ? editor->GetCategoryName() : QString();
        return FillEditor(QStringLiteral("三"), QStringLiteral("/tmp/three"))(d);
    };
    dialog.Button3->click();
    EXPECT_EQ(preset, QStringLiteral("ローカル"));
    EXPECT_NE(NodeNamed(dialog.TreeView1, QStringLiteral("三")), nullptr);
}

// With nothing selected the new folder's editor starts with a category it accepts: the local site's
// own name while the site has no folder, then the first folder's category.
TEST(LocalDialog, ANewFolderWithNothingSelectedStartsWithACategory)
{
    TPostEnv env;
    EditorInstalled installed;
    ASSERT_EQ(TavuEnviron->LocalSite()->Boards->Count(), 0);
    QStringList presets;
    env.Dialog = [&presets](QDialog &d) {
        auto *editor = qobject_cast<TBoardEditor *>(&d);
        presets << (editor ? editor->GetCategoryName() : QString());
        return FillEditor(QStringLiteral("新規%1").arg(presets.size()), QStringLiteral("/tmp/new%1").arg(presets.size()))(d);
    };
    for (int round = 0; round < 2; ++round) {
        TLocalDialog dialog;
        dialog.TreeView1->setCurrentItem(nullptr);
        dialog.Button3->click();
    }
    EXPECT_TRUE(env.Messages.isEmpty()) << env.Messages.join(u'|').toStdString();
    const QString site = TavuEnviron->LocalSite()->NAME;
    EXPECT_EQ(presets, QStringList({site, site}));
    TLocalDialog dialog;
    EXPECT_NE(NodeNamed(dialog.TreeView1, QStringLiteral("新規1")), nullptr);
    EXPECT_NE(NodeNamed(dialog.TreeView1, QStringLiteral("新規2")), nullptr);
    EXPECT_EQ(TavuEnviron->LocalSite()->Boards->Get(0)->Category, site);
}

TEST(BBSDialog, StepsOverSpecialSitesOnly)
{
    TSiteList sites;
    for (const auto &[id, kind] : QList<std::pair<QString, int>>{{"a", TSite::KIND_NORMAL}, {"fav", TSite::KIND_FAVORITES},
                                                                  {"b", TSite::KIND_NORMAL}, {"loc", TSite::KIND_LOCAL},
                                                                  {"usr", TSite::KIND_USER}})
        sites.Add(new TSite(id, kind, nullptr));
    // Hidden or not, every normal site is reached, both ways round.
    EXPECT_EQ(TBBSDialog::StepSiteIndex(sites, 0, 1), 2);
    EXPECT_EQ(TBBSDialog::StepSiteIndex(sites, 2, 1), 0);
    EXPECT_EQ(TBBSDialog::StepSiteIndex(sites, 0, -1), 2);
    EXPECT_EQ(TBBSDialog::StepSiteIndex(sites, 2, -1), 0);
    TSiteList special;
    special.Add(new TSite(QStringLiteral("fav"), TSite::KIND_FAVORITES, nullptr));
    EXPECT_EQ(TBBSDialog::StepSiteIndex(special, 0, 1), 0);   // nothing to step to: no endless loop
}

TEST(BBSDialog, ShowsTheSiteAndSetsItsFlag)
{
    TPostEnv env;
    FileUtil::WriteFileAtomic(env.site->GetDir() + QStringLiteral("comment.txt"),
                              jconvert::UnicodeToSjis(QStringLiteral("<b>説明</b>")));
    env.Dialog = [](QDialog &dialog) {
        auto *choose = qobject_cast<TBBSDialog *>(&dialog);
        choose->SpeedButton2->click();   // the only normal site again
        choose->CheckBox1->setChecked(!choose->CheckBox1->isChecked());
        choose->Button2->click();
        return choose->result();
    };
    env.site->Listed = false;
    TBBSDialog dialog;
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("テスト"));
    EXPECT_EQ(dialog.Label3->text(), QStringLiteral("<b>説明</b>"));
    EXPECT_EQ(Dialogs::ExecDialog(dialog), QDialog::Accepted);
    EXPECT_TRUE(env.site->Listed);
}

TEST(BBSOrder, FilesRoundTripAndDropUnknownSites)
{
    TPostEnv env;
    const QString profile = TavuConfig->GetProfileDir();
    FileUtil::WriteFileAtomic(profile + QStringLiteral("bbs.txt"), "gone\r\nlocal\r\ntest\r\n");
    FileUtil::WriteFileAtomic(profile + QStringLiteral("bbsbar.txt"),
                              jconvert::UnicodeToSjis(QStringLiteral("removed\tもう無い\r\ntest\tテス\r\n")));
    TBBSOrder order;
    order.Load(profile, *TavuEnviron->SiteList());
    ASSERT_EQ(order.Shown.size(), 2);
    EXPECT_EQ(order.Shown[0]->SITEID, QStringLiteral("local"));
    ASSERT_EQ(order.Bar.size(), TavuEnviron->SiteList()->Count());
    EXPECT_EQ(order.Bar[0].Caption, QStringLiteral("テス"));
    EXPECT_TRUE(order.Bar[0].Ticked);
    EXPECT_FALSE(order.Bar[1].Ticked);

    EXPECT_EQ(TBBSOrder::MoveEntry(order.Shown, 0, -1), 0);   // nothing above the first
    EXPECT_EQ(TBBSOrder::MoveEntry(order.Shown, 0, 1), 1);
    order.Bar[1].Ticked = true;
    order.Bar[1].Caption = QStringLiteral("a\tb");
    order.Save(profile);
    EXPECT_EQ(FileUtil::ReadFile(profile + QStringLiteral("bbs.txt")), QByteArray("test\r\nlocal\r\n"));
    EXPECT_EQ(Sjis(FileUtil::ReadFile(profile + QStringLiteral("bbsbar.txt"))),
              QStringLiteral("test\tテス\r\n") + order.Bar[1].Site->SITEID + QStringLiteral("\ta b\r\n"));
}

// The order dialog on the window: moved, ticked and renamed entries land in the files and the bar.
TEST(BBSOrderDialog, OkWritesFilesAndRebuildsTheBar)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "local\r\ntest\r\n"); });
    Part<QComboBox>(env.env.Window, "SiteComboBox")->setCurrentIndex(0);
    TavuConfig->SHOWBBSTOOLBAR = false;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [](QDialog &dialog) {
            if (auto *input = qobject_cast<QInputDialog *>(&dialog)) {
                input->setTextValue(QStringLiteral("テ"));
                return int(QDialog::Accepted);
            }
            auto *order = qobject_cast<TBBSOrderDialog *>(&dialog);
            order->ListBox1->setCurrentRow(1);
            order->Button1->click();
            EXPECT_EQ(order->ListBox1->currentRow(), 0);
            order->PageControl1->setCurrentIndex(1);
            order->CheckListBox1->item(0)->setCheckState(Qt::Checked);
            order->CheckListBox1->setCurrentRow(0);
            order->Button7->click();
            order->CheckBox2->setChecked(true);
            order->Button3->click();
            return order->result();
        });
    env.env.Window->Action(QStringLiteral("actBBSOrder"))->trigger();
    EXPECT_EQ(FileUtil::ReadFile(env.env.Profile(QStringLiteral("bbs.txt"))), QByteArray("test\r\nlocal\r\n"));
    const QString first = TavuEnviron->SiteList()->Get(0)->SITEID;
    EXPECT_EQ(Sjis(FileUtil::ReadFile(env.env.Profile(QStringLiteral("bbsbar.txt")))), first + QStringLiteral("\tテ\r\n"));
    EXPECT_TRUE(TavuConfig->SHOWBBSTOOLBAR);
    EXPECT_FALSE(Part<QToolBar>(env.env.Window, "BBSToolBar")->isHidden());
    EXPECT_EQ(env.env.Window->Services().BoardTree().CurrentSite(), env.site);
}

// Cancel leaves bbs.txt as it was and the flags follow it; OK keeps the user's order and adds the
// sites chosen and the special ones.
TEST(BBSDialog, SelectionOnTheWindowKeepsBbsTxtInStep)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "local\r\n"); });
    int answer = QDialog::Rejected;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [&answer](QDialog &dialog) {
            auto *choose = qobject_cast<TBBSDialog *>(&dialog);
            choose->CheckBox1->setChecked(true);
            return answer;
        });
    QAction *select = env.env.Window->Action(QStringLiteral("actBBSSelect"));
    select->trigger();
    EXPECT_FALSE(env.site->Listed);
    EXPECT_EQ(FileUtil::ReadFile(env.env.Profile(QStringLiteral("bbs.txt"))), QByteArray("local\r\n"));

    answer = QDialog::Accepted;
    select->trigger();
    const QStringList ids = Sjis(FileUtil::ReadFile(env.env.Profile(QStringLiteral("bbs.txt")))).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_EQ(ids.value(0), QStringLiteral("local"));
    EXPECT_TRUE(ids.contains(QStringLiteral("test")));
    EXPECT_TRUE(ids.contains(QStringLiteral("favorites")));
    EXPECT_TRUE(QFile::exists(env.site->GetDir() + QStringLiteral("board.dat")));
    EXPECT_EQ(Part<QComboBox>(env.env.Window, "SiteComboBox")->count(), ids.size());
}

// Cancelling the selection changes nothing, the site shown included.
TEST(BBSDialog, CancelKeepsTheSiteShown)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\nfavorites\r\n"); });
    QComboBox *box = Part<QComboBox>(env.env.Window, "SiteComboBox");
    const int favorites = box->findText(TavuEnviron->FavoritesSite()->NAME);
    ASSERT_GT(favorites, 0);
    box->setCurrentIndex(favorites);
    ASSERT_EQ(env.env.Window->Services().BoardTree().CurrentSite(), TavuEnviron->FavoritesSite());
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [](QDialog &) { return int(QDialog::Rejected); });
    env.env.Window->Action(QStringLiteral("actBBSSelect"))->trigger();
    EXPECT_EQ(env.env.Window->Services().BoardTree().CurrentSite(), TavuEnviron->FavoritesSite());
    EXPECT_EQ(box->currentIndex(), favorites);
}
