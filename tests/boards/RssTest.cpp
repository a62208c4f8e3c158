// RSS boards: the three feed formats, their codes, hostile feed text, and a feed served on 127.0.0.1
// listed and read as threads.

#include "BoardTestEnv.h"

#include "support/ScriptedHttpServer.h"

#include "boards/RssScript.h"
#include "core/DatLine.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"

#include <gtest/gtest.h>

namespace {

const char *const Rss10 =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns=\"http://purl.org/rss/1.0/\"\n"
    "         xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
    "<channel rdf:about=\"http://example.jp/\"><title>例のニュース</title><description>説明</description>\n"
    "  <image rdf:resource=\"http://example.jp/logo.png\"/></channel>\n"
    "<image><title>logo</title></image>\n"
    "<item rdf:about=\"http://example.jp/a/1\"><title>一つ目</title>\n"
    "  <description>本文&lt;b&gt;太字&lt;/b&gt;</description><dc:creator>記者</dc:creator>\n"
    "  <dc:date>2004-01-02T03:04:05+09:00</dc:date></item>\n"
    "<item rdf:about=\"http://example.jp/a/2\"><title>二つ目</title><link>http://example.jp/a/2?x=1&amp;y=2</link></item>\n"
    "</rdf:RDF>\n";

const char *const Rss20 =
    "<?xml version=\"1.0\"?>\n"
    "<rss version=\"2.0\"><channel><title>Feed 2</title><description>desc 2</description>\n"
    "<item><title>First</title><link>http://example.com/1</link><guid>tag:example.com,1</guid>\n"
    "  <pubDate>Tue, 10 Jun 2003 04:00:00 GMT</pubDate><author>a@example.com (Ann)</author>\n"
    "  <description><![CDATA[<p>one</p><p>two &amp; three</p>]]></description></item>\n"
    "<item><title>Second</title><link>http://example.com/2</link></item>\n"
    "</channel></rss>\n";

const char *const Atom =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>Atom feed</title><subtitle>sub</subtitle>\n"
    "<entry><title>Entry</title><link rel=\"edit\" href=\"http://example.org/edit/1\"/>\n"
    "  <link rel=\"alternate\" href=\"http://example.org/1\"/><id>urn:uuid:1</id>\n"
    "  <updated>2005-07-08T09:10:11Z</updated><author><name>Bob</name><email>b@example.org</email></author>\n"
    "  <content type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">Hello <b>there</b></div></content></entry>\n"
    "</feed>\n";

QString Local(const QString &isoDate)
{
    return QDateTime::fromString(isoDate, Qt::ISODate).toLocalTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
}

QString ErrorOf(const QString &text)
{
    try {
        TRssScript::ParseFeed(text);
    } catch (const EVarnelo &error) {
        return error.Message;
    }
    return QString();
}

}  // namespace

TEST(RssFeed, TheThreeFormatsGiveTheirItems)
{
    const TRssScript::TFeed rss10 = TRssScript::ParseFeed(QString::fromUtf8(Rss10));
    EXPECT_EQ(rss10.Title, QStringLiteral("例のニュース"));
    EXPECT_EQ(rss10.Description, QStringLiteral("説明"));
    ASSERT_EQ(rss10.Items.size(), 2);
    EXPECT_EQ(rss10.Items[0].Title, QStringLiteral("一つ目"));
    EXPECT_EQ(rss10.Items[0].Link, QStringLiteral("http://example.jp/a/1"));   // from rdf:about
    EXPECT_EQ(rss10.Items[0].Author, QStringLiteral("記者"));
    EXPECT_EQ(rss10.Items[0].Date, QDateTime::fromString(QStringLiteral("2004-01-02T03:04:05+09:00"), Qt::ISODate));
    EXPECT_EQ(rss10.Items[1].Link, QStringLiteral("http://example.jp/a/2?x=1&y=2"));

    const TRssScript::TFeed rss20 = TRssScript::ParseFeed(QString::fromUtf8(Rss20));
    EXPECT_EQ(rss20.Title, QStringLiteral("Feed 2"));
    ASSERT_EQ(rss20.Items.size(), 2);
    EXPECT_EQ(rss20.Items[0].Id, QStringLiteral("tag:example.com,1"));
    EXPECT_EQ(rss20.Items[0].Date, QDateTime::fromString(QStringLiteral("2003-06-10T04:00:00Z"), Qt::ISODate));
    EXPECT_EQ(rss20.Items[0].Description, QStringLiteral("<p>one</p><p>two &amp; three</p>"));

    const TRssScript::TFeed atom = TRssScript::ParseFeed(QString::fromUtf8(Atom));
    EXPECT_EQ(atom.Description, QStringLiteral("sub"));
    ASSERT_EQ(atom.Items.size(), 1);
    EXPECT_EQ(atom.Items[0].Link, QStringLiteral("http://example.org/1"));
    EXPECT_EQ(atom.Items[0].Author, QStringLiteral("Bob"));
    EXPECT_EQ(atom.Items[0].Description, QStringLiteral("Hello there"));

    // an item keeps its key however the feed changes around it, and keys differ between items
    EXPECT_EQ(TRssScript::ItemKey(rss20.Items[0]), TRssScript::ItemKey(TRssScript::ParseFeed(QString::fromUtf8(Rss20)).Items[0]));
    EXPECT_NE(TRssScript::ItemKey(rss20.Items[0]), TRssScript::ItemKey(rss20.Items[1]));
    EXPECT_TRUE(IsSafeFileName(TRssScript::ItemKey(atom.Items[0]) + QStringLiteral(".dat")));

    // the response of an item: author, date, the description as text, the link
    const TDatFields fields = ParseDatLine(TRssScript::ItemDatLine(rss20.Items[0], rss20));
    EXPECT_EQ(fields.Name, QStringLiteral("a@example.com (Ann)"));
    EXPECT_EQ(fields.Date, Local(QStringLiteral("2003-06-10T04:00:00Z")));
    EXPECT_EQ(fields.Body, QStringLiteral("one<br><br>two &amp; three<br><br><a href=\"http://example.com/1\">http://example.com/1</a>"));
    EXPECT_EQ(fields.Title, QStringLiteral("First"));
    // without an author the feed's title names the poster
    EXPECT_EQ(ParseDatLine(TRssScript::ItemDatLine(rss20.Items[1], rss20)).Name, QStringLiteral("Feed 2"));
}

