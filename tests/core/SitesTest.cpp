#include "core/BBS.h"
#include "core/BBSList.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"

#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <memory>

namespace {

QByteArray Sjis(const QString &text)
{
    return jconvert::UnicodeToSjis(text);
}

// A seeded program folder with its configuration and registry, as the start-up makes them.
class SitesTest : public ::testing::Test {
protected:
    TempDataRoot root{true};
    std::unique_ptr<TTavuConfig> config;
    std::unique_ptr<TTavuEnviron> environ;

    void SetUp() override
    {
        config = std::make_unique<TTavuConfig>();
        TavuConfig = config.get();
        environ = std::make_unique<TTavuEnviron>();
        TavuEnviron = environ.get();
    }
    void TearDown() override
    {
        TavuEnviron = nullptr;
        environ.reset();
        TavuConfig = nullptr;
    }

    void Start()
    {
        environ->CreateBBSList();
        environ->LoadSites();
    }
    QString Profile(const QString &relative) const { return config->GetProfileDir() + relative; }
    QStringList SiteIds() const
    {
        QStringList ids;
        for (int i = 0; i < environ->SiteList()->Count(); ++i)
            ids << environ->SiteList()->Get(i)->SITEID;
        return ids;
    }
};

}  // namespace

TEST_F(SitesTest, StartUpRegistersTypesAndLoadsTheSeededSites)
{
    Start();
    EXPECT_TRUE(environ->LoadMessages().isEmpty()) << environ->LoadMessages().join('\n').toStdString();

    // the fifteen built-in types first, then the shipped user-defined ones; each with its bbs.ini
    TBBSList *types = environ->BBSList();
    ASSERT_GT(types->Count(), 15);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(types->Get(i)->ID, TTavuEnviron::BuiltinBBSIDs().at(i));
    for (int i = 0; i < types->Count(); ++i)
        EXPECT_TRUE(types->Get(i)->HasBbsIni()) << types->Get(i)->ID.toStdString();
    const TBBS *doLib = types->FindByID(QStringLiteral("DolibScript"));
    ASSERT_NE(doLib, nullptr);
    EXPECT_EQ(doLib->Name, QStringLiteral("2ちゃんねる"));
    EXPECT_EQ(doLib->Param.PARAM_BBS, QStringLiteral("bbs"));
    EXPECT_EQ(doLib->Param.PARAM_DAT, QStringLiteral("key"));
    EXPECT_TRUE(doLib->ResFlags & TBBS::RES_SAGE_IN_MAIL);
    EXPECT_TRUE(types->FindByID(QStringLiteral("shitarabajbbs"))->IsEuc());

    // listed sites in order, then the special ones, favorites last
    EXPECT_EQ(SiteIds(), (QStringList{"2ch", "machibbs", "user", "local", "rss", "favorites"}));
    EXPECT_EQ(environ->FavoritesSite(), environ->SiteList()->Get(5));
    EXPECT_EQ(environ->UserSite()->Kind, TSite::KIND_USER);
    EXPECT_EQ(environ->LocalSite()->BBS->ID, QStringLiteral("localscript"));
    EXPECT_EQ(environ->RssSite()->CodePage, 2);

    TSite *ch = environ->SiteList()->FindBySiteID(QStringLiteral("2ch"));
    ASSERT_NE(ch, nullptr);
    EXPECT_EQ(environ->SiteList()->FindBySiteID(QStringLiteral("2CH")), nullptr);
    EXPECT_EQ(ch->NAME, QStringLiteral("２ちゃんねる"));
    EXPECT_EQ(ch->BBS, doLib);
    EXPECT_GE(ch->Boards->Count(), 5);
    const TBoard *newsplus = ch->Boards->FindByID(QStringLiteral("newsplus"));
    ASSERT_NE(newsplus, nullptr);
    EXPECT_EQ(newsplus->BBS, doLib);
    EXPECT_EQ(newsplus->Category, QStringLiteral("ニュース"));
    EXPECT_EQ(newsplus->URL, QStringLiteral("http://news.2ch.net/newsplus/"));
    EXPECT_EQ(newsplus->GetLogDir(), config->LogDir() + QStringLiteral("2ch/newsplus/"));
    EXPECT_EQ(environ->FavoritesSite()->Boards->Get(0)->Kind, TBoard::KIND_FAVORITES);

    // the real templates of the 2ch family
    EXPECT_EQ(doLib->BoardUrl(QStringLiteral("DAT"), newsplus, QStringLiteral("1234567890")),
              QStringLiteral("http://news.2ch.net/newsplus/dat/1234567890.dat"));
    EXPECT_EQ(doLib->BoardUrl(QStringLiteral("READCGI"), newsplus, QStringLiteral("1234567890")),
              QStringLiteral("http://news.2ch.net/test/read.cgi/newsplus/1234567890/"));
    EXPECT_EQ(ch->GetLocalRule(newsplus), QStringLiteral("http://news.2ch.net/newsplus/head.txt"));
    // a board served on another port keeps it in every URL made for it
    TBoard onPort;
    onPort.Assign(*newsplus);
    onPort.URL = QStringLiteral("http://127.0.0.1:8080/newsplus/");
    EXPECT_EQ(ch->GetLocalRule(&onPort), QStringLiteral("http://127.0.0.1:8080/newsplus/head.txt"));

    // the site list was put in the program folder for the set-up dialog to extend
    EXPECT_EQ(root.Read(QStringLiteral("config/sitelist.ini")), root.Read(QStringLiteral("def/config/sitelist.ini")));
}

