// The clients of outside services: the board settings viewer (SETTING.TXT) and the access counter
// worker, each against a local scripted server: a normal reply, an error page, a changed format, a
// truncated reply and a reply held until stop-all ends the wait.

#include "services/AmezoSearch.h"
#include "services/ComposerFiles.h"
#include "services/HeeVote.h"
#include "services/MegabbsThreadList.h"
#include "services/Ninkinet.h"
#include "services/SettingText.h"
#include "tools/AmezoScape2ch.h"
#include "tools/DirectDialog.h"
#include "tools/HeeDialog.h"
#include "tools/IchigobbsRankingDialog.h"
#include "tools/SettingTextDialog.h"

#include "boards/BoardTypes.h"
#include "controls/Dialogs.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QAction>

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

QByteArray Sjis(const QString &text)
{
    return jconvert::UnicodeToSjis(text);
}

// The configuration and the registry (whose stop flag stop-all sets) on a temporary folder.
class TOutsideEnv {
public:
    // Three sites: "megabbs" with the boards a and b, "15ch" with x and y, "2ch" with p and q.
    TOutsideEnv()
    {
        root.Write(QStringLiteral("config/sitelist.ini"), "[SITE]\r\nCOUNT=3\r\nSITE1=megabbs\r\nSITE2=15ch\r\nSITE3=2ch\r\n");
        WriteSite(QStringLiteral("megabbs"), QStringLiteral("a"), QStringLiteral("b"));
        WriteSite(QStringLiteral("15ch"), QStringLiteral("x"), QStringLiteral("y"));
        WriteSite(QStringLiteral("2ch"), QStringLiteral("p"), QStringLiteral("q"));
        config = std::make_unique<TTavuConfig>();
        registry = std::make_unique<TTavuEnviron>();
        oldConfig = std::exchange(TavuConfig, config.get());
        oldEnviron = std::exchange(TavuEnviron, registry.get());
        BoardTypes::Install(registry.get());
        registry->CreateBBSList();
        registry->LoadSites();
    }
    ~TOutsideEnv()
    {
        TavuEnviron = oldEnviron;
        TavuConfig = oldConfig;
    }

    // Stop-all as soon as the server has the request (its reply is held back).
    void StopWhenRequested(const ScriptedHttpServer &server)
    {
        auto *poll = new QTimer(&stopper);
        QObject::connect(poll, &QTimer::timeout, &stopper, [this, &server, poll] {
            if (!server.Requests().isEmpty()) {
                registry->SetStopped(true);
                poll->stop();
            }
        });
        poll->start(5);
    }

    TSite *Site(const QString &id) const { return registry->SiteList()->FindBySiteID(id); }

    // Runs the event loop until the condition holds. A ticking timer wakes the loop, so each round
    // waits for at least one event and the bound is generous on a loaded machine.
    static bool WaitUntil(const std::function<bool()> &condition)
    {
        QTimer tick;
        tick.start(10);
        for (int round = 0; round < 20000 && !condition(); ++round)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return condition();
    }

    TempDataRoot root{true};   // the shipped board types
    std::unique_ptr<TTavuConfig> config;
    std::unique_ptr<TTavuEnviron> registry;
    QObject stopper;

private:
    TTavuConfig *oldConfig;

    void WriteSite(const QString &id, const QString &board1, const QString &board2)
    {
        root.Write(QStringLiteral("config/site/%1/site.ini").arg(id),
                   Sjis(QStringLiteral("[SITE]\r\nSITEID=%1\r\nNAME=%1\r\nBBSTYPE=2chscript\r\nCHARSET=SJIS\r\n").arg(id)));
        root.Write(QStringLiteral("config/site/%1/board.dat").arg(id),
                   Sjis(QStringLiteral("2\r\n板\r\n\th.example\t%1\t板%1\r\n\th.example\t%2\t板%2\r\n").arg(board1, board2)));
    }
    TTavuEnviron *oldEnviron;
};

const QString SettingTxt = QStringLiteral("testboard@test\r\nBBS_TITLE=テスト板\r\nBBS_NONAME_NAME=名無しさん\r\n"
                                          "BBS_SUBJECT_COUNT=48\r\nBBS_MESSAGE_COUNT=2048\r\nBBS_LINE_NUMBER=16\r\n");

}  // namespace

