#include "services/RowMoves.h"

#include <algorithm>

namespace RowMoves {

QList<int> Move(QStringList &lines, const QList<int> &selected, int delta)
{
    QList<int> rows = selected;
    // Rows nearest the end they move towards go first, so a block moves as one.
    std::sort(rows.begin(), rows.end());
    if (delta > 0)
        std::reverse(rows.begin(), rows.end());
    QList<int> after;
    for (int row : rows) {
        const int target = row + delta;
        const bool blocked = target < 0 || target >= lines.size() || after.contains(target);
        if (!blocked)
            lines.swapItemsAt(row, target);
        after << (blocked ? row : target);
    }
    return after;
}

}  // namespace RowMoves