TEST_F(SitesTest, ProfileCopiesWinAndReceiveEveryWrite)
{
    const QByteArray seedBoards = root.Read(QStringLiteral("def/config/site/2ch/board.dat"));
    root.Write(QStringLiteral("config/site/machibbs/board.dat"), Sjis(QStringLiteral("2\r\n全国\r\n\tx.machi.to\tall\t全国\r\n")));
    FileUtil::WriteFileAtomic(Profile(QStringLiteral("config/site/machibbs/board.dat")),
                              "2\r\nMine\r\n\tmy.machi.to\tmine\tMine\r\n");
    Start();

    TSite *machi = environ->SiteList()->FindBySiteID(QStringLiteral("machibbs"));
    ASSERT_EQ(machi->Boards->Count(), 1);
    EXPECT_EQ(machi->Boards->Get(0)->ID, QStringLiteral("mine"));   // the profile copy wins
    QFile::remove(Profile(QStringLiteral("config/site/machibbs/board.dat")));
    machi->LoadBoards();
    EXPECT_EQ(machi->Boards->Get(0)->ID, QStringLiteral("all"));

    // a save goes to the profile only; the seeds stay as shipped
    TSite *ch = environ->SiteList()->FindBySiteID(QStringLiteral("2ch"));
    ch->Boards->Delete(0);
    ch->SaveBoards();
    EXPECT_EQ(root.Read(QStringLiteral("def/config/site/2ch/board.dat")), seedBoards);
    EXPECT_NE(FileUtil::ReadFile(Profile(QStringLiteral("config/site/2ch/board.dat"))), seedBoards);
    EXPECT_EQ(FileUtil::ReadFile(ch->GetDir() + QStringLiteral("board.bak")), QByteArray());   // nothing to back up

    // a counter written into site.ini keeps the rest of the seeded file
    const QString own = environ->FavoritesSite()->PrepareOwnFile(QStringLiteral("site.ini"));
    EXPECT_EQ(own, Profile(QStringLiteral("config/site/favorites/site.ini")));
    {
        TIniFile ini(own);
        ini.WriteInteger(QStringLiteral("LIST"), QStringLiteral("USED"), 7);
        ini.UpdateFile();
    }
    ASSERT_TRUE(environ->FavoritesSite()->Load());
    EXPECT_EQ(environ->FavoritesSite()->NAME, QStringLiteral("お気に入り"));
    EXPECT_EQ(environ->FavoritesSite()->Ini().ReadInteger(QStringLiteral("LIST"), QStringLiteral("USED")), 7);
    // and a second preparation never overwrites it with the seed
    environ->FavoritesSite()->PrepareOwnFile(QStringLiteral("site.ini"));
    EXPECT_EQ(TIniFile(own).ReadInteger(QStringLiteral("LIST"), QStringLiteral("USED")), 7);
}

