// The thread request flow against the board server: reopening an open thread, a tab closed or given
// another thread while it is still opening, the validators of a new log, errors and web pages.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "controls/BoardTree.h"
#include "controls/ExtListView.h"
#include "controls/WindowLists.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/TextList.h"
#include "core/ThreadItemList.h"
#include "render/EmbeddedWB.h"
#include "render/ResCacheLoader.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "services/ThreadListPane.h"
#include "services/Urls.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QRegion>
#include <QRegularExpression>
#include <QTest>
#include <QWebEnginePage>

using namespace PostTest;

namespace {

const QString Key = QStringLiteral("1000000001");

qint64 StoredSize(const TThreadItem *item)
{
    return TIniFile(item->GetInfFile()).ReadInt64(QStringLiteral("LOG"), QStringLiteral("SIZE"));
}

int LogLines(const TThreadItem *item)
{
    return int(FileUtil::ReadFile(item->GetLogFile()).count('\n'));
}

// Adds responses to the server's copy of the thread.
void Grow(TPostWindowEnv &env, int count)
{
    for (int i = 0; i < count; ++i)
        env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("追加%1").arg(i));
}

// Types the URL into the address box and presses Enter.
void OpenFromAddressBox(TPostWindowEnv &env, const QString &url)
{
    QComboBox *box = Part<QComboBox>(env.Window(), "UrlComboBox");
    box->setEditText(url);
    QTest::keyClick(box, Qt::Key_Return);
}

QString ReadUrl(TPostWindowEnv &env, const QString &key)
{
    return env.server.Url(QStringLiteral("/test/read.cgi/news/") + key + QLatin1Char('/'));
}

}  // namespace

TEST(ThreadFlow, AnOpenThreadIsOnlyBroughtToTheFrontUnlessAReloadIsAsked)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 3);
    ItemRef item(NewsItem(env, Key));
    OpenThread(env, item.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    Grow(env, 1);
    env.server.ClearLog();

    OpenThread(env, item.get());
    EXPECT_EQ(env.Window()->BusyCount(), 0);
    EXPECT_TRUE(env.server.Requests().isEmpty());

    OpenThread(env, item.get(), true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(env.server.RequestsTo(QStringLiteral("/dat/")).size(), 1);
    EXPECT_EQ(LogLines(item.get()), 4);
    EXPECT_EQ(env.Window()->Tabs().Browsers().size(), 1);
}

// A thread open in a tab and opened again by its URL (an item of its own) is brought to the front,
// and nothing is fetched or drawn again unless BROWSEREXISTSRELOAD asks for it.
TEST(ThreadFlow, AnOpenThreadOpenedByItsUrlIsOnlyBroughtToTheFront)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.config->BROWSEREXISTSRELOAD = false; });
    const QString otherKey = QStringLiteral("1000000002");
    AddThread(env.server, News, Key, 3);
    AddThread(env.server, News, otherKey, 2);
    ItemRef item(NewsItem(env, Key));
    ItemRef other(NewsItem(env, otherKey));
    OpenThread(env, item.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    OpenThread(env, other.get(), false, true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    Grow(env, 1);
    env.server.ClearLog();

    OpenFromAddressBox(env, ReadUrl(env, Key));
    EXPECT_EQ(env.Window()->BusyCount(), 0);
    EXPECT_TRUE(env.server.Requests().isEmpty());
    TTavuBrowser *current = nullptr;
    ASSERT_TRUE(env.Window()->Tabs().GetActiveBrowser(current));
    EXPECT_EQ(current, tab);
    EXPECT_EQ(tab->ThreadItem(), item.get());
    EXPECT_EQ(tab->ResList()->Count(), 3);
    EXPECT_EQ(env.Window()->Tabs().Browsers().size(), 2);

    TavuConfig->BROWSEREXISTSRELOAD = true;
    OpenFromAddressBox(env, ReadUrl(env, Key));
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(env.server.RequestsTo(QStringLiteral("/dat/")).size(), 1);
    EXPECT_EQ(env.Window()->Tabs().Browsers().size(), 2);
    EXPECT_EQ(tab->ResList()->Count(), 4);
}

// Offline, a thread that has no log is not opened: the log pane and a message say why, and the
// opening ends.
TEST(ThreadFlow, AThreadWithoutALogOpenedOfflineSaysSo)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 3);
    env.Window()->Action(QStringLiteral("actOnline"))->trigger();
    ASSERT_TRUE(TavuEnviron->IsOffline());
    env.server.ClearLog();

    OpenFromAddressBox(env, ReadUrl(env, Key));
    EXPECT_EQ(env.Window()->BusyCount(), 0);
    EXPECT_TRUE(env.Window()->Tabs().Browsers().isEmpty());
    EXPECT_TRUE(env.server.Requests().isEmpty());
    ASSERT_EQ(env.env.Messages.size(), 1) << env.env.Messages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(env.env.Messages[0].startsWith(QStringLiteral("オフライン状態のため取得できません。このスレッドのログはありません。")))
        << env.env.Messages[0].toStdString();
    const QStringList log = Part<QPlainTextEdit>(env.Window(), "Memo1")->toPlainText().split(QLatin1Char('\n'));
    EXPECT_TRUE(log.contains(QStringLiteral("→オフライン状態のため取得できません。このスレッドのログはありません。")));
}

