// Recognising thread and board URLs of the known sites, the responses a thread URL names, and
// opening URLs as threads, boards or web pages as the settings say.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "boards/DatConv.h"
#include "core/FileUtil.h"
#include "core/TextList.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "services/Urls.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using PostTest::AddThread;
using PostTest::ItemRef;
using PostTest::News;

namespace {

const QString Key = QStringLiteral("1000000001");
const QString Include = QStringLiteral("\r\n[INCLUDE]\r\n1=http://127.0.0.1:*\r\n");

struct TMatch {
    bool Found = false;
    int ResNo = 0;
    QString Board;
    QString Title;
    QList<int> Visible;   // numbers of the visible responses
    int Count = 0;
};

TMatch Match(const QString &url, bool withResponses = true)
{
    ItemRef item(new TThreadItem);
    TResList list;
    TMatch match;
    TSite *site = nullptr;
    TBoard *board = nullptr;
    match.Found = Urls::MatchBoardUrl(url, withResponses ? &list : nullptr, *item.get(), match.ResNo, site, board);
    match.Board = board ? board->ID : QString();
    match.Title = item->TITLE;
    match.Count = list.Count();
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Get(i)->Visible)
            match.Visible << list.Get(i)->Number;
    }
    return match;
}

// The thread's log of one response, written as a download leaves it: offline, a thread opens
// from its log.
void StoreLog(TPostWindowEnv &env)
{
    ItemRef item(PostTest::NewsItem(env, Key));
    FileUtil::WriteFileAtomic(item->GetLogFile(),
                              jconvert::UnicodeToSjis(QStringLiteral("名無し<>sage<>2024/05/01 12:00:00<>本文<>スレ\r\n")));
}

// A stored thread of five responses.
void StoreThread(TPostEnv &env)
{
    AddThread(env.server, News, Key, 5);
    ItemRef item(env.NewItem(News, Key));
    env.StoreThread(item.get());
}

}  // namespace

TEST(Url, AThreadUrlNamesItsStoredResponses)
{
    TPostEnv env(Include);
    StoreThread(env);
    const QString thread = env.server.Url(QStringLiteral("/test/read.cgi/news/") + Key + QLatin1Char('/'));

    TMatch match = Match(thread + QStringLiteral("2-3"));
    EXPECT_TRUE(match.Found);
    EXPECT_EQ(match.Board, News);
    EXPECT_EQ(match.ResNo, 2);
    EXPECT_EQ(match.Count, 5);
    EXPECT_EQ(match.Title, QStringLiteral("スレ") + Key);
    // Response 1 comes with the range unless the URL or the setting leaves it out.
    EXPECT_EQ(match.Visible, QList<int>({1, 2, 3}));
    EXPECT_EQ(Match(thread + QStringLiteral("2-3n")).Visible, QList<int>({2, 3}));
    env.config->RES1NOPOPUP = true;
    EXPECT_EQ(Match(thread + QStringLiteral("2-3")).Visible, QList<int>({2, 3}));

    // Without a range the last MAXPOPUPCOUNT responses.
    env.config->MAXPOPUPCOUNT = 2;
    EXPECT_EQ(Match(thread).Visible, QList<int>({4, 5}));

    // A caller that opens the thread (its log is read there) has the item bound all the same.
    const TMatch bound = Match(thread + QStringLiteral("2-3"), false);
    EXPECT_TRUE(bound.Found);
    EXPECT_EQ(bound.ResNo, 2);
    EXPECT_EQ(bound.Title, QStringLiteral("スレ") + Key);
    EXPECT_EQ(bound.Count, 0);
}

TEST(Url, AThreadNotStoredTakesItsTitleFromTheStoredList)
{
    TPostEnv env(Include);
    TTextList(QStringList{QStringLiteral("1000000009.dat<>保存された題 (12)")})
        .SaveToFile(env.Board(News)->GetLogDir() + QStringLiteral("subject.txt"));
    const TMatch match = Match(env.server.Url(QStringLiteral("/test/read.cgi/news/1000000009/")));
    EXPECT_TRUE(match.Found);
    EXPECT_EQ(match.Title, QStringLiteral("保存された題"));
    EXPECT_EQ(match.Count, 0);
}

TEST(Url, OtherUrlsAreNoThreads)
{
    TPostEnv env(Include);
    EXPECT_FALSE(Match(env.server.Url(QStringLiteral("/test/read.cgi/nosuch/1000000001/"))).Found);
    EXPECT_FALSE(Match(env.server.Url(QStringLiteral("/index.html"))).Found);
    EXPECT_FALSE(Match(QStringLiteral("http://elsewhere.example/test/read.cgi/news/1000000001/")).Found);
    // A key that is no safe file name never becomes a path.
    EXPECT_FALSE(Match(env.server.Url(QStringLiteral("/test/read.cgi?bbs=news&key=.secret"))).Found);

    TBoard *board = nullptr;
    EXPECT_TRUE(Urls::IsBoardUrl(env.Board(News)->URL, board));
    EXPECT_EQ(board, env.Board(News));
    EXPECT_FALSE(Urls::IsBoardUrl(env.Board(News)->URL + QStringLiteral("x"), board));
}

