// Posting replies and new threads: the form, the write confirmation, the answer, and what the
// caller keeps when the server refuses.

#include "BoardTestEnv.h"

#include "boards/Be2chManager.h"
#include "boards/PostForm.h"
#include "core/IniFile.h"
#include "core/MonaUtils.h"
#include "core/ResUploader.h"
#include "core/ThreadUploader.h"
#include "net/TavuHttpList.h"

#include <gtest/gtest.h>

namespace {

const QString News = QStringLiteral("news");
const QString Key = QStringLiteral("1000000001");

struct Outcome {
    int done = 0;
    int errors = 0;
    int cancels = 0;
    bool failed = false;
    QString page;
    QString message;
    int Reports() const { return done + errors + cancels; }
};

// Binds the three callbacks of a post job to the outcome.
void Bind(TResUploader &job, Outcome &outcome)
{
    job.OnDone = [&outcome](TResUploader *, bool failed) {
        ++outcome.done;
        outcome.failed = failed;
    };
    job.OnError = [&outcome](TResUploader *, int, const QString &message, const QString &page) {
        ++outcome.errors;
        outcome.message = message;
        outcome.page = page;
    };
    job.OnCancel = [&outcome](TResUploader *, const QString &message) {
        ++outcome.cancels;
        outcome.message = message;
    };
}

// Posts a reply to the thread and waits for its report and for every request of the post to be
// gone, so a second report would be seen.
Outcome Reply(BoardTestEnv &env, TThreadItem *item, const QString &name, const QString &body, bool sage = false)
{
    Outcome outcome;
    TTavuHttpList requests;
    const auto previous = std::exchange(TavuHttpList, &requests);
    TResUploader job(item);
    job.Board = item->GetBoard();
    job.Data->Name = name;
    job.Data->Body = body;
    job.Data->Sage = sage;
    Bind(job, outcome);
    item->BBS->PostRes(&job);
    EXPECT_TRUE(BoardTestEnv::WaitFor([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return outcome.Reports() > 0 && requests.Count() == 0;
    }));
    TavuHttpList = previous;
    EXPECT_EQ(job.Data->Body, body);               // the user's text is never changed
    return outcome;
}

}  // namespace

TEST(Post, AReplyGoesThroughTheWriteConfirmationOnce)
{
    BoardTestEnv env;
    env.server.AddThread(News, Key, QStringLiteral("スレ"));
    env.server.AppendRes(News, Key, QStringLiteral("一"), QString(), QStringLiteral("最初"));
    env.server.Confirmation = true;
    ItemRef item(env.NewItem(News, Key));

    const Outcome outcome = Reply(env, item.get(), QStringLiteral("名無し"), QStringLiteral("こんにちは\r\n二行目"));
    EXPECT_EQ(outcome.done, 1);
    EXPECT_EQ(outcome.Reports(), 1);
    EXPECT_FALSE(outcome.failed);
    const QList<BoardServer::Request> posts = env.server.RequestsTo(QStringLiteral("/test/bbs.cgi"));
    ASSERT_EQ(posts.size(), 2);
    EXPECT_TRUE(posts[1].Header("Cookie").contains("PON=pon789"));
    EXPECT_TRUE(posts[1].Body.contains("yuki=akari"));
    EXPECT_TRUE(posts[0].Header("Referer").endsWith("/test/read.cgi/news/1000000001/"));
    EXPECT_EQ(env.server.Res(News, Key, 2).value(3), QStringLiteral("こんにちは <br> 二行目"));
    EXPECT_EQ(env.server.Res(News, Key, 2).value(0), QStringLiteral("名無し"));
    // The cookie the server set is kept for the next post.
    const TIniFile cookies(env.config->GetProfileDir() + QStringLiteral("cookie.ini"));
    EXPECT_EQ(cookies.ReadString(QStringLiteral("127.0.0.1"), QStringLiteral("PON")), QStringLiteral("pon789"));

    env.server.ClearLog();
    EXPECT_EQ(Reply(env, item.get(), QString(), QStringLiteral("again")).done, 1);
    EXPECT_EQ(env.server.RequestsTo(QStringLiteral("/test/bbs.cgi")).size(), 1);
}

TEST(Post, ErrorPagesAndLostConnectionsKeepTheTextForTheCaller)
{
    BoardTestEnv env;
    env.server.AddThread(News, Key, QStringLiteral("スレ"));
    ItemRef item(env.NewItem(News, Key));

    env.server.ErrorOnPost = true;
    Outcome outcome = Reply(env, item.get(), QStringLiteral("名"), QStringLiteral("本文"));
    EXPECT_EQ(outcome.errors, 1);
    EXPECT_EQ(outcome.Reports(), 1);
    EXPECT_TRUE(outcome.page.contains(QStringLiteral("ＥＲＲＯＲ：書き込めません。")));
    EXPECT_EQ(env.server.ResCount(News, Key), 0);

    // The server is gone: the post is cancelled, not shown as an error page.
    env.Board(News)->URL = QStringLiteral("http://127.0.0.1:1/news/");
    outcome = Reply(env, item.get(), QStringLiteral("名"), QStringLiteral("本文"));
    EXPECT_EQ(outcome.cancels, 1);
    EXPECT_EQ(outcome.Reports(), 1);
}

