// The past-log login and what it changes in the 2ch requests; the board types that read the local
// disk (local folders and favorites folders).

#include "BoardTestEnv.h"

#include "boards/Be2chManager.h"
#include "boards/DolibManager.h"
#include "boards/FavoritesScript.h"
#include "core/FileUtil.h"

#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpServer>

namespace {
const QString Live = QStringLiteral("live");
const QString Key = QStringLiteral("1000000001");
}  // namespace

TEST(DolibLogin, TheSessionChangesTheAgentAndOpensFallenThreads)
{
    BoardTestEnv env;
    env.server.DolibId = QStringLiteral("user@example.jp");
    env.server.DolibPassword = QStringLiteral("pass word");
    env.server.AddThread(Live, Key, QStringLiteral("落ちたスレ"));
    env.server.AppendRes(Live, Key, QStringLiteral("名"), QString(), QStringLiteral("本文"));
    env.server.MoveToKako(Live, Key, true);
    env.config->DOLIB_USERNAME = env.server.DolibId;
    env.config->DOLIB_PASSWORD = QStringLiteral("wrong");
    TDolibManager dolib;
    dolib.LoginUrl = env.server.Url(QStringLiteral("/futen.cgi"));
    QStringList events;
    QObject::connect(&dolib, &TDolibManager::LoggedIn, [&events] { events << QStringLiteral("in"); });
    QObject::connect(&dolib, &TDolibManager::LoggedOut, [&events] { events << QStringLiteral("out"); });
    QObject::connect(&dolib, &TDolibManager::LoginFailed, [&events](const QString &) { events << QStringLiteral("failed"); });

    const QString plain = QStringLiteral("Vozadazoz/1.00 (Varnelo/2.0)");
    EXPECT_EQ(TDolibManager::UserAgent(), plain);
    EXPECT_FALSE(dolib.Login());
    EXPECT_FALSE(dolib.IsLoggedIn());
    env.config->DOLIB_PASSWORD = env.server.DolibPassword;
    ASSERT_TRUE(dolib.Login());
    EXPECT_EQ(env.server.RequestsTo(QStringLiteral("/futen.cgi")).last().Header("User-Agent"), QByteArray("DOLIB/1.00"));
    EXPECT_EQ(dolib.SessionId(), BoardServer::SessionId());
    EXPECT_EQ(TDolibManager::UserAgent(), QStringLiteral("Monazilla/2.00Varnelo/2.0"));

    // A fallen thread of a 2ch board is read through the raw-mode script with the session.
    env.server.ClearLog();
    ItemRef item(env.NewItem(Live, Key));
    const BoardTestEnv::Fetch fetch = env.Download(item.get());
    ASSERT_FALSE(fetch.failed) << fetch.errorMessage.toStdString();
    EXPECT_EQ(fetch.bodies, QStringList({QStringLiteral("本文")}));
    EXPECT_TRUE(item->KAKOLOG);
    ASSERT_EQ(env.server.RequestsTo(QStringLiteral("offlaw.cgi")).size(), 1);
    EXPECT_TRUE(env.server.RequestsTo(QStringLiteral("/kako/")).isEmpty());
    for (const BoardServer::Request &request : env.server.Requests())
        EXPECT_EQ(request.Header("User-Agent"), QByteArray("Monazilla/2.00Varnelo/2.0"));

    dolib.Logout();
    EXPECT_EQ(TDolibManager::UserAgent(), plain);
    EXPECT_EQ(events, QStringList({QStringLiteral("failed"), QStringLiteral("in"), QStringLiteral("out")}));
}

