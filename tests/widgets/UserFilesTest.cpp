// The user list files of the profile: first-run seeding, histories, the URL history, the search
// and board-type bars, favorites, bookmarks and the listings of stored logs.

#include "controls/UserFiles.h"

#include "controls/Dialogs.h"
#include "controls/TabButton.h"
#include "controls/TabMenuItem.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"
#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <memory>

namespace {

QByteArray Sjis(const QString &text)
{
    return jconvert::UnicodeToSjis(text);
}

QStringList Lines(const QString &file)
{
    TTextList list;
    list.LoadFromFile(file);
    return list.Lines;
}

// A profile with its configuration and a registry holding the site "2ch" with the board "news",
// set as the globals while the object lives.
class UserFilesTest : public ::testing::Test {
protected:
    TempDataRoot root;
    std::unique_ptr<TTavuConfig> config = std::make_unique<TTavuConfig>();
    std::unique_ptr<TTavuEnviron> registry = std::make_unique<TTavuEnviron>();
    TTavuConfig *oldConfig = std::exchange(TavuConfig, config.get());
    TTavuEnviron *oldEnviron = std::exchange(TavuEnviron, registry.get());
    TSite *site = nullptr;
    TBoard *news = nullptr;

    void SetUp() override
    {
        site = new TSite(QStringLiteral("2ch"), TSite::KIND_NORMAL, registry->BBSList());
        site->NAME = QStringLiteral("２ちゃんねる");
        registry->SiteList()->Add(site);
        news = new TBoard;
        news->ID = QStringLiteral("news");
        news->Name = QStringLiteral("ニュース速報");
        news->Site = site;
        news->LogFolder = root.Path() + QStringLiteral("log/2ch/news/");
        site->Boards->Add(news);
    }
    void TearDown() override
    {
        TavuConfig = oldConfig;
        TavuEnviron = oldEnviron;
    }

    QString Profile(const QString &name = QString()) const { return config->GetProfileDir() + name; }
    void WriteProfile(const QString &name, const QString &text) const
    {
        root.Write(Profile(name).mid(root.Path().size()), Sjis(text));
    }
    void WriteLog(const QString &name, const QString &text) const
    {
        root.Write(QStringLiteral("log/2ch/news/") + name, Sjis(text));
    }
    TThreadItem *NewItem(const QString &key, const QString &title) const
    {
        auto *item = new TThreadItem;
        item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), key, title);
        return item;
    }
};

struct ItemRef {
    TThreadItem *item;
    ~ItemRef() { item->Release(); }
    TThreadItem *operator->() const { return item; }
};

}  // namespace

// ---- seeding ----

TEST_F(UserFilesTest, FreshProfileIsSeededAndUserFilesAreNeverOverwritten)
{
    const QString shipped = QStringLiteral(VARNELO_SHIP_DIR "/def/");
    WriteProfile(QStringLiteral("toolbar.ini"), QStringLiteral("[MainActToolBar]\r\nCOUNT=0\r\n"));
    UserFiles::PrepareUserFiles(Profile(), shipped);

    for (const char *name : {"shortcut.txt", "aalist.txt", "search.txt", "column.txt", "popup.ini",
                             "newres.wav", "nores.wav", "send.wav", "error.wav", "skin/default/res.html"})
        EXPECT_TRUE(QFileInfo::exists(Profile(QLatin1String(name)))) << name;
    EXPECT_TRUE(QFileInfo(Profile(QStringLiteral("skin/module"))).isDir());
    EXPECT_EQ(Lines(Profile(QStringLiteral("toolbar.ini"))), QStringList({"[MainActToolBar]", "COUNT=0"}));
    EXPECT_EQ(FileUtil::ReadFile(Profile(QStringLiteral("column.txt"))), FileUtil::ReadFile(shipped + QStringLiteral("column.txt")));

    // A skin folder and a newres.wav of the user's stop those copies; popup.ini comes only from def.
    root.Write(QStringLiteral("def/shortcut.txt"), "tab\r\n");
    root.Write(QStringLiteral("def/skin/a/res.html"), "<dd>");
    root.Write(QStringLiteral("def/sound/send.wav"), "wave");
    const QString fresh = root.Path() + QStringLiteral("other/");
    QDir().mkpath(fresh + QStringLiteral("skin"));
    root.Write(QStringLiteral("other/newres.wav"), "mine");
    UserFiles::PrepareUserFiles(fresh, root.Path() + QStringLiteral("def/"));
    EXPECT_EQ(root.Read(QStringLiteral("other/shortcut.txt")), QByteArray("tab\r\n"));
    EXPECT_FALSE(QFileInfo::exists(fresh + QStringLiteral("skin/a")));
    EXPECT_TRUE(QFileInfo(fresh + QStringLiteral("skin/module")).isDir());
    EXPECT_FALSE(QFileInfo::exists(fresh + QStringLiteral("send.wav")));
    EXPECT_EQ(root.Read(QStringLiteral("other/newres.wav")), QByteArray("mine"));
    EXPECT_FALSE(QFileInfo::exists(fresh + QStringLiteral("popup.ini")));
}

