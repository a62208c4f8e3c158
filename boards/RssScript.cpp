#include "boards/RssScript.h"

#include "boards/BoardRequest.h"
#include "boards/BoardScript.h"
#include "boards/DatDownload.h"
#include "boards/PageListDownload.h"
#include "core/Board.h"
#include "core/DatLine.h"
#include "core/Exceptions.h"
#include "core/JConvert.h"
#include "core/MonaUtils.h"
#include "core/ResDownloader.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "core/ThreadListDownloader.h"
#include "net/HttpCli.h"
#include "net/TavuHttp.h"

#include <QCryptographicHash>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

// ---------------------------------------------------------------------------------------------
// The code of a feed

namespace {

// The code an XML declaration names; UNKNOWN when there is none or it names another code.
jconvert::Code DeclaredCode(const QByteArray &bytes)
{
    if (!bytes.startsWith("<?xml"))
        return jconvert::UNKNOWN;
    const QByteArray declaration = bytes.left(bytes.indexOf("?>")).toLower();
    static const QRegularExpression encoding(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    const QString name = encoding.match(QString::fromLatin1(declaration)).captured(1);
    static const QHash<QString, jconvert::Code> codes = {
        {QStringLiteral("shift_jis"), jconvert::SJIS},   {QStringLiteral("shift-jis"), jconvert::SJIS},
        {QStringLiteral("sjis"), jconvert::SJIS},        {QStringLiteral("x-sjis"), jconvert::SJIS},
        {QStringLiteral("windows-31j"), jconvert::SJIS}, {QStringLiteral("cp932"), jconvert::SJIS},
        {QStringLiteral("euc-jp"), jconvert::EUC},       {QStringLiteral("x-euc-jp"), jconvert::EUC},
        {QStringLiteral("utf-8"), jconvert::UTF8},       {QStringLiteral("utf8"), jconvert::UTF8},
        {QStringLiteral("iso-2022-jp"), jconvert::JIS},  {QStringLiteral("us-ascii"), jconvert::UTF8},
    };
    return codes.value(name, jconvert::UNKNOWN);
}

}  // namespace

QString TRssScript::DecodeFeed(const QByteArray &bytes, int codePage)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return jconvert::Utf8ToUnicode(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16)(bytes);
    jconvert::Code code = DeclaredCode(bytes);
    if (code == jconvert::UNKNOWN)
        code = jconvert::DetectCode(bytes);
    if (code == jconvert::UNKNOWN)
        code = Tavutils::CodePageCode(codePage);
    return jconvert::Decode(bytes, code);
}

// ---------------------------------------------------------------------------------------------
// Reading a feed

namespace {

QString LocalName(const QXmlStreamReader &xml)
{
    return xml.name().toString().toLower();
}

// How deep elements may nest inside the element being read, and channels inside channels. A feed
// nested deeper is refused: it is no feed a site writes, and reading it must cost no stack.
constexpr int MaxNesting = 256;

[[noreturn]] void RefuseNesting()
{
    throw EVarnelo(QStringLiteral("RSSの要素の入れ子が深すぎます（%1段まで）。").arg(MaxNesting));
}

// Reads on to the end of the current element, one loop whatever the nesting; the text of the
// element and of its children when text is given.
void ReadToEnd(QXmlStreamReader &xml, QString *text)
{
    int depth = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > MaxNesting)
                RefuseNesting();
            break;
        case QXmlStreamReader::EndElement:
            if (depth-- == 0)
                return;
            break;
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            if (text)
                *text += xml.text();
            break;
        default:
            break;
        }
    }
}

void SkipElement(QXmlStreamReader &xml)
{
    ReadToEnd(xml, nullptr);
}

QString ElementText(QXmlStreamReader &xml)
{
    QString text;
    ReadToEnd(xml, &text);
    return text.trimmed();
}