// The login's own proxy is used only when "以下のプロキシを使用する" (PROXY_CUSTOM) is chosen.
TEST(DolibLogin, TheOwnProxyIsUsedOnlyWhenChosen)
{
    BoardTestEnv env;
    env.server.DolibId = QStringLiteral("user@example.jp");
    env.server.DolibPassword = QStringLiteral("pw");
    env.config->DOLIB_USERNAME = env.server.DolibId;
    env.config->DOLIB_PASSWORD = env.server.DolibPassword;
    QTcpServer closed;   // a proxy address where nothing answers
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 deadPort = closed.serverPort();
    closed.close();
    env.config->DOLIB_USERPROXY = true;
    env.config->DOLIB_PROXYADDRESS = QStringLiteral("127.0.0.1");
    env.config->DOLIB_PROXYPORT = deadPort;
    env.config->DOLIB_PROXY_VARNELO = false;
    env.config->DOLIB_PROXY_CUSTOM = false;
    TDolibManager dolib;
    dolib.LoginUrl = env.server.Url(QStringLiteral("/futen.cgi"));
    EXPECT_TRUE(dolib.Login());
    dolib.Logout();

    env.config->DOLIB_PROXY_CUSTOM = true;
    env.server.ClearLog();
    EXPECT_FALSE(dolib.Login());
    EXPECT_TRUE(env.server.RequestsTo(QStringLiteral("/futen.cgi")).isEmpty());
}

TEST(LocalBoards, LocalFoldersListTheirLogsAndFetchNothing)
{
    BoardTestEnv env;
    const QString folder = env.root.Path() + QStringLiteral("mylogs/");
    FileUtil::WriteFileAtomic(folder + QStringLiteral("111.dat"), jconvert::UnicodeToSjis(QStringLiteral("名<><>日<>本文<>ローカルの題\r\n")));
    FileUtil::WriteFileAtomic(folder + QStringLiteral("222.dat"), "a<><>d<>b<>x\r\na<><>d<>b<>\r\n");
    FileUtil::WriteFileAtomic(folder + QStringLiteral("222.inf"), jconvert::UnicodeToSjis(QStringLiteral("[LOG]\r\nTITLE=題２\r\nCOUNT=2\r\n")));
    FileUtil::WriteFileAtomic(folder + QStringLiteral("notes.txt"), "not a log");
    auto *board = new TBoard;
    board->ID = QStringLiteral("local00001");
    board->BBSName = board->ID;
    board->HostPath = folder;
    board->Kind = TBoard::KIND_LOCAL;
    board->Site = env.registry->LocalSite();
    board->BBS = board->Site->BBS;
    board->Site->Boards->Add(board);

    QStringList titles;
    TThreadListDownloader job;
    job.Board = board;
    job.OnThreadItem = [&titles](TThreadListDownloader *, TThreadItem *item) { titles << item->TITLE; };
    bool done = false;
    job.OnDone = [&done](TThreadListDownloader *, bool failed) { done = !failed; };
    board->BBS->DownloadThreadList(&job, false, true);
    EXPECT_TRUE(done);
    EXPECT_EQ(titles, QStringList({QStringLiteral("ローカルの題"), QStringLiteral("題２")}));

    auto *item = new TThreadItem;
    item->SetLocation(board->Site->SITEID, board->ID, QStringLiteral("111.dat"), QString());
    ItemRef ref(item);
    const BoardTestEnv::Fetch fetch = env.Download(item);
    EXPECT_TRUE(fetch.notModified);
    EXPECT_TRUE(env.server.Requests().isEmpty());
}