TEST_F(UserFilesTest, OnlyTheOldSearchDefaultIsMigrated)
{
    const QString old = QStringLiteral("Google検索=http://www.google.co.jp/search?q=%s&hl=ja&btnG=Google+%8C%9F%8D%F5&lr=lang_ja");
    WriteProfile(QStringLiteral("search.txt"), QStringLiteral("A=x\r\n") + old + QStringLiteral("\r\n-\r\n"));
    UserFiles::PrepareUserFiles(Profile(), root.Path() + QStringLiteral("def/"));
    EXPECT_EQ(Lines(Profile(QStringLiteral("search.txt"))),
              QStringList({"A=x", "Google検索=http://www.google.com/search?num=100&hl=ja&ie=EUC-JP&q=%s ", "-"}));

    WriteProfile(QStringLiteral("search.txt"), old + QStringLiteral("&mine\r\n"));
    UserFiles::PrepareUserFiles(Profile(), root.Path() + QStringLiteral("def/"));
    EXPECT_EQ(Lines(Profile(QStringLiteral("search.txt"))), QStringList({old + QStringLiteral("&mine")}));
}

// ---- histories ----

TEST_F(UserFilesTest, HistoryKeepsOneLinePerThreadNewestFirst)
{
    ItemRef a{NewItem(QStringLiteral("100"), QStringLiteral("first\tthread\r\nsecond line"))};
    ItemRef b{NewItem(QStringLiteral("200"), QStringLiteral("other"))};
    const QString file = Profile(QStringLiteral("readhist.txt"));
    int reloads = 0;
    UserFiles::SetHistoryReload([&reloads] { ++reloads; });

    UserFiles::AddHistoryLine(a.item, file, true, false);   // switched off: nothing
    EXPECT_FALSE(QFileInfo::exists(file));
    UserFiles::AddHistoryLine(a.item, file, true, true);
    UserFiles::AddHistoryLine(b.item, file, true, true);
    UserFiles::AddHistoryLine(a.item, file, true, true);
    QStringList lines = Lines(file);
    ASSERT_EQ(lines.size(), 2);
    const QStringList fields = lines[0].split(QLatin1Char('\t'));
    ASSERT_EQ(fields.size(), 5);
    EXPECT_EQ(fields.mid(0, 4), QStringList({"2ch", "news", "100", "first thread  second line"}));
    EXPECT_TRUE(QDateTime::fromString(fields[4], QStringLiteral("yyyy/MM/dd hh:mm:ss")).isValid());
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2ch\tnews\t200\tother\t")));
    EXPECT_EQ(reloads, 3);

    UserFiles::AddHistoryLine(b.item, file, false, true);   // the post history keeps every line
    EXPECT_EQ(Lines(file).size(), 3);
    config->HISTRELOAD = false;
    UserFiles::AddHistoryLine(b.item, file, false, true);
    EXPECT_EQ(reloads, 4);
    UserFiles::SetHistoryReload({});
}

