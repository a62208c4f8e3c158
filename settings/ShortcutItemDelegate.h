#pragma once
// TShortcutItemDelegate: how the item list of the shortcut-bar editor draws its rows. A separator
// row is a horizontal line at half height, from 8 pixels after the left edge to 16 pixels before
// the right edge; every other row is drawn as usual, in the highlight-text colour when selected.

#include <QStyledItemDelegate>

class TShortcutItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The role of column 0 that marks a separator row.
    static constexpr int SeparatorRole = Qt::UserRole + 1;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
