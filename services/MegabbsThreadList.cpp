#include "services/MegabbsThreadList.h"

#include "core/BoardList.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "services/OutsidePage.h"

#include <QRegularExpression>

namespace {

const QString SiteId = QStringLiteral("megabbs");

QString Between(const QString &text, const QString &from, const QString &to)
{
    const int at = text.indexOf(from);
    if (at < 0)
        return QString();
    const int start = at + from.size();
    const int end = text.indexOf(to, start);
    return end < 0 ? text.mid(start) : text.mid(start, end - start);
}

// "Title (123)" gives "Title " and 123; a count that is not a number gives 0.
void SplitCount(const QString &text, QString &title, int &count)
{
    const int open = text.lastIndexOf(QLatin1Char('('));
    if (open < 0) {
        title = text;
        count = 0;
        return;
    }
    title = text.left(open);
    bool ok = false;
    count = text.mid(open + 1, text.size() - open - 2).toInt(&ok);
    if (!ok)
        count = 0;
}

}  // namespace

bool TMegabbsThreadList::Load(const QString &url, TThreadItemList *items, QString &error)
{
    TSite *site = ServiceSite(SiteId, error);
    if (!site)
        return false;
    const TOutsidePage page = FetchOutsidePage(url);
    if (!page.Ok()) {
        error = page.Error;
        return false;
    }
    if (Parse(jconvert::SjisToUnicode(page.Body), site, items) < 0) {
        error = UnknownPageFormat(url);
        return false;
    }
    return true;
}

int TMegabbsThreadList::Parse(const QString &page, TSite *site, TThreadItemList *items)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    int linkNumber = 0;
    int added = 0;
    for (const QString &line : page.split(lineBreak)) {
        if (!line.startsWith(QStringLiteral("<a href=\"")))
            continue;
        const QString boardId = Between(line, QStringLiteral("readres.cgi?bo="), QStringLiteral("&"));
        const QString key = Between(line, QStringLiteral("&vi="), QStringLiteral("&"));
        const QString text = Between(line.mid(line.indexOf(QLatin1Char('>'))), QStringLiteral(">"), QStringLiteral("</a>"));
        QString title;
        int count = 0;
        SplitCount(text, title, count);   // the title keeps its entities, as a subject line does
        ++linkNumber;
        if (boardId.isEmpty() || !site->Boards->FindByID(boardId))
            continue;
        auto *item = new TThreadItem;
        if (item->SetLocation(site->SITEID, boardId, key, title)) {
            item->LoadInfo();
            item->Number = linkNumber;
            item->ServerCount = count;
            items->Add(item);
            ++added;
        }
        item->Release();
    }
    return linkNumber == 0 ? -1 : added;
}
