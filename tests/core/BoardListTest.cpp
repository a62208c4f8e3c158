#include "core/BBS.h"
#include "core/BBSList.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/TavuConfig.h"

#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QDir>
#include <memory>

namespace {

// Shift_JIS CR LF bytes of the given lines.
QByteArray SjisLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines)
        out += jconvert::UnicodeToSjis(line) + "\r\n";
    return out;
}

class BoardListTest : public ::testing::Test {
protected:
    TempDataRoot root;
    std::unique_ptr<TTavuConfig> config;
    TBBSList types;
    std::unique_ptr<TSite> site;

    void SetUp() override
    {
        config = std::make_unique<TTavuConfig>();
        TavuConfig = config.get();
        for (const char *id : {"2chscript", "dolibscript", "shitarabajbbs"})
            types.Add(new TBBS(QString::fromLatin1(id), root.File(QStringLiteral("config/bbs/") + id)));
        site = std::make_unique<TSite>(QStringLiteral("test"), TSite::KIND_NORMAL, &types);
        site->BBS = types.FindByID(QStringLiteral("2chscript"));
    }
    void TearDown() override
    {
        site.reset();
        TavuConfig = nullptr;
    }

    QString DatPath() const { return root.File(QStringLiteral("work/board.dat")); }

    // Writes bytes as board.dat and loads them into the site's list.
    void Load(const QByteArray &bytes)
    {
        root.Write(QStringLiteral("work/board.dat"), bytes);
        site->Boards->LoadBoards(DatPath(), &types);
    }
    QByteArray SaveAndRead()
    {
        site->Boards->SaveBoards(DatPath());
        return root.Read(QStringLiteral("work/board.dat"));
    }
};

}  // namespace

TEST_F(BoardListTest, UnchangedListIsWrittenBackByteForByte)
{
    const QByteArray original = SjisLines({
        "2",
        "ニュース\t0",
        "\tnews.2ch.net\tnewsplus\tニュース速報+",
        "\tnews.2ch.net\tnews>news2\tニュース (2)\t\tdolibscript\tSJIS",
        "\tno id here",                                     // not a board, kept
        "空のカテゴリ",                                     // a category without boards, kept
        "ゲーム",
        "\tjbbs.shitaraba.net/game\t12345\tゲーム雑談\t\tSHITARABAJBBS\tEUC\t\tuser/12345/\tfuture",
        "\tnews.2ch.net\todd\tOdd\tnewkind\tunknowntype",   // unknown words survive
        "ゲーム",                                           // the same category again
        "\tgame.2ch.net\tgamestg\tシューティング\t",       // a trailing TAB
        "\thttp://example.com/page.html\twww00001\tPage\twww",
    });
    Load(original);
    ASSERT_EQ(site->Boards->Count(), 6);
    EXPECT_EQ(SaveAndRead(), original);
    // the old file was kept as board.bak first
    EXPECT_EQ(root.Read(QStringLiteral("work/board.bak")), original);

    // a line whose bytes are not Shift_JIS is kept as bytes
    const QByteArray broken = QByteArray("2\r\nCat\r\n\tx.net\tabc\tA\r\n\tx.net\tbad\t\x82\r\n\tx.net\tdef\tD\r\n");
    Load(broken);
    EXPECT_EQ(site->Boards->Count(), 2);
    EXPECT_EQ(SaveAndRead(), broken);
}

TEST_F(BoardListTest, FieldsAreReadWithTheirDefaults)
{
    Load(SjisLines({
        "2",
        "\torphan.net\tfirst\t",
        "カテゴリ",
        "\tnews.2ch.net\tnews>news2\tニュース",
        "\tjbbs.shitaraba.net/game\t12345\tゲーム\tlocal\tshitarabajbbs\tEUC\thttp://other/\tsub/dir",
        "\t<favorites>\tfav00001\tdefault",
        "\thttp://example.com/page.html\twww00001\tPage\twww",
        "\tlocal.host\tabsolute\tAbs\t\t\t\t\t/var/logs/here",
    }));
    TBoardList &list = *site->Boards;
    ASSERT_EQ(list.Count(), 6);

    const TBoard *first = list.Get(0);
    EXPECT_EQ(first->Category, QString());   // before any category line
    EXPECT_EQ(first->Name, QStringLiteral("first"));
    EXPECT_EQ(first->URL, QStringLiteral("http://orphan.net/first/"));
    EXPECT_EQ(first->BBS, site->BBS);
    EXPECT_EQ(first->Site, site.get());

    const TBoard *news = list.Get(1);
    EXPECT_EQ(news->ID, QStringLiteral("news2"));
    EXPECT_EQ(news->BBSName, QStringLiteral("news"));
    EXPECT_EQ(news->URL, QStringLiteral("http://news.2ch.net/news/"));
    EXPECT_EQ(news->Category, QStringLiteral("カテゴリ"));
    EXPECT_EQ(news->GetLogDir(), site->GetLogDir() + QStringLiteral("news2/"));

    const TBoard *game = list.Get(2);
    EXPECT_EQ(game->Kind, TBoard::KIND_LOCAL);
    EXPECT_EQ(game->BBS->ID, QStringLiteral("shitarabajbbs"));
    EXPECT_EQ(game->CodePage, 1);
    EXPECT_EQ(game->URL, QStringLiteral("http://other/"));
    EXPECT_EQ(game->GetDir(), QStringLiteral("game"));
    EXPECT_EQ(game->GetHost(), QStringLiteral("other"));
    EXPECT_EQ(game->GetLogDir(), TavuConfig->LogDir() + QStringLiteral("sub/dir/"));

    EXPECT_EQ(list.Get(3)->Kind, TBoard::KIND_FAVORITES);
    EXPECT_EQ(list.Get(3)->GetLogDir(), site->GetDir());
    EXPECT_EQ(list.Get(4)->Kind, TBoard::KIND_WWW);
    EXPECT_EQ(list.Get(4)->URL, QStringLiteral("http://example.com/page.html"));
    EXPECT_EQ(list.Get(5)->GetLogDir(), QStringLiteral("/var/logs/here/"));

    EXPECT_EQ(list.FindByID(QStringLiteral("news2")), news);
    EXPECT_EQ(list.FindByID(QStringLiteral("news")), nullptr);        // the bbs name is not the id
    EXPECT_EQ(list.FindByID(QStringLiteral("NEWS2")), nullptr);       // exact
    EXPECT_EQ(list.FindByUrl(QStringLiteral("http://news.2ch.net/news/")), news);
    EXPECT_EQ(list.FindByUrl(QStringLiteral("http://news.2ch.net/news")), nullptr);
}

