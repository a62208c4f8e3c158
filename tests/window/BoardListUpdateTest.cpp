// The board-list update: the comparison of the boards read from a board-list page with the site's
// (added, deleted, renamed and moved boards, board.abone, the board.dat write), the URL history of
// site.ini, and the dialog driven offscreen through the dialog seam against a page on 127.0.0.1.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "support/ScriptedHttpServer.h"

#include "controls/BoardTree.h"
#include "controls/WindowServices.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "flows/UpdateCheckController.h"
#include "mainwindow/VarneloWindow.h"
#include "settings/BoardListDialog.h"
#include "settings/BoardListMerge.h"
#include "settings/BoardListUpdateCommand.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTreeWidget>

namespace {

// Reads "category|id|name|url" lines.
const char *const Script =
    "CategoryName = TOKEN(Data, \"|\", 0)\n"
    "BoardID = TOKEN(Data, \"|\", 1)\n"
    "BoardName = TOKEN(Data, \"|\", 2)\n"
    "BoardURL = TOKEN(Data, \"|\", 3)\n"
    "ParseOk = BoardURL <> \"\"\n";

QString BoardDat(const TSite *site)
{
    return jconvert::SjisToUnicode(FileUtil::ReadFile(site->GetDir() + QStringLiteral("board.dat")));
}

void WriteSiteFile(const TSite *site, const QString &name, const QString &text)
{
    FileUtil::WriteFileAtomic(site->GetDir() + name, jconvert::UnicodeToSjis(text));
}

// A board as the page reports it, on the board server's host.
TBoard *PageBoard(const TPostEnv &env, const QString &id, const QString &name, const QString &category = QStringLiteral("テスト"))
{
    auto *board = new TBoard;
    board->ID = id;
    board->BBSName = id;
    board->Name = name;
    board->Category = category;
    board->URL = env.server.BoardUrl(id);
    board->HostPath = env.server.Host();
    board->Site = env.site;
    board->BBS = env.site->BBS;
    return board;
}

QStringList Ids(const TBoardList &boards)
{
    QStringList ids;
    for (int i = 0; i < boards.Count(); ++i)
        ids << boards.Get(i)->Category + QLatin1Char('/') + boards.Get(i)->ID;
    return ids;
}

}  // namespace

// news is renamed and moved at once, live (with logs) and gone (without) are deleted, fresh is new
// and banned is new but named in board.abone. A favorite copy of news follows it and is kept.
TEST(BoardListMergeTest, ChangesAreLoggedCountedAndWritten)
{
    TPostEnv env;
    env.Board(PostTest::Live)->LogFolderExists = true;
    WriteSiteFile(env.site, QStringLiteral("board.abone"), QStringLiteral("banned\r\n"));
    const QByteArray oldDat = FileUtil::ReadFile(env.site->FindFile(QStringLiteral("board.dat")));
    TSite *favorites = TavuEnviron->FavoritesSite();
    auto *favorite = new TBoard;
    favorite->Assign(*env.Board(PostTest::News));
    favorite->Category = QStringLiteral("お気に入り");
    favorites->Boards->Add(favorite);

    TBoardList fresh;
    TBoard *news = PageBoard(env, PostTest::News, QStringLiteral("新ニュース"));
    news->URL = QStringLiteral("http://%1/moved/news/").arg(env.server.Host());
    news->HostPath = env.server.Host() + QStringLiteral("/moved");
    fresh.Add(news);
    fresh.Add(PageBoard(env, QStringLiteral("fresh"), QStringLiteral("新板"), QStringLiteral("別")));
    fresh.Add(PageBoard(env, QStringLiteral("banned"), QStringLiteral("荒らし板")));

    TBoardListMerge merge(env.site, fresh, {});
    const QStringList log = merge.Run(false);
    EXPECT_EQ(merge.Added, 1);
    EXPECT_EQ(merge.Deleted, 2);
    EXPECT_EQ(merge.Renamed, 1);
    EXPECT_EQ(merge.Moved, 1);
    EXPECT_TRUE(log.contains(QStringLiteral("　新板")));
    EXPECT_FALSE(log.join(QLatin1Char('\n')).contains(QLatin1String("banned")));
    EXPECT_TRUE(log.contains(QStringLiteral("　旧：ニュース")));
    EXPECT_TRUE(log.contains(QStringLiteral("　新：http://%1/moved/news/").arg(env.server.Host())));
    EXPECT_EQ(log.mid(log.size() - 4), (QStringList{QStringLiteral("→新規板　：1"), QStringLiteral("→板移転　：1"),
                                                    QStringLiteral("→削除板　：2"), QStringLiteral("→名前変更：1")}));

    // the site reads the new list: the deleted board with logs stays under "deleted"
    ASSERT_TRUE(merge.Written);
    EXPECT_EQ(Ids(*env.site->Boards), (QStringList{QStringLiteral("テスト/news"), QStringLiteral("別/fresh"),
                                                   QStringLiteral("deleted/live")}));
    EXPECT_EQ(env.Board(PostTest::News)->Name, QStringLiteral("新ニュース"));
    EXPECT_TRUE(BoardDat(env.site).contains(QStringLiteral("\r\ndeleted\r\n")));
    EXPECT_EQ(FileUtil::ReadFile(env.site->GetDir() + QStringLiteral("board.bak")), oldDat);

    // the favorite copy took the new name and URL and reached its file
    favorites->Boards->Clear();
    favorites->LoadBoards();
    const TBoard *followed = favorites->Boards->FindByID(PostTest::News);
    ASSERT_NE(followed, nullptr);
    EXPECT_EQ(followed->Name, QStringLiteral("新ニュース"));
    EXPECT_EQ(followed->Category, QStringLiteral("お気に入り"));
}

