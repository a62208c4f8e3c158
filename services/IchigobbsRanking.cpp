#include "services/IchigobbsRanking.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/JConvert.h"
#include "core/MonaUtils.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "services/OutsidePage.h"

#include <QRegularExpression>

namespace {

const QString SiteId = QStringLiteral("15ch");

// The board id of a ranking link: the last path part of its href (up to `/"`).
QString LinkedBoardId(const QString &line)
{
    const QString hrefStart = QStringLiteral("href=\"");
    const int at = line.indexOf(hrefStart);
    if (at < 0)
        return QString();
    const int start = at + hrefStart.size();
    const int end = line.indexOf(QStringLiteral("/\""), start);
    if (end < 0)
        return QString();
    return MonaUtils::ExtractUrlName(line.mid(start, end - start));
}

QString CountText(const QString &line)
{
    const int from = line.indexOf(QLatin1Char('>'), line.indexOf(QStringLiteral("( <a "))) + 1;
    const int end = line.indexOf(QLatin1Char('<'), from);
    return end < 0 ? line.mid(from) : line.mid(from, end - from);
}

}  // namespace

TBoard *TIchigobbsRanking::FindBoard(const QString &boardId)
{
    TSite *site = TavuEnviron ? TavuEnviron->SiteList()->FindBySiteID(SiteId) : nullptr;
    return site ? site->Boards->FindByID(boardId) : nullptr;
}

bool TIchigobbsRanking::Load(const QString &url, QString &error)
{
    rows.clear();
    TSite *site = ServiceSite(SiteId, error);
    if (!site)
        return false;
    const TOutsidePage page = FetchOutsidePage(url);
    if (!page.Ok()) {
        error = page.Error;
        return false;
    }
    if (!Parse(jconvert::SjisToUnicode(page.Body), site)) {
        error = UnknownPageFormat(url);
        return false;
    }
    return true;
}

bool TIchigobbsRanking::Parse(const QString &page, TSite *site)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    rows.clear();
    bool namesBoards = false;
    int current = -1;   // the row of the board named last; -1 when that board is unknown
    for (const QString &line : page.split(lineBreak)) {
        if (line.contains(QStringLiteral("<li><a "))) {
            namesBoards = true;
            current = -1;
            if (TBoard *board = site->Boards->FindByID(LinkedBoardId(line))) {
                rows.append(TRankingRow{QStringLiteral("%1").arg(rows.size() + 1, 4, 10, QLatin1Char('0')), board, board->ID, QString()});
                current = rows.size() - 1;
            }
        } else if (current >= 0 && line.contains(QStringLiteral("( <a "))) {
            rows[current].Count = CountText(line);
        }
    }
    return namesBoards;
}
