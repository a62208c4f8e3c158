// The board-list download: a site's board menu served on 127.0.0.1, read by the site's ParseBoard.ruro.

#include "support/ScriptedHttpServer.h"
#include "support/TempDataRoot.h"
#include "support/WaitLimit.h"

#include "boards/BoardListDownloaderRequest.h"
#include "boards/BoardTypes.h"
#include "core/BBSList.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/BoardListDownloader.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace {

// The shipped data root with its sites; site() is the seeded 2ch site.
class BoardListTest : public ::testing::Test {
protected:
    BoardListTest() : root(true)
    {
        config = std::make_unique<TTavuConfig>();
        environ = std::make_unique<TTavuEnviron>();
        oldConfig = std::exchange(TavuConfig, config.get());
        oldEnviron = std::exchange(TavuEnviron, environ.get());
        BoardTypes::Install(environ.get());
        environ->CreateBBSList();
        environ->LoadSites();
    }
    ~BoardListTest() override
    {
        TavuConfig = oldConfig;
        TavuEnviron = oldEnviron;
    }

    TSite *Site() const { return environ->SiteList()->FindBySiteID(QStringLiteral("2ch")); }

    // The site's own ParseBoard.ruro (the profile's copy wins over the shipped one).
    void WriteScript(const QString &text) const
    {
        FileUtil::WriteFileAtomic(Site()->GetDir() + QStringLiteral("ParseBoard.ruro"), jconvert::UnicodeToSjis(text));
    }

    struct Result {
        bool done = false;
        bool failed = false;
        QStringList errors;
        QStringList notices;
        int progressCalls = 0;
    };

    // Serves the page (Shift_JIS) once and runs the download over it.
    Result Fetch(const QString &page, TBoardListDownloader &job)
    {
        server.Reply(ScriptedHttpServer::Make(200, jconvert::UnicodeToSjis(page)));
        job.Site = Site();
        job.BBS = Site()->BBS;
        job.CodePage = Site()->CodePage;
        Result result;
        TBoardListDownloaderRequest request(&job);
        request.OnProgress = [&result](qint64, qint64) { ++result.progressCalls; };
        request.OnNotice = [&result](const QString &message) { result.notices << message; };
        request.OnError = [&result](int, const QString &message) { result.errors << message; };
        request.OnDone = [&result](bool failed) {
            result.done = true;
            result.failed = failed;
        };
        EXPECT_TRUE(request.Start(server.Url(QStringLiteral("/bbsmenu.html"))));
        const QDeadlineTimer limit(WaitLimitMs);
        while (!result.done && !limit.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_TRUE(result.done);
        return result;
    }

    static QStringList Describe(const TBoardList &boards)
    {
        QStringList lines;
        for (int i = 0; i < boards.Count(); ++i) {
            const TBoard *b = boards.Get(i);
            lines << QStringList{b->Category, b->ID, b->Name, b->HostPath, b->URL}.join(QLatin1Char('|'));
        }
        return lines;
    }

    TempDataRoot root;
    ScriptedHttpServer server;
    std::unique_ptr<TTavuConfig> config;
    std::unique_ptr<TTavuEnviron> environ;

private:
    TTavuConfig *oldConfig = nullptr;
    TTavuEnviron *oldEnviron = nullptr;
};

const char *const Menu =
    "<HTML><HEAD><TITLE>BBS MENU</TITLE></HEAD><BODY>\n"
    "<A HREF=http://www.2ch.net/>トップ</A><br>\n"
    "<BR><BR><B>ニュース</B><BR>\n"
    "<A HREF=http://news.2ch.net/newsplus/>ニュース速報+</A><br>\n"
    "<A HREF=http://news.2ch.net/news/ TARGET=_blank>ニュース速報</A><br>\n"
    "<A HREF=http://www.example.com/other/>よそのサイト</A><br>\n"
    "<BR><BR><B>趣味</B><BR>\n"
    "<a href=\"http://hobby.2ch.net/sub/train/\">鉄道</a><br>\n"
    "</BODY></HTML>\n";

}  // namespace

TEST_F(BoardListTest, TheShippedScriptReadsTheBoardMenu)
{
    TBoardListDownloader job;
    const Result result = Fetch(QString::fromUtf8(Menu), job);
    EXPECT_FALSE(result.failed);
    EXPECT_TRUE(result.errors.isEmpty());
    EXPECT_GT(result.progressCalls, 5);
    // the top page is no board, the other site's board is not claimed by the site
    EXPECT_EQ(Describe(*job.Boards), (QStringList{
                                         QStringLiteral("ニュース|newsplus|ニュース速報+|news.2ch.net|http://news.2ch.net/newsplus/"),
                                         QStringLiteral("ニュース|news|ニュース速報|news.2ch.net|http://news.2ch.net/news/"),
                                         QStringLiteral("趣味|train|鉄道|hobby.2ch.net/sub|http://hobby.2ch.net/sub/train/"),
                                     }));
    const TBoard *board = job.Boards->Get(0);
    EXPECT_EQ(board->Site, Site());
    EXPECT_EQ(board->BBS, Site()->BBS);
    EXPECT_EQ(board->BBSName, QStringLiteral("newsplus"));
    EXPECT_EQ(job.TempData, QStringLiteral("趣味"));
    // the page is kept in the site's log folder
    EXPECT_EQ(jconvert::SjisToUnicode(FileUtil::ReadFile(Site()->GetLogDir() + QStringLiteral("boardlist.txt"))),
              QString::fromUtf8(Menu));
}

