#include "settings/ShortcutItemDelegate.h"

#include <QPainter>

void TShortcutItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!index.data(SeparatorRole).toBool()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // A separator row spans every column, so its rectangle is the whole row.
    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
        painter->fillRect(option.rect, option.palette.highlight());
    const int y = option.rect.top() + option.rect.height() / 2;
    painter->save();
    painter->setPen(selected ? option.palette.highlightedText().color() : option.palette.windowText().color());
    painter->drawLine(option.rect.left() + 8, y, option.rect.right() - 16, y);
    painter->restore();
}
