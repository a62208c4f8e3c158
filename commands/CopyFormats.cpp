#include "commands/CopyFormats.h"

#include "core/BBS.h"
#include "core/Board.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"

#include <QStringList>

namespace CopyFormats {

namespace {

const QString LineBreak = QStringLiteral("\r\n");

QString BoardName(const TThreadItem &item)
{
    const TBoard *board = item.GetBoard();
    return board ? board->Name : QString();
}

QString ReadUrl(const TThreadItem &item)
{
    return item.BBS ? item.BBS->GetReadUrl(&item) : QString();
}

// The body as plain lines, each without the one blank a dat line puts at its start, quoted with
// RESCHAR when asked.
QStringList BodyLines(const TRes &res, bool quoted)
{
    QString text = MonaUtils::HtmlToText(res.Body);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    const QString mark = TavuConfig->RESCHAR.isEmpty() ? QStringLiteral(">") : TavuConfig->RESCHAR;
    for (QString &line : lines) {
        if (line.startsWith(QLatin1Char(' ')))
            line.remove(0, 1);
        if (quoted)
            line.prepend(mark);
    }
    return lines;
}

QString ResHeader(const TRes &res)
{
    const QString id = res.ID.isEmpty() ? QString() : QStringLiteral("ID:") + res.ID;
    return QStringLiteral("%1 名前:%2 投稿日:%3 %4")
        .arg(res.Number)
        .arg(MonaUtils::StripHtmlTags(res.Name), res.Date, id);
}

}  // namespace

QString ThreadTitle(const TThreadItem &item)
{
    const QString title = item.ShownTitle();
    return TavuConfig->COPYWITHBOARDNAME ? title + QStringLiteral("＠") + BoardName(item) : title;
}

QString ThreadText(const TThreadItem &item, TThreadCopy kind)
{
    const QString url = ReadUrl(item) + LineBreak;
    const QString title = ThreadTitle(item) + LineBreak;
    switch (kind) {
    case tcUrl:
        return url;
    case tcTitle:
        return title;
    case tcTitleUrl:
        return title + url;
    }
    return QString();
}

QString PageText(const QString &title, const QString &url, TThreadCopy kind)
{
    switch (kind) {
    case tcUrl:
        return url;
    case tcTitle:
        return title;
    case tcTitleUrl:
        return title + LineBreak + url + LineBreak;
    }
    return QString();
}

QString ResText(const TThreadItem &item, const TRes &res, TResCopy kind)
{
    const QString oneUrl = item.BBS ? item.BBS->GetReadUrlRange(&item, res.Number, res.Number, true) : QString();
    switch (kind) {
    case rcID:
        return res.ID.trimmed();
    case rcHandle:
        return MonaUtils::StripHtmlTags(res.Name);
    case rcMail:
        return res.Mail.trimmed();
    case rcUrl:
        return oneUrl;
    default:
        break;
    }
    QStringList lines;
    if (kind == rcUrlText || kind == rcUrlQuoted) {
        const QString boardName = BoardName(item);
        const QString title = item.ShownTitle();
        lines << (TavuConfig->COPYWITHBOARDNAME ? title + QStringLiteral("／") + boardName : title) << oneUrl
              << QString();
    }
    lines << ResHeader(res) << BodyLines(res, kind == rcQuoted || kind == rcUrlQuoted);
    return lines.join(LineBreak);
}

}  // namespace CopyFormats
