#include "controls/ListViewModel.h"

#include <algorithm>
#include <numeric>

QString TListItem::Text(int column) const
{
    return column == 0 ? Caption : SubItems.value(column - 1);
}

TListViewModel::TListViewModel(QObject *parent) : QAbstractTableModel(parent) {}

// ---- columns ----

int TListViewModel::AddColumn(const QString &caption, Qt::Alignment alignment)
{
    const int column = int(columns.size());
    beginInsertColumns(QModelIndex(), column, column);
    columns.append({caption, alignment & Qt::AlignHorizontal_Mask});
    endInsertColumns();
    return column;
}

void TListViewModel::ClearColumns()
{
    if (columns.isEmpty())
        return;
    beginRemoveColumns(QModelIndex(), 0, int(columns.size()) - 1);
    columns.clear();
    endRemoveColumns();
}

int TListViewModel::ColumnCount() const
{
    return int(columns.size());
}

QString TListViewModel::ColumnCaption(int column) const
{
    return columns.value(column).Caption;
}

void TListViewModel::SetColumnCaption(int column, const QString &caption)
{
    if (column < 0 || column >= columns.size())
        return;
    columns[column].Caption = caption;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

Qt::Alignment TListViewModel::ColumnAlignment(int column) const
{
    return column >= 0 && column < columns.size() ? columns[column].Alignment : Qt::Alignment(Qt::AlignLeft);
}

void TListViewModel::SetColumnAlignment(int column, Qt::Alignment alignment)
{
    if (column < 0 || column >= columns.size())
        return;
    columns[column].Alignment = alignment & Qt::AlignHorizontal_Mask;
    emit headerDataChanged(Qt::Horizontal, column, column);
    if (ItemCount() > 0)
        emit dataChanged(index(0, column), index(ItemCount() - 1, column), {Qt::TextAlignmentRole});
}

// ---- rows ----

int TListViewModel::ItemCount() const
{
    return ownerData ? ownerDataCount : int(items.size());
}

bool TListViewModel::ValidRow(int row) const
{
    return row >= 0 && row < ItemCount();
}

int TListViewModel::AddItem(const TListItem &item)
{
    const int row = int(items.size());
    InsertItem(row, item);
    return row;
}

void TListViewModel::InsertItem(int row, const TListItem &item)
{
    if (ownerData)
        return;
    row = std::clamp(row, 0, int(items.size()));
    beginInsertRows(QModelIndex(), row, row);
    items.insert(row, item);
    endInsertRows();
}

void TListViewModel::DeleteItem(int row)
{
    if (ownerData || !ValidRow(row))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    items.removeAt(row);
    endRemoveRows();
}

void TListViewModel::ClearItems()
{
    if (ownerData || items.isEmpty())
        return;
    beginRemoveRows(QModelIndex(), 0, int(items.size()) - 1);
    items.clear();
    endRemoveRows();
}

TListItem TListViewModel::Item(int row) const
{
    if (!ValidRow(row))
        return {};
    if (!ownerData)
        return items[row];
    const TVMItemInfo caption = AskOwner(row, 0, vmText | vmImage | vmParam | vmState);
    TListItem item;
    item.Caption = caption.Text;
    item.ImageIndex = caption.Image;
    item.Data = caption.Param;
    item.Checked = caption.StateImage == 2;
    for (int column = 1; column < columns.size(); ++column)
        item.SubItems.append(AskOwner(row, column, vmText).Text);
    return item;
}

void TListViewModel::SetItem(int row, const TListItem &item)
{
    if (ownerData || !ValidRow(row))
        return;
    items[row] = item;
    UpdateItems(row, row);
}

QString TListViewModel::CellText(int row, int column) const
{
    if (!ValidRow(row))
        return {};
    return ownerData ? AskOwner(row, column, vmText).Text : items[row].Text(column);
}

void TListViewModel::SetCellText(int row, int column, const QString &text)
{
    if (ownerData || !ValidRow(row) || column < 0)
        return;
    TListItem &item = items[row];
    if (column == 0) {
        item.Caption = text;
    } else {
        while (item.SubItems.size() < column)
            item.SubItems.append(QString());
        item.SubItems[column - 1] = text;
    }
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole, Qt::EditRole});
}

bool TListViewModel::Checked(int row) const
{
    if (!ValidRow(row))
        return false;
    return ownerData ? AskOwner(row, 0, vmState).StateImage == 2 : items[row].Checked;
}

// In owner-data mode the owner keeps the check marks: it stores the new one when ItemChecked comes.
void TListViewModel::SetChecked(int row, bool checked)
{
    if (!ValidRow(row) || Checked(row) == checked)
        return;
    if (!ownerData)
        items[row].Checked = checked;
    emit ItemChecked(row, checked);
    emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
}

void TListViewModel::MoveItem(int from, int to)
{
    if (ownerData || !ValidRow(from) || !ValidRow(to) || from == to)
        return;
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    items.move(from, to);
    endMoveRows();
}

