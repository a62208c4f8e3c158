#pragma once
// TTavuSplitter: a splitter with a grip drawn in the middle of its handle. A click on the grip
// collapses the neighbouring pane to MinSize or gives it back the size it had; elsewhere the handle
// drags as usual. OnOpen and OnClose tell when the pane opens or closes, by the grip, by code
// (Open, Close) or by an ordinary drag across MinSize.
//
// The splitter holds two panes; the neighbouring pane is the one at PaneIndex (0: the first, left
// or top). Collapsing never hides the pane: it keeps MinSize pixels.

#include <QCursor>
#include <QSplitter>
#include <QSplitterHandle>

class TTavuSplitter : public QSplitter {
    Q_OBJECT
public:
    explicit TTavuSplitter(Qt::Orientation orientation, QWidget *parent = nullptr);

    QCursor ChevronCursor{Qt::PointingHandCursor};
    int MinSize = 1;
    int PaneIndex = 0;

    bool IsOpen() const { return open; }
    // The size the pane takes back when it opens.
    int RememberedSize() const { return remembered; }
    void SetRememberedSize(int size) { remembered = size; }
    // The pane's width (side by side) or height (one above the other); 0 without a pane.
    int PaneSize() const;
    bool HasPane() const;

    // Open gives the pane its remembered size; Close remembers the current size and shrinks the
    // pane to MinSize. Each fires its event and sets the state.
    void Open();
    void Close();
    // What a click on the grip does: a collapsed pane opens, an open one closes.
    void GripClick();
    // An ordinary drag begins: an open pane's size is what it opens to after the drag closed it.
    void DragStarted();

signals:
    void OnOpen();
    void OnClose();

protected:
    QSplitterHandle *createHandle() override;

private:
    bool open = true;
    int remembered = 0;

    void SetPaneSize(int size);
    void AfterDrag();
};

// The handle with the grip: 40 pixels long, centred, hot while the mouse is over it.
class TTavuSplitterHandle : public QSplitterHandle {
    Q_OBJECT
public:
    TTavuSplitterHandle(Qt::Orientation orientation, TTavuSplitter *parent);

    QRect GripRect() const;
    bool IsHot() const { return hot; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool hot = false;
    bool gripPressed = false;
    QCursor savedCursor;

    TTavuSplitter *Owner() const;
    void SetHot(bool on);
    void DrawTriangle(QPainter &painter, const QPoint &centre, bool pointsForward) const;
};