TEST_F(UserFilesTest, UrlHistoryHoldsTheTwentyMostRecent)
{
    QStringList list;
    for (int i = 1; i <= 21; ++i)
        UserFiles::AddUrlLog(list, QStringLiteral("http://h/%1").arg(i));
    ASSERT_EQ(list.size(), 20);
    EXPECT_EQ(list.first(), QStringLiteral("http://h/21"));
    EXPECT_EQ(list.last(), QStringLiteral("http://h/2"));

    UserFiles::AddUrlLog(list, QStringLiteral("http://h/10"));
    EXPECT_EQ(list.size(), 20);
    EXPECT_EQ(list.first(), QStringLiteral("http://h/10"));
    EXPECT_EQ(list.count(QStringLiteral("http://h/10")), 1);
    EXPECT_EQ(Lines(Profile(QStringLiteral("urllog.txt"))), list);

    config->SAVEHIST = false;
    UserFiles::AddUrlLog(list, QStringLiteral("http://h/99"));
    EXPECT_EQ(list.first(), QStringLiteral("http://h/10"));
}

TEST(IsToday, ReadsTheFirstThreeRunsOfDigits)
{
    const QDate today(2005, 3, 7);
    EXPECT_TRUE(UserFiles::IsToday(QStringLiteral("05/03/07 12:00"), today));
    EXPECT_TRUE(UserFiles::IsToday(QStringLiteral("2005年3月7日(月)"), today));
    EXPECT_FALSE(UserFiles::IsToday(QStringLiteral("2005/03/07"), today));   // the day's digits end the text
    EXPECT_FALSE(UserFiles::IsToday(QStringLiteral("2005/03/08 "), today));
    EXPECT_TRUE(UserFiles::IsToday(QStringLiteral("98/12/31 "), QDate(1998, 12, 31)));
    EXPECT_FALSE(UserFiles::IsToday(QStringLiteral("no date here"), today));
}

// ---- search menu and board-type bar ----

TEST_F(UserFilesTest, SearchMenuAndBoardTypeBarFollowTheirFiles)
{
    WriteProfile(QStringLiteral("search.txt"), QStringLiteral("R&D=http://s/?q=%s\r\n-\r\nnot an entry\r\n\r\nB=http://b/%s\r\n"));
    TActionList actions;
    QMenu menu;
    QStringList searched;
    UserFiles::LoadSearchMenu(&menu, Profile(QStringLiteral("search.txt")), actions,
                            [&searched](TSearchEngineMenuItem *item) { searched.append(item->SearchUrl); });
    QStringList shown;
    for (QAction *action : menu.actions())
        shown.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(shown, QStringList({"コピー(&C)", "この文字列でフィルタ(&F)...", "-", "R&&D", "-", "B"}));
    menu.actions().at(3)->trigger();
    EXPECT_EQ(searched, QStringList({"http://s/?q=%s"}));

    WriteProfile(QStringLiteral("bbsbar.txt"), QStringLiteral("2ch\t２ch\r\ngone\tremoved site\r\n"));
    QToolBar bar;
    config->SHOWBBSTOOLBAR = true;
    TSite *chosen = nullptr;
    for (int round = 0; round < 2; ++round)
        UserFiles::LoadBBSBar(&bar, Profile(QStringLiteral("bbsbar.txt")), *registry->SiteList(), {},
                            [&chosen](TSite *s) { chosen = s; });
    const QList<TBBSToolButton *> buttons = bar.findChildren<TBBSToolButton *>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0]->text(), QStringLiteral("２ch"));
    EXPECT_EQ(buttons[0]->toolTip(), QStringLiteral("２ちゃんねる"));
    buttons[0]->click();
    EXPECT_EQ(chosen, site);
    EXPECT_TRUE(bar.findChildren<QLabel *>().isEmpty());

    // With no button the bar says where they come from.
    WriteProfile(QStringLiteral("bbsbar.txt"), QStringLiteral("gone\tremoved site\r\n"));
    UserFiles::LoadBBSBar(&bar, Profile(QStringLiteral("bbsbar.txt")), *registry->SiteList(), {}, {});
    EXPECT_TRUE(bar.findChildren<TBBSToolButton *>().isEmpty());
    const QList<QLabel *> hints = bar.findChildren<QLabel *>();
    ASSERT_EQ(hints.size(), 1);
    EXPECT_TRUE(hints[0]->text().contains(QStringLiteral("BBSの表示順の変更")));

    config->SHOWBBSTOOLBAR = false;
    UserFiles::LoadBBSBar(&bar, Profile(QStringLiteral("bbsbar.txt")), *registry->SiteList(), {}, {});
    EXPECT_TRUE(bar.isHidden());
    EXPECT_TRUE(bar.actions().isEmpty());
}