// After a reload that brings new responses the first of them is at the top of the view: F5 on the
// open thread, and the open thread opened again with a reload.
TEST(ThreadFlow, AReloadWithNewResponsesShowsTheFirstNewOneAtTheTop)
{
    TPostWindowEnv env;
    env.ShowWindow();
    AddThread(env.server, News, Key, 100);
    ItemRef item(NewsItem(env, Key));
    OpenThread(env, item.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    tab->ScrollToRes(10);
    ASSERT_TRUE(WaitFor([tab] { return tab->GetTopResNumber() == 10; }));

    Grow(env, 30);
    env.Window()->Action(QStringLiteral("actThreadReload"))->trigger();
    ASSERT_TRUE(WaitFor([&] { return Settled(env) && !tab->Browser()->IsBusy(); }));
    ASSERT_EQ(tab->ResList()->Count(), 130);
    EXPECT_TRUE(WaitFor([tab] { return tab->GetTopResNumber() == 101; })) << "the view's top: " << tab->GetTopResNumber();

    tab->ScrollToRes(20);
    ASSERT_TRUE(WaitFor([tab] { return tab->GetTopResNumber() == 20; }));
    Grow(env, 30);
    OpenThread(env, item.get(), true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env) && !tab->Browser()->IsBusy(); }));
    ASSERT_EQ(tab->ResList()->Count(), 160);
    EXPECT_TRUE(WaitFor([tab] { return tab->GetTopResNumber() == 131; })) << "the view's top: " << tab->GetTopResNumber();
}

