// The property window: what a board's log folder holds, and from the window the marks a thread's
// properties change (favourite through the favourite dialog, past log).

#include "PostTestEnv.h"

#include "core/FileUtil.h"
#include "core/TextList.h"
#include "mainwindow/KpwBoardTree.h"
#include "mainwindow/KpwUrl.h"
#include "render/TavuBrowser.h"
#include "settings/FavoriteDialog.h"
#include "settings/FavoriteFolders.h"
#include "settings/PropertyWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
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
    Kpwfunc::OpenThreadUrl(env.server.Url(QStringLiteral("/test/read.cgi/news/") + key + QLatin1Char('/')));
    ASSERT_EQ(env.Window()->Browsers.size(), 1);
    TThreadItem *item = env.Window()->Browsers.first()->ThreadItem();
    ASSERT_TRUE(PostTest::WaitFor([item] { return item->LogExists(); }));
    const TBoard *folder = Kpwfunc::EnsureDefaultFavoritesFolder();
    ASSERT_NE(folder, nullptr);

    bool cancelFavorite = true;
    QStringList shown;
    Kpwfunc::TScopedDialogHandlers handlers(
        [](Kpwfunc::TMsgKind, const QString &, Kpwfunc::TMsgButtons) { return Kpwfunc::mrOK; },
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
