// The response writer: the five-post sample thread through the three template formats, anchors,
// IDs, escaping and hostile bodies.

#include "render/ResHtmlFilter.h"
#include "render/TavuResWriter.h"

#include "core/JConvert.h"
#include "core/Res.h"

#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <memory>
#include <vector>

namespace {

using namespace ResHtmlFilter;

// The sample thread the skin dialog previews: an opening post with an ID, a reply anchoring 1,
// a tripcode with "age" anchoring 2, a "sage" post of ASCII art and a post with a picture URL.
std::vector<std::unique_ptr<TRes>> SampleThread()
{
    struct Line {
        const char *name, *mail, *date, *body;
    };
    const Line lines[] = {
        {"名無しさん", "", "2004/01/01(木) 00:00:00 ID:abcDEF12",
         "これはちょっと史上初かもしれません<br>テストです"},
        {"名無しさん", "", "2004/01/01(木) 00:01:00 ID:x+y/Z987",
         "<a href=\"../test/read.cgi/test/000000000/1\" target=\"_blank\">&gt;&gt;1</a><br>乙"},
        {"名無し </b>◆Trip1234 <b>", "age", "2004/01/01(木) 00:02:00 ID:abcDEF12", "&gt;&gt;2<br>どうかな"},
        {"名無しさん", "sage", "2004/01/01(木) 00:03:00 ID:qqq",
         "　 ∧＿∧<br>　（　´∀｀）＜ ぬるぽ<br>　（　　　　）"},
        {"名無しさん", "", "2004/01/01(木) 00:04:00 ID:rrr BE:123456-2BP(1)",
         "画像 http://www.example.com/sample.jpg です"},
    };
    std::vector<std::unique_ptr<TRes>> thread;
    int number = 0;
    for (const Line &l : lines) {
        auto res = std::make_unique<TRes>();
        res->Number = ++number;
        res->Name = QString::fromUtf8(l.name);
        res->SetMail(QString::fromUtf8(l.mail));
        res->SetDate(QString::fromUtf8(l.date));
        res->Body = QString::fromUtf8(l.body);
        thread.push_back(std::move(res));
    }
    thread[0]->Title = QStringLiteral("これはちょっと史上初かもしれません");
    thread[4]->IsNew = true;
    return thread;
}

class ResWriterTest : public ::testing::Test {
protected:
    TempDataRoot root{true};
    std::vector<std::unique_ptr<TRes>> thread = SampleThread();

    TSkinSettings Skin(const char *name) const
    {
        TSkinSettings s;
        s.SkinPath = root.File(QStringLiteral("def/skin/%1/").arg(QLatin1String(name)));
        const auto format = TTavuResWriter::DetectFormat(s.SkinPath);
        s.Katjusha = format == TTavuResWriter::sfKatjusha;
        s.Varnelo10 = format == TTavuResWriter::sfVarnelo10;
        return s;
    }

    // A writer for one of the shipped skins, told about the sample thread.
    std::unique_ptr<TTavuResWriter> Writer(const char *name) const
    {
        auto writer = std::make_unique<TTavuResWriter>(Skin(name));
        TTavuResWriter::TThreadInfo info;
        info.Title = thread[0]->Title;
        info.ResCount = 5;
        writer->SetThreadInfo(info);
        return writer;
    }

