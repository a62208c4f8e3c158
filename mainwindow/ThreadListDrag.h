#pragma once
// TThreadListDrag: the selected rows of the thread list dragged onto a favourites folder of the board
// tree join the end of that folder's file (each thread marked a favourite, its .inf saved).

#include "controls/DragDrop.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class QDropEvent;
class QTreeWidget;
class TqorExtListView;
class TBoardServices;
class TThreadListServices;

class TThreadListDrag : public QObject {
    Q_OBJECT
public:
    TThreadListDrag(TBoardServices &boards, TThreadListServices &threadList, TqorExtListView *list, QTreeWidget *tree,
                    QObject *parent);

    static const QString &MimeType();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TBoardServices &boards;
    TThreadListServices &threadList;
    TqorExtListView *list;
    QTreeWidget *tree;
    QPointer<QWidget> listViewport;   // compared only: the views may go first while the window closes
    QPointer<QWidget> treeViewport;
    DragDrop::TDragStart dragStart;

    void StartDrag();
    bool Drop(QDropEvent *event);
};
