// The property window: what a board's log folder holds, and from the window the marks a thread's
// properties change (favourite through the favourite dialog, past log).

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "controls/BoardTree.h"
#include "controls/ExtListView.h"
#include "core/FileUtil.h"
#include "core/TextList.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "services/FavoriteFolders.h"
#include "services/Urls.h"
#include "settings/FavoriteDialog.h"
#include "settings/PropertyWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QMap>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

TEST(PropertyWindow, ABoardShowsWhatItsLogFolderHolds)
{
    EXPECT_EQ(TPropertyWindow::FolderSizeText(1048576), QStringLiteral("1 MB (1,048,576 バイト)"));
    EXPECT_EQ(TPropertyWindow::FolderSizeText(1048575), QStringLiteral("1,023 KB (1,048,575 バイト)"));
    EXPECT_EQ(TPropertyWindow::LogSizeText(2048), QStringLiteral("2048 バイト (3 KB)"));

    TPostEnv env;
    const TBoard *news = env.Board(PostTest::News);
    FileUtil::WriteFileAtomic(news->GetLogDir() + QStringLiteral("1.dat"), QByteArray(1048000, 'x'));
    FileUtil::WriteFileAtomic(news->GetLogDir() + QStringLiteral("2.DAT"), QByteArray(500, 'x'));
    FileUtil::WriteFileAtomic(news->GetLogDir() + QStringLiteral("subject.txt"), QByteArray(76, 'x'));
    TPropertyWindow window;
    window.SetBoard(news);
    EXPECT_EQ(window.BoardValue->text(), QStringLiteral("DATの数 : 2"));
    EXPECT_EQ(window.BoardSize->text(), QStringLiteral("1 MB (1,048,576 バイト)"));
    EXPECT_EQ(window.CharSet->text(), QStringLiteral("SJIS"));
    EXPECT_EQ(window.RemoteBoardID->text(), PostTest::News);
}

TEST(PropertyWindow, TheMarksOfAThreadAreAppliedOnOk)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\nfavorites\r\n"); });
    const QString key = QStringLiteral("1000000001");
    PostTest::AddThread(env.server, PostTest::News, key, 2);
    TavuConfig->URL_OPENINVARNELO = 0;
    env.Window()->OpenThreadUrl(env.server.Url(QStringLiteral("/test/read.cgi/news/") + key + QLatin1Char('/')));
    ASSERT_EQ(env.Window()->Tabs().Browsers().size(), 1);
    TThreadItem *item = env.Window()->Tabs().Browsers().first()->ThreadItem();
    ASSERT_TRUE(PostTest::WaitFor([item] { return item->LogExists(); }));
    const TBoard *folder = BoardTree::EnsureDefaultFavoritesFolder();
    ASSERT_NE(folder, nullptr);

    bool cancelFavorite = true;
    QStringList shown;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [&](QDialog &d) {
            if (auto *favorite = dynamic_cast<TFavoriteDialog *>(&d)) {
                shown << QStringLiteral("favorite");
                if (cancelFavorite)
                    return int(QDialog::Rejected);
                favorite->TreeView1->setCurrentItem(
                    favorite->TreeView1->findItems(folder->Name, Qt::MatchExactly | Qt::MatchRecursive).value(0));
                favorite->Button1->click();
                return favorite->result();
            }
            auto *window = dynamic_cast<TPropertyWindow *>(&d);
            if (!window)
                return int(QDialog::Rejected);
            shown << QStringLiteral("property");
            EXPECT_EQ(window->DatNo->text(), key);
            EXPECT_EQ(window->ResCount->text(), QStringLiteral("2"));
            window->InFavorites->setChecked(true);
            window->KakoLog->setChecked(true);
            window->Button1->click();   // the favourite dialog is cancelled: the window stays
            EXPECT_FALSE(window->InFavorites->isChecked());
            cancelFavorite = false;
            window->InFavorites->setChecked(true);
            window->Button1->click();
            return window->result();
        });
    env.Window()->Action(QStringLiteral("actThreadProperty"))->trigger();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("property"), QStringLiteral("favorite"), QStringLiteral("favorite")}));
    EXPECT_TRUE(item->FAVORITE);
    EXPECT_TRUE(item->KAKOLOG);
    TTextList file;
    file.LoadFromFile(FavoriteFolders::FolderFile(folder));
    ASSERT_EQ(file.Count(), 2);
    EXPECT_EQ(file[1].section(u'\t', 2, 2), key);
}