TEST(BoardListMergeTest, OptionsOffFailuresAndEmptyPagesLeaveBoardDatAlone)
{
    TPostEnv env;
    const QString before = BoardDat(env.site);
    const auto freshList = [&env] {
        auto list = std::make_unique<TBoardList>();
        list->Add(PageBoard(env, PostTest::News, QStringLiteral("改名")));
        list->Add(PageBoard(env, QStringLiteral("fresh"), QStringLiteral("新板")));
        return list;
    };

    // all three checks off: nothing counted, nothing written
    auto fresh = freshList();
    TBoardListMerge quiet(env.site, *fresh, {false, false, false});
    EXPECT_TRUE(quiet.Run(false).contains(QStringLiteral("→名前変更：0")));
    EXPECT_FALSE(quiet.Written);

    // a download cut short: the boards missing from it are not taken for deleted ones
    fresh = freshList();
    TBoardListMerge cut(env.site, *fresh, {});
    EXPECT_TRUE(cut.Run(true).contains(QStringLiteral("  ボード一覧の取得エラー(取得が途中で終わった)")));
    EXPECT_FALSE(cut.Written);

    TBoardList empty;
    TBoardListMerge none(env.site, empty, {});
    const QStringList log = none.Run(false);
    EXPECT_TRUE(log.contains(QStringLiteral("  →板数：0")));
    EXPECT_TRUE(log.contains(QStringLiteral("  ボード一覧の取得エラー(板がひとつも無い)")));
    EXPECT_EQ(BoardDat(env.site), before);
    EXPECT_EQ(env.site->Boards->Count(), 3);

    // deletions not checked: an added board is written, the boards the page lost are kept
    fresh = freshList();
    TBoardListMerge adding(env.site, *fresh, {true, false, false});
    adding.Run(false);
    EXPECT_EQ(adding.Added, 1);
    EXPECT_EQ(adding.Deleted, 0);
    EXPECT_EQ(Ids(*env.site->Boards), (QStringList{QStringLiteral("テスト/news"), QStringLiteral("テスト/fresh"),
                                                   QStringLiteral("テスト/live"), QStringLiteral("テスト/gone")}));
    EXPECT_EQ(env.Board(PostTest::News)->Name, QStringLiteral("改名"));   // written as the page has it, unlogged
}

