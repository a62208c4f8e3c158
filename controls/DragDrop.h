#pragma once
// DragDrop: what every drag between the window's lists does alike. A drag carries only a marker
// type (the source knows what is selected); the source starts it once the pressed left button has
// moved the start-drag distance, and a target lets in the drags whose marker it takes.

#include <QPoint>
#include <Qt>

#include <functional>

class QDropEvent;
class QEvent;
class QMimeData;
class QString;
class QWidget;

namespace DragDrop {

// Follows the mouse over a drag source: remembers where the left button went down and tells when
// the mouse has moved far enough from there to begin a drag.
class TDragStart {
public:
    // Fed the source's events; true on the mouse move that begins a drag.
    bool Begins(const QEvent *event);
    QPoint PressedAt() const { return pressedAt; }

private:
    QPoint pressedAt;
};

// Starts a drag from `source` carrying the marker `mimeType`, and returns when it ends.
void Run(QWidget *source, const QString &mimeType, Qt::DropAction action);

// A drop target's share of an event filter: a drag whose data `accepts` takes is let in, and its
// drop is handed to `drop`. True when the event was used.
bool FilterTargetEvent(QEvent *event, const std::function<bool(const QMimeData &)> &accepts,
                       const std::function<bool(QDropEvent *)> &drop);

}  // namespace DragDrop