TEST(SettingText, SitsBesideTheBoardUrl)
{
    EXPECT_EQ(TSettingText::UrlOf(QStringLiteral("http://b.example/test/")), QStringLiteral("http://b.example/test/SETTING.TXT"));
    EXPECT_EQ(TSettingText::UrlOf(QStringLiteral("http://b.example/test/index.html")),
              QStringLiteral("http://b.example/test/SETTING.TXT"));
}

TEST(SettingText, ShowsTheDecodedKeysAndGivesTheComposerItsNames)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, Sjis(SettingTxt)));
    TSettingTextDialog dialog;
    ASSERT_TRUE(dialog.LoadSettingTxt(server.Url(QStringLiteral("/test/"))));

    EXPECT_TRUE(server.LastRequest().startsWith("GET /test/SETTING.TXT "));
    EXPECT_EQ(ScriptedHttpServer::HeaderOf(server.LastRequest(), "User-Agent"), QByteArray("Varnelo/2.0"));
    ASSERT_EQ(dialog.ValueListEditor1->rowCount(), 5);
    EXPECT_EQ(dialog.ValueListEditor1->item(0, 0)->text(), QStringLiteral("BBS_TITLE"));
    EXPECT_EQ(dialog.ValueListEditor1->item(1, 1)->text(), QStringLiteral("名無しさん"));
    EXPECT_TRUE(dialog.Memo1->toPlainText().startsWith(QStringLiteral("testboard@test\nBBS_TITLE=テスト板")));
    EXPECT_TRUE(dialog.EmbeddedWB1->pixmap().isNull());   // no title picture named
    EXPECT_EQ(server.Requests().size(), 1);

    const TSettingText &settings = dialog.Settings();
    EXPECT_EQ(settings.NonameName(), QStringLiteral("名無しさん"));
    EXPECT_EQ(settings.SubjectLimit(), 48);
    EXPECT_EQ(settings.MessageLimit(), 2048);
    EXPECT_EQ(settings.LineLimit(), 16);
    EXPECT_EQ(settings.NameLimit(), 0);   // not given
}

TEST(SettingText, FailuresLeaveTheWindowEmpty)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(404, "<html>Not Found</html>"));
    server.Reply(ScriptedHttpServer::Make(200, "<html><body>moved</body></html>"));
    server.Reply(QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 400\r\n\r\n") + Sjis(SettingTxt));   // cut short
    for (int reply = 0; reply < 3; ++reply) {
        TSettingTextDialog dialog;
        EXPECT_FALSE(dialog.LoadSettingTxt(server.Url(QStringLiteral("/test/")))) << reply;
        EXPECT_EQ(dialog.ValueListEditor1->rowCount(), 0) << reply;
        EXPECT_TRUE(dialog.Memo1->toPlainText().isEmpty()) << reply;
        EXPECT_TRUE(dialog.Settings().NonameName().isEmpty()) << reply;
    }
    EXPECT_EQ(server.Requests().size(), 3);
}

TEST(SettingText, StopAllEndsAHeldReply)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.ReplyNothing();
    env.StopWhenRequested(server);
    TSettingText settings;
    QString error;
    EXPECT_FALSE(settings.Load(server.Url(QStringLiteral("/test/")), error));
    EXPECT_TRUE(error.contains(TTavuEnviron::StoppedMessage())) << error.toStdString();
    EXPECT_TRUE(settings.Pairs().isEmpty());
}

TEST(Ninkinet, CallsTheCounterWithItsCookieAndHandsTheNewOneBack)
{
    EXPECT_EQ(TNinkinet::CounterUrl(QStringLiteral("http://c.example/bdisp.cgi?id=<id>&x=<ID>"), QStringLiteral("k1")),
              QStringLiteral("http://c.example/bdisp.cgi?id=k1&x=k1"));
    QString value = QStringLiteral("kept");
    EXPECT_FALSE(TNinkinet::CookieValue(QStringLiteral("other=1; path=/"), QStringLiteral("k1"), value));
    EXPECT_EQ(value, QStringLiteral("kept"));
    EXPECT_TRUE(TNinkinet::CookieValue(QStringLiteral("k1=abc"), QStringLiteral("k1"), value));
    EXPECT_EQ(value, QString());

    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, "ok", {"Set-Cookie: other=9; path=/", "Set-Cookie: k1=v2; path=/"}));
    TNinkinet counter(QStringLiteral("k1"), server.Url(QStringLiteral("/cgi-bin/bdisp.cgi?id=<ID>")), QStringLiteral("v1"),
                      THttpProxy());
    QStringList received;
    QObject::connect(&counter, &TNinkinet::CookieReceived, &env.stopper,
                     [&](const QString &id, const QString &v) { received.append(id + QLatin1Char('=') + v); });
    counter.start();
    ASSERT_TRUE(TOutsideEnv::WaitUntil([&] { return counter.isFinished() && !received.isEmpty(); }));
    EXPECT_TRUE(server.LastRequest().startsWith("GET /cgi-bin/bdisp.cgi?id=k1 "));
    EXPECT_EQ(ScriptedHttpServer::HeaderOf(server.LastRequest(), "Cookie"), QByteArray("k1=v1"));
    EXPECT_EQ(received, QStringList({QStringLiteral("k1=v2")}));
}