TEST(BoardListMergeTest, TheBeIniOfThe2chSiteGivesBoardCodes)
{
    TempDataRoot root(true);
    TTavuConfig config;
    TTavuEnviron registry;
    struct Globals {
        TTavuConfig *config;
        TTavuEnviron *registry;
        ~Globals()
        {
            TavuConfig = config;
            TavuEnviron = registry;
        }
    } previous{std::exchange(TavuConfig, &config), std::exchange(TavuEnviron, &registry)};
    BoardTypes::Install(&registry);
    registry.CreateBBSList();
    registry.LoadSites();
    TSite *site = registry.SiteList()->FindBySiteID(QStringLiteral("2ch"));
    ASSERT_NE(site, nullptr);
    WriteSiteFile(site, QStringLiteral("be.ini"), QStringLiteral("[CHARSET]\r\neuc=EUC\r\nsame=SJIS\r\n"));
    TBoardList fresh;
    for (const char *id : {"euc", "same"}) {
        auto *board = new TBoard;
        board->ID = QString::fromLatin1(id);
        board->URL = QStringLiteral("http://x.2ch.net/%1/").arg(board->ID);
        board->HostPath = QStringLiteral("x.2ch.net");
        board->Name = board->ID;
        board->CodePage = site->CodePage;
        fresh.Add(board);
    }
    TBoardListMerge merge(site, fresh, {true, false, false});
    merge.Run(false);
    EXPECT_EQ(site->Boards->FindByID(QStringLiteral("euc"))->CodePage, 1);
    EXPECT_EQ(site->Boards->FindByID(QStringLiteral("same"))->CodePage, 0);
}

// The history keeps each URL once; CURRENT names the one used last.
TEST(BoardListDialogTest, TheUrlHistoryRoundTripsThroughSiteIni)
{
    TPostEnv env;
    TBoardListDialog::SaveUrlHistory(env.site, {QStringLiteral("http://a/"), QStringLiteral("http://b/")}, 1);
    int current = -1;
    EXPECT_EQ(TBoardListDialog::LoadUrlHistory(env.site, &current), (QStringList{QStringLiteral("http://a/"), QStringLiteral("http://b/")}));
    EXPECT_EQ(current, 1);
    const TIniFile ini(env.site->GetDir() + QStringLiteral("site.ini"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("BOARDLIST"), QStringLiteral("BOARDLIST2")), QStringLiteral("http://b/"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("SITE"), QStringLiteral("NAME")), QStringLiteral("テスト"));   // the rest stays
}

class BoardListDialogFlowTest : public ::testing::Test {
protected:
    BoardListDialogFlowTest()
    {
        env.site->Listed = true;
        WriteSiteFile(env.site, QStringLiteral("ParseBoard.ruro"), QString::fromLatin1(Script));
        page = QStringLiteral("テスト|news|ニュース|%1\nテスト|live|実況|%2\n新カテゴリ|fresh|新板|%3\n")
                   .arg(env.server.BoardUrl(PostTest::News), env.server.BoardUrl(PostTest::Live),
                        env.server.Url(QStringLiteral("/fresh/")));
    }

    // Runs an update in the dialog as the user does: the URL typed, 更新 pressed, the end awaited.
    static void RunUpdate(TBoardListDialog &dialog, const QString &url)
    {
        dialog.ComboBox1->setCurrentText(url);
        dialog.Button1->click();
        EXPECT_FALSE(dialog.Button2->isEnabled());
        EXPECT_TRUE(PostTest::WaitFor([&dialog] { return !dialog.IsDownloading(); }));
    }

    TPostEnv env;
    ScriptedHttpServer pages;
    QString page;
};

TEST_F(BoardListDialogFlowTest, TheDialogUpdatesTheSiteThroughTheSeam)
{
    env.config->BOARDLISTUPDATEMODE = 1;
    env.config->BOARDLISTDELETE = false;
    pages.Reply(ScriptedHttpServer::Make(200, jconvert::UnicodeToSjis(page)));
    pages.Reply(ScriptedHttpServer::Make(404, "missing"));
    const QString url = pages.Url(QStringLiteral("/bbsmenu.txt"));
    QStringList log;
    env.Dialog = [&](QDialog &shown) {
        auto &dialog = dynamic_cast<TBoardListDialog &>(shown);
        EXPECT_TRUE(dialog.RadioButton2->isChecked());
        EXPECT_FALSE(dialog.CheckBox3->isChecked());
        dialog.CheckBox3->setChecked(true);   // deletions checked this time
        RunUpdate(dialog, url);
        log = dialog.Memo1->toPlainText().split(QLatin1Char('\n'));
        RunUpdate(dialog, QStringLiteral("  ") + url + QStringLiteral(" "));   // the same URL, blanks around
        EXPECT_TRUE(dialog.Memo1->toPlainText().contains(QLatin1String("404:")));
        EXPECT_TRUE(dialog.Button1->isEnabled());
        EXPECT_FALSE(dialog.Button3->isEnabled());
        dialog.Button2->click();
        return dialog.result();
    };
    TBoardListDialog dialog;
    dialog.SelectSite(env.site);
    EXPECT_EQ(Dialogs::ExecDialog(dialog), int(QDialog::Rejected));

    EXPECT_EQ(log.value(0), QStringLiteral("  zuDAROZソースファイルの読み込み"));
    EXPECT_TRUE(log.contains(QStringLiteral("  →板数：3")));
    EXPECT_TRUE(log.contains(QStringLiteral("→新規板　：1")));
    EXPECT_TRUE(log.contains(QStringLiteral("→削除板　：1")));   // gone, without logs: dropped
    EXPECT_TRUE(env.config->BOARDLISTDELETE);
    EXPECT_EQ(Ids(*env.site->Boards), (QStringList{QStringLiteral("テスト/news"), QStringLiteral("テスト/live"),
                                                   QStringLiteral("新カテゴリ/fresh")}));
    EXPECT_EQ(env.site->Boards->FindByID(QStringLiteral("fresh"))->HostPath, env.server.Host());
    int current = -1;
    EXPECT_EQ(TBoardListDialog::LoadUrlHistory(env.site, &current), QStringList{url});
    EXPECT_EQ(current, 0);
}

