#include "core/MonaUtils.h"
#include "core/Tavutils.h"

#include "core/FileUtil.h"
#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Tavutils;
using namespace MonaUtils;

TEST(Tavutils, CaptionsWildcardsAndTexts)
{
    EXPECT_EQ(MakeShortCaption(QStringLiteral("ニュース速報"), 4), QStringLiteral("ニュース..."));
    EXPECT_EQ(MakeShortCaption(QStringLiteral("ニュース"), 4), QStringLiteral("ニュース"));
    EXPECT_EQ(MakeShortCaption(QStringLiteral("ab𠮷"), 3), QStringLiteral("ab..."));   // not half a character

    EXPECT_TRUE(MatchWildcard("http://*.example.com/*", "HTTP://ad.Example.com/pop?x=1"));
    EXPECT_TRUE(MatchWildcard("*a*b?", "xxaxxbyybz"));
    EXPECT_FALSE(MatchWildcard("*a*b?", "xxaxxb"));
    EXPECT_FALSE(MatchWildcard("http://ad.*", "http://www.ad.jp/"));

    EXPECT_EQ(ToFullWidth("a12"), QStringLiteral("a１２"));
    EXPECT_EQ(ExtractBetween("<title> T </title>x", "<title>", "</title>"), QString(" T "));
    EXPECT_EQ(ExtractBetween("<title>open", "<title>", "</title>"), QString());
    EXPECT_EQ(ExtractBetween("a=1;b=2", "b=", ""), QString("2"));

    EXPECT_EQ(UrlToFileName("http://rss.example.com/feed/index.rdf?a=1&b=2,3"),
              QString("rss_example_com_feed_index_rdf_a=1_b=2_3"));
    EXPECT_EQ(UrlToFileName("https://host.jp/dir/news.rdf"), QString("host_jp_dir_news.rdf"));

    const QDateTime then(QDate(2024, 1, 1), QTime(0, 0, 0));
    EXPECT_EQ(FormatElapsedTime(then, then.addSecs(2 * 86400 + 5)), QStringLiteral("2日0時間0分5秒"));
    EXPECT_EQ(FormatElapsedTime(then, then.addSecs(65)), QStringLiteral("1分5秒"));
    EXPECT_EQ(FormatElapsedTime(then, then.addSecs(-10)), QStringLiteral("0秒"));
}

TEST(Tavutils, CodePages)
{
    EXPECT_EQ(ConvertToSjis(0, "\x82\xa0"), QStringLiteral("あ"));
    EXPECT_EQ(ConvertToSjis(1, "\xa4\xa2"), QStringLiteral("あ"));
    EXPECT_EQ(ConvertToSjis(2, "\xe3\x81\x82"), QStringLiteral("あ"));
    EXPECT_EQ(CharsetToName(1), QString("EUC"));
    EXPECT_EQ(CharsetToName(7), QString("SJIS"));
    EXPECT_EQ(NameToCharset("utf8"), 2);
    EXPECT_EQ(NameToCharset("Euc"), 1);
    EXPECT_EQ(NameToCharset("latin1"), 0);
}

TEST(Tavutils, CopyDeleteAndTemporaryFiles)
{
    TempDataRoot root;
    root.Write("log/1.dat", "one");
    root.Write("log/2.DAT", "two");
    root.Write("log/2.inf", "info");
    ASSERT_TRUE(ShellCopyFiles(root.File("log/*.dat"), root.File("copy")));
    EXPECT_EQ(QDir(root.File("copy")).entryList(QDir::Files), (QStringList{"1.dat", "2.DAT"}));
    root.Write("copy/1.dat", "mine");
    ShellCopyFiles(root.File("log/1.dat"), root.File("copy"), false);
    EXPECT_EQ(root.Read("copy/1.dat"), QByteArray("mine"));

    EXPECT_TRUE(ShellDeleteFiles(root.File("log/missing.dat"), false));
    EXPECT_TRUE(ShellDeleteFiles(root.File("log/*.inf"), false));
    EXPECT_EQ(QDir(root.File("log")).entryList(QDir::Files), (QStringList{"1.dat", "2.DAT"}));
    EXPECT_TRUE(ShellDeleteFiles(root.File("copy/*.*"), false));
    EXPECT_TRUE(QDir(root.File("copy")).isEmpty());

    // to the trash: the file leaves its folder and is found in the trash of this home
    const QByteArray oldHome = qgetenv("HOME"), oldData = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", QFile::encodeName(root.File("home")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.File("home/data")));
    QDir().mkpath(root.File("home/data"));
    const bool trashed = ShellDeleteFiles(root.File("log/1.dat"), true);
    qputenv("HOME", oldHome);
    qputenv("XDG_DATA_HOME", oldData);
    ASSERT_TRUE(trashed);
    EXPECT_FALSE(QFileInfo::exists(root.File("log/1.dat")));
    QDirIterator it(root.File("home/data/Trash/files"), {"1.dat"}, QDir::Files);
    EXPECT_TRUE(it.hasNext());

    const QString a = MakeTempFileName(root.File("tmp"));
    const QString b = MakeTempFileName(root.File("tmp"));
    EXPECT_NE(a, b);
    EXPECT_TRUE(QFileInfo(a).isFile());
    EXPECT_TRUE(QRegularExpression("^KPW[0-9A-F]{4}\\.tmp$").match(QFileInfo(b).fileName()).hasMatch());
}