// Reopening a thread whose tab is open updates that tab in place; the opening still ends as every
// opening does: the thread leads the recent-thread list and is no longer a first read.
TEST(ThreadFlow, AThreadUpdatedInPlaceLeadsTheRecentListAndIsNoLongerAFirstRead)
{
    TPostWindowEnv env;
    const QString otherKey = QStringLiteral("1000000002");
    AddThread(env.server, News, Key, 3);
    AddThread(env.server, News, otherKey, 2);
    ItemRef item(NewsItem(env, Key));
    ItemRef other(NewsItem(env, otherKey));
    OpenThread(env, item.get());
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    EXPECT_TRUE(tab->IsFirstRead());   // no log yet
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    OpenThread(env, other.get(), false, true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    const QStringList &recent = env.Window()->StoredLists().RecentThreads.Lines;
    const QString prefix = env.site->SITEID + QStringLiteral("\tnews\t") + Key + QLatin1Char('\t');
    ASSERT_TRUE(recent.value(0).startsWith(env.site->SITEID + QStringLiteral("\tnews\t") + otherKey));

    // A mark in the page's document: a page loaded anew would not have it.
    PageHtml(tab);
    RunInPage(tab, QStringLiteral("document.documentElement.dataset.kept = 'yes'"));
    Grow(env, 1);
    OpenThread(env, item.get(), true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    ASSERT_EQ(RunInPage(tab, QStringLiteral("document.documentElement.dataset.kept")).toString(),
              QStringLiteral("yes"));   // the update was made in place
    EXPECT_EQ(tab->ResList()->Count(), 4);
    EXPECT_TRUE(recent.value(0).startsWith(prefix)) << recent.value(0).toStdString();
    EXPECT_EQ(recent.filter(prefix).size(), 1);
    EXPECT_EQ(recent.size(), 2);
    EXPECT_FALSE(tab->IsFirstRead());
}

// After every download the page marks as new exactly the responses the counts call new: those
// past the read count, which an update of the open page must take off the ones it marked before.
TEST(ThreadFlow, ThePageMarksAsNewWhatTheCountsCallNew)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 3);
    ItemRef item(NewsItem(env, Key));
    OpenThread(env, item.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    const QString mark = QStringLiteral("class=\"res new\"");
    const auto marked = [&] { return int(PostTest::PageHtml(tab).count(mark)); };
    const auto newInList = [&] {
        int count = 0;
        for (int i = 0; i < tab->ResList()->Count(); ++i)
            count += tab->ResList()->Get(i)->IsNew ? 1 : 0;
        return count;
    };
    ASSERT_EQ(item->NewCount, 3);   // a first read: everything is new
    ASSERT_EQ(marked(), 3);

    for (const int grown : {1, 2}) {
        Grow(env, grown);
        OpenThread(env, item.get(), true);
        ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
        EXPECT_EQ(item->NewCount, grown);
        EXPECT_EQ(marked(), grown);
        EXPECT_EQ(newInList(), grown);
        EXPECT_EQ(Part<QLabel>(env.Window(), "ThreadCountLabel")->text(),
                  QStringLiteral("(%1 / %2)").arg(grown).arg(item->COUNT));
    }
    const QString html = PostTest::PageHtml(tab);
    EXPECT_GT(html.lastIndexOf(mark), html.indexOf(QStringLiteral("追加0")));   // the last two are the marked ones
    EXPECT_EQ(html.count(QStringLiteral("id=\"ID4\"")), 1);   // unmarked in place, not written twice
    EXPECT_EQ(tab->ResList()->Count(), 6);
}

// The log after a download is what was stored followed by the new lines, byte for byte, whether the
// open page grew in place or the thread was opened anew.
TEST(ThreadFlow, ADownloadLeavesTheStoredLogFollowedByTheNewLines)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 3);
    ItemRef item(NewsItem(env, Key));
    OpenThread(env, item.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    const auto newLines = [&](int count) {
        QList<QByteArray> lines = env.server.DatBytes(News, Key).split('\n');
        lines.removeLast();   // after the last line break
        return lines.mid(lines.size() - count).join("\r\n") + "\r\n";
    };

    QByteArray stored = FileUtil::ReadFile(item->GetLogFile());
    Grow(env, 2);
    OpenThread(env, item.get(), true);   // in place
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), stored + newLines(2));

    stored = FileUtil::ReadFile(item->GetLogFile());
    env.Window()->Tabs().CloseActiveBrowser();
    Grow(env, 1);
    OpenThread(env, item.get(), true);   // anew: the stored log renders, then the download
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), stored + newLines(1));
    EXPECT_EQ(StoredSize(item.get()), env.server.DatBytes(News, Key).size());
    EXPECT_EQ(LogLines(item.get()), 6);
}

