// Basic credentials stored for one board (config/_BasicAuthorization.ini, section site id + board
// id) go with that board's requests and with no other board's.

#include "BoardTestEnv.h"
#include "support/ScriptedHttpServer.h"

#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/TavuConfig.h"

#include <gtest/gtest.h>

namespace {

const char Feed[] = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>t</title>"
                    "<item><title>First</title><link>http://example.jp/1</link></item></channel></rss>";

TBoard *AddFeed(TSite *site, const ScriptedHttpServer &server, const QString &id)
{
    auto *board = new TBoard;
    board->ID = id;
    board->BBSName = id;
    board->Name = id;
    board->URL = server.Url(QStringLiteral("/") + id);
    board->HostPath = server.Url(QString()).mid(7);
    board->Kind = TBoard::KIND_RSS;
    board->Site = site;
    board->BBS = site->BBS;
    board->CodePage = 2;
    site->Boards->Add(board);
    return board;
}

}  // namespace

TEST(BasicAuthorization, OnlyTheBoardWithCredentialsSendsThem)
{
    BoardTestEnv env;
    ScriptedHttpServer server;
    TSite *rss = env.registry->RssSite();
    ASSERT_NE(rss, nullptr);
    TBoard *guarded = AddFeed(rss, server, QStringLiteral("guarded.xml"));
    TBoard *open = AddFeed(rss, server, QStringLiteral("open.xml"));
    FileUtil::ForceDirectories(TavuConfig->GetProfileDir() + QStringLiteral("config/"));
    TIniFile ini(TavuConfig->GetProfileDir() + QStringLiteral("config/_BasicAuthorization.ini"));
    ini.WriteString(rss->SITEID + guarded->ID, QStringLiteral("USERNAME"), QStringLiteral("taro"));
    ini.WriteString(rss->SITEID + guarded->ID, QStringLiteral("PASSWORD"), QStringLiteral("secret"));
    ini.UpdateFile();

    server.Reply(ScriptedHttpServer::Make(200, QByteArray(Feed)));
    ASSERT_FALSE(env.List(guarded).failed);
    EXPECT_EQ(ScriptedHttpServer::HeaderOf(server.LastRequest(), "Authorization"),
              QByteArray("Basic ") + QByteArray("taro:secret").toBase64());

    server.Reply(ScriptedHttpServer::Make(200, QByteArray(Feed)));
    ASSERT_FALSE(env.List(open).failed);
    EXPECT_TRUE(ScriptedHttpServer::HeaderOf(server.LastRequest(), "Authorization").isEmpty());
}
