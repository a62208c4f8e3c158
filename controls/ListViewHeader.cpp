#include "controls/ListViewHeader.h"

#include "controls/EnhListView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

namespace {

constexpr int ContentInset = 2;   // the item rectangle shrinks by this much
constexpr int TextInset = 4;      // between the content edge and the caption
constexpr int ImageGap = 4;       // between the caption and the column image
constexpr int ArrowGap = 8;       // between the caption and the sort arrow

}

TListViewHeader::TListViewHeader(TCustomEnhListView *view) : QHeaderView(Qt::Horizontal, view), view(view)
{
    setStretchLastSection(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

int TListViewHeader::ArrowSize() const
{
    const int side = fontMetrics().height() - 6;
    return side <= 0 ? 0 : side + side % 2;
}

void TListViewHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    painter->save();
    QStyleOptionHeader option;
    initStyleOptionForIndex(&option, logicalIndex);
    option.rect = rect;
    option.text.clear();
    option.icon = QIcon();
    option.sortIndicator = QStyleOptionHeader::None;
    const bool pressed = logicalIndex == pressedSection;
    if (pressed)
        option.state |= QStyle::State_Sunken;
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);

    painter->setFont(font());
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->setBrush(palette().button());
    QRect content = rect;
    bool defaultDrawing = true;
    if (view->OnDrawHeader)
        view->OnDrawHeader(view, painter, logicalIndex, content, pressed, defaultDrawing);
    if (defaultDrawing)
        DrawContent(painter, content, logicalIndex, pressed);
    painter->restore();
}

void TListViewHeader::DrawContent(QPainter *painter, QRect rect, int column, bool pressed) const
{
    rect.adjust(ContentInset, ContentInset, -ContentInset, -ContentInset);
    if (pressed)
        rect.translate(1, 1);
    const Qt::Alignment alignment = view->Items()->ColumnAlignment(column);
    bool imageRight = false;
    const QPixmap image = view->HeaderImage(column, imageRight);
    const int imageWidth = image.isNull() ? 0 : image.width() + ImageGap;

    const QFontMetrics metrics(painter->font());
    const int room = std::max(rect.width() - 2 * TextInset - imageWidth, 0);
    const QString caption = metrics.elidedText(view->Items()->ColumnCaption(column), Qt::ElideRight, room);
    const int textWidth = std::min(metrics.horizontalAdvance(caption), room);
    const int contentWidth = textWidth + imageWidth;

    int x = rect.left() + TextInset;
    if (alignment & Qt::AlignRight)
        x = rect.right() + 1 - TextInset - contentWidth;
    else if (alignment & Qt::AlignHCenter)
        x = rect.left() + (rect.width() - contentWidth) / 2;

    const int textX = image.isNull() || imageRight ? x : x + imageWidth;
    painter->drawText(QRect(textX, rect.top(), textWidth, rect.height()),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption);
    if (!image.isNull()) {
        const int imageX = imageRight ? x + textWidth + ImageGap : x;
        painter->drawPixmap(imageX, rect.top() + (rect.height() - image.height()) / 2, image);
    }

    const int side = ArrowSize();
    if (column != view->CurrentSortColumn() || !view->ShowSortArrows() || side == 0)
        return;
    const int arrowX = alignment & Qt::AlignRight ? x - ArrowGap - side : x + contentWidth + ArrowGap;
    const QRect square(arrowX, rect.top() + (rect.height() - side) / 2, side, side);
    if (square.left() >= rect.left() && square.right() <= rect.right())
        DrawArrow(painter, square, view->CurrentSortAscending() != view->ReverseSortArrows());
}

// An engraved triangle: the edges facing the light in the highlight colour, the others in the shadow.
void TListViewHeader::DrawArrow(QPainter *painter, const QRect &square, bool up) const
{
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    const QPoint left = up ? square.bottomLeft() : square.topLeft();
    const QPoint right = up ? square.bottomRight() : square.topRight();
    const QPoint apex(square.left() + square.width() / 2, up ? square.top() : square.bottom());
    painter->setPen(shadow);
    painter->drawLine(left, apex);
    if (!up)
        painter->drawLine(left, right);
    painter->setPen(light);
    painter->drawLine(apex, right);
    if (up)
        painter->drawLine(left, right);
}

void TListViewHeader::mousePressEvent(QMouseEvent *event)
{
    pressedSection = event->button() == Qt::LeftButton ? logicalIndexAt(event->position().toPoint()) : -1;
    QHeaderView::mousePressEvent(event);
}

void TListViewHeader::mouseReleaseEvent(QMouseEvent *event)
{
    pressedSection = -1;
    QHeaderView::mouseReleaseEvent(event);
    viewport()->update();
}
