#include "mainwindow/ThreadListDrag.h"

#include "commands/WindowServices.h"
#include "controls/ExtListView.h"
#include "core/Board.h"
#include "core/Exceptions.h"
#include "mainwindow/Dialogs.h"
#include "mainwindow/KpwBoardTree.h"
#include "settings/FavoriteFolders.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTreeWidget>

TThreadListDrag::TThreadListDrag(TWindowServices &services, TqorExtListView *list, QTreeWidget *tree, QObject *parent)
    : QObject(parent), services(services), list(list), tree(tree), listViewport(list->viewport()),
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
    if (services.SelectedThreads().isEmpty())
        return;
    auto *drag = new QDrag(list);
    auto *data = new QMimeData;
    data->setData(MimeType(), QByteArray());
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

bool TThreadListDrag::Drop(QDropEvent *event)
{
    const TBoard *folder = Kpwfunc::NodeBoard(tree->itemAt(event->position().toPoint()));
    if (!folder || folder->Kind != TBoard::KIND_FAVORITES)
        return false;
    const QList<TThreadItem *> items = services.SelectedThreads();
    try {
        FavoriteFolders::AddThreads(folder, items, true);
    } catch (const EVarnelo &e) {
        Kpwfunc::ShowMessage(Kpwfunc::mkError, e.Message);
    }
    for (TThreadItem *item : items)
        services.ThreadStateChanged(item);
    event->acceptProposedAction();
    return true;
}

bool TThreadListDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != listViewport && watched != treeViewport)
        return false;
    if (watched == listViewport) {
        if (event->type() == QEvent::MouseButtonPress) {
            dragStart = static_cast<QMouseEvent *>(event)->position().toPoint();
        } else if (event->type() == QEvent::MouseMove) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if ((mouse->buttons() & Qt::LeftButton)
                && (mouse->position().toPoint() - dragStart).manhattanLength() >= QApplication::startDragDistance()) {
                StartDrag();
                return true;
            }
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (!drag->mimeData()->hasFormat(MimeType()))
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        return drop->mimeData()->hasFormat(MimeType()) && Drop(drop);
    }
    default:
        return false;
    }
}