// A date of RFC 822 ("Tue, 10 Jun 2003 04:00:00 GMT", zone names and times without seconds
// allowed) or of ISO 8601 ("2003-06-10T04:00:00+09:00").
QDateTime ParseDate(const QString &text)
{
    QStringList parts = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return QDateTime();
    if (parts.size() == 1)
        return QDateTime::fromString(parts[0], Qt::ISODateWithMs);
    static const QHash<QString, QString> zones = {
        {QStringLiteral("GMT"), QStringLiteral("+0000")}, {QStringLiteral("UT"), QStringLiteral("+0000")},
        {QStringLiteral("UTC"), QStringLiteral("+0000")}, {QStringLiteral("Z"), QStringLiteral("+0000")},
        {QStringLiteral("JST"), QStringLiteral("+0900")}, {QStringLiteral("EST"), QStringLiteral("-0500")},
        {QStringLiteral("EDT"), QStringLiteral("-0400")}, {QStringLiteral("CST"), QStringLiteral("-0600")},
        {QStringLiteral("CDT"), QStringLiteral("-0500")}, {QStringLiteral("MST"), QStringLiteral("-0700")},
        {QStringLiteral("MDT"), QStringLiteral("-0600")}, {QStringLiteral("PST"), QStringLiteral("-0800")},
        {QStringLiteral("PDT"), QStringLiteral("-0700")},
    };
    parts.last() = zones.value(parts.last().toUpper(), parts.last());
    for (QString &part : parts) {
        if (part.size() == 5 && part[2] == QLatin1Char(':'))
            part += QStringLiteral(":00");
    }
    return QDateTime::fromString(parts.join(QLatin1Char(' ')), Qt::RFC2822Date);
}

// Atom: <author><name>..</name><email>..</email></author>; RSS: the element's text.
QString ReadAuthor(QXmlStreamReader &xml)
{
    QString text;
    QString name;
    while (xml.readNext() != QXmlStreamReader::EndElement && !xml.atEnd()) {
        if (xml.isCharacters())
            text += xml.text();
        else if (xml.isStartElement() && LocalName(xml) == QLatin1String("name"))
            name = ElementText(xml);
        else if (xml.isStartElement())
            SkipElement(xml);
    }
    return name.isEmpty() ? text.trimmed() : name;
}

// An Atom link: its href when it is the alternate page (no rel, or rel="alternate"); RSS: the text.
void ReadLink(QXmlStreamReader &xml, QString &link)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    if (!attributes.hasAttribute(QStringLiteral("href"))) {
        const QString text = ElementText(xml);
        if (link.isEmpty())
            link = text;
        return;
    }
    const QString rel = attributes.value(QStringLiteral("rel")).toString();
    if (link.isEmpty() && (rel.isEmpty() || rel == QLatin1String("alternate")))
        link = attributes.value(QStringLiteral("href")).toString().trimmed();
    SkipElement(xml);
}

TRssScript::TFeedItem ReadItem(QXmlStreamReader &xml)
{
    static const QStringList dateNames = {
        QStringLiteral("pubdate"), QStringLiteral("date"),     QStringLiteral("published"), QStringLiteral("issued"),
        QStringLiteral("updated"), QStringLiteral("modified"), QStringLiteral("created"),
    };
    TRssScript::TFeedItem item;
    QString about;   // RSS 1.0: rdf:about
    for (const QXmlStreamAttribute &attribute : xml.attributes()) {
        if (attribute.name() == QLatin1String("about"))
            about = attribute.value().toString().trimmed();
    }
    QString content;
    while (xml.readNextStartElement()) {
        const QString name = LocalName(xml);
        if (name == QLatin1String("title"))
            item.Title = ElementText(xml);
        else if (name == QLatin1String("link"))
            ReadLink(xml, item.Link);
        else if (name == QLatin1String("guid") || name == QLatin1String("id"))
            item.Id = ElementText(xml);
        else if ((name == QLatin1String("description") || name == QLatin1String("summary")) && item.Description.isEmpty())
            item.Description = ElementText(xml);
        else if (name == QLatin1String("content") || name == QLatin1String("encoded"))
            content = ElementText(xml);
        else if (name == QLatin1String("author") || name == QLatin1String("creator"))
            item.Author = ReadAuthor(xml);
        else if (dateNames.contains(name) && !item.Date.isValid())
            item.Date = ParseDate(ElementText(xml));
        else
            SkipElement(xml);
    }
    if (item.Link.isEmpty())
        item.Link = about;
    if (item.Description.isEmpty())
        item.Description = content;
    return item;
}

