// The URLs a board type builds and takes apart, and the texts that come from servers: read.cgi
// pages, raw lines, post answers.

#include "BoardTestEnv.h"

#include "boards/2chScript.h"
#include "boards/DatConv.h"
#include "boards/PostForm.h"

#include <gtest/gtest.h>

namespace {

TBBS *Type(BoardTestEnv &env, const char *id)
{
    return env.registry->BBSList()->FindByID(QString::fromLatin1(id));
}

}  // namespace

TEST(BoardTypes, RegistryMakesTheHandlersAndFindsThemIgnoringCase)
{
    BoardTestEnv env;
    EXPECT_NE(dynamic_cast<T2chScript *>(Type(env, "2CHSCRIPT")), nullptr);
    EXPECT_NE(dynamic_cast<T2chScript *>(Type(env, "DolibScript")), nullptr);
    EXPECT_FALSE(Type(env, "localscript")->IsRemote());
    EXPECT_FALSE(Type(env, "favoritesscript")->IsRemote());
    EXPECT_TRUE(Type(env, "machibbsscript")->IsRemote());
    EXPECT_EQ(Type(env, "nosuchscript"), nullptr);
    // A type without a handler answers a download with an error, never silence.
    TBBS plain(QStringLiteral("plain"), env.root.Path());
    TThreadListDownloader job;
    bool failed = false;
    job.OnDone = [&failed](TThreadListDownloader *, bool f) { failed = f; };
    plain.DownloadThreadList(&job, false, true);
    EXPECT_TRUE(failed);
}

TEST(ThreadUrls, NormalizeGivesOneCanonicalFormForPathAndQueryForms)
{
    BoardTestEnv env;
    TBBS *twoCh = Type(env, "2chscript");
    const QString canonical = QStringLiteral("http://pc.2ch.net/test/read.cgi?bbs=tech&key=1234567890");
    EXPECT_EQ(twoCh->NormalizeUrl(QStringLiteral("http://PC.2ch.net/test/read.cgi/tech/1234567890/")), canonical);
    EXPECT_EQ(twoCh->NormalizeUrl(QStringLiteral("http://pc.2ch.net/test/read.cgi?key=1234567890&bbs=tech")), canonical);
    EXPECT_EQ(twoCh->NormalizeUrl(QStringLiteral("http://pc.2ch.net/test/read.cgi/tech/1234567890/10-20n")),
              canonical + QStringLiteral("&st=10&to=20&nofirst=true"));
    EXPECT_EQ(twoCh->NormalizeUrl(QStringLiteral("http://pc.2ch.net/test/read.cgi/tech/1234567890/5")),
              canonical + QStringLiteral("&st=5&to=5"));
    EXPECT_EQ(twoCh->NormalizeUrl(QStringLiteral("http://pc.2ch.net/test/read.cgi/tech/1234567890/l50")), canonical);
    // Not a thread URL of the type: unchanged.
    for (const char *url : {"http://pc.2ch.net/tech/", "http://pc.2ch.net/test/read.cgi/tech/", "mailto:x@y"})
        EXPECT_EQ(twoCh->NormalizeUrl(QString::fromLatin1(url)), QString::fromLatin1(url));
    // JBBS boards keep their folder in front of the board parameter.
    EXPECT_EQ(Type(env, "shitarabajbbs")->NormalizeUrl(QStringLiteral("http://jbbs.example/bbs/read.cgi/game/1234/99/")),
              QStringLiteral("http://jbbs.example/bbs/read.cgi?DIR=game&BBS=1234&KEY=99"));
}

TEST(ThreadUrls, BoardUrlsFollowTheTemplatesWithTheServersPort)
{
    BoardTestEnv env;
    ItemRef item(env.NewItem(QStringLiteral("news"), QStringLiteral("1000000001")));
    TBBS *type = item->BBS;
    const QString host = env.server.Host();
    EXPECT_EQ(type->GetThreadUrl(item.get()), QStringLiteral("http://%1/news/dat/1000000001.dat").arg(host));
    EXPECT_EQ(type->GetBrowserUrl(item.get()), QStringLiteral("http://%1/test/read.cgi/news/1000000001/").arg(host));
    EXPECT_EQ(type->GetReadUrlRange(item.get(), 3, 0, true),
              QStringLiteral("http://%1/test/read.cgi/news/1000000001/3-n").arg(host));
    EXPECT_EQ(type->GetReadCgiUrl(env.Board(QStringLiteral("news")), QStringLiteral("1000000001")),
              QStringLiteral("http://%1/test/read.cgi?bbs=news&key=1000000001").arg(host));
    // Empty board and key still name the script, which URL recognition compares with.
    EXPECT_TRUE(type->GetReadCgiUrl(nullptr, QString()).contains(QLatin1String("read.cgi?bbs=&key=")));
    EXPECT_EQ(T2chScript::KakoUrl(QStringLiteral("http://h/b/kako/1234567890.dat"), QStringLiteral("1234567890")),
              QStringLiteral("http://h/b/kako/1234/12345/1234567890.dat"));
    EXPECT_EQ(T2chScript::KakoUrl(QStringLiteral("http://h/b/kako/123456789.dat"), QStringLiteral("123456789")),
              QStringLiteral("http://h/b/kako/123/123456789.dat"));
}