TEST(Ninkinet, StopAllAndShutdownEndAHeldRequest)
{
    TOutsideEnv env;
    for (bool byStopAll : {true, false}) {
        ScriptedHttpServer server;
        server.ReplyNothing();
        TNinkinet counter(QStringLiteral("k1"), server.Url(QStringLiteral("/c?id=<ID>")), QString(), THttpProxy());
        QStringList received;
        QObject::connect(&counter, &TNinkinet::CookieReceived, &env.stopper,
                         [&](const QString &id, const QString &) { received.append(id); });
        counter.start();
        ASSERT_TRUE(TOutsideEnv::WaitUntil([&] { return !server.Requests().isEmpty(); }));
        EXPECT_TRUE(ScriptedHttpServer::HeaderOf(server.LastRequest(), "Cookie").isEmpty());
        if (byStopAll)
            env.registry->SetStopped(true);
        else
            counter.requestInterruption();
        ASSERT_TRUE(TOutsideEnv::WaitUntil([&] { return counter.isFinished(); })) << byStopAll;
        env.registry->SetStopped(false);
        EXPECT_TRUE(received.isEmpty());
    }
}

namespace {

QString Titles(const TThreadItemList &items)
{
    QStringList shown;
    for (int i = 0; i < items.Count(); ++i) {
        const TThreadItem *item = items.Get(i);
        shown.append(QStringLiteral("%1:%2/%3:%4:%5").arg(item->Number).arg(item->BoardID, item->GetKey(), item->ShownTitle())
                         .arg(item->ServerCount));
    }
    return shown.join(QLatin1Char('|'));
}

const QString NewThreadsPage = QStringLiteral(
    "<html><body>\n"
    "<a href=\"http://h.example/readres.cgi?bo=a&vi=1001&rm=50\">最初 &amp; 次 &amp;lt; (123)</a><br>\n"
    "<a href=\"http://h.example/readres.cgi?bo=zz&vi=1002&rm=50\">知らない板 (4)</a><br>\n"
    "<a href=\"http://h.example/readres.cgi?bo=b&vi=1003&rm=50\">A (b) (7)</a><br>\n"
    "<a href=\"http://h.example/readres.cgi?bo=b&vi=1004&rm=50\">数なし (x)</a><br>\n"
    "</body></html>\n");

}  // namespace

TEST(MegabbsThreadList, LinksOfKnownBoardsBecomeNumberedThreads)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, Sjis(NewThreadsPage)));
    TThreadItemList items;
    QString error;
    ASSERT_TRUE(TMegabbsThreadList::Load(server.Url(QStringLiteral("/new.cgi")), &items, error)) << error.toStdString();
    EXPECT_EQ(Titles(items), QStringLiteral("1:a/1001:最初 & 次 &lt; :123|3:b/1003:A (b) :7|4:b/1004:数なし :0"));
}

TEST(MegabbsThreadList, FailuresAddNothing)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(500, "<html>error</html>"));
    server.Reply(ScriptedHttpServer::Make(200, "<html><body>メンテナンス中</body></html>"));
    server.Reply(QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 900\r\n\r\n") + Sjis(NewThreadsPage));
    server.ReplyNothing();
    for (int reply = 0; reply < 4; ++reply) {
        if (reply == 3)
            env.StopWhenRequested(server);
        TThreadItemList items;
        QString error;
        EXPECT_FALSE(TMegabbsThreadList::Load(server.Url(QStringLiteral("/new.cgi")), &items, error)) << reply;
        EXPECT_FALSE(error.isEmpty()) << reply;
        EXPECT_EQ(items.Count(), 0) << reply;
    }
}

