// The board types beside 2ch's own, each against pages served on 127.0.0.1: the read.cgi boards
// (15ch, 1.5ch, 12ch, Ahhan), Machi BBS, the past-log store, MegaBBS, web pages and a type defined
// by board scripts.

#include "BoardTestEnv.h"

#include "support/ScriptedHttpServer.h"

#include "core/DatLine.h"
#include "core/FileUtil.h"
#include "core/ResUploader.h"

#include <gtest/gtest.h>

namespace {

const QString Key = QStringLiteral("1100000000");

// The test registry with one more board per type: the read.cgi types and the script type on the
// board server, MegaBBS and a web page on a scripted server.
struct OtherTypesEnv : BoardTestEnv {
    ScriptedHttpServer pages;

    OtherTypesEnv()
    {
        const QStringList ids = {QStringLiteral("b15"), QStringLiteral("b1_5"), QStringLiteral("b12"),
                                 QStringLiteral("bahhan"), QStringLiteral("ruro"), QStringLiteral("store")};
        for (const QString &id : ids)
            server.AddBoard(id);
        QString lines = QStringLiteral("\t%1\tb15\t15ch\t\t15chscript\r\n"
                                       "\t%1\tb1_5\t1.5ch\t\t1_5chscript\r\n"
                                       "\t%1\tb12\t12ch\t\t12chscript\r\n"
                                       "\t%1\tbahhan\tahhan\t\tahhanscript\r\n"
                                       "\t%1\truro\truro\t\treadhtmlscript\r\n"
                                       "\t%1\tstore\tstore\t\t2chkakolog\r\n")
                            .arg(server.Host());
        lines += QStringLiteral("\t%1\tmega\tMega\t\tmegabbsscript\r\n"
                                "\t%1\tmachi\tMachi\t\tmachibbsscript\r\n"
                                "\t%2\twww00001\tページ\twww\twwwscript\r\n")
                     .arg(pages.Url(QString()).mid(7), pages.Url(QStringLiteral("/page.html")));
        const QString boardDat = root.File(QStringLiteral("config/site/test/board.dat"));
        FileUtil::WriteFileAtomic(boardDat, FileUtil::ReadFile(boardDat) + jconvert::UnicodeToSjis(lines));
        root.Write(QStringLiteral("config/bbslist.ini"), "[BBSLIST]\r\nCOUNT=2\r\nBBS1=readcgitest\r\nBBS2=readhtmlscript\r\n");
        registry->CreateBBSList();
        registry->LoadSites();
        site = registry->SiteList()->FindBySiteID(QStringLiteral("test"));
    }

    // A thread of count responses on the board server.
    void MakeThread(const QString &bbs, int count)
    {
        server.AddThread(bbs, Key, QStringLiteral("スレ"));
        for (int i = 1; i <= count; ++i)
            server.AppendRes(bbs, Key, QStringLiteral("名無し"), i == 2 ? QStringLiteral("sage") : QString(),
                             QStringLiteral("本文%1").arg(i));
    }
};

QByteArray Sjis(const char *text)
{
    return jconvert::UnicodeToSjis(QString::fromUtf8(text));
}

QByteArray PathOf(const QByteArray &request)
{
    return request.split(' ').value(1);
}

// Posts a reply to the item and waits for its report: "done", "error" or "cancel".
QString Post(TThreadItem *item, const QString &body, bool sage = false)
{
    QString outcome;
    TResUploader post(item);
    post.Board = item->GetBoard();
    post.Data->Name = QStringLiteral("me");
    post.Data->Body = body;
    post.Data->Sage = sage;
    post.OnDone = [&outcome](TResUploader *, bool failed) { outcome = failed ? "failed" : "done"; };
    post.OnError = [&outcome](TResUploader *, int, const QString &, const QString &) { outcome = "error"; };
    post.OnCancel = [&outcome](TResUploader *, const QString &) { outcome = "cancel"; };
    item->BBS->PostRes(&post);
    BoardTestEnv::WaitFor([&outcome] { return !outcome.isEmpty(); });
    return outcome;
}

}  // namespace