TEST_F(BoardListDialogFlowTest, AbortingAndSitesWithoutScriptChangeNothing)
{
    const QString before = BoardDat(env.site);
    pages.ReplyNothing();
    TBoardListDialog dialog;
    dialog.SelectSite(env.site);
    ASSERT_TRUE(dialog.Button1->isEnabled());
    dialog.ComboBox1->setCurrentText(pages.Url(QStringLiteral("/hang")));
    dialog.Button1->click();
    ASSERT_TRUE(dialog.Button3->isEnabled());
    dialog.Button3->click();
    EXPECT_TRUE(PostTest::WaitFor([&dialog] { return !dialog.IsDownloading(); }));
    EXPECT_TRUE(dialog.Memo1->toPlainText().contains(QStringLiteral("板がひとつも無い")));
    EXPECT_EQ(BoardDat(env.site), before);

    // a blank URL does nothing; without a script the update cannot start
    dialog.ComboBox1->setCurrentText(QStringLiteral("   "));
    dialog.Button1->click();
    EXPECT_FALSE(dialog.IsDownloading());
    QFile::remove(env.site->GetDir() + QStringLiteral("ParseBoard.ruro"));
    dialog.SelectSite(env.site);
    EXPECT_FALSE(dialog.Button1->isEnabled());
}

// The window's command opens the dialog on the site shown; the board tree shows the new list.
TEST(BoardListUpdateCommandTest, TheCommandUpdatesTheShownSiteAndItsTree)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\nfavorites\r\n"); });
    ASSERT_EQ(env.Window()->Services().BoardTree().CurrentSite(), env.site);
    WriteSiteFile(env.site, QStringLiteral("ParseBoard.ruro"), QString::fromLatin1(Script));
    ScriptedHttpServer pages;
    pages.Reply(ScriptedHttpServer::Make(
        200, jconvert::UnicodeToSjis(QStringLiteral("板|news|ニュース|%1\n板|fresh|新板|%2\n")
                                         .arg(env.server.BoardUrl(PostTest::News), env.server.Url(QStringLiteral("/fresh/"))))));
    TSite *chosen = nullptr;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [&](QDialog &shown) {
            auto &dialog = dynamic_cast<TBoardListDialog &>(shown);
            chosen = dialog.ChosenSite();
            dialog.ComboBox1->setCurrentText(pages.Url(QStringLiteral("/menu")));
            dialog.Button1->click();
            PostTest::WaitFor([&dialog] { return !dialog.IsDownloading(); });
            return int(QDialog::Rejected);
        });
    env.Window()->Action(QStringLiteral("actBoardListUpdate"))->trigger();
    EXPECT_EQ(chosen, env.site);
    EXPECT_EQ(Ids(*env.site->Boards), (QStringList{QStringLiteral("板/news"), QStringLiteral("板/fresh")}));
    const auto found =
        Part<QTreeWidget>(env.Window(), "BoardListView")->findItems(QStringLiteral("新板"), Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(BoardTree::NodeBoard(found.first()), env.site->Boards->FindByID(QStringLiteral("fresh")));
}

