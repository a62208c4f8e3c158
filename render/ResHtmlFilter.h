#pragma once
// ResHtmlFilter: makes text from a server safe to put into a rendered page.
//
// A response body keeps only the tags a board uses: br, hr, b, i, u, font (colour and size only),
// links to http, https and ftp (rebuilt with nothing but their address) and pictures when the skin
// settings allow them; every other tag is shown as text, so no script, event attribute, style or
// "javascript:" address ever reaches the page; a tag longer than any board writes (1024 characters)
// is text too. Tags left open are closed at the end of the field and stray closing tags are
// dropped, so one response cannot change the look of the next. Entities are kept. Anchors (">>5",
// ">>5-7", ">>5,7", "＞＞５") and addresses written as text become links. Names and dates keep b and
// font only; titles keep no tag.

#include <QString>
#include <functional>

namespace ResHtmlFilter {

struct TLinkOptions {
    bool AddHrefLink = true;   // "ttp://", "ttps://" and "www." become links too
    bool AddExtRes = true;     // a single "＞5" or "≫5" is an anchor too
    int ImageSize = 24;        // the height of a shown picture, in lines of text (em)
    // The target of an anchor to responses first..last; "#ID<first>" when unset.
    std::function<QString(int first, int last)> AnchorUrl;
};

enum TFieldKind {
    fkTitle,   // no tag
    fkName,    // b and font
    fkBody,    // the full allow-list, links, anchors, pictures
};

// boldContext: the field stands inside a <b> of the template. Boards end that bold before a
// trip code ("名無し</b>◆trip<b>"); such a "</b>" is kept and balanced by a "<b>" afterwards.
// images: picture links and <img> of the body are shown as pictures.
QString FilterField(const QString &raw, const TLinkOptions &options, TFieldKind kind,
                    bool boldContext = false, bool images = false);

// Text as HTML: "&", "<", ">", '"' and "'" escaped.
QString EscapeHtml(const QString &text);

}  // namespace ResHtmlFilter