TEST(ThreadFlow, ATabClosedWhileOpeningIsNeverWrittenIntoAndTheLogStaysWhole)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 2000);
    ItemRef item(NewsItem(env, Key));
    OpenThread(env, item.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    const qint64 size = StoredSize(item.get());
    ASSERT_EQ(size, env.server.DatBytes(News, Key).size());
    env.Window()->Tabs().CloseActiveBrowser();

    // The stored log renders for a while; the download ends meanwhile and the tab goes.
    Grow(env, 2);
    OpenThread(env, item.get(), true);
    env.Window()->Tabs().CloseActiveBrowser();
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_TRUE(env.Window()->Tabs().Browsers().isEmpty());
    EXPECT_EQ(LogLines(item.get()), 2000);
    EXPECT_EQ(StoredSize(item.get()), size);
    EXPECT_EQ(item->SIZE, size);

    // The next opening fetches the two responses once.
    OpenThread(env, item.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(LogLines(item.get()), 2002);
    EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()),
              env.server.DatBytes(News, Key).replace("\n", "\r\n"));
}

TEST(ThreadFlow, ATabGivenAnotherThreadWhileOpeningShowsOnlyTheNewOne)
{
    TPostWindowEnv env([](TWindowEnv &e) { e.config->OPENNEWBROWSER = false; });
    AddThread(env.server, News, Key, 1500);
    AddThread(env.server, News, QStringLiteral("1000000002"), 4);
    ItemRef first(NewsItem(env, Key));
    ItemRef second(NewsItem(env, QStringLiteral("1000000002")));
    OpenThread(env, first.get());
    OpenThread(env, second.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));

    ASSERT_EQ(env.Window()->Tabs().Browsers().size(), 1);
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    EXPECT_EQ(tab->ThreadItem(), second.get());
    ASSERT_EQ(tab->ResList()->Count(), 4);
    EXPECT_EQ(tab->ResList()->Get(3)->Number, 4);
    EXPECT_FALSE(first->LogExists());   // its download was dropped, not half written
    EXPECT_EQ(LogLines(second.get()), 4);
}

// The board type notes the validators of the new log when its download ends; whatever reads the
// thread's .inf before the log is written (the thread list preparing its rows while the stored log
// still renders) must not make the flow store the log with the old validators, or the next fetch
// would bring responses twice.
TEST(ThreadFlow, TheNewValidatorsAreStoredWithTheNewLog)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 300);
    ItemRef item(NewsItem(env, Key));
    OpenThread(env, item.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    env.Window()->Tabs().CloseActiveBrowser();
    Grow(env, 1);

    // The server holds its answer until the page of the new tab takes the stored log's first
    // write; the loader then waits in it until the download has ended.
    env.server.Hold = true;
    bool downloadEnded = false;
    bool readBetween = false;
    bool firstWrite = true;
    QObject context;
    QObject::connect(&env.Window()->Tabs(), &TTabManager::BrowserMade, &context, [&](TTavuBrowser *tab) {
        QObject::connect(tab->Browser(), &TEmbeddedWB::Inserting, &context, [&, tab](const QString &, bool) {
            if (!std::exchange(firstWrite, false))
                return;
            ASSERT_NE(tab->Downloader, nullptr);
            ASSERT_NE(tab->CacheLoader(), nullptr);
            const auto done = tab->Downloader->OnDone;
            tab->Downloader->OnDone = [&, tab, done](TResDownloader *job, bool failed) {
                // done() may free the downloader and this handler with it: keep what is needed first
                TTavuBrowser *const view = tab;
                const auto original = done;
                original(job, failed);
                downloadEnded = true;
                if (view->DownloadState == TTavuBrowser::dsOpening) {
                    const int listed = item->AGECOUNT;
                    item->LoadInfo();   // as the thread list does when it prepares a row
                    item->AGECOUNT = listed;
                    readBetween = true;
                }
            };
            env.server.Hold = false;
            env.server.AnswerHeld();
            EXPECT_TRUE(WaitFor([&] { return downloadEnded; }));
        });
    });
    OpenThread(env, item.get(), true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    ASSERT_TRUE(readBetween);
    EXPECT_EQ(LogLines(item.get()), 301);
    EXPECT_EQ(StoredSize(item.get()), env.server.DatBytes(News, Key).size());

    Grow(env, 1);
    OpenThread(env, item.get(), true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()), env.server.DatBytes(News, Key).replace("\n", "\r\n"));
}