// ---- favorites, bookmarks and deleting logs ----

TEST_F(UserFilesTest, FavoritesLoseTheThreadButNeverTheirNameLine)
{
    ItemRef item{NewItem(QStringLiteral("100"), QStringLiteral("t"))};
    item->FAVORITE = true;
    const QString folder = QStringLiteral("config/site/favorites/");
    WriteProfile(folder + QStringLiteral("fav00001.txt"), QStringLiteral("2ch\tnews\t100\r\n2ch\tnews\t101\tx\t1\r\n"));
    WriteProfile(folder + QStringLiteral("fav00002.txt"),
                 QStringLiteral("folder\r\n2ch\tnews\t100\tt\t1\r\n2ch\tlive\t100\tt\t1\r\n2ch\tnews\t100\tt\t1\r\n"));
    const QDateTime untouched = QFileInfo(Profile(folder + QStringLiteral("fav00001.txt"))).lastModified();

    UserFiles::RemoveFromFavoriteFiles(item.item);
    EXPECT_FALSE(item->FAVORITE);
    EXPECT_EQ(Lines(Profile(folder + QStringLiteral("fav00001.txt"))), QStringList({"2ch\tnews\t100", "2ch\tnews\t101\tx\t1"}));
    EXPECT_EQ(QFileInfo(Profile(folder + QStringLiteral("fav00001.txt"))).lastModified(), untouched);
    EXPECT_EQ(Lines(Profile(folder + QStringLiteral("fav00002.txt"))), QStringList({"folder", "2ch\tlive\t100\tt\t1"}));
}

TEST_F(UserFilesTest, DeletingAFavoriteLogAsksWhetherItLeavesTheFavorites)
{
    const QString favFile = QStringLiteral("config/site/favorites/fav00001.txt");
    QStringList asked;
    bool answer = false;
    Dialogs::TScopedDialogHandlers handlers([&](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
        asked.append(text);
        return answer ? Dialogs::mrYes : Dialogs::mrNo;
    });
    config->PRMPTDELETEFAV = true;
    for (bool yes : {false, true}) {
        answer = yes;
        WriteProfile(favFile, QStringLiteral("folder\r\n2ch\tnews\t100\tt\t1\r\n"));
        WriteLog(QStringLiteral("100.dat"), QStringLiteral("a<>b<>c<>d<>t\r\n"));
        ItemRef item{NewItem(QStringLiteral("100"), QStringLiteral("t"))};
        item->FAVORITE = true;
        item->READ = 1;
        ASSERT_TRUE(item->SaveInfo());

        UserFiles::DeleteThreadLog(item.item);
        EXPECT_FALSE(QFileInfo::exists(news->LogFolder + QStringLiteral("100.dat")));
        EXPECT_EQ(item->FAVORITE, !yes);
        EXPECT_EQ(Lines(Profile(favFile)).size(), yes ? 1 : 2);
        EXPECT_EQ(QFileInfo::exists(item->GetInfFile()), !yes);
        if (!yes) {   // still a favorite, with a fresh .inf
            const TIniFile inf(item->GetInfFile());
            EXPECT_EQ(inf.ReadInteger(QStringLiteral("LOG"), QStringLiteral("READ"), -1), 0);
        }
    }
    EXPECT_EQ(asked, QStringList(2, QStringLiteral("お気に入りから削除しますか？\r\nt")));

    config->PRMPTDELETEFAV = false;   // without the setting the answer is yes, unasked
    ItemRef item{NewItem(QStringLiteral("100"), QStringLiteral("t"))};
    item->FAVORITE = true;
    UserFiles::DeleteThreadLog(item.item);
    EXPECT_FALSE(item->FAVORITE);
    EXPECT_EQ(asked.size(), 2);
}