TEST_F(SitesTest, BadListEntriesAreSkippedWithAMessage)
{
    // the counts of damaged lists cost only the entries the files hold
    root.Write(QStringLiteral("config/sitelist.ini"),
               "[SITE]\r\nCOUNT=2147483647\r\nSITE1=2ch\r\nSITE2=../escape\r\nSITE3=2CH\r\nSITE4=nosuchsite\r\n"
               "SITE5=favorites\r\nSITE6=\r\nSITE7=machibbs\r\n");
    root.Write(QStringLiteral("config/bbslist.ini"),
               "[BBSLIST]\r\nCOUNT=2000000000\r\nBBS1=mytype\r\nBBS2=2CHSCRIPT\r\nBBS3=../../x\r\nBBS4=noini\r\n");
    root.Write(QStringLiteral("config/bbs/mytype/bbs.ini"), "[SCRIPT]\r\nNAME=Mine\r\nTHREAD=16\r\n");
    Start();

    EXPECT_EQ(SiteIds(), (QStringList{"2ch", "machibbs", "user", "local", "rss", "favorites"}));
    EXPECT_EQ(environ->BBSList()->Count(), 16);
    const TBBS *mine = environ->BBSList()->FindByID(QStringLiteral("mytype"));
    ASSERT_NE(mine, nullptr);
    EXPECT_TRUE(mine->ThreadFlags & TBBS::THREAD_PASSWORD);
    // five bad entries, the missing type ini, and the sites the count names but the file lacks
    EXPECT_EQ(environ->LoadMessages().size(), 7) << environ->LoadMessages().join('\n').toStdString();
    EXPECT_TRUE(environ->LoadMessages().join('\n').contains(QStringLiteral("SITE8, SITE9")));
    // the program folder's list is never replaced by the seed
    EXPECT_TRUE(root.Read(QStringLiteral("config/sitelist.ini")).contains("nosuchsite"));
}

TEST_F(SitesTest, FactoryMakesTheHandlersAndSpecialSitesAlwaysExist)
{
    QStringList asked;
    environ->SetBBSFactory([&asked](const QString &id, const QString &folder) -> TBBS * {
        asked << id;
        return id == QLatin1String("rssscript") ? new TBBS(id, folder) : nullptr;
    });
    QDir(root.File(QStringLiteral("def/config/site/user"))).removeRecursively();
    Start();
    EXPECT_EQ(asked.mid(0, 15), TTavuEnviron::BuiltinBBSIDs());
    ASSERT_NE(environ->UserSite(), nullptr);
    EXPECT_EQ(environ->UserSite()->NAME, QStringLiteral("その他のBBS"));
    EXPECT_EQ(environ->UserSite()->BBS->ID, QStringLiteral("2chscript"));
    EXPECT_EQ(environ->UserSite()->Boards->Count(), 0);
}

TEST_F(SitesTest, UrlsAreClaimedByIncludePatterns)
{
    Start();
    TSiteList *sites = environ->SiteList();
    TSite *ch = sites->FindBySiteID(QStringLiteral("2ch"));
    EXPECT_TRUE(ch->MatchUrl(QStringLiteral("http://news.2ch.net/test/read.cgi/newsplus/123/")));
    EXPECT_TRUE(ch->MatchUrl(QStringLiteral("HTTP://Pie.BBSPINK.com/x/")));
    EXPECT_FALSE(ch->MatchUrl(QStringLiteral("http://2ch.net.example.org/")));
    EXPECT_FALSE(ch->MatchUrl(QStringLiteral("http://kanto.machi.to/bbs/read.cgi/tokyo/1/")));
    EXPECT_EQ(sites->FindByUrl(QStringLiteral("http://kanto.machi.to/bbs/read.cgi/tokyo/1/"))->SITEID,
              QStringLiteral("machibbs"));
    EXPECT_EQ(sites->FindByUrl(QStringLiteral("http://www.example.com/")), nullptr);
    EXPECT_FALSE(environ->UserSite()->MatchUrl(QStringLiteral("http://anything/")));   // no patterns
}