void TListViewModel::SortItems(const std::function<bool(const TListItem &, const TListItem &)> &less)
{
    if (ownerData || items.size() < 2)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<int> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    // A stable sort keeps equal rows in place and stays within bounds even when a comparison
    // is not consistent (texts that compare as numbers against some rows and as texts against others).
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(items[a], items[b]); });
    QList<TListItem> sorted;
    QList<int> newRow(items.size());
    for (int i = 0; i < order.size(); ++i) {
        sorted.append(items[order[i]]);
        newRow[order[i]] = i;
    }
    items = sorted;
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex &old : before)
        after.append(index(newRow[old.row()], old.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TListViewModel::UpdateItems(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, ItemCount() - 1);
    if (first <= last && !columns.isEmpty())
        emit dataChanged(index(first, 0), index(last, int(columns.size()) - 1));
}

// ---- owner data ----

void TListViewModel::SetOwnerData(bool on)
{
    if (on == ownerData)
        return;
    beginResetModel();
    items.clear();
    ownerData = on;
    endResetModel();
}

void TListViewModel::SetOwnerDataCount(int count)
{
    count = std::max(count, 0);
    const int old = ownerDataCount;
    if (!ownerData || count == old) {
        ownerDataCount = count;
        return;
    }
    if (count > old) {
        beginInsertRows(QModelIndex(), old, count - 1);
        ownerDataCount = count;
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), count, old - 1);
        ownerDataCount = count;
        endRemoveRows();
    }
}

TVMItemInfo TListViewModel::AskOwner(int row, int column, unsigned mask) const
{
    TVMItemInfo info;
    info.Item = row;
    info.SubItem = column;
    info.Mask = mask;
    if (OnGetItemInfo)
        OnGetItemInfo(info);
    return info;
}

// ---- showing ----

void TListViewModel::SetCheckBoxes(bool on)
{
    checkBoxes = on;
    UpdateItems(0, ItemCount() - 1);
}

void TListViewModel::SetSubItemImages(bool on)
{
    subItemImages = on;
    UpdateItems(0, ItemCount() - 1);
}

void TListViewModel::SetEditable(bool on)
{
    editable = on;
    UpdateItems(0, ItemCount() - 1);
}

void TListViewModel::SetSmallImages(const QList<QPixmap> &images)
{
    smallImages = images;
    UpdateItems(0, ItemCount() - 1);
}

int TListViewModel::ImageOf(int row, int column) const
{
    if (!ValidRow(row) || (column > 0 && !subItemImages))
        return -1;
    if (ownerData)
        return AskOwner(row, column, vmImage).Image;
    return column == 0 ? items[row].ImageIndex : items[row].SubItemImages.value(column - 1, -1);
}

QVariant TListViewModel::Image(int index) const
{
    return index >= 0 && index < smallImages.size() ? QVariant(smallImages[index]) : QVariant();
}

// ---- QAbstractItemModel ----

int TListViewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ItemCount();
}

int TListViewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant TListViewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row(), column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return CellText(row, column);
    case Qt::DecorationRole:
        return Image(ImageOf(row, column));
    case Qt::CheckStateRole:
        if (checkBoxes && column == 0)
            return int(Checked(row) ? Qt::Checked : Qt::Unchecked);
        return {};
    case Qt::TextAlignmentRole:
        return int(ColumnAlignment(column) | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool TListViewModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != 0)
        return false;
    if (role == Qt::CheckStateRole && checkBoxes) {
        SetChecked(index.row(), value.toInt() == Qt::Checked);
        return true;
    }
    if (role == Qt::EditRole && editable) {
        if (ownerData)
            emit CaptionEdited(index.row(), value.toString());
        else
            SetCellText(index.row(), 0, value.toString());
        return true;
    }
    return false;
}

QVariant TListViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columns.size())
        return {};
    if (role == Qt::DisplayRole)
        return columns[section].Caption;
    if (role == Qt::TextAlignmentRole)
        return int(columns[section].Alignment | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags TListViewModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0 && checkBoxes)
        result |= Qt::ItemIsUserCheckable;
    if (index.column() == 0 && editable)
        result |= Qt::ItemIsEditable;
    return result;
}

// The view's own key search: an owner-data list has no texts to look through, its owner finds the row.
QModelIndexList TListViewModel::match(const QModelIndex &start, int role, const QVariant &value, int hits,
                                      Qt::MatchFlags flags) const
{
    if (!ownerData)
        return QAbstractTableModel::match(start, role, value, hits, flags);
    if (!OnFindItem)
        return {};
    TVMFindInfo info;
    info.Text = value.toString();
    info.Start = std::max(start.row(), 0);
    info.Partial = (flags & Qt::MatchTypeMask) == Qt::MatchStartsWith;
    info.Wrap = flags.testFlag(Qt::MatchWrap);
    const int found = OnFindItem(info);
    return ValidRow(found) ? QModelIndexList{index(found, 0)} : QModelIndexList{};
}