// What an error page says went wrong: the error line under its title, not the title again.
TEST(Post, AnErrorPageNamesItsReason)
{
    const QString page = QStringLiteral(
        "<html><head><title>ＥＲＲＯＲ！</title></head>\n<!--nobanner-->\n<body><!-- 2ch_X:error -->\n"
        "<div style=\"margin-bottom:2em;\"><font size=+1 color=#FF0000><b>ＥＲＲＯＲ：本文が&quot;長すぎ&quot;ます！</b>"
        "</font></div><br>ホスト<b>127.0.0.1</b><br>戻ってください。</body></html>");
    EXPECT_EQ(PostReply::Reason(page), QStringLiteral("ＥＲＲＯＲ：本文が\"長すぎ\"ます！"));
    EXPECT_EQ(PostReply::Reason(QStringLiteral("<html><head><title>ＥＲＲＯＲ！</title></head><body>だめです</body></html>")),
              QString());
}

TEST(Post, ANewThreadIsCreatedWithItsSubject)
{
    BoardTestEnv env;
    Outcome outcome;
    TThreadUploader job;
    job.Board = env.Board(News);
    job.Data->Subject = QStringLiteral("新しいスレ");
    job.Data->Name = QStringLiteral("名");
    job.Data->Body = QStringLiteral("一番");
    Bind(job, outcome);
    job.Board->BBS->PostNewThread(&job);
    BoardTestEnv::WaitFor([&outcome] { return outcome.Reports() > 0; });
    EXPECT_EQ(outcome.done, 1);
    const QStringList keys = env.server.ThreadKeys(News);
    ASSERT_EQ(keys.size(), 1);
    EXPECT_EQ(env.server.Title(News, keys[0]), QStringLiteral("新しいスレ"));
    EXPECT_EQ(env.server.Res(News, keys[0], 1).value(3), QStringLiteral("一番"));
    EXPECT_TRUE(env.server.RequestsTo(QStringLiteral("/test/bbs.cgi")).value(0).Body.contains("submit="));
}

TEST(Post, EucBoardsRoundTripTheirText)
{
    BoardTestEnv env;
    const QString bbs = QStringLiteral("1234");
    const QString text = QStringLiteral("①ｶﾀｶﾅと漢字～");
    env.server.AddThread(bbs, Key, QStringLiteral("ゲームの話"));
    env.server.AppendRes(bbs, Key, QStringLiteral("名無し"), QString(), QStringLiteral("最初"));
    ItemRef item(env.NewItem(bbs, Key));

    const BoardTestEnv::Listing listing = env.List(env.Board(bbs));
    EXPECT_EQ(listing.keys, QStringList({Key}));
    EXPECT_EQ(env.server.Requests().value(0).Header("User-Agent"), QByteArray("Varnelo/2.0"));
    EXPECT_EQ(listing.counts, QList<int>({1}));

    const Outcome outcome = Reply(env, item.get(), QStringLiteral("名"), text, true);
    ASSERT_EQ(outcome.done, 1) << outcome.message.toStdString();
    const BoardServer::Request post = env.server.RequestsTo(QStringLiteral("/bbs/write.cgi/game/1234/")).value(0);
    EXPECT_TRUE(post.Body.contains("MESSAGE=" + MonaUtils::UrlEncode(text, 1).toLatin1()));
    EXPECT_EQ(env.server.Res(bbs, Key, 2).value(3), text);
    EXPECT_EQ(env.server.Res(bbs, Key, 2).value(1), QStringLiteral("sage"));

    const BoardTestEnv::Fetch fetch = env.Download(item.get());
    ASSERT_FALSE(fetch.failed) << fetch.errorMessage.toStdString();
    EXPECT_EQ(fetch.bodies, QStringList({QStringLiteral("最初"), text}));
    EXPECT_EQ(item->TITLE, QStringLiteral("ゲームの話"));
    // Asked again from the first response not stored.
    env.server.AppendRes(bbs, Key, QStringLiteral("名"), QString(), QStringLiteral("三"));
    EXPECT_EQ(env.Download(item.get()).numbers, QList<int>({3}));
    EXPECT_TRUE(env.server.Requests().last().Path.endsWith("/1000000001/3-"));
}

TEST(Post, BeBoardsGetTheBeCookies)
{
    BoardTestEnv env;
    env.server.AddThread(News, Key, QStringLiteral("スレ"));
    env.server.BeMail = QStringLiteral("me@example.jp");
    env.server.BePassword = QStringLiteral("secret");
    env.root.Write(QStringLiteral("config/site/test/be.ini"), "[BE]\r\nnews=1\r\n");
    env.config->BE_USERNAME = env.server.BeMail;
    env.config->BE_PASSWORD = QStringLiteral("wrong");
    env.config->BE_SHOWDIALOG = false;
    TBe2chManager be;
    be.LoginUrl = env.server.Url(QStringLiteral("/be/login"));
    be.Site = env.site;
    int loggedIn = 0;
    QObject::connect(&be, &TBe2chManager::LoggedIn, [&loggedIn] { ++loggedIn; });

    EXPECT_FALSE(be.Login());
    env.config->BE_PASSWORD = env.server.BePassword;
    ASSERT_TRUE(be.Login());
    EXPECT_EQ(loggedIn, 1);
    EXPECT_TRUE(be.IsBeBoard(env.Board(News)));
    EXPECT_FALSE(be.IsBeBoard(env.Board(QStringLiteral("live"))));

    ItemRef item(env.NewItem(News, Key));
    ASSERT_EQ(Reply(env, item.get(), QStringLiteral("名"), QStringLiteral("本文")).done, 1);
    const QByteArray cookie = env.server.RequestsTo(QStringLiteral("/test/bbs.cgi")).last().Header("Cookie");
    EXPECT_TRUE(cookie.contains("DMDM=dmdm123") && cookie.contains("MDMD=mdmd456"));
    be.Logout();
    EXPECT_TRUE(be.CookieFor(env.Board(News)).isEmpty());
}