TEST_F(SitesTest, FavoriteShortcutsPointAtTheRealBoard)
{
    FileUtil::WriteFileAtomic(
        Profile(QStringLiteral("config/site/favorites/board.dat")),
        Sjis(QStringLiteral("2\r\nお気に入り\r\n\t<favorites>\tfav00001\tdefault\r\n"
                            "\tnews.2ch.net\tnewsplus\tニュース速報+\r\n"
                            "\tkanto.machi.to\tgone\t消えた板\r\n"
                            "\tnowhere.example\tlost\t不明\r\n")));
    Start();
    TSite *favorites = environ->FavoritesSite();
    TSite *ch = environ->SiteList()->FindBySiteID(QStringLiteral("2ch"));
    ASSERT_EQ(favorites->Boards->Count(), 4);

    const TBoard *shortcut = favorites->Boards->Get(1);
    EXPECT_EQ(shortcut->Site, ch);
    EXPECT_EQ(shortcut->BBS, ch->BBS);
    EXPECT_EQ(shortcut->GetLogDir(), ch->Boards->FindByID(QStringLiteral("newsplus"))->GetLogDir());
    // a board the site no longer has still belongs to the site that claims its URL
    EXPECT_EQ(favorites->Boards->Get(2)->Site->SITEID, QStringLiteral("machibbs"));
    EXPECT_EQ(favorites->Boards->Get(2)->BBS->ID, QStringLiteral("machibbsscript"));
    // and one claimed by nobody is read as a 2ch-compatible board of the favorites
    EXPECT_EQ(favorites->Boards->Get(3)->Site, favorites);
    EXPECT_EQ(favorites->Boards->Get(3)->BBS->ID, QStringLiteral("2chscript"));

    const QByteArray before = FileUtil::ReadFile(Profile(QStringLiteral("config/site/favorites/board.dat")));
    favorites->SaveBoards();
    EXPECT_EQ(FileUtil::ReadFile(Profile(QStringLiteral("config/site/favorites/board.dat"))), before);
}

TEST_F(SitesTest, BoardLooksUpBasicAuthAndSubjectTitles)
{
    Start();
    TSite *ch = environ->SiteList()->FindBySiteID(QStringLiteral("2ch"));
    const TBoard *news = ch->Boards->FindByID(QStringLiteral("news"));
    const TBoard *newsplus = ch->Boards->FindByID(QStringLiteral("newsplus"));

    FileUtil::WriteFileAtomic(Profile(QStringLiteral("config/_BasicAuthorization.ini")),
                              "[2chnews]\r\nUSERNAME=me\r\nPASSWORD=secret\r\n[2chnewsplus]\r\nPASSWORD=only\r\n");
    EXPECT_EQ(news->GetBasicAuthUserName(), QStringLiteral("me"));
    EXPECT_EQ(news->GetBasicAuthPassword(), QStringLiteral("secret"));
    EXPECT_EQ(newsplus->GetBasicAuthUserName(), QString());
    EXPECT_EQ(ch->Boards->FindByID(QStringLiteral("tech"))->GetBasicAuthPassword(), QString());

    EXPECT_EQ(news->LookupSubjectTitle(QStringLiteral("1000000001")), QString());   // no subject.txt yet
    FileUtil::WriteFileAtomic(news->GetLogDir() + QStringLiteral("subject.txt"),
                              Sjis(QStringLiteral("1000000001.dat<>最初のスレ (12)\n1000000002.dat<>二番目 (３４)\n")));
    EXPECT_EQ(news->LookupSubjectTitle(QStringLiteral("1000000002")), QStringLiteral("二番目"));
    EXPECT_EQ(news->LookupSubjectTitle(QStringLiteral("1000000001")), QStringLiteral("最初のスレ"));
    EXPECT_EQ(news->LookupSubjectTitle(QStringLiteral("100000000")), QString());
    ch->LoadBoards();
    EXPECT_TRUE(ch->Boards->FindByID(QStringLiteral("news"))->LogFolderExists);
    EXPECT_FALSE(ch->Boards->FindByID(QStringLiteral("newsplus"))->LogFolderExists);
}