TEST_F(UserFilesTest, BookmarkIndexLosesTheThreadOnlyWithoutBookmarks)
{
    ItemRef item{NewItem(QStringLiteral("100"), QStringLiteral("t"))};
    TTextList index(QStringList{"2ch/news/100=t", "2ch/news/1000=u", "2ch/news/100=again"});
    const QString file = Profile(QStringLiteral("bookmark.txt"));
    item->Bookmarks.Add(new TBookmarkRes);
    UserFiles::RemoveBookmarkEntry(item.item, index, file);
    EXPECT_EQ(index.Count(), 3);
    EXPECT_FALSE(QFileInfo::exists(file));

    item->Bookmarks.Delete(0);
    UserFiles::RemoveBookmarkEntry(item.item, index, file);
    EXPECT_EQ(index.Lines, QStringList({"2ch/news/1000=u"}));
    EXPECT_EQ(Lines(file), index.Lines);
}

// ---- stored logs ----

TEST_F(UserFilesTest, LocalLogsAreListedAndUnlistedOnesArePastLogs)
{
    WriteLog(QStringLiteral("subject.dat"), QStringLiteral("111=5\r\n"));
    WriteLog(QStringLiteral("111.dat"), QStringLiteral("n<>m<>d<>body<>生きてる\r\nn<>m<>d<>body<>\r\n"));
    WriteLog(QStringLiteral("222.dat"), QStringLiteral("n<>m<>d<>body<>落ちた\r\n"));
    WriteLog(QStringLiteral("333.dat"), QString());
    TTavuListDoc doc;
    doc.Site = site;
    doc.BoardID = QStringLiteral("news");
    UserFiles::ListLocalLogs(&doc);

    ASSERT_EQ(doc.Items()->Count(), 2);
    TThreadItem *live = doc.Items()->Get(0);
    TThreadItem *fallen = doc.Items()->Get(1);
    EXPECT_EQ(live->GetKey(), QStringLiteral("111"));
    EXPECT_EQ(live->TITLE, QStringLiteral("生きてる"));
    EXPECT_FALSE(live->KAKOLOG);
    EXPECT_EQ(live->Number, 1);
    EXPECT_EQ(fallen->TITLE, QStringLiteral("落ちた"));
    EXPECT_TRUE(fallen->KAKOLOG);
    EXPECT_EQ(fallen->Number, 2);
    EXPECT_EQ(live->RefCount(), 2);   // the two lists of the tab
}

TEST_F(UserFilesTest, FallenThreadsAreAddedFromTheLogFolder)
{
    WriteLog(QStringLiteral("111.dat"), QStringLiteral("n<>m<>d<>b<>listed\r\n"));
    WriteLog(QStringLiteral("222.dat"), QStringLiteral("n<>m<>d<>b<>from the dat\r\nn<>m<>d<>b<>\r\nn<>m<>d<>b<>\r\n"));
    WriteLog(QStringLiteral("333.dat"), QStringLiteral("n<>m<>d<>b<>dat title\r\n"));
    WriteLog(QStringLiteral("333.inf"), QStringLiteral("[LOG]\r\nTITLE=inf title\r\nCOUNT=42\r\n"));
    TTavuListDoc doc;
    doc.Site = site;
    doc.BoardID = QStringLiteral("news");
    ItemRef listed{NewItem(QStringLiteral("111"), QStringLiteral("listed"))};
    doc.AddItem(listed.item);

    UserFiles::AddFallenThreads(&doc);
    ASSERT_EQ(doc.Items()->Count(), 3);
    TThreadItem *fromDat = doc.Items()->Get(1);
    TThreadItem *fromInf = doc.Items()->Get(2);
    EXPECT_EQ(fromDat->TITLE, QStringLiteral("from the dat"));
    EXPECT_EQ(fromDat->COUNT, 3);
    EXPECT_TRUE(fromDat->KAKOLOG);
    EXPECT_EQ(fromInf->TITLE, QStringLiteral("inf title"));
    EXPECT_EQ(fromInf->COUNT, 42);
    EXPECT_EQ(fromInf->GetLogFile(), news->LogFolder + QStringLiteral("333.dat"));
}
