#include "tools/TickRows.h"

#include <QTreeWidget>

namespace TickRows {

QTreeWidgetItem *NewRow(const QStringList &columns, int index)
{
    auto *row = new QTreeWidgetItem(columns);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(0, Qt::Unchecked);
    row->setData(0, Qt::UserRole, index);
    return row;
}

void SetAll(QTreeWidget *list, bool on)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        list->topLevelItem(i)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

}  // namespace TickRows
