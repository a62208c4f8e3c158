#include "services/HistoryModel.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Exceptions.h"
#include "core/MonaUtils.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "core/TextList.h"

#include <QSet>
#include <QTextDocument>

#include <algorithm>
#include <numeric>

namespace {

const TBoard *KnownBoard(const THistoryEntry &entry, const TSite *&site)
{
    site = TavuEnviron ? TavuEnviron->SiteList()->FindBySiteID(entry.SiteId) : nullptr;
    return site ? site->Boards->FindByID(entry.BoardId) : nullptr;
}

// The comparison of a column: the fields compared in turn.
QList<QString THistoryEntry::*> SortFields(int column)
{
    switch (column) {
    case THistoryModel::colTime: return {&THistoryEntry::Time};
    case THistoryModel::colTitle: return {&THistoryEntry::Title};
    case THistoryModel::colBoard: return {&THistoryEntry::BoardId, &THistoryEntry::Title};
    case THistoryModel::colSite: return {&THistoryEntry::SiteId, &THistoryEntry::BoardId, &THistoryEntry::Title};
    default: return {&THistoryEntry::Key};
    }
}

}  // namespace

THistoryEntry THistoryEntry::FromLine(const QString &line)
{
    const QStringList fields = line.split(QLatin1Char('\t'));
    THistoryEntry entry;
    entry.SiteId = fields.value(0);
    entry.BoardId = fields.value(1);
    entry.Key = fields.value(2);
    entry.Title = fields.value(3);
    entry.Time = fields.value(4);
    return entry;
}

QString THistoryEntry::ShownTitle() const
{
    return MonaUtils::DecodeEntities(Title);
}

THistoryModel::THistoryModel(const QString &fileName, QObject *parent)
    : QAbstractTableModel(parent), fileName(fileName)
{
    Reload();
}

void THistoryModel::Reload()
{
    beginResetModel();
    TTextList file;
    file.LoadFromFile(fileName);
    lines = file.Lines;
    lines.removeAll(QString());
    ascending = false;
    endResetModel();
}

void THistoryModel::SortBy(int column)
{
    ascending = !ascending;
    const QList<QString THistoryEntry::*> fields = SortFields(column);
    QList<THistoryEntry> entries;
    entries.reserve(lines.size());
    for (const QString &line : lines)
        entries.append(THistoryEntry::FromLine(line));
    QList<int> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (QString THistoryEntry::*field : fields) {
            const int c = QString::compare(entries[a].*field, entries[b].*field);
            if (c != 0)
                return ascending ? c < 0 : c > 0;
        }
        return false;
    });
    beginResetModel();
    QStringList sorted;
    sorted.reserve(lines.size());
    for (int row : order)
        sorted.append(lines[row]);
    lines = sorted;
    endResetModel();
}

int THistoryModel::FindNext(const QString &text, int start) const
{
    if (text.isEmpty())
        return -1;
    for (int row = std::max(start + 1, 0); row < lines.size(); ++row)
        if (Entry(row).ShownTitle().contains(text, Qt::CaseInsensitive))
            return row;
    return -1;
}

bool THistoryModel::DeleteRows(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    beginResetModel();
    for (int k = rows.size() - 1; k >= 0; --k)
        if (rows[k] >= 0 && rows[k] < lines.size())
            lines.removeAt(rows[k]);
    endResetModel();
    try {
        TTextList::RewriteFile(fileName, lines);
    } catch (const EFileError &) {
        return false;
    }
    return true;
}

QList<THistoryEntry> THistoryModel::RecentEntries(const QStringList &lines, int count)
{
    QList<THistoryEntry> entries;
    QSet<QString> seen;
    for (const QString &line : lines) {
        if (entries.size() >= count)
            break;
        const THistoryEntry entry = THistoryEntry::FromLine(line);
        const QString name = entry.SiteId + QLatin1Char('\t') + entry.BoardId + QLatin1Char('\t') + entry.Key;
        if (entry.Key.isEmpty() || seen.contains(name))
            continue;
        seen.insert(name);
        entries.append(entry);
    }
    return entries;
}

int THistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(lines.size());
}

int THistoryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString THistoryModel::Cell(const THistoryEntry &entry, int column) const
{
    switch (column) {
    case colTime: return entry.Time;
    case colTitle: return entry.ShownTitle();
    case colKey: return entry.Key;
    default: break;
    }
    const TSite *site = nullptr;
    const TBoard *board = KnownBoard(entry, site);
    if (column == colBoard)
        return board ? board->Name : entry.BoardId;
    return board ? site->NAME : entry.SiteId;
}

QVariant THistoryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= lines.size())
        return QVariant();
    const THistoryEntry entry = Entry(index.row());
    if (role == Qt::DisplayRole)
        return Cell(entry, index.column());
    if (role == Qt::ToolTipRole)
        return Qt::convertFromPlainText(entry.ShownTitle() + QStringLiteral("\nBBS:") + entry.SiteId + QStringLiteral("\nBOARD:")
                                            + entry.BoardId + QStringLiteral("\nDAT:") + entry.Key,
                                        Qt::WhiteSpaceNormal);   // a title is never read as markup
    return QVariant();
}

QVariant THistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList captions = {QStringLiteral("最終読込日"), QStringLiteral("タイトル"), QStringLiteral("ボード"),
                                         QStringLiteral("BBS"), QStringLiteral("DAT")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return captions.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