TEST(ThreadFlow, AFailedDownloadIsLoggedReportedAndKeepsTheTab)
{
    TPostWindowEnv env;
    auto *item = new TThreadItem;
    item->SetLocation(env.site->SITEID, PostTest::Gone, Key, QStringLiteral("無いスレ"));
    item->DownloadRequest = true;
    ItemRef hold(item);
    OpenThread(env, item);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));

    // The failure is told once, in Japanese, and never as a completed download.
    const QStringList log = Part<QPlainTextEdit>(env.Window(), "Memo1")->toPlainText().split(QLatin1Char('\n'));
    const qsizetype error = log.indexOf(QStringLiteral("△スレッド取得エラー →無いスレ／消えた板＠テスト"));
    ASSERT_GE(error, 0);
    EXPECT_EQ(log.value(error + 1), QStringLiteral("→404:dat落ちしたスレッドです。過去ログも見つかりませんでした。"));
    EXPECT_TRUE(log.filter(QStringLiteral("△スレッド取得完了")).isEmpty());
    ASSERT_EQ(env.env.Messages.size(), 1);
    EXPECT_TRUE(env.env.Messages[0].contains(QStringLiteral("\n\nスレッドダウンロードエラー\n無いスレ")));
    ASSERT_EQ(env.Window()->Tabs().Browsers().size(), 1);
    EXPECT_EQ(env.Window()->Tabs().Browsers().first()->DownloadState, TTavuBrowser::dsIdle);
    EXPECT_FALSE(item->LogExists());
}

// A web-page board shows no stored log: opened offline nothing loads into it, and the opening still
// ends (the busy indication goes).
TEST(ThreadFlow, AWebPageOpenedOfflineEndsItsOpening)
{
    TPostWindowEnv env([](TWindowEnv &e) {
        e.Root.Write(QStringLiteral("config/site/test/board.dat"),
                     jconvert::UnicodeToSjis(QStringLiteral("2\r\nテスト\r\n\thttp://127.0.0.1:1/page.html\tpage\tページ\twww\twwwscript\r\n")));
    });
    env.Window()->Action(QStringLiteral("actOnline"))->trigger();
    ASSERT_TRUE(TavuEnviron->IsOffline());
    auto *item = new TThreadItem;
    item->SetLocation(env.site->SITEID, QStringLiteral("page"), QStringLiteral("page"), QStringLiteral("ページ"));
    item->DownloadRequest = true;
    ItemRef hold(item);
    OpenThread(env, item);
    EXPECT_EQ(env.Window()->BusyCount(), 0);
    ASSERT_EQ(env.Window()->Tabs().Browsers().size(), 1);
    EXPECT_EQ(env.Window()->Tabs().Browsers().first()->DownloadState, TTavuBrowser::dsIdle);
}