namespace {

const QString RankingPage = QStringLiteral(
    "<ol>\n"
    "<li><a href=\"http://www.15ch.example/y/\">板y</a>\n"
    "( <a href=\"c\">5120</a> )\n"
    "<li><a href=\"http://www.15ch.example/gone/\">消えた板</a>\n"
    "( <a href=\"c\">999</a> )\n"
    "<li><a href=\"http://www.15ch.example/x/\">板x</a>\n"
    "( <a href=\"c\">77</a> )\n"
    "</ol>\n");

QStringList Rows(const QTreeWidget *list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = list->topLevelItem(i);
        rows.append(QStringList({row->text(0), row->text(1), row->text(2), row->text(3)}).join(QLatin1Char(',')));
    }
    return rows;
}

}  // namespace

TEST(IchigobbsRanking, KnownBoardsAreRankedAndADoubleClickOpensOne)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, Sjis(RankingPage)));
    QList<TBoard *> opened;
    TIchigobbsRankingDialog dialog(server.Url(QStringLiteral("/ranking.cgi")), [&](TBoard *board) { opened.append(board); });
    ASSERT_TRUE(dialog.SpeedButton1Click());
    EXPECT_EQ(Rows(dialog.ListView1), QStringList({QStringLiteral("0001,板y,5120,y"), QStringLiteral("0002,板x,77,x")}));

    dialog.ListView1->setCurrentItem(dialog.ListView1->topLevelItem(1));
    emit dialog.ListView1->itemDoubleClicked(dialog.ListView1->topLevelItem(1), 0);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], env.Site(QStringLiteral("15ch"))->Boards->FindByID(QStringLiteral("x")));
}

TEST(IchigobbsRanking, FailuresLeaveTheListEmpty)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, Sjis(RankingPage)));
    server.Reply(ScriptedHttpServer::Make(503, "<html>busy</html>"));
    server.Reply(ScriptedHttpServer::Make(200, "<html><table><tr><td>new layout</td></tr></table></html>"));
    server.Reply(QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 900\r\n\r\n") + Sjis(RankingPage));
    server.ReplyNothing();
    TIchigobbsRankingDialog dialog(server.Url(QStringLiteral("/ranking.cgi")), {});
    ASSERT_TRUE(dialog.SpeedButton1Click());
    for (int reply = 1; reply < 5; ++reply) {
        if (reply == 4)
            env.StopWhenRequested(server);
        EXPECT_FALSE(dialog.SpeedButton1Click()) << reply;
        EXPECT_EQ(dialog.ListView1->topLevelItemCount(), 0) << reply;
    }
}

namespace {

QByteArray SearchPage(const QString &hits)
{
    return jconvert::UnicodeToEuc(QStringLiteral("<html><body><dl>\n") + hits + QStringLiteral("</dl></body></html>\n"));
}

QString Hit(const QString &title, const QString &url)
{
    return QStringLiteral("<dt><img src=\"i.gif\"><a href=\"%2\">%1</a></dt>\n<dd><a href=\"%2\">%2</a></dd>\n").arg(title, url);
}

}  // namespace

TEST(AmezoSearch, TheRequestCarriesTheChoicesEncoded)
{
    EXPECT_EQ(TAmezoSearch::IndexName(11), QStringLiteral("2chtech"));
    EXPECT_EQ(TAmezoSearch::IndexName(20), QStringLiteral("2chpc"));
    EXPECT_EQ(TAmezoSearch::SortName(3), QStringLiteral("field:subject:ascending"));
    EXPECT_EQ(TAmezoSearch::SortName(-1), QStringLiteral("score"));
    EXPECT_EQ(TAmezoSearch::BuildUrl(QStringLiteral("http://s.example/s.cgi"), QStringLiteral("a b"), 19, 1),
              QStringLiteral("http://s.example/s.cgi?query=a+b&submit=%8C%9F%8D%F5&whence=0&idxname=2charmy&max=100"
                             "&result=normal&sort=date%3Alate"));
}

