#pragma once
// MonaUtils: text, URL and HTML helpers for the board texts: fields of dat lines, query values,
// parts of URLs, relative links, tags and entities, width folding and form encoding.

#include <QString>

namespace MonaUtils {

// Field index (from 0) of a text whose fields are parted by separator (e.g. "<>"); the last field
// runs to the end of the text. Empty when there are fewer fields.
QString GetToken(const QString &text, const QString &separator, int index);

// The value of name in the query part of a URL ("...?bbs=news&key=123"), as it stands (not
// decoded); empty when absent.
QString GetQueryValue(const QString &url, const QString &name);

// A URL up to and including its last "/" or ":", and the part after it.
QString ExtractUrlPath(const QString &url);
QString ExtractUrlName(const QString &url);

// The host (with its port, when one is given) of an "http://" or "https://" URL; empty otherwise.
QString ExtractUrlHost(const QString &url);

// A link resolved against the URL of the page it stands on: a link with a scheme stays as it is,
// "/x" goes from the host, each leading "../" drops a folder, "./" is ignored, and an empty link
// gives the base.
QString ResolveRelativeUrl(const QString &base, const QString &link);

// The value of the href attribute of an element's HTML: searched ignoring case, cut at ">" and at
// the first blank after it, the text after "=", outer double quotes removed.
QString ExtractHrefValue(const QString &html);

// The text with everything between "<" and ">" dropped, trimmed.
QString StripHtmlTags(const QString &html);

// "<br>" to CR LF and the entities &lt; &gt; &quot; &nbsp; &amp; to their characters.
QString HtmlToText(const QString &html);

// The character references of a text as characters, in one pass ("&amp;lt;" gives "&lt;"): the
// entities &lt; &gt; &quot; &apos; &nbsp; &amp; and numeric references ("&#12354;", "&#x3042;").
// A reference to no character a text may hold stays as it is.
QString DecodeEntities(const QString &text);

// Server HTML as the text a reader sees in a list or a log line: tags dropped (StripHtmlTags), then
// the entities decoded (DecodeEntities).
QString HtmlToPlainText(const QString &html);

// The reverse for a typed text: & < > " as entities, each line break as "<br>".
QString TextToHtml(const QString &text);

// Decimal digits with an optional sign.
bool IsInteger(const QString &text);

// Full-width letters, digits, signs and the ideographic space to ASCII, full-width katakana to
// half-width katakana (voiced ones as two characters).
QString ToHalfWidth(const QString &text);

// Form encoding of a query value: the text in Shift_JIS (or in the code page of an EUC-JP or
// UTF-8 board, 0 1 2 as the sites give them), letters, digits and "*-._" kept, a blank as "+",
// every other byte as "%XX".
QString UrlEncode(const QString &text, int codePage = 0);

// A text with one "/" at its end; a text without a trailing "/" (one removed).
QString IncludeTrailingSlash(const QString &text);
QString ExcludeTrailingSlash(const QString &text);

}  // namespace MonaUtils