// Titles keep the server's entities where they are stored; what the user reads shows their
// characters: the thread list, the tab, the window caption and the log.
TEST(ThreadFlow, TitlesShowTheirEntitiesDecodedAndKeepThemStored)
{
    TPostWindowEnv env;
    const QString stored = QStringLiteral("&lt;山括弧&gt; &amp;amp; &#9829;");
    const QString shown = QStringLiteral("<山括弧> &amp; ♥");
    env.server.AddThread(News, Key, stored);
    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("本文"));
    TVarneloWindow *window = env.Window();
    window->ListPane().StartThreadListDownload(env.Board(News), false, false);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));

    TTavuListDoc *doc = window->ListPane().ShownListDoc();
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->Items()->Count(), 1);
    EXPECT_EQ(ThreadListPane::CellText(*doc->Items()->Get(0), QStringLiteral("TITLE"), false), shown);

    Part<TqorExtListView>(window, "ThreadListView")->SelectItem(0);
    env.Window()->ListPane().OpenSelectedThread();
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    TTavuBrowser *tab = nullptr;
    ASSERT_TRUE(window->Tabs().GetActiveBrowser(tab));
    EXPECT_EQ(tab->TabButton->text(), QStringLiteral("<山括弧> &&amp; ♥"));   // the "&" shown as it is
    EXPECT_TRUE(window->windowTitle().endsWith(QLatin1Char('-') + shown + QStringLiteral("＠ニュース／テスト")));
    EXPECT_TRUE(Part<QPlainTextEdit>(window, "Memo1")
                    ->toPlainText()
                    .contains(QStringLiteral("▽スレッド取得開始 →") + shown + QStringLiteral("／ニュース＠テスト")));
    EXPECT_EQ(tab->ThreadItem()->TITLE, stored);
    EXPECT_EQ(TIniFile(tab->ThreadItem()->GetInfFile()).ReadString(QStringLiteral("LOG"), QStringLiteral("TITLE")), stored);
}

// A thread opened from its URL without a log learns its title from its first response; the page
// still begins with the heading that names it.
TEST(ThreadFlow, AThreadOpenedFromItsUrlHasItsHeading)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 2);
    env.Window()->OpenThreadUrl(env.server.Url(QStringLiteral("/test/read.cgi/news/") + Key + QLatin1Char('/')));
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    TTavuBrowser *tab = nullptr;
    ASSERT_TRUE(env.Window()->Tabs().GetActiveBrowser(tab));
    ASSERT_EQ(tab->ResList()->Count(), 2);
    ASSERT_TRUE(WaitFor([tab] { return !tab->Browser()->IsBusy(); }));
    QString html;
    tab->DocumentHtml([&html](const QString &text) { html = text; });
    ASSERT_TRUE(WaitFor([&html] { return !html.isEmpty(); }));
    const qsizetype heading = html.indexOf(QStringLiteral("スレ") + Key);
    ASSERT_GE(heading, 0);
    EXPECT_LT(heading, html.indexOf(QStringLiteral("id=\"ID1\"")));
}

// A thread opened by its URL is named by its key until its title is known: in the log line and, when
// the open fails, in the window caption.
TEST(ThreadFlow, AThreadOpenedFromItsUrlIsNamedByItsKeyUntilItsTitleIsKnown)
{
    TPostWindowEnv env;
    const QString missing = QStringLiteral("1000000099");
    env.Window()->OpenThreadUrl(env.server.Url(QStringLiteral("/test/read.cgi/news/") + missing + QLatin1Char('/')));
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    const QString log = Part<QPlainTextEdit>(env.Window(), "Memo1")->toPlainText();
    EXPECT_TRUE(log.contains(QStringLiteral("▽スレッド取得開始 →") + missing + QStringLiteral("／ニュース＠テスト"))) << log.toStdString();
    EXPECT_TRUE(env.Window()->windowTitle().endsWith(QLatin1Char('-') + missing + QStringLiteral("＠ニュース／テスト")))
        << env.Window()->windowTitle().toStdString();
}