// The children of the root or of a channel: the feed's title and description, and its items.
void ReadContainer(QXmlStreamReader &xml, TRssScript::TFeed &feed, int depth = 0)
{
    if (depth > MaxNesting)
        RefuseNesting();
    while (xml.readNextStartElement()) {
        const QString name = LocalName(xml);
        if (name == QLatin1String("channel"))
            ReadContainer(xml, feed, depth + 1);
        else if (name == QLatin1String("item") || name == QLatin1String("entry"))
            feed.Items << ReadItem(xml);
        else if (name == QLatin1String("title") && feed.Title.isEmpty())
            feed.Title = ElementText(xml);
        else if ((name == QLatin1String("description") || name == QLatin1String("subtitle")
                  || name == QLatin1String("tagline")) && feed.Description.isEmpty())
            feed.Description = ElementText(xml);
        else
            SkipElement(xml);
    }
}

}  // namespace

TRssScript::TFeed TRssScript::ParseFeed(const QString &text)
{
    QXmlStreamReader xml(text);
    TFeed feed;
    if (xml.readNextStartElement()) {
        const QString root = LocalName(xml);
        if (root != QLatin1String("rss") && root != QLatin1String("rdf") && root != QLatin1String("feed"))
            throw EVarnelo(QStringLiteral("RSSではありません。"));
        ReadContainer(xml, feed);
    }
    if (xml.hasError()) {
        throw EVarnelo(QStringLiteral("RSSを読めませんでした（%1行目: %2）。")
                           .arg(xml.lineNumber()).arg(xml.errorString()));
    }
    return feed;
}

// ---------------------------------------------------------------------------------------------
// Items as threads