// Nesting costs no stack: a feed nested a million deep, in an item's text, in an unknown element or
// as channels inside channels, is refused with an error; nesting a site writes is read as before.
TEST(RssFeed, AFeedNestedAMillionDeepIsRefusedWithAnError)
{
    const int deep = 1000000;
    const auto nested = [deep](const QString &name) { return QStringLiteral("<%1>").arg(name).repeated(deep) + QStringLiteral("</%1>").arg(name).repeated(deep); };
    const QString head = QStringLiteral("<rss version=\"2.0\"><channel><title>T</title>");
    const QString tail = QStringLiteral("</channel></rss>");
    const QString refused = QStringLiteral("RSSの要素の入れ子が深すぎます（256段まで）。");
    EXPECT_EQ(ErrorOf(head + QStringLiteral("<item><title>") + nested(QStringLiteral("b")) + QStringLiteral("</title></item>") + tail), refused);
    EXPECT_EQ(ErrorOf(head + nested(QStringLiteral("x")) + tail), refused);
    EXPECT_EQ(ErrorOf(QStringLiteral("<rss>") + nested(QStringLiteral("channel")) + QStringLiteral("</rss>")), refused);

    const TRssScript::TFeed shallow = TRssScript::ParseFeed(
        head + QStringLiteral("<item><title>a <b>b <i>c</i></b> d</title></item>") + tail);
    ASSERT_EQ(shallow.Items.size(), 1);
    EXPECT_EQ(shallow.Items[0].Title, QStringLiteral("a b c d"));
}

TEST(RssFeed, TheCodeComesFromTheDeclarationOrTheBytes)
{
    const QString text = QStringLiteral("<rss><channel><title>日本語のフィード～</title></channel></rss>");
    const auto titleOf = [](const QByteArray &bytes, int codePage) {
        return TRssScript::ParseFeed(TRssScript::DecodeFeed(bytes, codePage)).Title;
    };
    const QString expected = QStringLiteral("日本語のフィード～");
    EXPECT_EQ(titleOf("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>" + jconvert::UnicodeToSjis(text), 2), expected);
    EXPECT_EQ(titleOf("<?xml version=\"1.0\" encoding='EUC-JP'?>" + jconvert::UnicodeToEuc(text), 0), expected);
    EXPECT_EQ(titleOf("\xEF\xBB\xBF" + text.toUtf8(), 1), expected);
    // no declaration: detected, whatever the board says
    EXPECT_EQ(titleOf(jconvert::UnicodeToEuc(text), 0), expected);
    EXPECT_EQ(titleOf(jconvert::UnicodeToSjis(text), 2), expected);
    EXPECT_EQ(titleOf(text.toUtf8(), 0), expected);
}