TEST(FavoritesBoards, AFolderListsTheThreadsOfItsFile)
{
    BoardTestEnv env;
    TSite *favorites = env.registry->FavoritesSite();
    TBoard *folder = favorites->Boards->Get(0);
    ASSERT_EQ(folder->Kind, TBoard::KIND_FAVORITES);
    const QString file = folder->GetLogDir() + folder->ID + QStringLiteral(".txt");
    FileUtil::WriteFileAtomic(file, jconvert::UnicodeToSjis(QStringLiteral("default\r\n"
                                                                           "test\tnews\t1000000001\t一つ目\t1\r\n"
                                                                           "broken line\r\n"
                                                                           "test\tlive\t1000000002\t二つ目\t1\r\n")));
    TThreadItemList list;
    TFavoritesScript::CollectFolderThreads(folder, &list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Get(0)->TITLE, QStringLiteral("一つ目"));
    EXPECT_EQ(list.Get(1)->GetBoard(), env.Board(Live));
    EXPECT_EQ(list.Get(0)->RefCount(), 1);   // the list holds the only reference

    QStringList keys;
    TThreadListDownloader job;
    job.Board = folder;
    job.OnThreadItem = [&keys](TThreadListDownloader *, TThreadItem *item) { keys << item->GetKey(); };
    bool done = false;
    job.OnDone = [&done](TThreadListDownloader *, bool) { done = true; };
    folder->BBS->DownloadThreadList(&job, false, false);
    EXPECT_FALSE(done);   // an asynchronous listing reports from the event loop
    BoardTestEnv::WaitFor([&done] { return done; });
    EXPECT_EQ(keys, QStringList({QStringLiteral("1000000001"), QStringLiteral("1000000002")}));
}

TEST(BeAccount, ProfileAndMemberCommandsUseTheLogin)
{
    BoardTestEnv env;
    env.server.BeMail = QStringLiteral("me@example.jp");
    env.server.BePassword = QStringLiteral("secret");
    env.server.BeName = QStringLiteral("ななし");
    env.server.BeIntro = QStringLiteral("<よろしく>");
    env.config->BE_USERNAME = env.server.BeMail;
    env.config->BE_PASSWORD = env.server.BePassword;
    env.config->BE_SHOWDIALOG = false;
    TBe2chManager be;
    be.LoginUrl = env.server.Url(QStringLiteral("/be/login"));
    be.ProfileEditUrl = env.server.Url(QStringLiteral("/be/profile"));
    be.PointUrl = env.server.Url(QStringLiteral("/be/point?i=<member>&u=d:<url>"));
    be.ProfileUrl = QStringLiteral("http://be.example/p?i=<member>&u=d:<url>");
    QStringList errors;
    QObject::connect(&be, &TBe2chManager::Error, [&errors](const QString &message) { errors << message; });

    TBeProfile profile;
    EXPECT_FALSE(be.LoadProfileForm(profile));   // not logged in: nothing is asked
    EXPECT_TRUE(env.server.Requests().isEmpty());
    ASSERT_TRUE(be.Login());
    ASSERT_TRUE(be.LoadProfileForm(profile));
    EXPECT_EQ(profile.Points, QStringLiteral("120"));
    EXPECT_EQ(profile.Rank, QStringLiteral("A"));
    EXPECT_EQ(profile.Name, QStringLiteral("ななし"));
    EXPECT_EQ(profile.Introduction, QStringLiteral("<よろしく>"));

    profile.Name = QStringLiteral("新しい名前");
    profile.Introduction = QStringLiteral("二行\r\nの紹介");
    EXPECT_TRUE(be.SaveProfile(profile));
    EXPECT_EQ(env.server.BeName, profile.Name);
    EXPECT_EQ(env.server.BeIntro, profile.Introduction);

    EXPECT_TRUE(be.GivePoint(QStringLiteral("12345"), QStringLiteral("http://h/test/read.cgi?bbs=b&key=1")));
    EXPECT_EQ(env.server.RequestsTo(QStringLiteral("/be/point")).value(0).Path,
              QByteArray("/be/point?i=12345&u=d:http%3A%2F%2Fh%2Ftest%2Fread.cgi%3Fbbs%3Db%26key%3D1"));
    QString shown;
    be.OpenUrl = [&shown](const QString &url, const QString &) { shown = url; };
    be.ShowProfile(QStringLiteral("12345"), QStringLiteral("http://h/x/"));
    EXPECT_EQ(shown, QStringLiteral("http://be.example/p?i=12345&u=d:http%3A%2F%2Fh%2Fx%2F"));
    EXPECT_EQ(errors.size(), 1);
}