namespace {

// The numeric character references of a text ("&#12354;", "&#x3042;") as characters; references
// to nothing a text may hold are dropped.
QString DecodeNumericReferences(const QString &text)
{
    static const QRegularExpression reference(QStringLiteral("&#([xX][0-9a-fA-F]{1,6}|[0-9]{1,7});"));
    QString result;
    qsizetype from = 0;
    for (const QRegularExpressionMatch &m : reference.globalMatch(text)) {
        result += QStringView(text).mid(from, m.capturedStart() - from);
        const QString digits = m.captured(1);
        bool ok = false;
        const uint code = digits.startsWith(QLatin1Char('x'), Qt::CaseInsensitive) ? digits.mid(1).toUInt(&ok, 16)
                                                                                   : digits.toUInt(&ok, 10);
        if (ok && code >= 0x20 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
            const char32_t character = code;
            result += QString::fromUcs4(&character, 1);
        }
        from = m.capturedEnd();
    }
    return result + text.mid(from);
}

// The plain text of a feed's HTML: line breaks at <br> and paragraphs, tags dropped, entities read.
QString PlainText(const QString &html)
{
    static const QRegularExpression lineBreaks(QStringLiteral("<\\s*(br|/p|p)(\\s[^>]*)?/?\\s*>"),
                                               QRegularExpression::CaseInsensitiveOption);
    QString text = html;
    text.replace(QLatin1Char('\r'), QString());
    text.replace(lineBreaks, QStringLiteral("\n"));
    text = MonaUtils::StripHtmlTags(text);
    text.replace(QLatin1String("&apos;"), QLatin1String("'"));
    return DecodeNumericReferences(MonaUtils::HtmlToText(text)).trimmed();
}

// A feed's plain text (a title, a name) for one field of a line: escaped, line breaks as blanks.
QString FieldText(const QString &text)
{
    return MonaUtils::TextToHtml(text.simplified());
}

bool IsWebLink(const QString &link)
{
    return (link.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
            || link.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
           && !link.contains(QRegularExpression(QStringLiteral("[\\s\"<>]")));
}

QString SubjectLineOf(const TRssScript::TFeedItem &item)
{
    return TRssScript::ItemKey(item) + QStringLiteral(".dat<>") + FieldText(item.Title) + QStringLiteral(" (1)");
}

QString Agent()
{
    return QString::fromLatin1(THttpCli::DefaultUserAgent);
}

}  // namespace

QString TRssScript::ItemKey(const TFeedItem &item)
{
    QString source = item.Id.trimmed();
    if (source.isEmpty())
        source = item.Link.trimmed();
    if (source.isEmpty())
        source = item.Title + QLatin1Char('\n') + item.Date.toString(Qt::ISODate);
    const QByteArray hash = QCryptographicHash::hash(source.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("rss") + QString::fromLatin1(hash.left(16));
}

QString TRssScript::ItemDatLine(const TFeedItem &item, const TFeed &feed)
{
    const QString name = FieldText(item.Author.isEmpty() ? feed.Title : item.Author);
    const QString date = item.Date.isValid() ? item.Date.toLocalTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"))
                                             : QString();
    QString body = MonaUtils::TextToHtml(PlainText(item.Description));
    const QString link = item.Link.trimmed();
    if (IsWebLink(link)) {
        const QString escaped = MonaUtils::TextToHtml(link);
        body += (body.isEmpty() ? QString() : QStringLiteral("<br><br>"))
                + QStringLiteral("<a href=\"%1\">%1</a>").arg(escaped);
    }
    return ComposeDatLine(name, QString(), date, body, FieldText(item.Title));
}

// ---------------------------------------------------------------------------------------------
// Downloads

namespace {

// The feed read whole; its items become subject lines at its end.
class TFeedListParser : public TPageListParser {
public:
    explicit TFeedListParser(int codePage) : codePage(codePage) {}

    QStringList ParseLine(const QByteArray &line) override
    {
        bytes += line + '\n';
        return {};
    }

    QStringList ParseEnd() override
    {
        QStringList lines;
        for (const TRssScript::TFeedItem &item : TRssScript::ParseFeed(TRssScript::DecodeFeed(bytes, codePage)).Items)
            lines << SubjectLineOf(item);
        return lines;
    }

private:
    int codePage;
    QByteArray bytes;
};

// One thread: the feed is fetched and the response of the thread's item delivered.
class TFeedItemDownload : public TBoardRequest {
public:
    TFeedItemDownload(const TRssScript *bbs, TResDownloader *job) : bbs(bbs), job(job) {}

protected:
    void Start() override
    {
        TThreadItem *item = job->Item();
        board = job->Board ? job->Board : item ? item->GetBoard() : nullptr;
        if (!item || !board)
            return Fail(-1, QStringLiteral("板が見つかりません。"));
        if (!TBoardScript::StoredLines(item).isEmpty()) {   // an item is read once
            job->NotModified = true;
            job->DeliverDone(false);
            return End();
        }
        TTavuHttp *http = NewHttp(bbs->GetThreadUrl(item), board, Agent(), job, TRequestKind::Page);
        http->AcceptGzip = true;
        http->OnLine = [this](TTavuHttp *, void *, const QByteArray &line, qint64, qint64) { body += line + '\n'; };
        http->OnError = [this](TTavuHttp *, void *, int code, const QString &message, const QString &detail) {
            NoteFailure(code, message);
            job->DeliverError(code, message, detail);
        };
        http->OnDone = [this](TTavuHttp *, void *, bool failed) { Finished(failed); };
        http->Get();
    }

private:
    const TRssScript *bbs;
    TResDownloader *job;
    TBoard *board = nullptr;
    QByteArray body;

    void Finished(bool failed)
    {
        if (failed || Http()->IsNotModified()) {
            job->NotModified = !failed;
            job->DeliverDone(failed);
            return End();
        }
        try {
            const TRssScript::TFeed feed = TRssScript::ParseFeed(TRssScript::DecodeFeed(body, board->CodePage));
            const QString key = job->Item()->GetKey();
            for (const TRssScript::TFeedItem &item : feed.Items) {
                if (TRssScript::ItemKey(item) == key)
                    return Deliver(TRssScript::ItemDatLine(item, feed));
            }
            Fail(404, QStringLiteral("RSSにこの記事がありません。"));
        } catch (const EVarnelo &error) {
            Fail(-1, error.Message);
        }
    }

    void Deliver(const QString &line)
    {
        DeliverDatLine(job, line, jconvert::UnicodeToSjis(line), 1, 1, 1);
        job->DeliverDone(false);
        End();
    }

    void Fail(int code, const QString &message)
    {
        job->DeliverError(code, message, QString());
        job->DeliverDone(true);
        End();
    }
};

}  // namespace

void TRssScript::DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous)
{
    TPageListDownload::TPage page;
    page.Url = job->Board ? job->Board->URL : QString();
    page.Agent = Agent();
    page.Reload = reload;
    const int codePage = job->Board ? job->Board->CodePage : Tavutils::CP_UTF8;
    TBoardRequest::Run(new TPageListDownload(job, page, std::make_unique<TFeedListParser>(codePage)), synchronous);
}

void TRssScript::DownloadThread(TResDownloader *job, bool, bool, bool synchronous)
{
    TBoardRequest::Run(new TFeedItemDownload(this, job), synchronous);
}

QString TRssScript::GetThreadUrl(const TThreadItem *item) const
{
    const TBoard *board = item ? item->GetBoard() : nullptr;
    return board ? board->URL : QString();
}
