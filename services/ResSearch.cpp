// Text matching over responses, reply collection and link extraction.

#include "services/ResSearch.h"

#include "core/BBS.h"
#include "core/Board.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"

#include <QSet>
#include <algorithm>
#include <memory>
#include <vector>

namespace ResSearch {

namespace {

const QString UrlChars = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                        ":/.%?&#=-_~+*;!^`\\|@[]{}$,");

TResSearchDialogHandler &DialogSlot()
{
    static TResSearchDialogHandler dialog;
    return dialog;
}

bool IsDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QChar(0xFF10) && c <= QChar(0xFF19));
}

bool SameText(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A copy of the response added to out.
TRes *AddCopy(TResList &out, const TRes &res)
{
    auto *copy = new TRes;
    copy->Assign(res);
    out.Add(copy);
    return copy;
}

// The end of the tag or character reference starting at i (the index after it); i itself when
// none starts there.
qsizetype SkipMarkup(const QString &html, qsizetype i)
{
    const QChar c = html.at(i);
    if (c == QLatin1Char('<')) {
        const qsizetype end = html.indexOf(QLatin1Char('>'), i);
        return end < 0 ? html.size() : end + 1;
    }
    if (c == QLatin1Char('&')) {
        qsizetype j = i + 1;
        while (j < html.size() && j - i <= 10 && (html.at(j).isLetterOrNumber() || html.at(j) == QLatin1Char('#')))
            ++j;
        if (j < html.size() && j > i + 1 && html.at(j) == QLatin1Char(';'))
            return j + 1;
    }
    return i;
}

// The body as plain text for the link search: line breaks kept, tags dropped, references decoded
// (a link written "?a=1&amp;b=2" is the address "?a=1&b=2").
QString LinkText(const QString &body)
{
    QString text = body;
    text.replace(QStringLiteral("<BR>"), QStringLiteral("\r\n"), Qt::CaseInsensitive);
    text = MonaUtils::StripHtmlTags(text);
    return MonaUtils::HtmlToText(text);
}

// The next link in text from position from: its start (-1 when none) and its address.
qsizetype NextLink(const QString &text, qsizetype from, QString &url)
{
    const qsizetype full = text.indexOf(QLatin1String("http://"), from);
    const qsizetype bare = text.indexOf(QLatin1String("ttp://"), from);
    if (bare < 0)
        return -1;
    const bool hasH = full >= 0 && full < bare;
    const qsizetype start = hasH ? full : bare;
    qsizetype end = start;
    while (end < text.size() && UrlChars.contains(text.at(end)))
        ++end;
    url = (hasH ? QString() : QStringLiteral("h")) + text.mid(start, end - start);
    return end;
}

TLinkItem MakeLink(const QString &url, const TRes &res, const TResList &list)
{
    TLinkItem link;
    link.URL = url;
    link.FileName = MonaUtils::ExtractUrlName(url);
    const QString name = link.FileName.section(QLatin1Char('?'), 0, 0);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    link.Extension = dot < 0 ? QString() : name.mid(dot).toLower();
    link.Res = &res;
    link.ResList = &list;
    return link;
}

}  // namespace

// ---- matching ----

int FindTextPos(const QString &needle, const QString &text, bool fold)
{
    if (needle.isEmpty())
        return 0;
    const QString n = fold ? MonaUtils::ToHalfWidth(needle) : needle;
    const QString t = fold ? MonaUtils::ToHalfWidth(text) : text;
    return int(t.toLower().indexOf(n.toLower())) + 1;
}

QString HighlightText(const QString &html, const QString &needle, const QString &prefix, const QString &suffix)
{
    if (needle.isEmpty())
        return html;
    QString out;
    out.reserve(html.size());
    qsizetype i = 0;
    while (i < html.size()) {
        const qsizetype markupEnd = SkipMarkup(html, i);
        if (markupEnd > i) {
            out += QStringView(html).mid(i, markupEnd - i);
            i = markupEnd;
        } else if (QStringView(html).mid(i).startsWith(needle, Qt::CaseInsensitive)) {
            out += prefix + html.mid(i, needle.size()) + suffix;
            i += needle.size();
        } else {
            out += html.at(i++);
        }
    }
    return out;
}