TEST(MonaUtils, TokensQueriesAndUrlParts)
{
    const QString dat = QStringLiteral("名無し<>sage<>2024/01/01 ID:x<> 本文 <>タイトル");
    EXPECT_EQ(GetToken(dat, "<>", 0), QStringLiteral("名無し"));
    EXPECT_EQ(GetToken(dat, "<>", 3), QStringLiteral(" 本文 "));
    EXPECT_EQ(GetToken(dat, "<>", 4), QStringLiteral("タイトル"));
    EXPECT_EQ(GetToken(dat, "<>", 5), QString());

    const QString url = "http://host.jp/test/read.cgi?bbs=news&key=123&st=1#x";
    EXPECT_EQ(GetQueryValue(url, "key"), QString("123"));
    EXPECT_EQ(GetQueryValue(url, "st"), QString("1"));
    EXPECT_EQ(GetQueryValue(url, "ke"), QString());
    EXPECT_EQ(ExtractUrlPath("http://host.jp/news/index.html"), QString("http://host.jp/news/"));
    EXPECT_EQ(ExtractUrlName("http://host.jp/news/index.html"), QString("index.html"));
    EXPECT_EQ(ExtractUrlName("mailto:sage"), QString("sage"));
    EXPECT_EQ(ExtractUrlHost("http://host.jp:8080/news/"), QString("host.jp:8080"));
    EXPECT_EQ(ExtractUrlHost("https://host.jp"), QString("host.jp"));
    EXPECT_EQ(ExtractUrlHost("ftp://host.jp/"), QString());

    const QString base = "http://host.jp/a/b/page.html";
    EXPECT_EQ(ResolveRelativeUrl(base, "/x.html"), QString("http://host.jp/x.html"));
    EXPECT_EQ(ResolveRelativeUrl(base, "../../../x.html"), QString("http://host.jp/x.html"));
    EXPECT_EQ(ResolveRelativeUrl(base, "./../c/x.html"), QString("http://host.jp/a/c/x.html"));
    EXPECT_EQ(ResolveRelativeUrl(base, "y.html"), QString("http://host.jp/a/b/y.html"));
    EXPECT_EQ(ResolveRelativeUrl(base, ""), base);
    EXPECT_EQ(ResolveRelativeUrl(base, "https://other/"), QString("https://other/"));

    EXPECT_EQ(IncludeTrailingSlash("a"), QString("a/"));
    EXPECT_EQ(IncludeTrailingSlash("a/"), QString("a/"));
    EXPECT_EQ(ExcludeTrailingSlash("a//"), QString("a/"));
}

TEST(MonaUtils, HtmlAndWidths)
{
    EXPECT_EQ(ExtractHrefValue("<A HREF=\"../test/x.html\" target=_blank>link</a>"), QString("../test/x.html"));
    EXPECT_EQ(ExtractHrefValue("<a href=/x>t</a>"), QString("/x"));
    EXPECT_EQ(ExtractHrefValue("<b>no link</b>"), QString());
    EXPECT_EQ(StripHtmlTags(QStringLiteral(" <a href=\"x\">本文</a><br>です <unclosed")), QStringLiteral("本文です"));
    EXPECT_EQ(HtmlToText(" a<BR>&lt;b&gt; &quot;c&quot;&nbsp;&amp;lt;"), QString(" a\r\n<b> \"c\" &lt;"));
    EXPECT_EQ(TextToHtml("<a & \"b\">\r\nc\nd"), QString("&lt;a &amp; &quot;b&quot;&gt;<br>c<br>d"));
    EXPECT_EQ(HtmlToText(TextToHtml("x&lt;\r\ny")), QString("x&lt;\r\ny"));
    // Titles: one pass, numeric references too; what names no character stays as written.
    EXPECT_EQ(DecodeEntities(QStringLiteral("&lt;山&gt;&amp;lt;&#9829;&#x3042;&APOS;<br>")), QStringLiteral("<山>&lt;♥あ'<br>"));
    EXPECT_EQ(DecodeEntities(QStringLiteral("&#0; &#xD800; &#99999999; &# &amp")), QStringLiteral("&#0; &#xD800; &#99999999; &# &amp"));
    // Tags go first, so a decoded "<" is text, not a tag.
    EXPECT_EQ(HtmlToPlainText(QStringLiteral("<b>&gt;&gt;1</b> &lt;i&gt;は<br>タグ")), QStringLiteral(">>1 <i>はタグ"));

    EXPECT_TRUE(IsInteger("-12"));
    EXPECT_FALSE(IsInteger("1a"));
    EXPECT_FALSE(IsInteger("-"));
    EXPECT_FALSE(IsInteger(""));
    EXPECT_EQ(ToHalfWidth(QStringLiteral("１２　ＡＢｃ！＞カガパヴ。ー")), QStringLiteral("12 ABc!>ｶｶﾞﾊﾟｳﾞ｡ｰ"));
    EXPECT_TRUE(IsInteger(ToHalfWidth(QStringLiteral("１２"))));

    EXPECT_EQ(UrlEncode(QStringLiteral("あ a+b*-._~")), QString("%82%A0+a%2Bb*-._%7E"));
    EXPECT_EQ(UrlEncode(QStringLiteral("あ"), 1), QString("%A4%A2"));
    EXPECT_EQ(UrlEncode(QStringLiteral("é")), QString("%26%23233%3B"));   // as its reference, never dropped
}
