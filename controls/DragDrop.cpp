#include "controls/DragDrop.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>

namespace DragDrop {

bool TDragStart::Begins(const QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        pressedAt = static_cast<const QMouseEvent *>(event)->position().toPoint();
        return false;
    }
    if (event->type() != QEvent::MouseMove)
        return false;
    const auto *mouse = static_cast<const QMouseEvent *>(event);
    return (mouse->buttons() & Qt::LeftButton)
           && (mouse->position().toPoint() - pressedAt).manhattanLength() >= QApplication::startDragDistance();
}

void Run(QWidget *source, const QString &mimeType, Qt::DropAction action)
{
    auto *drag = new QDrag(source);
    auto *data = new QMimeData;
    data->setData(mimeType, QByteArray());
    drag->setMimeData(data);
    drag->exec(action);
}

bool FilterTargetEvent(QEvent *event, const std::function<bool(const QMimeData &)> &accepts,
                       const std::function<bool(QDropEvent *)> &drop)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (!accepts(*drag->mimeData()))
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *dropEvent = static_cast<QDropEvent *>(event);
        return accepts(*dropEvent->mimeData()) && drop(dropEvent);
    }
    default:
        return false;
    }
}

}  // namespace DragDrop