TEST_F(SitesTest, SiteTemplatesWinOverTheTypeAndAreFilledOnce)
{
    Start();
    TSite *user = environ->UserSite();
    const QString own = user->PrepareOwnFile(QStringLiteral("site.ini"));
    {
        TIniFile ini(own);
        ini.WriteString(QStringLiteral("READCGI"), QStringLiteral("my.host"), QStringLiteral("http://<HOST>/cgi/read.cgi?<PARAM_BBS>=<bbs>&<param_dat>=<dat>"));
        ini.UpdateFile();
    }
    user->Load();
    auto *board = new TBoard;
    board->Site = user;
    board->BBS = user->BBS;
    board->HostPath = QStringLiteral("my.host/sub");
    board->BBSName = board->ID = QStringLiteral("<host>");   // a hostile name is not filled again
    board->URL = QStringLiteral("http://my.host/sub/x/");
    user->Boards->Add(board);
    EXPECT_EQ(user->BBS->BoardUrl(QStringLiteral("READCGI"), board, QStringLiteral("42")),
              QStringLiteral("http://my.host/cgi/read.cgi?bbs=<host>&key=42"));
    EXPECT_EQ(user->BBS->BoardUrl(QStringLiteral("SUBJECT"), board),
              QStringLiteral("http://my.host/<host>/subject.txt"));
    EXPECT_EQ(TBBS::FillTemplate(QStringLiteral("<dir>|<BoardPath>|<dat>"), user->BBS->TemplateValues(board, "7")),
              QStringLiteral("sub|my.host/sub|7"));
}

TEST_F(SitesTest, SaveModeForThisRunOnlyIsNotStored)
{
    EXPECT_TRUE(environ->GetCached());
    config->Save();   // the stored setting: on
    environ->SetCached(false, true);
    EXPECT_FALSE(environ->GetCached());
    config->Save();
    config->Load();
    EXPECT_FALSE(environ->GetCached());   // still off in this run
    EXPECT_EQ(config->Ini.ReadString(QStringLiteral("VARNELO"), QStringLiteral("CACHED")), QStringLiteral("1"));
    environ->SetCached(false);
    config->Save();
    EXPECT_EQ(config->Ini.ReadString(QStringLiteral("VARNELO"), QStringLiteral("CACHED")), QStringLiteral("0"));
}

TEST_F(SitesTest, UnreadableSiteAndBoardListsAreToldAndKeptForRepair)
{
    const QByteArray garbage("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\x81\x82\xff\tjunk\tline\r\n<html>\r\n", 31);
    root.Write(QStringLiteral("config/site/2ch/board.dat"), garbage);
    root.Write(QStringLiteral("config/sitelist.ini"),
               "[SITE]\r\nCOUNT=3\r\nSITE1=2ch\r\n\x81\x82\xfe\xfe\r\nSITE3=machibbs\r\n");
    Start();
    EXPECT_EQ(SiteIds(), (QStringList{"2ch", "machibbs", "user", "local", "rss", "favorites"}));
    const QString messages = environ->LoadMessages().join('\n');
    EXPECT_TRUE(messages.contains(QStringLiteral("サイト一覧ファイルの SITE2 を読めませんでした"))) << messages.toStdString();
    EXPECT_TRUE(messages.contains(QStringLiteral("板一覧ファイルを読めませんでした"))) << messages.toStdString();
    EXPECT_TRUE(messages.contains(root.File(QStringLiteral("config/site/2ch/board.dat")))) << messages.toStdString();

    // Saving the empty result never replaces the file.
    TSite *site = environ->SiteList()->FindBySiteID(QStringLiteral("2ch"));
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(site->Boards->Count(), 0);
    site->Boards->SaveBoards(root.File(QStringLiteral("config/site/2ch/board.dat")));
    EXPECT_EQ(root.Read(QStringLiteral("config/site/2ch/board.dat")), garbage);

    // A list that is not an ini at all.
    root.Write(QStringLiteral("config/sitelist.ini"), QByteArray("\0\x01\x02 binary", 10));
    TTavuEnviron again;
    TavuEnviron = &again;
    again.CreateBBSList();
    again.LoadSites();
    EXPECT_TRUE(again.LoadMessages().join('\n').contains(QStringLiteral("サイト一覧ファイルを読めませんでした")));
    EXPECT_EQ(root.Read(QStringLiteral("config/sitelist.ini")), QByteArray("\0\x01\x02 binary", 10));
    TavuEnviron = environ.get();
}