// A page whose boards the site's patterns claim none of is said to be so; the boards go to the site
// only when the user says yes, and the site's own boards stay.
TEST_F(BoardListDialogFlowTest, BoardsNoPatternClaimsAreOfferedToTheSite)
{
    const QString foreign = QStringLiteral("外|far|遠い板|http://far.example/far/\n外|near|近い板|http://far.example/near/\n");
    const QString before = BoardDat(env.site);
    for (Dialogs::TMsgResult answer : {Dialogs::mrNo, Dialogs::mrYes}) {
        env.Messages.clear();
        env.Answer = answer;
        pages.Reply(ScriptedHttpServer::Make(200, jconvert::UnicodeToSjis(foreign)));
        TBoardListDialog dialog;
        dialog.SelectSite(env.site);
        RunUpdate(dialog, pages.Url(QStringLiteral("/menu")));
        ASSERT_EQ(env.Messages.size(), 1);
        EXPECT_TRUE(env.Messages.first().contains(QStringLiteral("2 個の板")));
        EXPECT_TRUE(dialog.Memo1->toPlainText().contains(QStringLiteral("サイトのURLに合う板がありません")));
        if (answer == Dialogs::mrNo) {
            EXPECT_EQ(BoardDat(env.site), before);
        }
    }
    EXPECT_EQ(Ids(*env.site->Boards), (QStringList{QStringLiteral("外/far"), QStringLiteral("外/near"),
                                                   QStringLiteral("テスト/news"), QStringLiteral("テスト/live"),
                                                   QStringLiteral("テスト/gone")}));
    EXPECT_EQ(env.site->Boards->FindByID(QStringLiteral("far"))->HostPath, QStringLiteral("far.example"));
}

// Boards that その他のBBS already holds are neither offered to the site nor added to it.
TEST_F(BoardListDialogFlowTest, BoardsAnotherSiteHoldsAreNotOffered)
{
    TSite *user = TavuEnviron->UserSite();
    ASSERT_NE(user, nullptr);
    auto *held = new TBoard;
    held->ID = QStringLiteral("far");
    held->Name = QStringLiteral("遠い板");
    held->URL = QStringLiteral("http://far.example/far/");
    held->HostPath = QStringLiteral("far.example");
    user->Boards->Add(held);
    env.Answer = Dialogs::mrYes;
    pages.Reply(ScriptedHttpServer::Make(
        200, jconvert::UnicodeToSjis(QStringLiteral("外|far|遠い板|http://far.example/far/\n外|near|近い板|http://far.example/near/\n"))));
    TBoardListDialog dialog;
    dialog.SelectSite(env.site);
    RunUpdate(dialog, pages.Url(QStringLiteral("/menu")));
    ASSERT_EQ(env.Messages.size(), 1);
    EXPECT_TRUE(env.Messages.first().contains(QStringLiteral("1 個の板"))) << env.Messages.first().toStdString();
    EXPECT_TRUE(dialog.Memo1->toPlainText().contains(QStringLiteral("他のBBSにある板を除きました(1)")));
    EXPECT_EQ(env.site->Boards->FindByID(QStringLiteral("far")), nullptr);
    EXPECT_NE(env.site->Boards->FindByID(QStringLiteral("near")), nullptr);
    EXPECT_FALSE(BoardDat(env.site).contains(QStringLiteral("遠い板")));
}

// While an update check or patrol runs, its worker holds boards: the board list is neither updated
// nor edited.
TEST(BoardListUpdateCommandTest, ARunningCheckKeepsTheBoardListsAsTheyAre)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\nfavorites\r\n"); });
    ASSERT_EQ(env.Window()->Services().BoardTree().CurrentSite(), env.site);
    QThread check;
    check.start();
    Part<TUpdateCheckController>(env.Window())->RunningChecks.append(&check);
    bool opened = false;
    Dialogs::TScopedDialogHandlers handlers(
        [&env](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
            env.env.Messages << text;
            return Dialogs::mrYes;
        },
        [&opened](QDialog &) {
            opened = true;
            return int(QDialog::Rejected);
        });
    env.Window()->Action(QStringLiteral("actBoardListUpdate"))->trigger();
    TBoard *news = env.Board(PostTest::News);
    EXPECT_FALSE(BoardTree::DeleteSiteBoard(env.site, news));
    EXPECT_FALSE(opened);
    EXPECT_EQ(env.env.Messages, QStringList(2, QStringLiteral("読み込み，または書き込みが完了していません。")));
    EXPECT_EQ(env.Board(PostTest::News), news);
    check.quit();
    check.wait();
    Part<TUpdateCheckController>(env.Window())->RunningChecks.clear();
}
