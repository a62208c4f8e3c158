#include "render/ResHtmlFilter.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <QVector>

namespace ResHtmlFilter {

namespace {

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsHexLetter(QChar c)
{
    return (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

const QChar KeptEntityMark(0xFDD0);   // stands for an entity that is copied as written

// A character that a numeric reference may stand for in the page.
bool IsPlainCodePoint(uint code)
{
    if (code < 0x20)
        return code == 0x09 || code == 0x0A || code == 0x0D;
    if (code >= 0x7F && code <= 0x9F)
        return false;
    if (code >= 0xD800 && code <= 0xDFFF)
        return false;
    if (code >= 0xFDD0 && code <= 0xFDEF)
        return false;
    return code <= 0x10FFFF;
}

// Text with its entities decoded. Entities that are not decoded (named ones beyond the basic
// five and nbsp, odd numeric ones) stand as KeptEntityMark in the text and are copied back as written.
struct TDecoded {
    QString text;
    QStringList kept;
    int nextKept = 0;
};

// The length of the entity at pos ("&gt;", "&#12354;", "&#x3042;", "&hearts;"), 0 when none.
int EntityLength(const QString &s, int pos)
{
    int p = pos + 1;
    const int n = int(s.size());
    if (p < n && s[p] == u'#') {
        ++p;
        const bool hex = p < n && (s[p] == u'x' || s[p] == u'X');
        if (hex)
            ++p;
        const int start = p;
        while (p < n && p - start < 8 && (IsAsciiDigit(s[p]) || (hex && IsHexLetter(s[p]))))
            ++p;
        if (p == start)
            return 0;
    } else {
        const int start = p;
        while (p < n && p - start < 32 && (IsAsciiLetter(s[p]) || (p > start && IsAsciiDigit(s[p]))))
            ++p;
        if (p == start)
            return 0;
    }
    return p < n && s[p] == u';' ? p + 1 - pos : 0;
}

// The character an entity stands for; a null QString when it is kept as written.
QString EntityText(QStringView entity)
{
    const QStringView body = entity.mid(1, entity.size() - 2);
    if (body.startsWith(u'#')) {
        bool ok = false;
        const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
        const uint code = hex ? body.mid(2).toUInt(&ok, 16) : body.mid(1).toUInt(&ok, 10);
        if (!ok || !IsPlainCodePoint(code))
            return QString();
        const char32_t c = char32_t(code);
        return QString::fromUcs4(&c, 1);
    }
    static const struct {
        QLatin1String name;
        char16_t c;
    } basic[] = {{QLatin1String("amp"), u'&'},  {QLatin1String("lt"), u'<'},
                 {QLatin1String("gt"), u'>'},   {QLatin1String("quot"), u'"'},
                 {QLatin1String("apos"), u'\''}, {QLatin1String("nbsp"), u'\u00A0'}};
    for (const auto &e : basic) {
        if (body.compare(e.name, Qt::CaseInsensitive) == 0)
            return QString(QChar(e.c));
    }
    return QString();
}

// keepOthers: entities that are not decoded become KeptEntityMark (text); otherwise they stay as
// literal text (attribute values, where the value is escaped again as a whole).
TDecoded Decode(const QString &raw, bool keepOthers)
{
    TDecoded d;
    d.text.reserve(raw.size());
    for (int i = 0; i < raw.size();) {
        const QChar c = raw[i];
        const int length = c == u'&' ? EntityLength(raw, i) : 0;
        if (length == 0) {
            d.text += c == KeptEntityMark ? QChar(0xFFFD) : c;
            ++i;
            continue;
        }
        const QStringView entity = QStringView(raw).mid(i, length);
        const QString decoded = EntityText(entity);
        if (!decoded.isNull()) {
            d.text += decoded;
        } else if (keepOthers) {
            d.text += KeptEntityMark;
            d.kept.append(entity.toString());
        } else {
            d.text += entity;
        }
        i += length;
    }
    return d;
}

// Appends text[from, to) as HTML, putting kept entities back.
void AppendEncoded(QString &out, TDecoded &d, int from, int to)
{
    for (int i = from; i < to; ++i) {
        const QChar c = d.text[i];
        switch (c.unicode()) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        case u'"': out += QLatin1String("&quot;"); break;
        case 0x00A0: out += QLatin1String("&nbsp;"); break;
        case 0xFDD0: out += d.kept.value(d.nextKept++); break;
        default: out += c;
        }
    }
}

// A URL from a server as the writer accepts it in a link: http, https or ftp only, with no blank
// or control character anywhere (those hide "javascript:" and the like from simple checks).
QString SafeUrl(const QString &value)
{
    const QString url = value.trimmed();
    for (const QChar c : url) {
        if (c.unicode() <= 0x20 || c.unicode() == 0x7F)
            return QString();
    }
    for (const char *scheme : {"http://", "https://", "ftp://"}) {
        if (url.startsWith(QLatin1String(scheme), Qt::CaseInsensitive) && url.size() > qsizetype(qstrlen(scheme)))
            return url;
    }
    return QString();
}

bool IsImageUrl(const QString &url)
{
    QString path = url.section(u'#', 0, 0).section(u'?', 0, 0).toLower();
    for (const char *ext : {".jpg", ".jpeg", ".gif", ".png"}) {
        if (path.endsWith(QLatin1String(ext)))
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Tokens of a field

struct TToken {
    enum TKind { Text, Open, Close, Link };
    TKind kind = Text;
    QString raw;                              // the text, or the tag as written
    QString name;                             // lower-case tag name
    QList<QPair<QString, QString>> attrs;     // lower-case names, decoded values
    QVector<TToken> inner;                    // Link: what stood between <a ...> and </a>

    QString Attr(const QString &attrName) const
    {
        for (const auto &a : attrs) {
            if (a.first == attrName)
                return a.second;
        }
        return QString();
    }
};

TToken TextToken(const QString &text)
{
    TToken tok;
    tok.raw = text;
    return tok;
}

// The longest text read as one tag. A longer one (or one that never ends) is shown as text, so
// that a body full of unfinished tags costs no more than a short scan for each.
constexpr int MaxTagLength = 1024;

// Reads the attributes of a tag from p up to n; the position after ">" or -1 when the tag does
// not end before n.
int ParseAttributes(const QString &s, int p, int n, TToken &tok)
{
    while (p < n) {
        const QChar c = s[p];
        if (c == u'>')
            return p + 1;
        if (c.isSpace() || c == u'/') {
            ++p;
            continue;
        }
        const int nameStart = p;
        while (p < n && !s[p].isSpace() && s[p] != u'=' && s[p] != u'>' && s[p] != u'/')
            ++p;
        if (p == nameStart) {   // a stray "="
            ++p;
            continue;
        }
        const QString name = s.mid(nameStart, p - nameStart).toLower();
        while (p < n && s[p].isSpace())
            ++p;
        QString value;
        if (p < n && s[p] == u'=') {
            ++p;
            while (p < n && s[p].isSpace())
                ++p;
            if (p < n && (s[p] == u'"' || s[p] == u'\'')) {
                const int end = int(QStringView(s).first(n).indexOf(s[p], p + 1));
                if (end < 0)
                    return -1;
                value = s.mid(p + 1, end - p - 1);
                p = end + 1;
            } else {
                const int start = p;
                while (p < n && !s[p].isSpace() && s[p] != u'>')
                    ++p;
                value = s.mid(start, p - start);
            }
        }
        tok.attrs.append({name, Decode(value, false).text});
    }
    return -1;
}

// The length of the tag at pos (s[pos] is "<"), 0 when it is no tag ("< 3", "<!--", "<b" at the end).
int ParseTag(const QString &s, int pos, TToken &tok)
{
    int p = pos + 1;
    const bool close = p < s.size() && s[p] == u'/';
    if (close)
        ++p;
    const int nameStart = p;
    while (p < s.size() && (IsAsciiLetter(s[p]) || (p > nameStart && IsAsciiDigit(s[p]))))
        ++p;
    if (p == nameStart)
        return 0;
    const QStringView reach = QStringView(s).first(std::min<qsizetype>(s.size(), pos + MaxTagLength));
    if (!reach.sliced(p).contains(u'>'))
        return 0;
    tok.name = s.mid(nameStart, p - nameStart).toLower();
    const int end = ParseAttributes(s, p, int(reach.size()), tok);
    if (end < 0)
        return 0;
    tok.kind = close ? TToken::Close : TToken::Open;
    tok.raw = s.mid(pos, end - pos);
    return end - pos;
}

QVector<TToken> Tokenize(const QString &s)
{
    QVector<TToken> tokens;
    QString text;
    for (int i = 0; i < s.size();) {
        if (s[i] == u'<') {
            TToken tag;
            const int length = ParseTag(s, i, tag);
            if (length > 0) {
                if (!text.isEmpty())
                    tokens.append(TextToken(text));
                text.clear();
                tokens.append(tag);
                i += length;
                continue;
            }
        }
        const int next = int(s.indexOf(u'<', i + 1));
        const int end = next < 0 ? int(s.size()) : next;
        text += QStringView(s).mid(i, end - i);
        i = end;
    }
    if (!text.isEmpty())
        tokens.append(TextToken(text));
    return tokens;
}

// Gathers each <a ...> with what follows up to its </a> (or the next <a>, or the end) into one
// Link token, so that the writer can look at a link's text before deciding what it becomes.
QVector<TToken> GroupLinks(const QVector<TToken> &tokens)
{
    QVector<TToken> out;
    bool inLink = false;
    for (const TToken &tok : tokens) {
        const bool isA = tok.name == QLatin1String("a") && tok.kind != TToken::Text;
        if (isA && tok.kind == TToken::Open) {
            TToken link = tok;
            link.kind = TToken::Link;
            out.append(link);
            inLink = true;
        } else if (isA) {
            inLink = false;   // ends the link; outside one it is dropped
        } else if (inLink) {
            out.last().inner.append(tok);
        } else {
            out.append(tok);
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Rendering a field

// One part of an anchor: ">>5-7" of ">>5-7,9", or ",9".
struct TAnchorPart {
    int start = 0;
    int length = 0;
    int first = 0;
    int last = 0;
};

int DigitValue(QChar c)
{
    if (IsAsciiDigit(c))
        return c.unicode() - u'0';
    if (c >= u'０' && c <= u'９')
        return c.unicode() - u'０';
    return -1;
}

// A response number of at most five digits at p (ASCII or full width); its length, 0 when none.
int ReadNumber(const QString &t, int p, int &value)
{
    int length = 0;
    value = 0;
    while (p + length < t.size() && DigitValue(t[p + length]) >= 0) {
        if (++length > 5)
            return 0;
        value = value * 10 + DigitValue(t[p + length - 1]);
    }
    return value > 0 ? length : 0;
}

bool IsRangeDash(QChar c)
{
    return c == u'-' || c == u'－' || c == u'‐' || c == u'−';
}

bool IsListComma(QChar c)
{
    return c == u',' || c == u'，';
}

class TFieldRenderer {
public:
    TFieldRenderer(const TLinkOptions &options, TFieldKind kind, bool boldContext, bool images)
        : options(options), kind(kind), boldContext(boldContext), images(images)
    {
    }

    QString Render(const QVector<TToken> &tokens)
    {
        for (const TToken &tok : tokens)
            RenderToken(tok, kind == fkBody);
        for (int i = int(stack.size()) - 1; i >= 0; --i)
            out += QStringLiteral("</%1>").arg(stack[i]);
        stack.clear();
        openCount.clear();
        for (; strayBold > 0; --strayBold)
            out += QLatin1String("<b>");
        return out;
    }

private:
    const TLinkOptions &options;
    const TFieldKind kind;
    const bool boldContext;
    const bool images;
    QString out;
    QStringList stack;   // open tags, innermost last
    QHash<QString, int> openCount;   // how many of each name the stack holds
    int strayBold = 0;   // "</b>" that closed the template's own <b> and wait to be reopened

    // The length of the anchor at i (">>5", "＞＞１", ">>5-7,9" ...), 0 when there is none.
    int MatchAnchor(const QString &t, int i, QVector<TAnchorPart> &parts) const
    {
        const QChar c = t[i];
        const bool arrow = c == u'>' || c == u'＞';
        int p = i;
        if (arrow && i + 1 < t.size() && (t[i + 1] == u'>' || t[i + 1] == u'＞'))
            p += 2;
        else if (options.AddExtRes && (c == u'＞' || c == u'≫'))
            p += 1;
        else
            return 0;
        parts.clear();
        for (;;) {
            const int start = parts.isEmpty() ? i : p;
            if (!parts.isEmpty()) {
                if (p >= t.size() || !IsListComma(t[p]))
                    break;
                ++p;
            }
            TAnchorPart part;
            const int length = ReadNumber(t, p, part.first);
            if (length == 0) {
                if (!parts.isEmpty())
                    p = start;   // the comma is not part of the anchor
                break;
            }
            p += length;
            part.last = part.first;
            int last = 0;
            const int lastLength = p < t.size() && IsRangeDash(t[p]) ? ReadNumber(t, p + 1, last) : 0;
            if (lastLength > 0) {
                p += 1 + lastLength;
                part.first = qMin(part.first, last);
                part.last = qMax(part.last, last);
            }
            part.start = start;
            part.length = p - start;
            parts.append(part);
        }
        return parts.isEmpty() ? 0 : p - i;
    }

    void RenderToken(const TToken &tok, bool autolink)
    {
        switch (tok.kind) {
        case TToken::Text:
            RenderText(tok.raw, autolink);
            return;
        case TToken::Link:
            RenderLink(tok);
            return;
        case TToken::Open:
        case TToken::Close:
            if (IsAllowed(tok.name))
                RenderTag(tok);
            else
                RenderText(tok.raw, false);   // shown as text
            return;
        }
    }

    bool IsAllowed(const QString &name) const
    {
        static const QStringList nameTags = {QStringLiteral("b"), QStringLiteral("font")};
        static const QStringList bodyTags = {QStringLiteral("b"),  QStringLiteral("font"), QStringLiteral("i"),
                                             QStringLiteral("u"),  QStringLiteral("br"),   QStringLiteral("hr"),
                                             QStringLiteral("img")};
        switch (kind) {
        case fkTitle: return false;
        case fkName: return nameTags.contains(name);
        case fkBody: return bodyTags.contains(name);
        }
        return false;
    }

    void RenderTag(const TToken &tok)
    {
        const QString &name = tok.name;
        if (name == QLatin1String("br") || name == QLatin1String("hr")) {
            if (tok.kind == TToken::Open)
                out += QStringLiteral("<%1>").arg(name);
        } else if (name == QLatin1String("img")) {
            RenderImageTag(tok);
        } else if (tok.kind == TToken::Open) {
            OpenTag(tok);
        } else {
            CloseTag(name);
        }
    }

    void OpenTag(const TToken &tok)
    {
        if (boldContext && tok.name == QLatin1String("b") && strayBold > 0) {
            out += QLatin1String("<b>");   // reopens the template's <b>
            --strayBold;
            return;
        }
        out += u'<' + tok.name;
        if (tok.name == QLatin1String("font"))
            out += FontAttributes(tok);
        out += u'>';
        stack.append(tok.name);
        ++openCount[tok.name];
    }

    // Closes the innermost open tag of that name and every tag opened inside it. A closing tag that
    // matches no open one is answered from the counts, never by searching the stack, so that any
    // number of them costs linear time; a search always ends by removing what it passed.
    void CloseTag(const QString &name)
    {
        if (openCount.value(name) == 0) {
            if (boldContext && name == QLatin1String("b")) {
                out += QLatin1String("</b>");   // a board ends the template's bold before a trip
                ++strayBold;
            }
            return;
        }
        for (;;) {
            const QString top = stack.takeLast();
            --openCount[top];
            out += QStringLiteral("</%1>").arg(top);
            if (top == name)
                return;
        }
    }

    static QString FontAttributes(const TToken &tok)
    {
        static const QRegularExpression colour(QStringLiteral("^(#?[0-9A-Fa-f]{3}|#?[0-9A-Fa-f]{6}|[A-Za-z]{1,20})$"));
        static const QRegularExpression size(QStringLiteral("^[+-]?[1-7]$"));
        QString attrs;
        const QString c = tok.Attr(QStringLiteral("color")).trimmed();
        if (colour.match(c).hasMatch())
            attrs += QStringLiteral(" color=\"%1\"").arg(c);
        const QString s = tok.Attr(QStringLiteral("size")).trimmed();
        if (size.match(s).hasMatch())
            attrs += QStringLiteral(" size=\"%1\"").arg(s);
        return attrs;
    }

    // <img>: a picture when the skin settings allow it, else a link to it; hostile ones as text.
    void RenderImageTag(const TToken &tok)
    {
        const QString src = SafeUrl(tok.Attr(QStringLiteral("src")));
        if (tok.kind == TToken::Close)
            return;
        if (src.isEmpty()) {
            RenderText(tok.raw, false);
            return;
        }
        if (images) {
            out += Picture(src);
            return;
        }
        TDecoded d = Decode(src, false);
        OpenLink(src);
        AppendEncoded(out, d, 0, int(d.text.size()));
        out += QLatin1String("</a>");
    }

    QString Picture(const QString &url) const
    {
        const QString e = EscapeHtml(url);
        return QStringLiteral("<a href=\"%1\" class=\"tavu-image\"><img src=\"%1\" alt=\"\" "
                              "style=\"max-height:%2em;max-width:100%\"></a>")
            .arg(e, QString::number(options.ImageSize));
    }

    void OpenLink(const QString &url, const char *cssClass = nullptr)
    {
        out += QStringLiteral("<a href=\"%1\"").arg(EscapeHtml(url));
        if (cssClass)
            out += QStringLiteral(" class=\"%1\"").arg(QLatin1String(cssClass));
        out += u'>';
    }

    // <a href=...>text</a> from a server: an anchor when its text is one, a link of ours when it
    // points to http, https or ftp, else just its text.
    void RenderLink(const TToken &link)
    {
        QString plain;
        for (const TToken &tok : link.inner) {
            if (tok.kind == TToken::Text)
                plain += Decode(tok.raw, true).text;
        }
        plain = plain.trimmed();
        QVector<TAnchorPart> parts;
        if (!plain.isEmpty() && MatchAnchor(plain, 0, parts) == plain.size()) {
            TDecoded d;
            d.text = plain;
            for (const TAnchorPart &part : parts)
                AppendAnchor(d, part);
            return;
        }
        const QString href = SafeUrl(link.Attr(QStringLiteral("href")));
        if (href.isEmpty()) {
            for (const TToken &tok : link.inner)
                RenderToken(tok, true);
            return;
        }
        OpenLink(href);
        out += TFieldRenderer(options, kind, false, images).RenderInner(link.inner);
        out += QLatin1String("</a>");
        if (images && IsImageUrl(href))
            out += QLatin1String("<br>") + Picture(href);
    }

    QString RenderInner(const QVector<TToken> &tokens)
    {
        for (const TToken &tok : tokens)
            RenderToken(tok, false);
        return Render({});
    }

    void AppendAnchor(TDecoded &d, const TAnchorPart &part)
    {
        const QString href = options.AnchorUrl ? options.AnchorUrl(part.first, part.last)
                                               : QStringLiteral("#ID%1").arg(part.first);
        OpenLink(href, "anchor");
        AppendEncoded(out, d, part.start, part.start + part.length);
        out += QLatin1String("</a>");
    }

    void RenderText(const QString &raw, bool autolink)
    {
        TDecoded d = Decode(raw, true);
        const QString &t = d.text;
        if (!autolink) {
            AppendEncoded(out, d, 0, int(t.size()));
            return;
        }
        QVector<TAnchorPart> parts;
        QString url;
        int done = 0;
        for (int i = 0; i < t.size();) {
            int length = MatchAnchor(t, i, parts);
            if (length > 0) {
                AppendEncoded(out, d, done, i);
                for (const TAnchorPart &part : parts)
                    AppendAnchor(d, part);
            } else if ((length = MatchUrl(t, i, url)) > 0) {
                AppendEncoded(out, d, done, i);
                OpenLink(url);
                AppendEncoded(out, d, i, i + length);
                out += QLatin1String("</a>");
                if (images && IsImageUrl(url))
                    out += QLatin1String("<br>") + Picture(url);
            } else {
                ++i;
                continue;
            }
            i += length;
            done = i;
        }
        AppendEncoded(out, d, done, int(t.size()));
    }

    static bool IsUrlChar(QChar c)
    {
        static const QString punctuation = QStringLiteral("-._~:/?#[]@!$&'*+,;=%");
        return c.unicode() < 0x80 && (IsAsciiLetter(c) || IsAsciiDigit(c) || punctuation.contains(c));
    }

    // The length of a URL written in the text at i, with the link it becomes; 0 when none.
    int MatchUrl(const QString &t, int i, QString &url) const
    {
        static const struct {
            QLatin1String written;
            QLatin1String link;
            bool optional;   // linked only with ADDHREFLINK
        } forms[] = {
            {QLatin1String("http://"), QLatin1String("http://"), false},
            {QLatin1String("https://"), QLatin1String("https://"), false},
            {QLatin1String("ftp://"), QLatin1String("ftp://"), false},
            {QLatin1String("ttp://"), QLatin1String("http://"), true},
            {QLatin1String("ttps://"), QLatin1String("https://"), true},
            {QLatin1String("www."), QLatin1String("http://www."), true},
        };
        const QChar c = t[i].toLower();
        if (c != u'h' && c != u'f' && c != u't' && c != u'w')
            return 0;
        const QStringView rest = QStringView(t).mid(i);
        for (const auto &form : forms) {
            if (!rest.startsWith(form.written, Qt::CaseInsensitive))
                continue;
            if (form.optional && (!options.AddHrefLink || (i > 0 && IsUrlChar(t[i - 1]))))
                continue;
            int end = i + int(form.written.size());
            while (end < t.size() && IsUrlChar(t[end]))
                ++end;
            while (end > i + form.written.size() && QStringLiteral(".,:;!?'").contains(t[end - 1]))
                --end;
            if (end == i + form.written.size())
                return 0;
            url = form.link + t.mid(i + form.written.size(), end - i - form.written.size());
            return end - i;
        }
        return 0;
    }
};

}  // namespace

QString FilterField(const QString &raw, const TLinkOptions &options, TFieldKind kind, bool boldContext, bool images)
{
    QVector<TToken> tokens = Tokenize(raw);
    if (kind == fkBody)
        tokens = GroupLinks(tokens);
    return TFieldRenderer(options, kind, boldContext, images).Render(tokens);
}

QString EscapeHtml(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        case u'"': out += QLatin1String("&quot;"); break;
        case u'\'': out += QLatin1String("&#39;"); break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace ResHtmlFilter