    // Header, every response and footer, as a view shows them.
    QString Page(const TTavuResWriter &writer) const
    {
        QString page = writer.RenderHeader();
        for (const auto &res : thread)
            page += writer.RenderRes(*res);
        return page + writer.RenderFooter();
    }
};

TEST_F(ResWriterTest, DetectsTheFormatOfEachSkin)
{
    EXPECT_EQ(TTavuResWriter::DetectFormat(Skin("default").SkinPath), TTavuResWriter::sfCurrent);
    EXPECT_EQ(TTavuResWriter::DetectFormat(Skin("varnelo10").SkinPath), TTavuResWriter::sfVarnelo10);
    EXPECT_EQ(TTavuResWriter::DetectFormat(Skin("katjusha").SkinPath), TTavuResWriter::sfKatjusha);

    // Lower-case tags count too; a folder without a res template is the current format.
    root.Write(QStringLiteral("skins/lower/res.html"), "<dt>&number<dd>&message");
    EXPECT_EQ(TTavuResWriter::DetectFormat(root.File(QStringLiteral("skins/lower/"))), TTavuResWriter::sfKatjusha);
    EXPECT_EQ(TTavuResWriter::DetectFormat(root.File(QStringLiteral("skins/none/"))), TTavuResWriter::sfCurrent);
}

TEST_F(ResWriterTest, SampleThreadThroughEachFormat)
{
    for (const char *name : {"default", "varnelo10", "katjusha"}) {
        SCOPED_TRACE(name);
        const QString page = Page(*Writer(name));

        // Every tag of the templates was filled.
        EXPECT_FALSE(page.contains(QRegularExpression(QStringLiteral("<(MESSAGE|NAME|DATE|NUMBER)/?>|&(MESSAGE|MAILNAME|DATE)"))));
        EXPECT_TRUE(page.contains(QStringLiteral("<title>これはちょっと史上初かもしれません</title>")));
        for (int n = 1; n <= 5; ++n) {
            EXPECT_TRUE(page.contains(QStringLiteral("<a id=\"ID%1\" name=\"ID%1\"></a>").arg(n)));
            EXPECT_TRUE(page.contains(QStringLiteral("<a href=\"tavu://res/?no=%1\">%1</a>").arg(n)));
        }
        // One check box per response, whether the skin places it or not.
        EXPECT_EQ(page.count(QStringLiteral("class=\"tavu-check\"")), 5);
        EXPECT_TRUE(page.contains(QStringLiteral("value=\"3\"")));

        EXPECT_TRUE(page.contains(QStringLiteral("<a href=\"tavu://res/?id=abcDEF12\" class=\"id\">ID:abcDEF12</a>")));
        EXPECT_TRUE(page.contains(QStringLiteral("<a href=\"#ID1\" class=\"anchor\">&gt;&gt;1</a>")));
        EXPECT_TRUE(page.contains(QStringLiteral("<a href=\"#ID2\" class=\"anchor\">&gt;&gt;2</a>")));
        // The trip keeps the board's way of leaving the template's bold.
        EXPECT_TRUE(page.contains(QStringLiteral("<a href=\"mailto:age\" class=\"mail\">名無し </b>◆Trip1234 <b></a>")));
        EXPECT_TRUE(page.contains(QStringLiteral("<a href=\"mailto:sage\" class=\"mail sage\">名無しさん</a>")));
        EXPECT_TRUE(page.contains(QStringLiteral("　（　´∀｀）＜ ぬるぽ<br>")));
        EXPECT_TRUE(page.contains(QStringLiteral("<a href=\"http://www.example.com/sample.jpg\">http://www.example.com/sample.jpg</a>")));
        EXPECT_TRUE(page.contains(QStringLiteral("<a href=\"tavu://res/?be=123456\" class=\"be\">BE:123456-2BP(1)</a>")));
        EXPECT_FALSE(page.contains(QStringLiteral("<img")));
    }
}

TEST_F(ResWriterTest, NewResponsesUseTheNewTemplate)
{
    const TTavuResWriter current(Skin("default"));
    EXPECT_TRUE(current.RenderRes(*thread[4]).contains(QStringLiteral("<div class=\"res new\">")));
    EXPECT_FALSE(current.RenderRes(*thread[3]).contains(QStringLiteral("res new")));

    const TTavuResWriter katjusha(Skin("katjusha"));
    // The Katjusha skin has no check box tag: the box goes before the number.
    EXPECT_TRUE(katjusha.RenderRes(*thread[4]).contains(QStringLiteral(
        "<dt><font color=\"red\"><input type=\"checkbox\" class=\"tavu-check\" name=\"tavu-check\" value=\"5\">"
        "<a href=\"tavu://res/?no=5\">")));

    // A skin without a newres template shows new responses like the others.
    root.Write(QStringLiteral("skins/plain/res.html"), "<p><NUMBER/>:<MESSAGE/></p>");
    TSkinSettings plain;
    plain.SkinPath = root.File(QStringLiteral("skins/plain/"));
    const TTavuResWriter writer(plain);
    EXPECT_TRUE(writer.RenderRes(*thread[4]).contains(QStringLiteral("<a href=\"tavu://res/?no=5\">5</a>:画像")));
    // ... and the missing header and footer are replaced by plain ones.
    EXPECT_TRUE(writer.RenderHeader().contains(QStringLiteral("<body>")));
    EXPECT_TRUE(writer.RenderFooter().contains(QStringLiteral("</html>")));
}

TEST_F(ResWriterTest, SkinSettingsDecideIdLinksAndPictures)
{
    TSkinSettings s = Skin("default");
    s.IDPopup = false;
    s.RenderImage = true;
    const TTavuResWriter noPopup(s);
    const QString first = noPopup.RenderRes(*thread[0]);
    EXPECT_TRUE(first.contains(QStringLiteral("ID:abcDEF12")));
    EXPECT_FALSE(first.contains(QStringLiteral("tavu://res/?id=")));
    EXPECT_TRUE(noPopup.RenderRes(*thread[4]).contains(
        QStringLiteral("<img src=\"http://www.example.com/sample.jpg\" alt=\"\" style=\"max-height:24em;max-width:100%\">")));

    // Pictures of new responses only: response 5 is new.
    s.RenderImageNewOnly = true;
    s.ImageSize = 10;
    const TTavuResWriter newOnly(s);
    EXPECT_TRUE(newOnly.RenderRes(*thread[4]).contains(QStringLiteral("max-height:10em")));
    thread[4]->IsNew = false;
    EXPECT_FALSE(newOnly.RenderRes(*thread[4]).contains(QStringLiteral("<img")));
}

TEST_F(ResWriterTest, HeaderAndFooterShowTheThread)
{
    TTavuResWriter writer(Skin("default"));
    TTavuResWriter::TThreadInfo info;
    info.Title = QStringLiteral("タイトル&amp;<b>太字</b>");
    info.BoardName = QStringLiteral("ニュース<速報>");
    info.ResCount = 5;
    info.NewCount = 1;
    writer.SetThreadInfo(info);
    const QString header = writer.RenderHeader();
    EXPECT_TRUE(header.contains(QStringLiteral("<title>タイトル&amp;&lt;b&gt;太字&lt;/b&gt;</title>")));
    EXPECT_TRUE(header.contains(QStringLiteral("ニュース&lt;速報&gt;")));
    EXPECT_TRUE(header.contains(QStringLiteral("\"IPA Pゴシック\"")));   // the Shift_JIS skin read right
    EXPECT_TRUE(writer.RenderFooter().contains(QStringLiteral("全 5 レス／新着 1 レス")));
}

TEST_F(ResWriterTest, AnchorsPointWhereTheViewSays)
{
    TTavuResWriter writer(Skin("default"));
    writer.AnchorUrl = [](int first, int last) {
        return QStringLiteral("http://host/test/read.cgi/news/123/%1-%2").arg(first).arg(last);
    };
    EXPECT_TRUE(writer.RenderRes(*thread[1]).contains(
        QStringLiteral("<a href=\"http://host/test/read.cgi/news/123/1-1\" class=\"anchor\">&gt;&gt;1</a>")));
}

TEST(ResWriterLinks, InternalLinksRoundTrip)
{
    EXPECT_EQ(TTavuResWriter::ResLink(12), QStringLiteral("tavu://res/?no=12"));
    const QString id = QStringLiteral("x+y/Z987");
    EXPECT_EQ(TTavuResWriter::IdLink(id), QStringLiteral("tavu://res/?id=x%2By%2FZ987"));
    EXPECT_EQ(TTavuResWriter::LinkValue(TTavuResWriter::IdLink(id)), id);
    EXPECT_EQ(TTavuResWriter::BeLink(QStringLiteral("98765-#")), QStringLiteral("tavu://res/?be=98765"));
    EXPECT_EQ(TTavuResWriter::LinkValue(QStringLiteral("http://x/?no=1")), QString());
}

// ---------------------------------------------------------------------------------------------
// The filter on its own

QString Body(const QString &raw, bool images = false)
{
    return FilterField(raw, TLinkOptions(), fkBody, false, images);
}

TEST(ResHtmlFilter, HostileBodiesNeverReachThePageAsMarkup)
{
    const QString script = Body(QStringLiteral("a<script>alert(1)</script>b"));
    EXPECT_EQ(script, QStringLiteral("a&lt;script&gt;alert(1)&lt;/script&gt;b"));

    EXPECT_EQ(Body(QStringLiteral("<img src=x onerror=alert(1)>")), QStringLiteral("&lt;img src=x onerror=alert(1)&gt;"));
    EXPECT_EQ(Body(QStringLiteral("<img src=\"http://e.com/a.png\" onerror=\"alert(1)\">"), true),
              QStringLiteral("<a href=\"http://e.com/a.png\" class=\"tavu-image\"><img src=\"http://e.com/a.png\" "
                             "alt=\"\" style=\"max-height:24em;max-width:100%\"></a>"));
    // Without pictures an <img> becomes a link to it.
    EXPECT_EQ(Body(QStringLiteral("<img src=\"http://e.com/a.png\">")),
              QStringLiteral("<a href=\"http://e.com/a.png\">http://e.com/a.png</a>"));

    for (const char *href : {"javascript:alert(1)", "JaVaScRiPt:alert(1)", "java&#x09;script:alert(1)",
                             "data:text/html,<script>", "vbscript:x", " javascript:x", "http://a b"}) {
        SCOPED_TRACE(href);
        const QString out = Body(QStringLiteral("<a href=\"%1\">click</a>").arg(QLatin1String(href)));
        EXPECT_EQ(out, QStringLiteral("click"));
    }
    EXPECT_EQ(Body(QStringLiteral("<a href=\"http://e.com/?a=1&amp;b=&quot;x\" onclick=\"y\">site</a>")),
              QStringLiteral("<a href=\"http://e.com/?a=1&amp;b=&quot;x\">site</a>"));

    EXPECT_EQ(Body(QStringLiteral("<font color=\"red\" style=\"x:expression(alert(1))\" onmouseover=\"y\" size=+2>r")),
              QStringLiteral("<font color=\"red\" size=\"+2\">r</font>"));
    EXPECT_EQ(Body(QStringLiteral("<font color=\"javascript:x\">r</font>")), QStringLiteral("<font>r</font>"));
    EXPECT_EQ(Body(QStringLiteral("<b onclick=x>bold</B><BR/><hr size=9>")), QStringLiteral("<b>bold</b><br><hr>"));
    EXPECT_EQ(Body(QStringLiteral("<div style=\"position:fixed\">x</div><iframe src=http://e.com>")),
              QStringLiteral("&lt;div style=&quot;position:fixed&quot;&gt;x&lt;/div&gt;&lt;iframe src=http://e.com&gt;"));
}

TEST(ResHtmlFilter, BrokenTagsAreBalancedOrShownAsText)
{
    EXPECT_EQ(Body(QStringLiteral("<b>open")), QStringLiteral("<b>open</b>"));
    EXPECT_EQ(Body(QStringLiteral("</i>stray</b>")), QStringLiteral("stray"));
    EXPECT_EQ(Body(QStringLiteral("<b><i>x</b>y</i>")), QStringLiteral("<b><i>x</i></b>y"));
    EXPECT_EQ(Body(QStringLiteral("a <b")), QStringLiteral("a &lt;b"));
    EXPECT_EQ(Body(QStringLiteral("<a href=\"http://x.com/\">never closed")),
              QStringLiteral("<a href=\"http://x.com/\">never closed</a>"));
    EXPECT_EQ(Body(QStringLiteral("<a href='http://x.com/>x")),
              QStringLiteral("&lt;a href='<a href=\"http://x.com/\">http://x.com/</a>&gt;x"));
    EXPECT_EQ(Body(QStringLiteral("1 < 2 <!-- c -->")), QStringLiteral("1 &lt; 2 &lt;!-- c --&gt;"));
}

TEST(ResHtmlFilter, ABodyFullOfUnfinishedTagsIsReadInOnePass)
{
    // Each "<b" opens a quote that the next one closes, and no tag ever ends: a scan of the rest of
    // the body for every tag would keep the window busy for minutes (past the test's time limit).
    const QString hostile = QStringLiteral("<b x=\"").repeated(100000);
    const QString out = Body(hostile);
    EXPECT_EQ(out, QStringLiteral("&lt;b x=&quot;").repeated(100000));
    // A tag longer than any board writes is shown as text too.
    const QString longTag = QStringLiteral("<b title=\"%1\">x</b>").arg(QString(2000, u'y'));
    EXPECT_TRUE(Body(longTag).startsWith(QStringLiteral("&lt;b title=&quot;yyy")));
}

TEST(ResHtmlFilter, ClosingTagsThatMatchNothingAreDroppedOneByOne)
{
    // 100,000 open tags and 100,000 closing tags of another name: each closing tag is answered
    // without searching the open ones (bench/render_bench.cpp measures it against a plain body).
    const QString hostile = QStringLiteral("<b>").repeated(100000) + QStringLiteral("</i>").repeated(100000) + u'x';
    EXPECT_EQ(Body(hostile), QStringLiteral("<b>").repeated(100000) + u'x' + QStringLiteral("</b>").repeated(100000));
    // A closing tag that matches closes what was opened inside it, then nothing more.
    EXPECT_EQ(Body(QStringLiteral("<i><b><u>a</i></u>b</b>c")), QStringLiteral("<i><b><u>a</u></b></i>bc"));
    EXPECT_EQ(Body(QStringLiteral("<b>1<b>2</b>3</b>4</b>")), QStringLiteral("<b>1<b>2</b>3</b>4"));
}

TEST(ResHtmlFilter, EntitiesAreKeptAndBareAmpersandsEscaped)
{
    EXPECT_EQ(Body(QStringLiteral("&gt;&lt;&amp;&quot;&nbsp;&#12354;&#x3042;&hearts;")),
              QStringLiteral("&gt;&lt;&amp;&quot;&nbsp;ああ&hearts;"));
    EXPECT_EQ(Body(QStringLiteral("AT&T &#0; &#xD800; &bogus")), QStringLiteral("AT&amp;T &#0; &#xD800; &amp;bogus"));
    EXPECT_EQ(Body(QStringLiteral("&#60;script&#x3E;")), QStringLiteral("&lt;script&gt;"));
}

TEST(ResHtmlFilter, AnchorsBecomeLinks)
{
    TLinkOptions options;
    options.AnchorUrl = [](int first, int last) { return QStringLiteral("r/%1-%2").arg(first).arg(last); };
    const auto body = [&](const char *raw) { return FilterField(QString::fromUtf8(raw), options, fkBody); };

    EXPECT_EQ(body("&gt;&gt;5-7,9です"),
              QStringLiteral("<a href=\"r/5-7\" class=\"anchor\">&gt;&gt;5-7</a><a href=\"r/9-9\" class=\"anchor\">,9</a>です"));
    EXPECT_EQ(body("＞＞１２"), QStringLiteral("<a href=\"r/12-12\" class=\"anchor\">＞＞１２</a>"));
    EXPECT_EQ(body("&gt;&gt;9-3"), QStringLiteral("<a href=\"r/3-9\" class=\"anchor\">&gt;&gt;9-3</a>"));
    EXPECT_EQ(body("≫3"), QStringLiteral("<a href=\"r/3-3\" class=\"anchor\">≫3</a>"));
    EXPECT_EQ(body("&gt;&gt;0 &gt;&gt;123456 &gt;&gt;x &gt;&gt;4,"),
              QStringLiteral("&gt;&gt;0 &gt;&gt;123456 &gt;&gt;x <a href=\"r/4-4\" class=\"anchor\">&gt;&gt;4</a>,"));
    // A board's own link around an anchor becomes ours.
    EXPECT_EQ(body("<a href=\"../test/read.cgi/news/1/5\" target=\"_blank\">&gt;&gt;5</a>"),
              QStringLiteral("<a href=\"r/5-5\" class=\"anchor\">&gt;&gt;5</a>"));

    options.AddExtRes = false;
    EXPECT_EQ(body("≫3 ＞3"), QStringLiteral("≫3 ＞3"));
}

TEST(ResHtmlFilter, AddressesInTextBecomeLinks)
{
    TLinkOptions options;
    const auto body = [&](const char *raw) { return FilterField(QString::fromUtf8(raw), options, fkBody); };

    EXPECT_EQ(body("見て ttp://e.com/a?b=1&amp;c=2。"),
              QStringLiteral("見て <a href=\"http://e.com/a?b=1&amp;c=2\">ttp://e.com/a?b=1&amp;c=2</a>。"));
    EXPECT_EQ(body("www.e.com."), QStringLiteral("<a href=\"http://www.e.com\">www.e.com</a>."));
    EXPECT_EQ(body("http://e.com/&quot;onmouseover=alert(1)"),
              QStringLiteral("<a href=\"http://e.com/\">http://e.com/</a>&quot;onmouseover=alert(1)"));
    EXPECT_EQ(body("http:// x"), QStringLiteral("http:// x"));

    options.AddHrefLink = false;
    EXPECT_EQ(body("ttp://e.com/ www.e.com"), QStringLiteral("ttp://e.com/ www.e.com"));
    EXPECT_EQ(body("https://e.com/"), QStringLiteral("<a href=\"https://e.com/\">https://e.com/</a>"));
}

TEST(ResHtmlFilter, NamesAndTitlesKeepFewTags)
{
    const TLinkOptions options;
    EXPECT_EQ(FilterField(QStringLiteral("<b>a</b><font color=#ff0000>b</font><i>c</i>"), options, fkName),
              QStringLiteral("<b>a</b><font color=\"#ff0000\">b</font>&lt;i&gt;c&lt;/i&gt;"));
    EXPECT_EQ(FilterField(QStringLiteral("<a href=\"http://e.com\">n</a>"), options, fkName),
              QStringLiteral("&lt;a href=&quot;http://e.com&quot;&gt;n&lt;/a&gt;"));
    // Inside the template's bold a lone "</b>" is balanced afterwards; outside it is dropped.
    EXPECT_EQ(FilterField(QStringLiteral("fusianasan </b>host.example"), options, fkName, true),
              QStringLiteral("fusianasan </b>host.example<b>"));
    EXPECT_EQ(FilterField(QStringLiteral("名無し </b>◆trip <b>"), options, fkName, false),
              QStringLiteral("名無し ◆trip <b></b>"));
    EXPECT_EQ(FilterField(QStringLiteral("<b>t</b> &amp; http://e.com"), options, fkTitle),
              QStringLiteral("&lt;b&gt;t&lt;/b&gt; &amp; http://e.com"));
}

}  // namespace