TEST_F(BoardListTest, ScriptVariablesAndHostPaths)
{
    // BoardPath is taken when the script gives it, and kept for the boards after it
    WriteScript(QStringLiteral(
        "IF Data = \"\" THEN END\n"
        "TempData = TempData & \"+\"\n"
        "BoardID = TOKEN(Data, \",\", 0)\n"
        "BoardURL = TOKEN(Data, \",\", 1)\n"
        "BoardName = \"n\" & LEN(TempData)\n"
        "IF TOKEN(Data, \",\", 2) <> \"\" THEN BoardPath = TOKEN(Data, \",\", 2)\n"
        "ParseOk = OK\n"));
    TBoardListDownloader job;
    Fetch(QStringLiteral("abc,http://x.2ch.net/dir/abc/\n"
                         "noslash,http://y.2ch.net/noslash\n"
                         "p,http://z.2ch.net/p/,given.host/path\n"
                         "q,http://z.2ch.net/q/\n"),
          job);
    EXPECT_EQ(Describe(*job.Boards), (QStringList{
                                         QStringLiteral("|abc|n1|x.2ch.net/dir|http://x.2ch.net/dir/abc/"),
                                         QStringLiteral("|noslash|n2|y.2ch.net/noslash|http://y.2ch.net/noslash"),
                                         QStringLiteral("|p|n3|given.host/path|http://z.2ch.net/p/"),
                                         QStringLiteral("|q|n4|given.host/path|http://z.2ch.net/q/"),
                                     }));
    EXPECT_EQ(job.TempData, QStringLiteral("++++"));
    // the scheme is cut whatever it is
    EXPECT_EQ(TBoardListDownloaderRequest::HostPathOf(QStringLiteral("https://s.2ch.net/sec/"), QStringLiteral("sec")),
              QStringLiteral("s.2ch.net"));
    EXPECT_EQ(TBoardListDownloaderRequest::HostPathOf(QStringLiteral("http://h/abc/x/abc/"), QStringLiteral("abc")),
              QStringLiteral("h/abc/x"));
}

TEST_F(BoardListTest, ServerIdsThatCannotNameAFolderArePassedOver)
{
    WriteScript(QStringLiteral(
        "BoardID = Data\n"
        "BoardURL = \"http://a.2ch.net/\" & Data & \"/\"\n"
        "BoardName = Data\n"
        "ParseOk = Data <> \"\"\n"));
    TBoardListDownloader job;
    const Result result = Fetch(QStringLiteral("good\n..\na/b\ngood\n\n"), job);
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(Describe(*job.Boards), QStringList{QStringLiteral("|good|good|a.2ch.net|http://a.2ch.net/good/")});
    EXPECT_EQ(result.notices.size(), 3);
    EXPECT_TRUE(result.notices.value(2).contains(QLatin1String("good")));
}

TEST_F(BoardListTest, AScriptErrorEndsTheDownloadOnce)
{
    WriteScript(QStringLiteral("n = n + 1\nIF n = 2 THEN x = 1 / 0\nBoardID = \"b\" & n\nBoardURL = \"http://a.2ch.net/b\" & n & \"/\"\nParseOk = OK"));
    TBoardListDownloader job;
    const Result result = Fetch(QStringLiteral("1\n2\n3\n4\n"), job);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.errors, QStringList{QStringLiteral("ParseBoard.ruro 2行目: 0で割った")});
    EXPECT_EQ(job.Boards->Count(), 1);

    // A script that uses up the variables leaves no room for what the host sets after it.
    QStringList lines;
    for (int i = 1; i <= TRuroBas::MaxVariables - 4; ++i)
        lines << QStringLiteral("v%1 = 1").arg(i);
    WriteScript(lines.join(QLatin1Char('\n')) + QStringLiteral("\nParseOk = OK"));
    TBoardListDownloader full;
    const Result room = Fetch(QStringLiteral("1\n2\n"), full);
    EXPECT_TRUE(room.failed);
    EXPECT_EQ(room.errors, QStringList{QStringLiteral("ParseBoard.ruro 変数領域がなくなった")});
}

TEST_F(BoardListTest, ASiteWithoutScriptCannotStart)
{
    TSite *machi = environ->SiteList()->FindBySiteID(QStringLiteral("machibbs"));
    ASSERT_NE(machi, nullptr);
    EXPECT_FALSE(TBoardListDownloaderRequest::ScriptPath(machi).isEmpty());
    TSite *local = environ->LocalSite();
    TBoardListDownloader job;
    job.Site = local;
    TBoardListDownloaderRequest request(&job);
    EXPECT_TRUE(TBoardListDownloaderRequest::ScriptPath(local).isEmpty());
    EXPECT_FALSE(request.Start(server.Url(QStringLiteral("/bbsmenu.html"))));
    EXPECT_FALSE(request.IsBusy());
}