TEST(Url, OpeningFollowsTheSettings)
{
    TPostWindowEnv env([](TWindowEnv &e) {
        e.Root.Write(QStringLiteral("config/site/test/site.ini"),
                     jconvert::UnicodeToSjis(QStringLiteral("[SITE]\r\nSITEID=test\r\nNAME=テスト\r\nBBSTYPE=2chscript\r\n") + Include));
        e.config->APPSTATE = true;   // offline: a thread or board shows what is stored
    });
    TVarneloWindow *window = env.Window();
    StoreLog(env);

    TavuConfig->URL_OPENINVARNELO = 3;
    window->OpenThreadUrl(QStringLiteral("http://elsewhere.example/page.html"));
    EXPECT_TRUE(window->Tabs().Browsers().isEmpty());

    TavuConfig->URL_OPENINVARNELO = 0;
    window->OpenThreadUrl(QStringLiteral("http://elsewhere.example/page.html"));
    ASSERT_EQ(window->Tabs().Browsers().size(), 1);
    EXPECT_TRUE(window->Tabs().Browsers().first()->IsWebPage());

    window->OpenThreadUrl(env.server.Url(QStringLiteral("/test/read.cgi/news/") + Key + QStringLiteral("/5")));
    ASSERT_EQ(window->Tabs().Browsers().size(), 2);
    TTavuBrowser *tab = nullptr;
    ASSERT_TRUE(window->Tabs().GetActiveBrowser(tab));
    EXPECT_FALSE(tab->IsWebPage());
    ASSERT_NE(tab->ThreadItem(), nullptr);
    EXPECT_EQ(tab->ThreadItem()->GetKey(), Key);
    EXPECT_EQ(tab->ResNumber, 5);

    window->OpenThreadUrl(env.Board(News)->URL);
    ASSERT_NE(window->ListPane().ShownListDoc(), nullptr);
    EXPECT_EQ(window->ListPane().ShownListDoc()->BoardID, News);
    EXPECT_EQ(window->Tabs().Browsers().size(), 2);
}

// A URL typed into the empty window's address box opens with Enter and joins the URL history.
TEST(Url, ATypedUrlOpensWithEnterAndIsRemembered)
{
    TPostWindowEnv env([](TWindowEnv &e) {
        e.Root.Write(QStringLiteral("config/site/test/site.ini"),
                     jconvert::UnicodeToSjis(QStringLiteral("[SITE]\r\nSITEID=test\r\nNAME=テスト\r\nBBSTYPE=2chscript\r\n") + Include));
        e.config->APPSTATE = true;
        e.config->SAVEHIST = true;
    });
    TVarneloWindow *window = env.Window();
    StoreLog(env);
    ASSERT_TRUE(window->Tabs().Browsers().isEmpty());
    const QString url = env.server.Url(QStringLiteral("/test/read.cgi/news/") + Key + QStringLiteral("/"));
    Part<QComboBox>(window, "UrlComboBox")->setEditText(url);
    QTest::keyClick(Part<QComboBox>(window, "UrlComboBox")->lineEdit(), Qt::Key_Return);

    ASSERT_EQ(window->Tabs().Browsers().size(), 1);
    ASSERT_NE(window->Tabs().Browsers().first()->ThreadItem(), nullptr);
    EXPECT_EQ(window->Tabs().Browsers().first()->ThreadItem()->GetKey(), Key);
    EXPECT_EQ(Part<QComboBox>(window, "UrlComboBox")->itemText(0), url);
    TTextList history;
    ASSERT_TRUE(history.LoadFromFile(env.env.Profile(QStringLiteral("urllog.txt"))));
    EXPECT_EQ(history.Lines.value(0), url);
}

// A board added by hand to a site, on a server the site's patterns do not claim, is recognised from
// its own thread URLs; a board of that name on another host is not taken for it.
TEST(Url, ABoardAddedByHandOnAnotherServerOwnsItsThreadUrls)
{
    TPostEnv env(Include);
    const QString host = QStringLiteral("localhost:8081");
    auto *board = new TBoard;
    board->ID = QStringLiteral("mine");
    board->BBSName = board->ID;
    board->Name = QStringLiteral("自分の板");
    board->URL = QStringLiteral("http://%1/mine/").arg(host);
    board->HostPath = host;
    board->Site = env.site;
    board->BBS = env.site->BBS;
    env.site->Boards->Add(board);
    ASSERT_EQ(TavuEnviron->SiteList()->FindByUrl(board->URL), nullptr);

    const QString read = QStringLiteral("/test/read.cgi/mine/") + Key + QLatin1Char('/');
    const TMatch match = Match(QStringLiteral("http://") + host + read + QStringLiteral("3"));
    EXPECT_TRUE(match.Found);
    EXPECT_EQ(match.Board, QStringLiteral("mine"));
    EXPECT_EQ(match.ResNo, 3);
    EXPECT_FALSE(Match(QStringLiteral("http://elsewhere.example") + read).Found);
    EXPECT_FALSE(Match(QStringLiteral("http://") + host + QStringLiteral("/test/read.cgi/news/") + Key + QLatin1Char('/')).Found);
}