TEST_F(BoardListTest, ChangedBoardsKeepTheirUnchangedFields)
{
    Load(SjisLines({
        "2",
        "Cat\t7",
        "\tnews.2ch.net\tnews\tNews\t\tdolibscript\tsjis",
        "\tjbbs.shitaraba.net/game\t12345\tGame\t\t\tEUC\t\t\tx\ty",
    }));
    TBoardList &list = *site->Boards;
    TBoard *news = list.Get(0);
    news->Name = QStringLiteral("ニュース");
    news->BBS = site->BBS;                                   // back to the site's type
    TBoard *game = list.Get(1);
    game->URL = QStringLiteral("http://elsewhere/game/12345/");
    game->CodePage = site->CodePage;                         // back to the site's code page

    auto *added = new TBoard;
    added->Site = site.get();
    added->BBS = types.FindByID(QStringLiteral("dolibscript"));
    added->HostPath = QStringLiteral("new.host");
    added->ID = QStringLiteral("abc1");
    added->BBSName = QStringLiteral("abc");
    added->Name = QStringLiteral("New");
    added->Category = QStringLiteral("別");
    added->URL = added->DerivedUrl();
    added->CodePage = 2;
    added->LogFolder = TavuConfig->LogDir() + QStringLiteral("user/abc1/");
    list.Add(added);

    EXPECT_EQ(SaveAndRead(), SjisLines({
                                 "2",
                                 "Cat\t7",
                                 "\tnews.2ch.net\tnews\tニュース\t\t\tsjis",
                                 "\tjbbs.shitaraba.net/game\t12345\tGame\t\t\t\thttp://elsewhere/game/12345/\t\tx\ty",
                                 "別",
                                 "\tnew.host\tabc>abc1\tNew\t\tdolibscript\tUTF8\t\tuser/abc1/",
                             }));

    // what was written reads back the same
    site->Boards->LoadBoards(DatPath(), &types);
    const TBoard *again = site->Boards->FindByID(QStringLiteral("abc1"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->BBSName, QStringLiteral("abc"));
    EXPECT_EQ(again->CodePage, 2);
    EXPECT_EQ(again->GetLogDir(), TavuConfig->LogDir() + QStringLiteral("user/abc1/"));
    EXPECT_EQ(site->Boards->Get(1)->URL, QStringLiteral("http://elsewhere/game/12345/"));
}

TEST_F(BoardListTest, JunkIsDroppedButNoBoardIsLost)
{
    Load(QByteArray("\r\n  \r\nCat\r\n\t\t\t\r\n\tx.net\ta\tA\r\n\r\n\t \t\r\n\tnote\r\n\tx.net\tb\tB\r\n"));
    ASSERT_EQ(site->Boards->Count(), 2);
    // a file without the format mark gets it; blank lines go; the id-less line stays before "b"
    EXPECT_EQ(SaveAndRead(), QByteArray("2\r\nCat\r\n\tx.net\ta\tA\r\n\tnote\r\n\tx.net\tb\tB\r\n"));

    // the kept line survives the deletion of the board it stood before
    site->Boards->LoadBoards(DatPath(), &types);
    site->Boards->Delete(1);
    EXPECT_EQ(SaveAndRead(), QByteArray("2\r\nCat\r\n\tx.net\ta\tA\r\n\tnote\r\n"));
    // and a cleared list still writes it
    site->Boards->LoadBoards(DatPath(), &types);
    site->Boards->Clear();
    EXPECT_EQ(SaveAndRead(), QByteArray("2\r\n\tnote\r\n"));
}

TEST(BoardNames, SafePathParts)
{
    EXPECT_TRUE(TBoard::IsSafePathPart(QStringLiteral("newsplus")));
    EXPECT_TRUE(TBoard::IsSafePathPart(QStringLiteral("news@index.rdf")));
    EXPECT_TRUE(TBoard::IsSafePathPart(QStringLiteral("1234567890")));
    for (const char *bad : {"", ".", "..", "../x", "a/b", "a\\b", ".hidden", "c:x", "名前", "a b"})
        EXPECT_FALSE(TBoard::IsSafePathPart(QString::fromUtf8(bad))) << bad;
    EXPECT_FALSE(TBoard::IsSafePathPart(QString(129, QLatin1Char('a'))));

    EXPECT_EQ(TBoard::SafePathPart(QStringLiteral("../etc")), QStringLiteral("_._etc"));
    EXPECT_EQ(TBoard::SafePathPart(QStringLiteral("a/b")), QStringLiteral("a_b"));
    EXPECT_EQ(TBoard::SafePathPart(QString()), QStringLiteral("_"));
    EXPECT_TRUE(TBoard::IsSafePathPart(TBoard::SafePathPart(QStringLiteral("..\\..\\x"))));
}