TEST(ReadCgiTypes, EachReadsItsBoardsAndBuildsItsOwnUrls)
{
    OtherTypesEnv env;
    const std::pair<const char *, const char *> types[] = {
        {"b15", "/test/read.cgi/b15/1100000000/"},
        {"b1_5", "/test/read.cgi/b1_5/1100000000/"},
        {"b12", "/cgi-bin/read.cgi?bbs=b12&key=1100000000"},
        {"bahhan", "/cgi-bin/read.cgi?bbs=bahhan&key=1100000000"},
    };
    for (const auto &[id, readPath] : types) {
        const QString bbs = QString::fromLatin1(id);
        SCOPED_TRACE(id);
        env.MakeThread(bbs, 2);
        TBoard *board = env.Board(bbs);
        ASSERT_NE(board, nullptr);
        TBBS *type = board->BBS;
        ASSERT_TRUE(type && type->HasBbsIni());
        EXPECT_TRUE(type->IsRemote());
        EXPECT_FALSE(type->IsThreadListPaged());

        env.server.ClearLog();
        EXPECT_EQ(env.List(board).keys, QStringList{Key});
        ItemRef item(env.NewItem(bbs, Key));
        const BoardTestEnv::Fetch fetch = env.Download(item.get());
        ASSERT_FALSE(fetch.failed) << fetch.errorMessage.toStdString();
        EXPECT_EQ(fetch.numbers, QList<int>({1, 2}));
        // their own agent, not the one of 2ch
        EXPECT_EQ(env.server.Requests().last().Header("User-Agent"), QByteArray("Varnelo/2.0"));

        const QString readUrl = env.server.Url(QString::fromLatin1(readPath));
        EXPECT_EQ(type->GetReadUrl(item.get()), readUrl);
        EXPECT_EQ(type->NormalizeUrl(type->GetReadUrl(item.get(), QStringLiteral("5-9"))),
                  type->GetReadCgiUrl(board, Key) + QStringLiteral("&st=5&to=9"));
    }
}

TEST(MachiBBS, ThreadsComeAsNumberedRawLinesAndRepliesGoToWriteCgi)
{
    OtherTypesEnv env;
    const QString machi = QStringLiteral("machi");
    const QString key = QStringLiteral("1200000000");
    env.pages.Reply(ScriptedHttpServer::Make(200, Sjis("1200000000.cgi,まちスレ(4)\n")));
    const BoardTestEnv::Listing listing = env.List(env.Board(machi));
    EXPECT_EQ(listing.keys, QStringList{key});
    EXPECT_EQ(listing.counts, QList<int>({4}));
    EXPECT_EQ(PathOf(env.pages.LastRequest()), QByteArray("/machi/subject.txt"));

    // a missing number keeps its place; a number no thread reaches is passed over
    ItemRef item(env.NewItem(machi, key));
    env.pages.Reply(ScriptedHttpServer::Make(200, Sjis("1<>名無し<>sage<>2005/01/01 00:00<>一<>まちスレ<>abc\n"
                                                       "3<>名無し<><>2005/01/01 00:02<>三<><>\n"
                                                       "2000000000<>x<><>d<>偽<><>\n"
                                                       "4<>名無し<><>2005/01/01 00:03<>四<><>\n")));
    const BoardTestEnv::Fetch first = env.Download(item.get());
    ASSERT_FALSE(first.failed) << first.errorMessage.toStdString();
    EXPECT_EQ(first.numbers, QList<int>({1, 2, 3, 4}));
    EXPECT_EQ(first.bodies, QStringList({QStringLiteral("一"), QString(), QStringLiteral("三"), QStringLiteral("四")}));
    EXPECT_EQ(item->TITLE, QStringLiteral("まちスレ"));
    EXPECT_EQ(PathOf(env.pages.LastRequest()), QByteArray("/bbs/offlaw.cgi/machi/1200000000/"));
    const QList<QByteArray> log = SplitLogLines(FileUtil::ReadFile(item->GetLogFile()));
    ASSERT_EQ(log.size(), 4);
    EXPECT_EQ(ParseDatLine(jconvert::SjisToUnicode(log[0])).Date, QStringLiteral("2005/01/01 00:00 ID:abc"));

    env.pages.Reply(ScriptedHttpServer::Make(200, Sjis("5<>名無し<><>d<>五<><>\n")));
    EXPECT_EQ(env.Download(item.get()).numbers, QList<int>({5}));
    EXPECT_EQ(PathOf(env.pages.LastRequest()), QByteArray("/bbs/offlaw.cgi/machi/1200000000/5-"));

    env.pages.Reply(ScriptedHttpServer::Make(200, Sjis("<html><head><title>書きこみました</title></head></html>")));
    EXPECT_EQ(Post(item.get(), QStringLiteral("hi")), QStringLiteral("done"));
    const QByteArray request = env.pages.LastRequest();
    EXPECT_EQ(PathOf(request), QByteArray("/bbs/write.cgi"));
    const QByteArray form = request.mid(request.indexOf("\r\n\r\n") + 4);
    EXPECT_TRUE(form.startsWith("BBS=machi&KEY=1200000000&TIME=")) << form.constData();
    EXPECT_TRUE(form.endsWith("&NAME=me&MAIL=&MESSAGE=hi&submit=%8F%91%82%AB%8D%9E%82%DE")) << form.constData();
}

