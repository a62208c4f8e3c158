#pragma once
// Moving the selected rows of an ordered list one place up or down, as the list editors do: each
// selected row moves past its unselected neighbour, a block keeps its order, and a selected row at
// the end it moves towards stays where it is (the rows behind it then stay too).

#include <QList>
#include <QStringList>

namespace RowMoves {

// delta -1 moves up, +1 down. Returns the places of the moved (selected) rows afterwards.
QList<int> Move(QStringList &lines, const QList<int> &selected, int delta);

}  // namespace RowMoves
