#include "controls/TavuSplitter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

namespace {

constexpr int GripLength = 40;
constexpr int HandleWidth = 6;
const QColor HotColor(0xFF, 0x80, 0x80);
const QColor GripColor(0x80, 0x40, 0x00);

}  // namespace

// ---- TTavuSplitter ----

TTavuSplitter::TTavuSplitter(Qt::Orientation orientation, QWidget *parent) : QSplitter(orientation, parent)
{
    setHandleWidth(HandleWidth);
    setChildrenCollapsible(false);   // a drag stops at MinSize, it never snaps the pane away
    connect(this, &QSplitter::splitterMoved, this, &TTavuSplitter::AfterDrag);
}

QSplitterHandle *TTavuSplitter::createHandle()
{
    return new TTavuSplitterHandle(orientation(), this);
}

bool TTavuSplitter::HasPane() const
{
    return count() == 2 && PaneIndex >= 0 && PaneIndex < count() && !widget(PaneIndex)->isHidden();
}

int TTavuSplitter::PaneSize() const
{
    return HasPane() ? sizes().value(PaneIndex) : 0;
}

void TTavuSplitter::SetPaneSize(int size)
{
    QWidget *pane = widget(PaneIndex);
    // The pane may shrink down to MinSize, whatever its contents would like.
    if (orientation() == Qt::Horizontal)
        pane->setMinimumWidth(MinSize);
    else
        pane->setMinimumHeight(MinSize);
    QList<int> current = sizes();
    const int total = current.value(0) + current.value(1);
    size = std::clamp(size, MinSize, std::max(total - MinSize, MinSize));
    current[PaneIndex] = size;
    current[1 - PaneIndex] = total - size;
    setSizes(current);
}

void TTavuSplitter::Open()
{
    if (!HasPane())
        return;
    // A pane that never had a size of its own opens to a quarter of the splitter.
    const QList<int> current = sizes();
    SetPaneSize(remembered > MinSize ? remembered : (current.value(0) + current.value(1)) / 4);
    open = true;
    emit OnOpen();
}

void TTavuSplitter::Close()
{
    if (!HasPane())
        return;
    if (PaneSize() > MinSize)
        remembered = PaneSize();
    SetPaneSize(MinSize);
    open = false;
    emit OnClose();
}

void TTavuSplitter::GripClick()
{
    if (!HasPane())
        return;
    if (PaneSize() <= MinSize)
        Open();
    else
        Close();
}

// An ordinary drag across MinSize opens or closes the pane.
void TTavuSplitter::AfterDrag()
{
    if (!HasPane())
        return;
    const int size = PaneSize();
    if (size > MinSize && !open) {
        open = true;
        emit OnOpen();
    } else if (size <= MinSize && open) {
        open = false;
        emit OnClose();
    }
}

void TTavuSplitter::DragStarted()
{
    if (open && PaneSize() > MinSize)
        remembered = PaneSize();
}

// ---- TTavuSplitterHandle ----

TTavuSplitterHandle::TTavuSplitterHandle(Qt::Orientation orientation, TTavuSplitter *parent)
    : QSplitterHandle(orientation, parent)
{
    setMouseTracking(true);
}

TTavuSplitter *TTavuSplitterHandle::Owner() const
{
    return static_cast<TTavuSplitter *>(splitter());
}

QRect TTavuSplitterHandle::GripRect() const
{
    if (orientation() == Qt::Horizontal)   // a vertical handle between panes side by side
        return QRect(0, (height() - GripLength) / 2, width(), GripLength);
    return QRect((width() - GripLength) / 2, 0, GripLength, height());
}

void TTavuSplitterHandle::DrawTriangle(QPainter &painter, const QPoint &centre, bool pointsForward) const
{
    const int d = pointsForward ? 2 : -2;
    QPolygon triangle;
    if (orientation() == Qt::Horizontal)
        triangle << centre + QPoint(-d / 2, -2) << centre + QPoint(-d / 2, 2) << centre + QPoint(d / 2, 0);
    else
        triangle << centre + QPoint(-2, -d / 2) << centre + QPoint(2, -d / 2) << centre + QPoint(0, d / 2);
    painter.drawPolygon(triangle);
}

void TTavuSplitterHandle::paintEvent(QPaintEvent *event)
{
    QSplitterHandle::paintEvent(event);
    QPainter painter(this);
    const QRect grip = GripRect();
    painter.fillRect(grip, hot ? HotColor : GripColor);

    // The triangles point the way the pane goes on a click.
    const TTavuSplitter *owner = Owner();
    const bool forward = owner->PaneIndex == 0 ? !owner->IsOpen() : owner->IsOpen();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    const bool across = orientation() == Qt::Horizontal;
    const QPoint offset = across ? QPoint(0, GripLength / 2 - 5) : QPoint(GripLength / 2 - 5, 0);
    DrawTriangle(painter, grip.center() - offset, forward);
    DrawTriangle(painter, grip.center() + offset, forward);

    // The groove between them: a black line with a white one beside it.
    const QPoint c = grip.center();
    const int half = GripLength / 2 - 10;
    if (across) {
        painter.setPen(Qt::black);
        painter.drawLine(c.x() - 1, c.y() - half, c.x() - 1, c.y() + half);
        painter.setPen(Qt::white);
        painter.drawLine(c.x(), c.y() - half, c.x(), c.y() + half);
    } else {
        painter.setPen(Qt::black);
        painter.drawLine(c.x() - half, c.y() - 1, c.x() + half, c.y() - 1);
        painter.setPen(Qt::white);
        painter.drawLine(c.x() - half, c.y(), c.x() + half, c.y());
    }
}

void TTavuSplitterHandle::SetHot(bool on)
{
    if (hot == on)
        return;
    hot = on;
    if (hot) {
        savedCursor = cursor();
        setCursor(Owner()->ChevronCursor);
    } else {
        setCursor(savedCursor);
    }
    update();
}

void TTavuSplitterHandle::mousePressEvent(QMouseEvent *event)
{
    gripPressed = event->button() == Qt::LeftButton && GripRect().contains(event->position().toPoint());
    if (gripPressed)
        return;
    if (event->button() == Qt::LeftButton)
        Owner()->DragStarted();
    QSplitterHandle::mousePressEvent(event);
}

void TTavuSplitterHandle::mouseMoveEvent(QMouseEvent *event)
{
    SetHot(GripRect().contains(event->position().toPoint()));
    if (!gripPressed)
        QSplitterHandle::mouseMoveEvent(event);
}

void TTavuSplitterHandle::mouseReleaseEvent(QMouseEvent *event)
{
    if (!gripPressed) {
        QSplitterHandle::mouseReleaseEvent(event);
        return;
    }
    gripPressed = false;
    if (GripRect().contains(event->position().toPoint()))
        Owner()->GripClick();
    update();
}

void TTavuSplitterHandle::leaveEvent(QEvent *event)
{
    SetHot(false);
    QSplitterHandle::leaveEvent(event);
}
