#include "services/ThreadListPane.h"

#include "core/Board.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"

#include <QHash>
#include <utility>

namespace ThreadListPane {

namespace {

using List = TThreadItemList;

const QHash<QString, TColumnInfo> &Columns()
{
    static const QHash<QString, TColumnInfo> columns{
        {QString(), {List::SortNumber, ckText}},
        {QStringLiteral("UPDATE"), {List::SortStatus, ckIcon}},
        {QStringLiteral("INFO"), {List::SortInfo, ckIcon}},
        {QStringLiteral("TITLE"), {List::SortTitle, ckText}},
        {QStringLiteral("AGECOUNT"), {List::SortAgeCount, ckRight}},
        {QStringLiteral("NEWCOUNT"), {List::SortNewCount, ckRight}},
        {QStringLiteral("RESCOUNT"), {List::SortRead, ckRight}},
        {QStringLiteral("PRIORITY"), {List::SortPriority, ckRight}},
        {QStringLiteral("LASTLOAD"), {List::SortLastLoad, ckText}},
        {QStringLiteral("LASTSENT"), {List::SortLastSent, ckText}},
        {QStringLiteral("COMMENT"), {List::SortComment, ckText}},
        {QStringLiteral("BOARD"), {List::SortBoard, ckText}},
        {QStringLiteral("BBS"), {List::SortSite, ckText}},
        {QStringLiteral("READPOINT"), {List::SortReadPoint, ckIcon}},
        {QStringLiteral("READPOINTNO"), {List::SortReadPointNo, ckRight}},
        {QStringLiteral("DAT"), {List::SortDat, ckRight}},
        {QStringLiteral("SINCE"), {List::SortSince, ckText}},
        {QStringLiteral("THREADNO"), {List::SortThreadNo, ckRight}},
    };
    return columns;
}

TFilterDialogHandler &InstalledFilterDialog()
{
    static TFilterDialogHandler dialog;
    return dialog;
}

QString NewCountText(const TThreadItem &item, bool showCountGap)
{
    if (item.NewCount >= 0)   // zero prints as nothing in the numeric picture
        return item.NewCount > 0 ? CountText(item.NewCount, 1) : QString();
    if (item.COUNT > item.READ)
        return CountText(item.COUNT - item.READ, 1);
    if (showCountGap && item.READ > 0 && item.AGECOUNT > item.READ && !item.KAKOLOG)
        return QLatin1Char('+') + CountText(item.AGECOUNT - item.READ, 1);
    return QString();
}

int UpdateMark(const TThreadItem &item)
{
    if (item.KAKOLOG)
        return mkKakolog;
    if (item.IsNew)
        return mkNew;
    if (item.Updated && item.AGECOUNT > item.COUNT)
        return mkUpdated;
    if (item.AGECOUNT > item.READ && item.READ > 0)
        return mkMoreRes;
    if (item.AGECOUNT > item.COUNT && item.COUNT >= 1)
        return mkMoreRes;
    return mkNone;
}

int InfoMark(const TThreadItem &item)
{
    if (item.CheckError)
        return mkCheckError;
    if (item.Checking)
        return mkChecking;
    if (item.FAVORITE)
        return item.COUNT > item.READ ? mkFavoriteNewRes : mkFavorite;
    if (item.LOCALLOG)
        return mkLocalLog;
    if (item.COUNT < 1 && item.READ < 1)
        return mkNone;
    return item.COUNT > item.READ ? mkHasNewRes : mkRead;
}

QString BoardName(const TThreadItem &item)
{
    const TBoard *board = item.GetBoard();
    return board ? board->Name : QString();
}

}  // namespace

TColumnInfo ColumnInfo(const QString &columnId)
{
    return Columns().value(columnId);
}

QString CountText(int value, int blanks)
{
    return (value == 0 ? QString() : QString::number(value)) + QString(blanks, QLatin1Char(' '));
}

QString NumberText(const TThreadItem &item)
{
    return QStringLiteral("%1").arg(item.Number, 4, 10, QLatin1Char('0'));
}

QString CellText(const TThreadItem &item, const QString &id, bool showCountGap)
{
    if (id == QLatin1String("TITLE"))
        return item.ShownTitle();
    if (id == QLatin1String("AGECOUNT"))
        return CountText(item.AGECOUNT, 1);
    if (id == QLatin1String("NEWCOUNT"))
        return NewCountText(item, showCountGap);
    if (id == QLatin1String("RESCOUNT"))
        return CountText(item.COUNT, 1);
    if (id == QLatin1String("PRIORITY"))
        return CountText(item.PRIORITY, 2);
    if (id == QLatin1String("LASTLOAD"))
        return item.LAST_LOAD;
    if (id == QLatin1String("LASTSENT"))
        return item.LAST_SENT;
    if (id == QLatin1String("COMMENT"))
        return item.COMMENT;
    if (id == QLatin1String("BOARD"))
        return BoardName(item);
    if (id == QLatin1String("BBS"))
        return item.Site ? item.Site->NAME : QString();
    if (id == QLatin1String("READPOINTNO"))
        return item.READPOINT >= 1 ? CountText(item.READPOINT, 2) : QString();
    if (id == QLatin1String("DAT"))
        return item.DatName;
    if (id == QLatin1String("SINCE"))
        return item.SINCE;
    if (id == QLatin1String("THREADNO"))
        return item.THREADNO;
    return QString();
}

int CellMark(const TThreadItem &item, const QString &id)
{
    if (id == QLatin1String("UPDATE"))
        return UpdateMark(item);
    if (id == QLatin1String("INFO"))
        return InfoMark(item);
    if (id == QLatin1String("READPOINT"))
        return item.READPOINT >= 1 ? mkReadPoint : mkNone;
    return mkNone;
}

QString InfoTip(const TThreadItem &item)
{
    return QStringLiteral("%1(%2/%3)\n%4＠%5")
        .arg(item.ShownTitle())
        .arg(item.AGECOUNT)
        .arg(item.COUNT)
        .arg(BoardName(item), item.Site ? item.Site->NAME : QString());
}

TRowStyle RowStyle(const TThreadItem *item, int row, bool selected, const TTavuConfig &config)
{
    TRowStyle style;
    if (config.DRAWTHREADLIST) {
        style.Background = row % 2 == 0 ? config.THREADLISTCOLOR1 : config.THREADLISTCOLOR2;
        style.Text = style.NumberText = config.THREADLISTTEXTCOLOR;
    }
    if (item) {
        if (!item->BBS)
            style.Background = config._2CH_HEADLINE_BKCOLOR;
        // Black counts as "no colour of its own" while the list keeps the default text colour.
        TColor color = item->COLOR;
        if (config.THREADLISTTEXTCOLOR == clWindowText && color == 0)
            color = clWindowText;
        if (color != clWindowText)
            style.Text = color;
        style.Bold = item->BOLD;
        if (item->REVERSE && !selected) {
            style.Background = color;
            style.Text = style.NumberText = clWindow;
        }
    }
    if (selected) {
        style.Background = clHighlight;
        style.Text = style.NumberText = clHighlightText;
    }
    return style;
}

void ClickSortColumn(int clicked, int &column, bool &ascending)
{
    if (clicked == column) {
        ascending = !ascending;
    } else {
        column = clicked;
        ascending = true;
    }
}

QString TabLineText(const TTabLine &line)
{
    return line.SiteID + QLatin1Char('\t') + line.BoardID + QLatin1Char('\t')
        + (line.Shown ? QLatin1Char('1') : QLatin1Char('0'));
}

bool ParseTabLine(const QString &text, TTabLine &line)
{
    const QStringList fields = text.split(QLatin1Char('\t'));
    if (fields.size() < 2 || fields.at(0).isEmpty() || fields.at(1).isEmpty())
        return false;
    line.SiteID = fields.at(0);
    line.BoardID = fields.at(1);
    line.Shown = fields.value(2) == QLatin1String("1");
    return true;
}

bool FilterMatches(const TThreadItem &item, const TThreadFilter &filter)
{
    if (item.ABONE || (filter.NewOnly && !item.IsNew))
        return false;
    if (filter.ByDatName)
        return item.DatName.compare(filter.DatName, Qt::CaseInsensitive) == 0;
    return filter.MatchesTitle && filter.MatchesTitle(item.TITLE);
}

TFilterDialogHandler SetFilterDialog(TFilterDialogHandler dialog)
{
    return std::exchange(InstalledFilterDialog(), std::move(dialog));
}

const TFilterDialogHandler &FilterDialog()
{
    return InstalledFilterDialog();
}

QString ThreadTarget(const TThreadItem &item)
{
    const TBoard *board = item.GetBoard();
    const QString site = board && board->Site ? board->Site->NAME : item.Site ? item.Site->NAME : QString();
    return TitleOrKey(item) + QStringLiteral("／") + (board ? board->Name : QString()) + QStringLiteral("＠") + site;
}

QString TitleOrKey(const TThreadItem &item)
{
    const QString title = item.ShownTitle();
    return title.isEmpty() ? item.GetKey() : title;
}

QList<int> RowsOfThread(const TThreadItemList &items, const TThreadItem &item)
{
    QList<int> rows;
    for (int i : items.IndexesOfKey(item.KeyView())) {
        const TThreadItem *listed = items.Peek(i);
        if (listed && listed->IsSameThread(item))
            rows.append(i);
    }
    return rows;
}

}  // namespace ThreadListPane
