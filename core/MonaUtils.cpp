#include "core/MonaUtils.h"

#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Tavutils.h"

#include <QHash>

namespace MonaUtils {

namespace {

qsizetype LastPathSeparator(const QString &url)
{
    return qMax(url.lastIndexOf(QLatin1Char('/')), url.lastIndexOf(QLatin1Char(':')));
}

// "scheme://host" of a URL, or empty when it has no scheme.
QString SchemeAndHost(const QString &url)
{
    const qsizetype scheme = url.indexOf(QLatin1String("://"));
    if (scheme < 0)
        return QString();
    const qsizetype slash = url.indexOf(QLatin1Char('/'), scheme + 3);
    return slash < 0 ? url : url.left(slash);
}

// Full-width katakana and signs to their half-width forms.
const QHash<QChar, QString> &HalfWidthKana()
{
    static const QHash<QChar, QString> table = [] {
        // in the order of the half-width block U+FF61..U+FF9F
        const QString plain = QStringLiteral(
            "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜");
        QHash<QChar, QString> t;
        for (qsizetype i = 0; i < plain.size(); ++i)
            t.insert(plain[i], QString(QChar(char16_t(0xFF61 + i))));
        const QString voiced = QStringLiteral("ガギグゲゴザジズゼゾダヂヅデドバビブベボ");
        for (QChar c : voiced)
            t.insert(c, t.value(QChar(c.unicode() - 1)) + QChar(0xFF9E));
        for (QChar c : QStringLiteral("パピプペポ"))
            t.insert(c, t.value(QChar(c.unicode() - 2)) + QChar(0xFF9F));
        t.insert(QChar(0x30F4), t.value(QChar(0x30A6)) + QChar(0xFF9E));   // ヴ
        return t;
    }();
    return table;
}

bool IsFormSafe(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '*' || c == '-'
           || c == '.' || c == '_';
}

}  // namespace

QString GetToken(const QString &text, const QString &separator, int index)
{
    if (index < 0 || separator.isEmpty())
        return index == 0 ? text : QString();
    qsizetype from = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype p = text.indexOf(separator, from);
        if (p < 0)
            return QString();
        from = p + separator.size();
    }
    const qsizetype end = text.indexOf(separator, from);
    return end < 0 ? text.mid(from) : text.mid(from, end - from);
}

QString GetQueryValue(const QString &url, const QString &name)
{
    const qsizetype q = url.indexOf(QLatin1Char('?'));
    if (q < 0)
        return QString();
    QStringView query = QStringView(url).mid(q + 1);
    const qsizetype hash = query.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        query = query.left(hash);
    for (QStringView pair : query.split(QLatin1Char('&'))) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq >= 0 && pair.left(eq) == name)
            return pair.mid(eq + 1).toString();
    }
    return QString();
}

QString ExtractUrlPath(const QString &url) { return url.left(LastPathSeparator(url) + 1); }

QString ExtractUrlName(const QString &url) { return url.mid(LastPathSeparator(url) + 1); }

QString ExtractUrlHost(const QString &url)
{
    for (QLatin1String scheme : {QLatin1String("http://"), QLatin1String("https://")}) {
        if (!url.startsWith(scheme, Qt::CaseInsensitive))
            continue;
        const QString rest = url.mid(scheme.size());
        qsizetype end = rest.size();
        for (QChar c : {QLatin1Char('/'), QLatin1Char('?'), QLatin1Char('#')}) {
            const qsizetype p = rest.indexOf(c);
            if (p >= 0)
                end = qMin(end, p);
        }
        return rest.left(end);
    }
    return QString();
}

QString ResolveRelativeUrl(const QString &base, const QString &link)
{
    if (link.isEmpty())
        return base;
    if (link.contains(QLatin1String("://")))
        return link;
    const QString root = SchemeAndHost(base);
    if (link.startsWith(QLatin1String("//")))
        return root.left(root.indexOf(QLatin1Char(':')) + 1) + link;
    if (link.startsWith(QLatin1Char('/')))
        return root + link;
    QString folder = ExtractUrlPath(base);
    QString rest = link;
    for (;;) {
        if (rest.startsWith(QLatin1String("./"))) {
            rest.remove(0, 2);
        } else if (rest.startsWith(QLatin1String("../"))) {
            rest.remove(0, 3);
            // up one folder, never above the host
            if (folder.size() > root.size() + 1) {
                folder.chop(1);
                folder = folder.left(folder.lastIndexOf(QLatin1Char('/')) + 1);
            }
        } else {
            break;
        }
    }
    return folder + rest;
}

QString ExtractHrefValue(const QString &html)
{
    const qsizetype p = html.toLower().indexOf(QLatin1String("href"));
    if (p < 0)
        return QString();
    QString rest = html.mid(p);
    for (QChar stop : {QLatin1Char('>'), QLatin1Char(' ')}) {
        const qsizetype s = rest.indexOf(stop);
        if (s >= 0)
            rest.truncate(s);
    }
    const qsizetype eq = rest.indexOf(QLatin1Char('='));
    if (eq < 0)
        return QString();
    QString value = rest.mid(eq + 1);
    if (value.startsWith(QLatin1Char('"')))
        value.remove(0, 1);
    if (value.endsWith(QLatin1Char('"')))
        value.chop(1);
    return value;
}