TEST(AmezoSearch, HitsOfKnownBoardsBecomeTheResultTab)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(
        200, SearchPage(Hit(QStringLiteral("<b>猫</b> &amp; 犬 &amp;lt;"), QStringLiteral("http://h.example/test/read.cgi/p/1001/"))
                        + Hit(QStringLiteral("よその板"), QStringLiteral("http://h.example/test/read.cgi/zz/1002/"))
                        + Hit(QStringLiteral("二つ目"), QStringLiteral("http://h.example/test/read.cgi/q/1003/")))));
    TThreadItemList items;
    TAmezoScape2ch dialog(&items);
    dialog.DaisenseiUrl->setText(server.Url(QStringLiteral("/s.cgi")));
    dialog.KeyWord->setCurrentText(QStringLiteral(" 猫 "));
    dialog.BitBtn1Click();
    ASSERT_TRUE(TOutsideEnv::WaitUntil([&] { return !dialog.Searching(); }));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.Failed());
    EXPECT_TRUE(server.LastRequest().startsWith("GET /s.cgi?query=%94L&submit="));
    EXPECT_EQ(Titles(items), QStringLiteral("1:p/1001:猫 & 犬 &lt;:0|2:q/1003:二つ目:0"));
    EXPECT_EQ(ComposerFiles::LoadLines(QStringLiteral("findlog.txt")), QStringList({QStringLiteral("猫")}));
    EXPECT_EQ(ComposerFiles::LoadLines(QStringLiteral("findtext.txt")), QStringList({QStringLiteral("猫")}));
}

TEST(AmezoSearch, FailuresAreNotTakenForSearchesWithoutHits)
{
    TOutsideEnv env;
    Dialogs::TScopedDialogHandlers handlers([](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
                                            [](QDialog &) { return 0; });
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, SearchPage(QString())));   // no hits
    server.Reply(ScriptedHttpServer::Make(500, "<html>error</html>"));
    server.Reply(ScriptedHttpServer::Make(200, "<table><tr><td>new layout"));
    server.Reply(QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 900\r\n\r\n")
                 + SearchPage(Hit(QStringLiteral("t"), QStringLiteral("http://h.example/test/read.cgi/p/1001/"))));
    server.ReplyNothing();
    for (int reply = 0; reply < 5; ++reply) {
        if (reply == 4)
            env.StopWhenRequested(server);
        TThreadItemList items;
        TAmezoScape2ch dialog(&items);
        dialog.DaisenseiUrl->setText(server.Url(QStringLiteral("/s.cgi")));
        dialog.KeyWord->setCurrentText(QStringLiteral("猫"));
        dialog.BitBtn1Click();
        ASSERT_TRUE(TOutsideEnv::WaitUntil([&] { return !dialog.Searching(); })) << reply;
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << reply;
        EXPECT_EQ(dialog.Failed(), reply > 0) << reply;
        EXPECT_EQ(items.Count(), 0) << reply;
    }
}

namespace {

QByteArray VotePage(const QStringList &counts)
{
    QString page = QStringLiteral("<html><body><table>\n");
    for (const QString &count : counts)
        page += QStringLiteral("<tr><td><a href=\"x\">スレ</a>%1へぇ</td></tr>\n").arg(count);
    return jconvert::UnicodeToEuc(page + QStringLiteral("</table></body></html>\n"));
}

}  // namespace

TEST(HeeVote, TheThreadGoesIntoTheTemplateAndTheLastCountIsShown)
{
    EXPECT_EQ(THeeVote::VoteUrl(QStringLiteral("http://v.example/he.jsp?id=<THREADNAME/>&url=<THREADURL/>&gr=2ch"),
                                QStringLiteral("題"), QStringLiteral("http://h.example/t/")),
              QStringLiteral("http://v.example/he.jsp?id=題&url=http://h.example/t/&gr=2ch"));

    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, VotePage({QStringLiteral("12"), QStringLiteral("34")})));
    env.config->CHBOX_HEURL = server.Url(QStringLiteral("/he.jsp?url=<THREADURL/>&gr=2ch"));
    THeeDialog dialog;
    dialog.SetThread(QStringLiteral("題"), QStringLiteral("http://h.example/t/"));
    ASSERT_TRUE(dialog.SendHee());
    EXPECT_TRUE(server.LastRequest().startsWith("GET /he.jsp?url=http://h.example/t/&gr=2ch "));
    EXPECT_EQ(dialog.lblScore->text(), QStringLiteral("34"));
    EXPECT_EQ(dialog.lblTitle->text(), QStringLiteral("題"));
}

TEST(HeeVote, FailuresLeaveTheCountEmpty)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(404, "<html>none</html>"));
    server.Reply(ScriptedHttpServer::Make(200, "<html><body>closed</body></html>"));
    server.Reply(QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 900\r\n\r\n") + VotePage({QStringLiteral("5")}));
    server.ReplyNothing();
    env.config->CHBOX_HEURL = server.Url(QStringLiteral("/he.jsp?url=<THREADURL/>"));
    for (int reply = 0; reply < 4; ++reply) {
        if (reply == 3)
            env.StopWhenRequested(server);
        THeeDialog dialog;
        dialog.SetThread(QStringLiteral("題"), QStringLiteral("http://h.example/t/"));
        EXPECT_FALSE(dialog.SendHee()) << reply;
        EXPECT_TRUE(dialog.lblScore->text().isEmpty()) << reply;
    }
}