// A thread left at response 200 opens there: the page's first write holds that response and the
// screenful just before it, not the first ones, which go in front of them afterwards; the finished
// page holds every response once, in order, under its header, and nothing of the room they took.
TEST(ThreadFlow, AThreadOpensWithTheResponsesWhereItWasLeftFirst)
{
    TPostWindowEnv env;
    env.ShowWindow();
    AddThread(env.server, News, Key, 300);
    {
        ItemRef first(NewsItem(env, Key));
        OpenThread(env, first.get());
        ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
        TTavuBrowser *tab = nullptr;
        ASSERT_TRUE(env.Window()->Tabs().GetActiveBrowser(tab));
        tab->ScrollToRes(200);
        ASSERT_TRUE(WaitFor([tab] { return tab->GetTopResNumber() == 200; }));
        env.Window()->Tabs().CloseActiveBrowser();   // the thread keeps where it was left
    }

    struct TPiece {
        QString Html;
        bool Front;
    };
    QList<TPiece> pieces;   // what the page of the tab made for the thread takes, from its opening on
    QObject context;
    QObject::connect(&env.Window()->Tabs(), &TTabManager::BrowserMade, &context, [&pieces, &context](TTavuBrowser *made) {
        QObject::connect(made->Browser(), &TEmbeddedWB::Inserting, &context,
                         [&pieces](const QString &html, bool front) { pieces.append({html, front}); });
    });
    ItemRef again(new TThreadItem);
    again->SetLocation(env.site->SITEID, News, Key, QString());   // no download: the stored log alone
    env.Window()->OpenThread(again.get(), false, true, true, 0, false, QString());
    ASSERT_FALSE(env.Window()->Tabs().Browsers().isEmpty());
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    ASSERT_TRUE(WaitFor([&] { return Settled(env) && !tab->Browser()->IsBusy(); }));
    ASSERT_TRUE(WaitFor([tab] { return tab->GetTopResNumber() == 200; }))
        << "the view's top: " << tab->GetTopResNumber() << ", pieces: " << pieces.size()
        << ", stored top: " << again->TOP;

    const auto pieceWith = [&pieces](int number) {
        const QString anchor = QStringLiteral("id=\"ID%1\"").arg(number);
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (pieces[i].Html.contains(anchor))
                return i;
        }
        return qsizetype(-1);
    };
    ASSERT_FALSE(pieces.isEmpty());
    const int nearest = 200 - TTavuBrowser::FirstScreenSize;
    EXPECT_EQ(pieceWith(200), 0);   // the page is loaded with them
    EXPECT_EQ(pieceWith(nearest), 0);
    EXPECT_TRUE(pieces[0].Html.contains(QStringLiteral("スレ") + Key));   // under its header
    ASSERT_GT(pieceWith(1), 0);
    EXPECT_TRUE(pieces[pieceWith(1)].Front);
    EXPECT_TRUE(pieces[pieceWith(nearest - 1)].Front);

    const QString html = PostTest::PageHtml(tab);
    static const QRegularExpression anchor(QStringLiteral("id=\"ID(\\d+)\""));
    QList<int> numbers;
    for (auto it = anchor.globalMatch(html); it.hasNext();)
        numbers << it.next().captured(1).toInt();
    ASSERT_EQ(numbers.size(), 300);
    for (int i = 0; i < numbers.size(); ++i)
        ASSERT_EQ(numbers[i], i + 1);
    EXPECT_EQ(html.count(QStringLiteral("<!--varnelo-front-->")), 1);
    EXPECT_FALSE(html.contains(QStringLiteral("varnelo-room")));
    const qsizetype heading = html.indexOf(QStringLiteral("スレ") + Key);
    ASSERT_GE(heading, 0);
    EXPECT_LT(heading, html.indexOf(QStringLiteral("id=\"ID1\"")));
    EXPECT_EQ(html.count(QStringLiteral("本文")), 300);
}

