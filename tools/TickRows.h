#pragma once
// Rows with a tick box in the first column, as the erase and restore dialogs list posts and threads:
// each row keeps the index of what it shows.

#include <QStringList>

class QTreeWidget;
class QTreeWidgetItem;

namespace TickRows {

// A row of the columns, unticked, that keeps index.
QTreeWidgetItem *NewRow(const QStringList &columns, int index);
// Ticks every row of the list, or clears every tick.
void SetAll(QTreeWidget *list, bool on);

}  // namespace TickRows
