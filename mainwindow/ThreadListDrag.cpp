#include "mainwindow/ThreadListDrag.h"

#include "controls/BoardTree.h"
#include "controls/Dialogs.h"
#include "controls/DragDrop.h"
#include "controls/ExtListView.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/Exceptions.h"
#include "services/FavoriteFolders.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTreeWidget>

TThreadListDrag::TThreadListDrag(TBoardServices &boards, TThreadListServices &threadList, TqorExtListView *list,
                                 QTreeWidget *tree, QObject *parent)
    : QObject(parent), boards(boards), threadList(threadList), list(list), tree(tree), listViewport(list->viewport()),
      treeViewport(tree->viewport())
{
    list->viewport()->installEventFilter(this);
    tree->setAcceptDrops(true);
    tree->viewport()->setAcceptDrops(true);
    tree->viewport()->installEventFilter(this);
}

const QString &TThreadListDrag::MimeType()
{
    static const QString type = QStringLiteral("application/x-varnelo-threads");
    return type;
}

void TThreadListDrag::StartDrag()
{
    if (threadList.SelectedThreads().isEmpty())
        return;
    DragDrop::Run(list, MimeType(), Qt::CopyAction);
}

bool TThreadListDrag::Drop(QDropEvent *event)
{
    const TBoard *folder = BoardTree::NodeBoard(tree->itemAt(event->position().toPoint()));
    if (!folder || folder->Kind != TBoard::KIND_FAVORITES)
        return false;
    const QList<TThreadItem *> items = threadList.SelectedThreads();
    try {
        FavoriteFolders::AddThreads(folder, items, true);
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
    for (TThreadItem *item : items)
        boards.ThreadStateChanged(item);
    event->acceptProposedAction();
    return true;
}

bool TThreadListDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == listViewport) {
        if (!dragStart.Begins(event))
            return false;
        StartDrag();
        return true;
    }
    if (watched != treeViewport)
        return false;
    return DragDrop::FilterTargetEvent(
        event, [](const QMimeData &data) { return data.hasFormat(MimeType()); },
        [this](QDropEvent *drop) { return Drop(drop); });
}
