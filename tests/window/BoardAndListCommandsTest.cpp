// The board pane's commands on the selected board and the thread lists of other sources: deleting a
// board's logs asks first and closes the tabs that show them, the board search, the visited-boards
// menu opens its board, and the read history becomes a tab of the threads still stored.

#include "WindowParts.h"
#include "StoredThread.h"
#include "UrlCatcher.h"

#include "controls/BoardTree.h"
#include "controls/TabMenuItem.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "mainwindow/BoardPane.h"
#include "render/TavuListDoc.h"
#include "settings/BoardFindDialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QAbstractItemView>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionViewItem>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <QRadioButton>
#include <QMenu>
#include <QTreeWidget>

namespace {

void WriteBbsTxt(TWindowEnv &env)
{
    env.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n");
}

TBoard *News()
{
    return TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("2ch"))->Boards->FindByID(QStringLiteral("news"));
}

bool Settled(TWindowEnv &env)
{
    return QTest::qWaitFor([&] { return env.Window->BusyCount() == 0; }, 60000);
}

// The user clicks the board in the tree: its thread list opens.
bool ClickNews(TWindowEnv &env)
{
    env.Window->BoardPane().SelectBoardInTree(News());
    env.Window->BoardPane().BoardTreeChange();
    return Settled(env);
}

}  // namespace

TEST(BoardAndListCommandsTest, DeletingABoardsLogsAsksAndClosesItsTabs)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    ASSERT_NE(StoredThread::Open(env, 2), nullptr);
    ASSERT_TRUE(ClickNews(env));
    ASSERT_EQ(env.Window->Tabs().ListDocs().size(), 1);
    const QString folder = News()->GetLogDir();
    ASSERT_TRUE(QDir(folder).exists());
    QAction *deleteLogs = env.Window->Action(QStringLiteral("actBoardDeleteLog"));
    ASSERT_TRUE(deleteLogs->isEnabled());

    env.Answer = Dialogs::mrNo;
    deleteLogs->trigger();
    ASSERT_EQ(env.Messages.size(), 1);
    EXPECT_TRUE(env.Messages[0].contains(QStringLiteral("ログをすべて削除しますか")));
    EXPECT_TRUE(QFile::exists(folder + StoredThread::Key + QStringLiteral(".dat")));
    EXPECT_EQ(env.Window->Tabs().Browsers().size(), 1);

    env.Answer = Dialogs::mrYes;
    deleteLogs->trigger();
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_TRUE(env.Window->Tabs().Browsers().isEmpty());   // no tab writes the log back
    EXPECT_TRUE(env.Window->Tabs().ListDocs().isEmpty());
    EXPECT_FALSE(News()->LogFolderExists);
}

TEST(BoardAndListCommandsTest, VisitedBoardsMenuOpensItsBoard)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    StoredThread::WriteLog(1);
    ASSERT_TRUE(ClickNews(env));
    env.Window->Tabs().CloseListDoc(env.Window->Tabs().ListDocs().value(0));
    ASSERT_TRUE(env.Window->Tabs().ListDocs().isEmpty());

    env.Window->Action(QStringLiteral("actBoardGaishutu"))->trigger();
    QList<TGaishutuMenuItem *> entries = Part<QMenu>(env.Window, "GaishutuMenu")->findChildren<TGaishutuMenuItem *>();
    Part<QMenu>(env.Window, "GaishutuMenu")->hide();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0]->Text, QStringLiteral("news"));
    entries[0]->trigger();
    ASSERT_TRUE(Settled(env));
    ASSERT_EQ(env.Window->Tabs().ListDocs().size(), 1);
    EXPECT_EQ(env.Window->Tabs().ListDocs()[0]->GetBoard(), News());
}

TEST(BoardAndListCommandsTest, ReadHistoryListsTheStoredThreadsOnce)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    StoredThread::WriteLog(1);
    const QString line = QStringLiteral("2ch\tnews\t%1\tテストスレ\t2024/05/01 12:00:00\r\n").arg(StoredThread::Key);
    env.WriteProfile(QStringLiteral("readhist.txt"),
                     jconvert::UnicodeToSjis(line + line + QStringLiteral("2ch\tnews\t999\t消えたスレ\t2024/05/01 12:00:00\r\n")
                                             + QStringLiteral("nosite\tnews\t1\tx\t2024/05/01 12:00:00\r\n")));
    env.Window->Action(QStringLiteral("actAllThreads"))->trigger();
    ASSERT_EQ(env.Window->Tabs().ListDocs().size(), 1);
    TTavuListDoc *doc = env.Window->Tabs().ListDocs()[0];
    EXPECT_EQ(doc->Caption, QStringLiteral("全取得スレ"));
    ASSERT_EQ(doc->Items()->Count(), 1);
    EXPECT_EQ(doc->Items()->Get(0)->GetKey(), StoredThread::Key);
    EXPECT_EQ(doc->DisplayCount(), 1);
    EXPECT_EQ(env.Window->BusyCount(), 0);

    env.Window->Action(QStringLiteral("actSendHist"))->trigger();   // no sendhist.txt: an empty tab
    ASSERT_EQ(env.Window->Tabs().ListDocs().size(), 2);
    EXPECT_EQ(env.Window->Tabs().ListDocs()[0]->Items()->Count(), 0);
}