namespace {

// A stored thread of the board with its .dat, .inf and memo.
TThreadItem *StoredThread(const TPostEnv &env, const QString &key)
{
    TThreadItem *item = env.NewItem(PostTest::News, key, QStringLiteral("題"));
    FileUtil::WriteFileAtomic(item->GetLogFile(), "名<>sage<>2026/12/07<>本文<>題\r\n");
    FileUtil::WriteFileAtomic(item->GetLogFile().chopped(4) + QStringLiteral(".txt"), "memo");
    item->COUNT = 1;
    item->READ = 1;
    item->COMMENT = QStringLiteral("コメント");
    EXPECT_TRUE(item->SaveInfo());
    return item;
}

}  // namespace

// "ローカルフォルダから戻す" is there only for a thread in a local folder; the log comes back to its
// board byte for byte, and when one of its files cannot move, none moves.
TEST(PropertyWindow, ALogComesBackFromALocalFolderWholeOrNotAtAll)
{
    TPostEnv env;
    const QString news = env.Board(PostTest::News)->GetLogDir();
    const QString local = env.root.Path() + QStringLiteral("local/");
    TThreadItem *item = StoredThread(env, QStringLiteral("1000000001"));
    const QByteArray dat = FileUtil::ReadFile(news + QStringLiteral("1000000001.dat"));
    const QByteArray inf = FileUtil::ReadFile(news + QStringLiteral("1000000001.inf"));
    {
        TPropertyWindow window;
        window.SetThreadItem(item);
        EXPECT_FALSE(window.SpeedButton2->isEnabled());
        EXPECT_TRUE(window.InFavorites->isEnabled());
    }
    ASSERT_TRUE(item->MoveToLocalFolder(local));
    {
        TPropertyWindow window;
        window.SetThreadItem(item);
        EXPECT_TRUE(window.SpeedButton2->isEnabled());
        EXPECT_FALSE(window.InFavorites->isEnabled());
        window.SpeedButton2->click();
        EXPECT_TRUE(env.Messages.isEmpty());
        EXPECT_EQ(window.Path->text(), news + QStringLiteral("1000000001.dat"));
        EXPECT_FALSE(window.SpeedButton2->isEnabled());
    }
    EXPECT_EQ(FileUtil::ReadFile(news + QStringLiteral("1000000001.dat")), dat);
    EXPECT_EQ(FileUtil::ReadFile(news + QStringLiteral("1000000001.inf")), inf);
    EXPECT_EQ(FileUtil::ReadFile(news + QStringLiteral("1000000001.txt")), QByteArray("memo"));
    EXPECT_TRUE(QDir(local).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(item->LOCALLOG);
    // A fresh item of the board finds the log where it is, not through a redirect.
    TThreadItem *fresh = env.NewItem(PostTest::News, QStringLiteral("1000000001"));
    EXPECT_EQ(fresh->GetLogFile(), news + QStringLiteral("1000000001.dat"));
    EXPECT_EQ(fresh->COMMENT, QStringLiteral("コメント"));
    fresh->Release();

    // The .bak cannot take its place at the board: nothing moves and the redirect stays.
    ASSERT_TRUE(item->MoveToLocalFolder(local));
    FileUtil::WriteFileAtomic(local + QStringLiteral("1000000001.bak"), "copy");
    FileUtil::WriteFileAtomic(news + QStringLiteral("1000000001.bak"), "old copy");
    FileUtil::WriteFileAtomic(news + QStringLiteral("1000000001.bak.moving/blocker"), "x");
    QMap<QString, QByteArray> before;
    for (const QString &dir : {local, news})
        for (const QString &name : QDir(dir).entryList(QDir::Files))
            before.insert(dir + name, FileUtil::ReadFile(dir + name));
    TPropertyWindow window;
    window.SetThreadItem(item);
    window.SpeedButton2->click();
    EXPECT_EQ(env.Messages, QStringList{QStringLiteral("ログをローカルフォルダから戻せませんでした。")});
    for (auto file = before.cbegin(); file != before.cend(); ++file)
        EXPECT_EQ(FileUtil::ReadFile(file.key()), file.value()) << file.key().toStdString();
    EXPECT_TRUE(item->LOCALLOG);
    EXPECT_EQ(item->GetLogFile(), local + QStringLiteral("1000000001.dat"));
    item->Release();
}

// A thread brought back from a local folder in the window leaves the folder's shown list at once,
// whether the window is then closed with OK or not.
TEST(PropertyWindow, AThreadBroughtBackLeavesTheShownFolderList)
{
    TPostWindowEnv env;
    TVarneloWindow *window = env.Window();
    const QString folder = env.env.Root.Path() + QStringLiteral("keep/");
    const BoardTree::TBoardEditorHandler old = BoardTree::SetBoardEditor([&](TSite *, const TBoard *, BoardTree::TBoardEditValues &values) {
        values.Name = QStringLiteral("保存庫");
        values.ID = QStringLiteral("local00001");
        values.Path = folder;
        return true;
    });
    ASSERT_TRUE(BoardTree::AddSiteBoard(TavuEnviron->LocalSite(), QStringLiteral("ローカル"), QString(), QString()));
    BoardTree::SetBoardEditor(old);
    TBoard *keep = TavuEnviron->LocalSite()->Boards->FindByID(QStringLiteral("local00001"));
    ASSERT_NE(keep, nullptr);
    for (const QString &key : {QStringLiteral("1000000001"), QStringLiteral("1000000002")}) {
        PostTest::ItemRef item(new TThreadItem);
        item->SetLocation(env.site->SITEID, PostTest::News, key, QStringLiteral("題"));
        FileUtil::WriteFileAtomic(item->GetLogFile(), "名<>sage<>2026/12/07<>本文<>題\r\n");
        item->COUNT = 1;
        ASSERT_TRUE(item->SaveInfo());
        ASSERT_TRUE(item->MoveToLocalFolder(folder));
    }

    window->ListPane().StartThreadListDownload(keep, false, false);
    TTavuListDoc *doc = nullptr;
    ASSERT_TRUE(PostTest::WaitFor([&] { return PostTest::Settled(env) && window->Tabs().GetActiveListDoc(doc) && doc->DisplayCount() == 2; }));
    QAbstractItemModel *rows = Part<TqorExtListView>(window, "ThreadListView")->model();
    ASSERT_EQ(rows->rowCount(), 2);
    const QString returned = doc->Items()->Get(0)->GetKey();
    Part<TqorExtListView>(window, "ThreadListView")
        ->selectionModel()
        ->setCurrentIndex(rows->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    env.env.Messages.clear();
    Dialogs::TScopedDialogHandlers answer(nullptr, [](QDialog &dialog) {
        auto &properties = dynamic_cast<TPropertyWindow &>(dialog);
        properties.SpeedButton2->click();
        return int(QDialog::Rejected);
    });
    window->Action(QStringLiteral("actThreadListProperty"))->trigger();
    EXPECT_TRUE(env.env.Messages.isEmpty()) << env.env.Messages.join(u'|').toStdString();
    ASSERT_EQ(doc->Items()->Count(), 1);
    EXPECT_NE(doc->Items()->Get(0)->GetKey(), returned);
    EXPECT_EQ(rows->rowCount(), 1);
    EXPECT_TRUE(QFile::exists(env.Board(PostTest::News)->GetLogDir() + returned + QStringLiteral(".dat")));
}