QString StripHtmlTags(const QString &html)
{
    QString text;
    text.reserve(html.size());
    bool inTag = false;
    for (QChar c : html) {
        if (c == QLatin1Char('<'))
            inTag = true;
        else if (c == QLatin1Char('>') && inTag)
            inTag = false;
        else if (!inTag)
            text += c;
    }
    return text.trimmed();
}

QString HtmlToText(const QString &html)
{
    static const std::pair<QLatin1String, QLatin1String> replacements[] = {
        {QLatin1String("<br>"), QLatin1String("\r\n")}, {QLatin1String("&lt;"), QLatin1String("<")},
        {QLatin1String("&gt;"), QLatin1String(">")},    {QLatin1String("&quot;"), QLatin1String("\"")},
        {QLatin1String("&nbsp;"), QLatin1String(" ")},  {QLatin1String("&amp;"), QLatin1String("&")},
    };
    // one pass, so that "&amp;lt;" gives "&lt;" and not "<"
    QString text;
    text.reserve(html.size());
    for (qsizetype i = 0; i < html.size();) {
        bool replaced = false;
        if (html[i] == QLatin1Char('<') || html[i] == QLatin1Char('&')) {
            for (const auto &[from, to] : replacements) {
                if (QStringView(html).mid(i).startsWith(from, Qt::CaseInsensitive)) {
                    text += to;
                    i += from.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            text += html[i++];
    }
    return text;
}

namespace {

// The character of a numeric reference's digits ("12354", "x3042"); an empty text when it names
// no character a text may hold.
QString NumericReference(QStringView digits)
{
    bool ok = false;
    const bool hex = digits.startsWith(QLatin1Char('x'), Qt::CaseInsensitive);
    const uint code = hex ? digits.mid(1).toUInt(&ok, 16) : digits.toUInt(&ok, 10);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return QString();
    const char32_t character = code;
    return QString::fromUcs4(&character, 1);
}

}  // namespace

QString DecodeEntities(const QString &text)
{
    static const std::pair<QLatin1String, QLatin1String> named[] = {
        {QLatin1String("&lt;"), QLatin1String("<")},    {QLatin1String("&gt;"), QLatin1String(">")},
        {QLatin1String("&quot;"), QLatin1String("\"")}, {QLatin1String("&apos;"), QLatin1String("'")},
        {QLatin1String("&nbsp;"), QLatin1String(" ")},  {QLatin1String("&amp;"), QLatin1String("&")},
    };
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] != QLatin1Char('&')) {
            out += text[i++];
            continue;
        }
        const QStringView rest = QStringView(text).mid(i);
        qsizetype used = 0;
        for (const auto &[from, to] : named) {
            if (rest.startsWith(from, Qt::CaseInsensitive)) {
                out += to;
                used = from.size();
                break;
            }
        }
        const qsizetype end = rest.indexOf(QLatin1Char(';'));
        if (used == 0 && rest.startsWith(QLatin1String("&#")) && end > 2 && end <= 10) {
            const QString character = NumericReference(rest.mid(2, end - 2));
            if (!character.isEmpty()) {
                out += character;
                used = end + 1;
            }
        }
        if (used == 0) {
            out += text[i];
            used = 1;
        }
        i += used;
    }
    return out;
}

QString HtmlToPlainText(const QString &html)
{
    return DecodeEntities(StripHtmlTags(html));
}

QString TextToHtml(const QString &text)
{
    QString html;
    html.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('&'))
            html += QLatin1String("&amp;");
        else if (c == QLatin1Char('<'))
            html += QLatin1String("&lt;");
        else if (c == QLatin1Char('>'))
            html += QLatin1String("&gt;");
        else if (c == QLatin1Char('"'))
            html += QLatin1String("&quot;");
        else if (c == QLatin1Char('\n'))
            html += QLatin1String("<br>");
        else if (c == QLatin1Char('\r')) {
            html += QLatin1String("<br>");
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else
            html += c;
    }
    return html;
}

bool IsInteger(const QString &text)
{
    qsizetype i = (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'))) ? 1 : 0;
    if (i >= text.size())
        return false;
    for (; i < text.size(); ++i) {
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return false;
    }
    return true;
}

QString ToHalfWidth(const QString &text)
{
    const QHash<QChar, QString> &kana = HalfWidthKana();
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            out += QChar(u - 0xFF01 + 0x21);
        else if (u == 0x3000)
            out += QLatin1Char(' ');
        else if (const auto it = kana.constFind(c); it != kana.constEnd())
            out += *it;
        else
            out += c;
    }
    return out;
}

QString UrlEncode(const QString &text, int codePage)
{
    const QByteArray bytes = jconvert::Encode(text, Tavutils::CodePageCode(codePage));
    QString out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        if (IsFormSafe(c))
            out += QLatin1Char(c);
        else if (c == ' ')
            out += QLatin1Char('+');
        else
            out += QLatin1Char('%') + QString::number(uchar(c), 16).toUpper().rightJustified(2, QLatin1Char('0'));
    }
    return out;
}

QString IncludeTrailingSlash(const QString &text) { return FileUtil::WithSlash(text); }

QString ExcludeTrailingSlash(const QString &text)
{
    return text.endsWith(QLatin1Char('/')) ? text.chopped(1) : text;
}

}  // namespace MonaUtils