TEST(PastLogStore, AThreadIsReadOnceFromItsCopyAndNothingIsPosted)
{
    OtherTypesEnv env;
    const QString store = QStringLiteral("store");
    env.MakeThread(store, 3);
    env.server.MoveToKako(store, Key, true);
    env.server.ClearLog();
    ItemRef item(env.NewItem(store, Key));
    const BoardTestEnv::Fetch fetch = env.Download(item.get());
    ASSERT_FALSE(fetch.failed) << fetch.errorMessage.toStdString();
    EXPECT_EQ(fetch.numbers, QList<int>({1, 2, 3}));
    EXPECT_TRUE(item->KAKOLOG);
    ASSERT_EQ(env.server.Requests().size(), 1);   // the compressed copy, never the live dat
    EXPECT_TRUE(env.server.Requests()[0].Path.endsWith("/store/kako/1100/11000/1100000000.dat.gz"));

    env.server.ClearLog();
    item->LoadInfo();
    EXPECT_TRUE(env.Download(item.get()).notModified);
    EXPECT_EQ(Post(item.get(), QStringLiteral("hi")), QStringLiteral("cancel"));
    EXPECT_TRUE(env.server.Requests().isEmpty());
}

TEST(Megabbs, TheListingComesPageByPage)
{
    OtherTypesEnv env;
    TBoard *board = env.Board(QStringLiteral("mega"));
    ASSERT_NE(board, nullptr);
    EXPECT_TRUE(board->BBS->IsThreadListPaged());
    env.pages.Reply(ScriptedHttpServer::Make(
        200,
        Sjis("<html><body><ul>\n"
             "<li><a href=\"readres.cgi?bo=mega&amp;vi=1111&amp;rm=100\">スレ一 (12)</a>\n"
             "<li><a href=\"readres.cgi?bo=other&vi=2222\">よその板 (3)</a>\n"
             "<li><a href=\"readres.cgi?bo=mega&vi=..%2Fx\">bad (1)</a>\n"
             "<li><a href=\"readres.cgi?bo=mega&vi=3333\"><b>スレ三</b> (5)</a>\n"
             "</ul></body></html>\n"),
        {"Last-Modified: Sat, 01 Jan 2005 00:00:00 GMT"}));
    const BoardTestEnv::Listing first = env.List(board);
    ASSERT_FALSE(first.failed);
    EXPECT_EQ(first.keys, QStringList({QStringLiteral("1111"), QStringLiteral("3333")}));
    EXPECT_EQ(first.counts, QList<int>({12, 5}));
    EXPECT_EQ(PathOf(env.pages.LastRequest()), QByteArray("/cgi-bin/subject.cgi?bo=mega"));
    const QString subjectTxt = board->GetLogDir() + QStringLiteral("subject.txt");
    const QByteArray stored = Sjis("1111.dat<>スレ一 (12)\r\n3333.dat<>スレ三 (5)\r\n");
    EXPECT_EQ(FileUtil::ReadFile(subjectTxt), stored);

    // the next page: numbered on, asked without validators, not stored
    TThreadItemList items;
    QList<int> numbers;
    bool done = false;
    TThreadListDownloader job;
    job.Board = board;
    job.Items = &items;
    job.OnThreadItem = [&](TThreadListDownloader *, TThreadItem *item) {
        numbers << item->Number;
        items.Add(item);
    };
    job.OnDone = [&done](TThreadListDownloader *, bool) { done = true; };
    for (int i = 0; i < 2; ++i) {   // the first page's threads
        auto *item = new TThreadItem;
        items.Add(item);
        item->Release();
    }
    env.pages.Reply(ScriptedHttpServer::Make(200, "<a href=\"readres.cgi?bo=mega&vi=4444\">four (1)</a>\n"));
    board->BBS->DownloadThreadListNextPage(&job, 2);
    BoardTestEnv::WaitFor([&done] { return done; });
    EXPECT_EQ(job.Page, 2);
    EXPECT_EQ(numbers, QList<int>({3}));
    EXPECT_EQ(PathOf(env.pages.LastRequest()), QByteArray("/cgi-bin/subject.cgi?bo=mega&pg=2"));
    EXPECT_TRUE(ScriptedHttpServer::HeaderOf(env.pages.LastRequest(), "If-Modified-Since").isEmpty());
    EXPECT_EQ(FileUtil::ReadFile(subjectTxt), stored);
}