bool MatchRes(const TRes &res, const QString &text, bool fold, TResMatchMode mode)
{
    const auto found = [&](const QString &field) { return FindTextPos(text, field, fold) > 0; };
    switch (mode) {
    case rmAll:
        return found(MonaUtils::StripHtmlTags(res.Name)) || found(res.Mail) || found(res.ID)
               || found(MonaUtils::StripHtmlTags(res.Body));
    case rmName:
        return found(MonaUtils::StripHtmlTags(res.Name));
    case rmNameExact:
        return SameText(MonaUtils::StripHtmlTags(res.Name).trimmed(), MonaUtils::StripHtmlTags(text).trimmed());
    case rmMail:
        return SameText(res.Mail, text);
    case rmBody:
        return found(MonaUtils::StripHtmlTags(res.Body));
    case rmID:
        return SameText(TRes::PosterID(res.ID), TRes::PosterID(text));
    }
    return false;
}

// ---- replies, IDs, links ----

bool ContainsAnchor(const QString &anchor, const QString &body)
{
    if (anchor.isEmpty())
        return false;
    for (qsizetype at = body.indexOf(anchor); at >= 0; at = body.indexOf(anchor, at + anchor.size() + 1)) {
        const qsizetype next = at + anchor.size();
        if (next >= body.size() || !IsDigit(body.at(next)))
            return true;
    }
    return false;
}

int CollectReplies(const TResList &list, int resNo, TResList &out)
{
    const QString n = QString::number(resNo);
    const QString wide = Tavutils::ToFullWidth(n);
    const QString anchors[] = {QStringLiteral("&gt;") + n, QStringLiteral("&gt;") + wide, QStringLiteral(">") + wide,
                               QStringLiteral("＞") + n,    QStringLiteral("＞") + wide,    QStringLiteral(">") + n};
    int count = 0;
    for (int i = 0; i < list.Count(); ++i) {
        TRes *copy = AddCopy(out, *list.Get(i));
        const bool refers = std::any_of(std::begin(anchors), std::end(anchors),
                                        [&](const QString &anchor) { return ContainsAnchor(anchor, copy->Body); });
        copy->Visible = refers;
        copy->Popup = refers;
        count += refers ? 1 : 0;
    }
    return count;
}

void MarkResById(const TResList &list, TResList &out, const QString &id)
{
    for (int i = 0; i < list.Count(); ++i) {
        TRes *copy = AddCopy(out, *list.Get(i));
        copy->Visible = !id.isEmpty() && TRes::PosterID(copy->ID) == TRes::PosterID(id);
    }
}

void ExtractLinks(const TResList &list, QList<TLinkItem> &links, bool newOnly)
{
    QSet<QString> known;
    for (const TLinkItem &link : links)
        known.insert(link.URL);
    for (int i = 0; i < list.Count(); ++i) {
        const TRes &res = *list.Get(i);
        if ((newOnly && !res.IsNew) || !res.Visible || res.Erased)
            continue;
        const QString text = LinkText(res.Body);
        QString url;
        for (qsizetype at = NextLink(text, 0, url); at >= 0; at = NextLink(text, at, url)) {
            if (known.contains(url))
                continue;
            known.insert(url);
            links.append(MakeLink(url, res, list));
        }
    }
}

// ---- the dialog of the board-wide search ----

TResSearchDialogHandler SetResSearchDialog(TResSearchDialogHandler dialog)
{
    return std::exchange(DialogSlot(), std::move(dialog));
}

const TResSearchDialogHandler &ResSearchDialog()
{
    return DialogSlot();
}

}  // namespace ResSearch
