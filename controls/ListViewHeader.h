#pragma once
// TListViewHeader: the header of a TCustomEnhListView. It draws each item itself: the caption on one
// line with an ellipsis when it does not fit, the column image (when the list gives one) 4 pixels
// from the caption, and on the sort column an engraved arrow 8 pixels after the caption (before it
// for right-aligned columns), up for ascending unless the list reverses its arrows. The list's
// OnDrawHeader may draw an item instead.

#include <QHeaderView>

class TCustomEnhListView;

class TListViewHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit TListViewHeader(TCustomEnhListView *view);

    // The side of the sort arrows for the header's font; 0 when the font is too small for them.
    int ArrowSize() const;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void DrawContent(QPainter *painter, QRect rect, int column, bool pressed) const;
    void DrawArrow(QPainter *painter, const QRect &square, bool up) const;

    TCustomEnhListView *view;
    int pressedSection = -1;
};