TEST(DatConv, KeysPagesAndRawLines)
{
    EXPECT_EQ(DatConv::ExtractFileKey(QStringLiteral("dat/1234567890.dat.gz")), QStringLiteral("1234567890"));
    EXPECT_EQ(DatConv::ExtractFileKey(QStringLiteral("C:\\log\\99.cgi")), QStringLiteral("99"));

    const QString page = QStringLiteral(
        "<html><head><title>スレ</title></head><body><dl>"
        "<dt>1 ：<a href=\"mailto:sage\"><b>名無し</b></a>：2024/01/01 00:00:00 ID:ab<dd> 本文<br>二行目 <br><br>\n"
        "<dt>junk<dd>no number\n"
        "<dt>3 ：<font color=green><b>名無し </b>◆trip<b></b></font>：2024/01/02 ID:cd<dd> 三 <br><br>\n</dl></body>");
    const QList<DatConv::TNumberedLine> lines = DatConv::HtmlToDat(page);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].Number, 1);
    EXPECT_EQ(lines[0].DatLine, QStringLiteral("名無し<>sage<>2024/01/01 00:00:00 ID:ab<>本文<br>二行目<>スレ"));
    EXPECT_EQ(lines[1].Number, 3);
    EXPECT_EQ(lines[1].DatLine, QStringLiteral("名無し </b>◆trip<b><><>2024/01/02 ID:cd<>三<>"));

    DatConv::TNumberedLine raw;
    ASSERT_TRUE(DatConv::RawLineToDat(QStringLiteral("7<>名<>sage<>2024/01/01<>本文<>題<>xyz"), raw));
    EXPECT_EQ(raw.Number, 7);
    EXPECT_EQ(raw.DatLine, QStringLiteral("名<>sage<>2024/01/01 ID:xyz<>本文<>題"));
    EXPECT_FALSE(DatConv::RawLineToDat(QStringLiteral("x<>a<>b<>c<>d"), raw));
    EXPECT_FALSE(DatConv::RawLineToDat(QStringLiteral("3<>a<>b"), raw));
}

TEST(PostReply, AnswersAreReadAsSuccessConfirmationOrError)
{
    EXPECT_EQ(PostReply::Classify(QStringLiteral("<title>書きこみました。</title>")), PostReply::Success);
    EXPECT_EQ(PostReply::Classify(QStringLiteral("<html><!-- 2ch_X:true --></html>")), PostReply::Success);
    EXPECT_EQ(PostReply::Classify(QStringLiteral("<title>■ 書き込み確認 ■</title>")), PostReply::Confirm);
    EXPECT_EQ(PostReply::Classify(QStringLiteral("<title>ＥＲＲＯＲ！</title><!-- 2ch_X:error -->")), PostReply::Error);
    // A page that says nothing known is shown to the user, not taken as success.
    EXPECT_EQ(PostReply::Classify(QStringLiteral("<title>hello</title>")), PostReply::Error);

    const auto fields = PostReply::HiddenFields(QStringLiteral(
        "<input type=hidden name=\"yuki\" value='a&amp;b'><INPUT NAME=x TYPE=HIDDEN VALUE=&#12354;>"
        "<input type=text name=t value=v>"));
    ASSERT_EQ(fields.size(), 2);
    EXPECT_EQ(fields[0], qMakePair(QStringLiteral("yuki"), QStringLiteral("a&b")));
    EXPECT_EQ(fields[1], qMakePair(QStringLiteral("x"), QStringLiteral("あ")));

    TPostForm form;
    form.Add(QStringLiteral("FROM"), QStringLiteral("名 前"));
    form.AddMissing(QStringLiteral("FROM"), QStringLiteral("other"));
    EXPECT_EQ(form.Encode(0), QByteArray("FROM=%96%BC+%91O"));
    EXPECT_EQ(form.Encode(1), QByteArray("FROM=%CC%BE+%C1%B0"));
}