// A thread never read opens with room below its first screen for the responses still to come: as
// many as the share of the reply taken promises, or as the board's listing reports when it says
// more. The finished page holds every response once, in order, and nothing of the room.
TEST(ThreadFlow, ANeverReadThreadKeepsRoomBelowItsFirstScreenForTheRest)
{
    TPostWindowEnv env;
    env.ShowWindow();
    const int count = 300;
    const int screen = TTavuBrowser::FirstScreenSize;
    static const QRegularExpression room(QStringLiteral("varnelo-back-room\" data-responses=\"(\\d+)\""));
    for (const auto &[key, listed] : {std::pair{QStringLiteral("1000000002"), 0}, {QStringLiteral("1000000003"), 1000}}) {
        AddThread(env.server, News, key, count);
        ItemRef item(NewsItem(env, key));
        item->AGECOUNT = listed;
        OpenThread(env, item.get(), false, true);
        TTavuBrowser *tab = nullptr;
        ASSERT_TRUE(env.Window()->Tabs().GetActiveBrowser(tab));
        QStringList pieces;
        QObject::connect(tab->Browser(), &TEmbeddedWB::Inserting,
                         [&pieces](const QString &html, bool) { pieces.append(html); });
        ASSERT_TRUE(WaitFor([&] { return Settled(env) && !tab->Browser()->IsBusy(); }));

        const QString last = QStringLiteral("id=\"ID%1\"").arg(screen);
        const auto withRoom = std::find_if(pieces.cbegin(), pieces.cend(), [](const QString &html) { return html.contains(room); });
        ASSERT_NE(withRoom, pieces.cend()) << key.toStdString();
        EXPECT_TRUE(withRoom->contains(last));
        EXPECT_FALSE(withRoom->contains(QStringLiteral("id=\"ID%1\"").arg(screen + 1)));
        const int kept = room.match(*withRoom).captured(1).toInt();
        if (listed > 0)
            EXPECT_EQ(kept, listed - screen);
        else
            EXPECT_NEAR(kept, count - screen, (count - screen) / 10);

        const QString html = PageHtml(tab);
        EXPECT_FALSE(html.contains(QStringLiteral("varnelo-back-room")));
        EXPECT_EQ(html.count(QStringLiteral("本文")), count);
        EXPECT_GT(html.indexOf(QStringLiteral("id=\"ID%1\"").arg(count)), html.indexOf(last));
    }
}

namespace {

// Gathers what a widget is asked to paint.
class TPaintedRegion : public QObject {
public:
    explicit TPaintedRegion(QWidget *widget) { widget->installEventFilter(this); }
    QRegion Painted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            Painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

}  // namespace

// An update of a thread that the board tab lists under an item of its own: that item reads the new
// counts, and of the list only the thread's row is painted again, not every row on screen.
TEST(ThreadFlow, AnUpdateRepaintsOnlyItsThreadsRowWhichShowsTheNewCounts)
{
    TPostWindowEnv env;
    for (int i = 0; i < 20; ++i)
        AddThread(env.server, News, QString::number(1000000001 + i), 2);
    TVarneloWindow *window = env.Window();
    env.ShowWindow();
    window->ListPane().StartThreadListDownload(env.Board(News), false, false);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    TTavuListDoc *doc = window->ListPane().ShownListDoc();
    ASSERT_NE(doc, nullptr);
    ItemRef item(NewsItem(env, Key));   // the tab's own item of the thread
    const int row = doc->Items()->IndexOfDatName(item->DatName);
    ASSERT_GE(row, 0);
    const TThreadItem *listed = doc->Items()->Get(row);
    TqorExtListView *view = Part<TqorExtListView>(window, "ThreadListView");
    view->scrollTo(view->model()->index(row, 1), QAbstractItemView::PositionAtBottom);
    const QRect rowRect = view->visualRect(view->model()->index(row, 1));
    const QRect farRect = view->visualRect(view->model()->index(row - 3, 1));
    ASSERT_TRUE(view->viewport()->rect().contains(rowRect) && view->viewport()->rect().contains(farRect));

    OpenThread(env, item.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_EQ(listed->COUNT, 2);
    Grow(env, 3);
    TPaintedRegion painted(view->viewport());
    OpenThread(env, item.get(), true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env) && painted.Painted.contains(rowRect); }));
    EXPECT_EQ(listed->COUNT, 5);
    EXPECT_FALSE(painted.Painted.intersects(farRect));
}