TEST(BoardAndListCommandsTest, FavouritesPatrolNeedsSaveModeAndOnline)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    // The favourites commands work on the board tree: they are there before any board opens.
    EXPECT_TRUE(env.Window->Action(QStringLiteral("actFavEdit"))->isEnabled());
    QAction *patrol = env.Window->Action(QStringLiteral("actBoardFavRound"));
    ASSERT_TRUE(patrol->isEnabled());
    ASSERT_TRUE(ClickNews(env));
    TavuConfig->CACHED = false;
    patrol->trigger();
    TavuConfig->CACHED = true;
    patrol->trigger();   // the window starts offline
    EXPECT_EQ(env.Messages, (QStringList{QStringLiteral("保存モードになっていません。[ファイル|保存モード]をオンにしてください。"),
                                         QStringLiteral("オンラインモードになっていません。[ファイル|オンライン]をオンにしてください。")}));
    EXPECT_EQ(env.Window->Tabs().ListDocs().size(), 1);
}

TEST(BoardAndListCommandsTest, BoardFindSelectsTheNextMatchAndKeepsTheHistory)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    QString wanted = QStringLiteral("ニュース");
    bool findNext = false;
    const Dialogs::TScopedDialogHandlers answer(
        [&env](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
            env.Messages.append(text);
            return Dialogs::mrOK;
        },
        [&](QDialog &dialog) {
            auto *find = qobject_cast<TBoardFindDialog *>(&dialog);
            if (!find)
                return int(QDialog::Rejected);
            find->ComboBox1->setEditText(wanted);
            find->FindNextButton->setChecked(findNext);
            find->Button1Click();
            return find->result();
        });
    QTreeWidget *tree = Part<QTreeWidget>(env.Window, "BoardListView");
    QAction *command = env.Window->Action(QStringLiteral("actBoardFind"));
    command->trigger();
    ASSERT_NE(tree->currentItem(), nullptr);
    QTreeWidgetItem *first = tree->currentItem();
    EXPECT_TRUE(first->text(0).contains(wanted));

    findNext = true;
    command->trigger();
    QTreeWidgetItem *second = tree->currentItem();
    EXPECT_NE(second, first);
    EXPECT_TRUE(second->text(0).contains(wanted));
    findNext = false;
    command->trigger();   // from the first node again
    EXPECT_EQ(tree->currentItem(), first);

    wanted = QStringLiteral("どこにもない板の名前");
    command->trigger();
    EXPECT_EQ(env.Messages, QStringList{QStringLiteral("見つかりませんでした。")});
    EXPECT_EQ(tree->currentItem(), first);
    TTextList history;
    history.LoadFromFile(TBoardFindDialog::HistoryFile());
    EXPECT_EQ(history.Lines, (QStringList{wanted, QStringLiteral("ニュース")}));
}

TEST(BoardAndListCommandsTest, BoardPagesOpenInTheDesktopBrowser)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    ASSERT_TRUE(ClickNews(env));
    TUrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "Open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "Open");
    env.Window->Action(QStringLiteral("actBoardOpenHtmlByBrowser"))->trigger();
    env.Window->Action(QStringLiteral("actThreadListBoardOpenBrowser"))->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    const QUrl board(News()->URL);
    EXPECT_EQ(catcher.Urls, (QList<QUrl>{board, board}));
}

// 取得済みスレッドのみを表示 lists the board's stored logs in its tab, captioned so.
TEST(BoardAndListCommandsTest, ShowingTheStoredThreadsCaptionsTheTabSo)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    ASSERT_NE(StoredThread::Open(env, 2), nullptr);
    ASSERT_TRUE(ClickNews(env));
    ASSERT_EQ(env.Window->Tabs().ListDocs().size(), 1);
    TTavuListDoc *doc = env.Window->Tabs().ListDocs().first();
    QAction *showLocal = env.Window->Action(QStringLiteral("actThreadListShowLocal"));
    ASSERT_TRUE(showLocal->isEnabled());
    showLocal->trigger();
    ASSERT_TRUE(Settled(env));
    const QString caption = QStringLiteral("全取得ｽﾚ：") + News()->Name;
    EXPECT_EQ(doc->Caption, caption);
    EXPECT_EQ(doc->TabButton->text(), caption);
    EXPECT_EQ(doc->TabMenuItem->text(), caption);
    QStringList keys;
    for (int i = 0; i < doc->Items()->Count(); ++i)
        keys << doc->Items()->Get(i)->GetKey();
    EXPECT_TRUE(keys.contains(StoredThread::Key));
}

// The site selector draws each site's picture with the colour of its pixel (0, 15) left out, and
// the site's name to the right of it: in its list and in its own box.
TEST(BoardAndListCommandsTest, TheSiteSelectorDrawsThePictureWithoutItsKeyColourAndTheNameBesideIt)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    QComboBox *box = Part<QComboBox>(env.Window, "SiteComboBox");
    ASSERT_GE(box->count(), 1);
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::magenta);   // the key colour, at (0, 15)
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 255));
    box->setItemIcon(0, QIcon(QPixmap::fromImage(picture)));
    box->setCurrentIndex(0);

    const auto check = [](const QImage &drawn) {
        int blue = 0;
        int inkRightOfPicture = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                const QColor colour = drawn.pixelColor(x, y);
                EXPECT_NE(colour, QColor(Qt::magenta)) << x << "," << y;
                blue += colour == QColor(0, 0, 255) && x < 24;
                inkRightOfPicture += x >= 24 && qGray(colour.rgb()) < 128;
            }
        }
        EXPECT_EQ(blue, 64);
        EXPECT_GT(inkRightOfPicture, 0);   // the name
    };
    QImage entry(220, 24, QImage::Format_RGB32);
    entry.fill(Qt::white);
    {
        QPainter painter(&entry);
        QStyleOptionViewItem option;
        option.initFrom(box->view());
        option.rect = entry.rect();
        option.palette.setColor(QPalette::Base, Qt::white);
        option.palette.setColor(QPalette::Text, Qt::black);
        box->itemDelegate()->paint(&painter, option, box->model()->index(0, 0));
    }
    check(entry);
    box->resize(220, 26);
    check(box->grab().toImage().convertToFormat(QImage::Format_RGB32));
}
