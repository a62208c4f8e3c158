#include "commands/BrowserTabDrag.h"

#include "controls/Dialogs.h"
#include "controls/DragDrop.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/Exceptions.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "services/FavoriteFolders.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChildEvent>
#include <QDropEvent>
#include <QMimeData>

TBrowserTabDrag::TBrowserTabDrag(TTabServices &tabs, TBoardServices &boards, TBoardTreeServices &boardTree,
                                 TLayoutServices &layout, QObject *parent)
    : QObject(parent), tabs(tabs), boards(boards), boardTree(boardTree), layout(layout),
      dropTarget(boardTree.TabDropTarget())
{
    // Tab buttons come and go: each one is watched as it joins the bar.
    layout.WatchBrowserTabBar(this);
    dropTarget->installEventFilter(this);
}

const QString &TBrowserTabDrag::MimeType()
{
    static const QString type = QStringLiteral("application/x-varnelo-browser-tab");
    return type;
}

bool TBrowserTabDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == dropTarget)
        return TreeEvent(event);
    // (A button made with the bar as its parent is a button only once polished.)
    if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildPolished) {
        if (auto *button = qobject_cast<QAbstractButton *>(static_cast<QChildEvent *>(event)->child()))
            button->installEventFilter(this);
        return false;
    }
    if (auto *button = qobject_cast<QAbstractButton *>(watched))
        return ButtonEvent(button, event);
    return false;
}

bool TBrowserTabDrag::ButtonEvent(QAbstractButton *button, QEvent *event)
{
    if (!dragStart.Begins(event))
        return false;
    StartDrag(button);
    return true;
}

void TBrowserTabDrag::StartDrag(QAbstractButton *button)
{
    DraggedTab = nullptr;
    for (TTavuBrowser *tab : tabs.Browsers()) {
        if (tab->TabButton == button)
            DraggedTab = tab;
    }
    if (!DraggedTab)
        return;
    button->setDown(false);
    DragDrop::Run(button, MimeType(), Qt::CopyAction);
}

bool TBrowserTabDrag::TreeEvent(QEvent *event)
{
    return DragDrop::FilterTargetEvent(
        event, [](const QMimeData &data) { return data.hasFormat(MimeType()); },
        [this](QDropEvent *drop) { return Drop(drop); });
}

bool TBrowserTabDrag::Drop(QDropEvent *event)
{
    event->acceptProposedAction();
    TBoard *folder = nullptr;
    if (boardTree.TreeNodeAt(event->position().toPoint(), folder) && !folder) {
        QApplication::beep();   // a category
        return true;
    }
    TThreadItem *item = DraggedTab && !DraggedTab->IsWebPage() ? DraggedTab->ThreadItem() : nullptr;
    if (!folder || folder->Kind != TBoard::KIND_FAVORITES || !item || item->FAVORITE)
        return true;
    try {
        FavoriteFolders::AddThreads(folder, {item}, true);
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
    boards.ThreadStateChanged(item);
    return true;
}