TEST(Megabbs, ThreadsAreReadFromTheirPagesAndRepliesPosted)
{
    OtherTypesEnv env;
    ItemRef item(env.NewItem(QStringLiteral("mega"), QStringLiteral("1111")));
    const auto page = [](int from, int to) {
        QString html = QStringLiteral("<html><head><title>メガスレ</title></head><body><dl>\n");
        for (int n = from; n <= to; ++n)
            html += QStringLiteral("<dt>%1 ：<b>名無し</b>：2005/01/01 00:00<dd> 本文%1 <br><br>\n").arg(n);
        return ScriptedHttpServer::Make(200, jconvert::UnicodeToSjis(html + QStringLiteral("</dl></body></html>\n")));
    };
    env.pages.Reply(page(1, 3));
    const BoardTestEnv::Fetch first = env.Download(item.get());
    ASSERT_FALSE(first.failed) << first.errorMessage.toStdString();
    EXPECT_EQ(first.numbers, QList<int>({1, 2, 3}));
    EXPECT_EQ(item->TITLE, QStringLiteral("メガスレ"));
    EXPECT_EQ(PathOf(env.pages.LastRequest()), QByteArray("/cgi-bin/readres.cgi?bo=mega&vi=1111&rm=all"));

    // the next read asks from response 4; what the page repeats is passed over
    env.pages.Reply(page(2, 5));
    const BoardTestEnv::Fetch second = env.Download(item.get());
    EXPECT_EQ(second.numbers, QList<int>({4, 5}));
    EXPECT_EQ(PathOf(env.pages.LastRequest()), QByteArray("/cgi-bin/readres.cgi?bo=mega&vi=1111&rm=all&rs=4"));

    env.pages.Reply(ScriptedHttpServer::Make(200, Sjis("<html><head><title>書きこみました</title></head></html>")));
    EXPECT_EQ(Post(item.get(), QStringLiteral("hello"), true), QStringLiteral("done"));
    const QByteArray request = env.pages.LastRequest();
    EXPECT_EQ(PathOf(request), QByteArray("/cgi-bin/writeres.cgi"));
    const QByteArray form = request.mid(request.indexOf("\r\n\r\n") + 4);
    EXPECT_TRUE(form.startsWith("bo=mega&vi=1111&time=")) << form.constData();
    EXPECT_TRUE(form.endsWith("&name=me&mail=sage&comment=hello&submit=%8F%91%82%AB%8D%9E%82%DE")) << form.constData();
}

TEST(WebPage, ThePageIsReportedAndNothingFetched)
{
    OtherTypesEnv env;
    TBoard *board = env.Board(QStringLiteral("www00001"));
    ASSERT_NE(board, nullptr);
    TBBS *type = board->BBS;
    EXPECT_TRUE(type->IsWebPage());
    EXPECT_FALSE(type->IsRemote());

    auto *item = new TThreadItem;
    ItemRef ref(item);
    item->SetLocation(env.site->SITEID, board->ID, QStringLiteral("page"), QString());
    const QString url = env.pages.Url(QStringLiteral("/page.html"));
    EXPECT_EQ(type->GetBrowserUrl(item), url);
    EXPECT_EQ(type->GetReadUrl(item), url);

    QStringList pages;
    bool done = false;
    bool failed = true;
    auto *job = new TResDownloader(item);
    job->SetCacheReady();
    job->OnWebPage = [&pages](TResDownloader *, const QString &page) { pages << page; };
    job->OnDone = [&](TResDownloader *, bool f) {
        done = true;
        failed = f;
    };
    type->DownloadThread(job, false, false, true);
    EXPECT_TRUE(done);
    EXPECT_FALSE(failed);
    EXPECT_EQ(pages, QStringList{url});
    EXPECT_TRUE(env.pages.Requests().isEmpty());
    delete job;
}