TEST(RssFeed, FeedTextNeverBecomesMarkup)
{
    TRssScript::TFeed feed;
    feed.Title = QStringLiteral("t<>x");
    TRssScript::TFeedItem item;
    item.Title = QStringLiteral("a<>b\nc");
    item.Author = QStringLiteral("<script>x</script>me");
    item.Description = QStringLiteral("<script>alert(1)</script>safe &lt;img src=x onerror=y&gt; &#x3042;&#12356;<>\r\nline");
    item.Link = QStringLiteral("javascript:alert(1)");
    const QString line = TRssScript::ItemDatLine(item, feed);
    EXPECT_FALSE(line.contains(QLatin1Char('\n')));
    EXPECT_EQ(line.count(QStringLiteral("<>")), 4);
    const TDatFields fields = ParseDatLine(line);
    EXPECT_EQ(fields.Name, QStringLiteral("&lt;script&gt;x&lt;/script&gt;me"));
    EXPECT_EQ(fields.Title, QStringLiteral("a&lt;&gt;b c"));
    EXPECT_EQ(fields.Body, QStringLiteral("alert(1)safe &lt;img src=x onerror=y&gt; あい<br>line"));

    item.Link = QStringLiteral("http://example.com/\" onmouseover=\"x");
    EXPECT_FALSE(TRssScript::ItemDatLine(item, feed).contains(QLatin1String("href")));

    EXPECT_EQ(ErrorOf(QStringLiteral("<html><body>not a feed</body></html>")), QStringLiteral("RSSではありません。"));
    EXPECT_TRUE(ErrorOf(QStringLiteral("<rss><channel><item><title>cut")).startsWith(QStringLiteral("RSSを読めませんでした（1行目")));
}

TEST(RssBoard, ItemsAreListedAsThreadsAndReadOnce)
{
    BoardTestEnv env;
    ScriptedHttpServer feedServer;
    TSite *rss = env.registry->RssSite();
    ASSERT_NE(rss, nullptr);
    ASSERT_NE(rss->BBS, nullptr);
    auto *board = new TBoard;
    board->ID = QStringLiteral("feed@rss20.xml");
    board->BBSName = board->ID;
    board->Name = QStringLiteral("Feed");
    board->URL = feedServer.Url(QStringLiteral("/rss20.xml"));
    board->HostPath = feedServer.Url(QString()).mid(7);
    board->Kind = TBoard::KIND_RSS;
    board->Site = rss;
    board->BBS = rss->BBS;
    board->CodePage = 2;
    rss->Boards->Add(board);
    EXPECT_FALSE(rss->BBS->IsWebPage());

    const QByteArray feed = QByteArray(Rss20);
    feedServer.Reply(ScriptedHttpServer::Make(200, feed, {"Last-Modified: Tue, 10 Jun 2003 05:00:00 GMT"}));
    const BoardTestEnv::Listing first = env.List(board);
    ASSERT_FALSE(first.failed);
    const TRssScript::TFeed parsed = TRssScript::ParseFeed(QString::fromUtf8(Rss20));
    const QStringList keys{TRssScript::ItemKey(parsed.Items[0]), TRssScript::ItemKey(parsed.Items[1])};
    EXPECT_EQ(first.keys, keys);
    EXPECT_EQ(first.counts, QList<int>({1, 1}));
    EXPECT_EQ(FileUtil::ReadFile(board->GetLogDir() + QStringLiteral("subject.txt")),
              (keys[0] + QStringLiteral(".dat<>First (1)\r\n") + keys[1] + QStringLiteral(".dat<>Second (1)\r\n")).toLatin1());

    // an unchanged feed: the stored list
    feedServer.Reply(ScriptedHttpServer::Make(304, QByteArray()));
    const BoardTestEnv::Listing second = env.List(board);
    EXPECT_TRUE(second.notModified);
    EXPECT_EQ(second.keys, keys);
    EXPECT_EQ(ScriptedHttpServer::HeaderOf(feedServer.LastRequest(), "If-Modified-Since"),
              QByteArray("Tue, 10 Jun 2003 05:00:00 GMT"));

    // a thread is its item's one response, read once
    auto *item = new TThreadItem;
    ItemRef ref(item);
    ASSERT_TRUE(item->SetLocation(rss->SITEID, board->ID, keys[0], QString()));
    feedServer.Reply(ScriptedHttpServer::Make(200, feed));
    const BoardTestEnv::Fetch read = env.Download(item);
    ASSERT_FALSE(read.failed) << read.errorMessage.toStdString();
    EXPECT_EQ(read.numbers, QList<int>({1}));
    EXPECT_TRUE(read.bodies.value(0).startsWith(QStringLiteral("one<br><br>two &amp; three")));
    EXPECT_EQ(item->TITLE, QStringLiteral("First"));
    const int requests = feedServer.Requests().size();
    const BoardTestEnv::Fetch again = env.Download(item);
    EXPECT_TRUE(again.notModified);
    EXPECT_TRUE(again.numbers.isEmpty());
    EXPECT_EQ(feedServer.Requests().size(), requests);

    // an item gone from the feed
    auto *gone = new TThreadItem;
    ItemRef goneRef(gone);
    gone->SetLocation(rss->SITEID, board->ID, QStringLiteral("rss0000000000000000"), QString());
    feedServer.Reply(ScriptedHttpServer::Make(200, feed));
    const BoardTestEnv::Fetch missing = env.Download(gone);
    EXPECT_TRUE(missing.failed);
    EXPECT_EQ(missing.errorMessage, QStringLiteral("RSSにこの記事がありません。"));
}