namespace {

QStringList Tree(const QTreeWidget *tree)
{
    QStringList shown;
    std::function<void(const QTreeWidgetItem *, int)> walk = [&](const QTreeWidgetItem *node, int depth) {
        shown.append(QString(depth, QLatin1Char('-')) + node->text(0) + (node->childCount() && node->isExpanded() ? QStringLiteral("+") : QString()));
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i), depth + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0);
    return shown;
}

const QString Direct = QStringLiteral("お知らせ\r\n\t新版\r\n\t\t詳細\r\n\t\t\t\t深すぎ\r\n\t次\r\nリンク\r\n\tサイト\r\n");

}  // namespace

TEST(DirectDialog, TheTreeIsRefreshedFromTheInformationFile)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, Sjis(Direct)));
    TDirectDialog::InfoUrl = server.Url(QStringLiteral("/direct.txt"));
    TDirectDialog dialog;
    EXPECT_EQ(dialog.TreeView1->topLevelItemCount(), 0);   // no direct.txt yet
    ASSERT_TRUE(dialog.SpeedButton1Click());
    EXPECT_EQ(Tree(dialog.TreeView1), QStringList({QStringLiteral("お知らせ+"), QStringLiteral("-新版+"), QStringLiteral("--詳細+"),
                                                   QStringLiteral("---深すぎ"), QStringLiteral("-次"), QStringLiteral("リンク"),
                                                   QStringLiteral("-サイト")}));
    EXPECT_EQ(env.root.Read(env.config->GetProfileDir().mid(env.root.Path().size()) + QStringLiteral("direct.txt")), Sjis(Direct));

    // The tree's menu item "最新情報取得" refreshes it the same way.
    server.Reply(ScriptedHttpServer::Make(200, Sjis(QStringLiteral("新しい情報\r\n"))));
    ASSERT_EQ(dialog.TreeView1->actions(), QList<QAction *>{dialog.N1});
    EXPECT_EQ(dialog.N1->text(), QStringLiteral("最新情報取得"));
    dialog.N1->trigger();
    EXPECT_EQ(Tree(dialog.TreeView1), QStringList{QStringLiteral("新しい情報")});
}

TEST(DirectDialog, FailuresLeaveDirectTxtAlone)
{
    TOutsideEnv env;
    const QByteArray kept = Sjis(QStringLiteral("前の情報\r\n"));
    const QString file = env.config->GetProfileDir().mid(env.root.Path().size()) + QStringLiteral("direct.txt");
    env.root.Write(file, kept);
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(404, "<html>none</html>"));
    server.Reply(ScriptedHttpServer::Make(200, "<!DOCTYPE html><html><body>maintenance</body></html>"));
    server.Reply(QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 900\r\n\r\n") + Sjis(Direct));
    server.ReplyNothing();
    TDirectDialog::InfoUrl = server.Url(QStringLiteral("/direct.txt"));
    for (int reply = 0; reply < 4; ++reply) {
        if (reply == 3)
            env.StopWhenRequested(server);
        TDirectDialog dialog;
        EXPECT_FALSE(dialog.SpeedButton1Click()) << reply;
        EXPECT_EQ(Tree(dialog.TreeView1), QStringList({QStringLiteral("前の情報")})) << reply;
        EXPECT_EQ(env.root.Read(file), kept) << reply;
    }
}

TEST(AmezoSearch, CancelAbortsARunningSearch)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.ReplyNothing();
    TThreadItemList items;
    TAmezoScape2ch dialog(&items);
    dialog.DaisenseiUrl->setText(server.Url(QStringLiteral("/s.cgi")));
    dialog.KeyWord->setCurrentText(QStringLiteral("猫"));
    dialog.BitBtn1Click();
    ASSERT_TRUE(TOutsideEnv::WaitUntil([&] { return !server.Requests().isEmpty(); }));
    EXPECT_TRUE(dialog.Searching());
    dialog.BitBtn2Click();
    ASSERT_TRUE(TOutsideEnv::WaitUntil([&] { return !dialog.Searching(); }));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.Failed());
    EXPECT_EQ(items.Count(), 0);
}