TEST(UserDefinedType, TheShippedScriptsReadAReadCgiBoard)
{
    OtherTypesEnv env;
    env.MakeThread(QStringLiteral("ruro"), 3);
    TBoard *board = env.Board(QStringLiteral("ruro"));
    ASSERT_NE(board, nullptr);
    ASSERT_TRUE(board->BBS->HasBbsIni());

    const BoardTestEnv::Listing listing = env.List(board);
    ASSERT_FALSE(listing.failed);
    EXPECT_EQ(listing.keys, QStringList{Key});
    EXPECT_EQ(listing.counts, QList<int>({3}));

    ItemRef item(env.NewItem(QStringLiteral("ruro"), Key));
    const BoardTestEnv::Fetch first = env.Download(item.get());
    ASSERT_FALSE(first.failed) << first.errorMessage.toStdString();
    EXPECT_EQ(first.numbers, QList<int>({1, 2, 3}));
    EXPECT_EQ(first.bodies.value(0), QStringLiteral("本文1"));
    EXPECT_EQ(item->TITLE, QStringLiteral("スレ"));
    const QList<QByteArray> log = SplitLogLines(FileUtil::ReadFile(item->GetLogFile()));
    ASSERT_EQ(log.size(), 3);
    const TDatFields second = ParseDatLine(jconvert::SjisToUnicode(log[1]));
    EXPECT_EQ(second.Name, QStringLiteral("名無し"));
    EXPECT_EQ(second.Mail, QStringLiteral("sage"));
    EXPECT_TRUE(second.Date.startsWith(env.server.Res(QStringLiteral("ruro"), Key, 2).value(2) + QStringLiteral(" ID:")))
        << second.Date.toStdString();
    EXPECT_EQ(ParseDatLine(jconvert::SjisToUnicode(log[0])).Title, QStringLiteral("スレ"));
    EXPECT_EQ(ParseDatLine(jconvert::SjisToUnicode(log[2])).Mail, QString());   // nothing carried over

    // the page is read whole again; only the new responses are delivered
    env.server.AppendRes(QStringLiteral("ruro"), Key, QStringLiteral("名無し"), QString(), QStringLiteral("四"));
    const BoardTestEnv::Fetch again = env.Download(item.get());
    EXPECT_EQ(again.numbers, QList<int>({4}));
    EXPECT_EQ(again.bodies, QStringList{QStringLiteral("四")});
}

TEST(UserDefinedType, TheSiteCopyOfAScriptWinsAndItsErrorsAreReported)
{
    OtherTypesEnv env;
    env.MakeThread(QStringLiteral("ruro"), 1);
    TBoard *board = env.Board(QStringLiteral("ruro"));
    const QString siteDir = env.site->GetDir();

    FileUtil::WriteFileAtomic(siteDir + QStringLiteral("ParseThread.ruro"), "' broken\r\nx = (1\r\n");
    const BoardTestEnv::Listing broken = env.List(board);
    EXPECT_TRUE(broken.failed);
    EXPECT_TRUE(broken.keys.isEmpty());

    // numbers given by the script keep their places; line breaks and separators in a field are made safe
    FileUtil::WriteFileAtomic(siteDir + QStringLiteral("ParseRes.ruro"),
                              "IF INSTR(Data, \"<dt>\") = 0 THEN END\r\n"
                              "n = n + 1\r\n"
                              "ResNumber = n * 2 - 1\r\n"
                              "Body = \"a<>b\" & CHR(10) & \"c\"\r\n"
                              "ParseOk = OK\r\n");
    env.server.AppendRes(QStringLiteral("ruro"), Key, QStringLiteral("x"), QString(), QStringLiteral("y"));
    ItemRef item(env.NewItem(QStringLiteral("ruro"), Key));
    const BoardTestEnv::Fetch fetch = env.Download(item.get());
    ASSERT_FALSE(fetch.failed) << fetch.errorMessage.toStdString();
    EXPECT_EQ(fetch.numbers, QList<int>({1, 2, 3}));
    EXPECT_EQ(fetch.bodies, QStringList({QStringLiteral("a&lt;&gt;b<br>c"), QString(), QStringLiteral("a&lt;&gt;b<br>c")}));

    FileUtil::WriteFileAtomic(siteDir + QStringLiteral("ParseRes.ruro"), "WHILE TRUE\r\nWEND\r\n");
    ItemRef other(env.NewItem(QStringLiteral("ruro"), Key));
    const BoardTestEnv::Fetch endless = env.Download(other.get());
    EXPECT_TRUE(endless.failed);
    EXPECT_EQ(endless.errorMessage, QStringLiteral("1行目: 実行ステップ数が上限を超えた"));

    // a type whose scripts are nowhere
    QFile::remove(siteDir + QStringLiteral("ParseRes.ruro"));
    QFile::remove(env.root.File(QStringLiteral("config/bbs/readhtmlscript/ParseRes.ruro")));
    const BoardTestEnv::Fetch missing = env.Download(other.get());
    EXPECT_TRUE(missing.failed);
    EXPECT_EQ(missing.errorMessage, QStringLiteral("板のスクリプト ParseRes.ruro がありません。"));
}
