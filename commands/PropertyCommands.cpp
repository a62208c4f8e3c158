#include "commands/PropertyCommands.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "settings/PropertyWindow.h"

TPropertyCommands::TPropertyCommands(TWindowFrameServices &frame, TTabServices &tabs, TBoardServices &boards,
                                     TThreadListServices &threadList,
                                     TBoardTreeServices &boardTree,
                                     QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), boards(boards), threadList(threadList), boardTree(boardTree)
{
    frame.BindAction(QStringLiteral("actThreadProperty"), this, [this] { actThreadPropertyExecute(); });
    frame.BindAction(QStringLiteral("actThreadListProperty"), this, [this] { actThreadListPropertyExecute(); });
    frame.BindAction(QStringLiteral("actBoardProperty"), this, [this] { actBoardPropertyExecute(); });
}

void TPropertyCommands::actThreadPropertyExecute()
{
    if (TTavuBrowser *browser = tabs.CurrentBrowser())
        ShowThread(browser->ThreadItem());
}

void TPropertyCommands::actThreadListPropertyExecute()
{
    const QList<TThreadItem *> selected = threadList.SelectedThreads();
    if (!selected.isEmpty())
        ShowThread(selected.first());
}

void TPropertyCommands::actBoardPropertyExecute()
{
    const TBoard *board = boardTree.SelectedTreeBoard();
    if (!board)
        return;
    TPropertyWindow window(frame.Window());
    window.SetBoard(board);
    Dialogs::ExecDialog(window);
}

void TPropertyCommands::ShowThread(TThreadItem *item)
{
    if (!item)
        return;
    const TBoard *folder = item->GetBoard();
    int result = QDialog::Rejected;
    {
        TPropertyWindow window(frame.Window());
        window.SetThreadItem(item);
        result = Dialogs::ExecDialog(window);
    }
    if (result == QDialog::Accepted)
        boards.ThreadStateChanged(item);
    if (item->GetBoard() != folder)
        LeaveFolderLists(folder, item->GetKey());   // the item may be gone afterwards
}

void TPropertyCommands::LeaveFolderLists(const TBoard *folder, const QString &key)
{
    for (TTavuListDoc *doc : tabs.ListDocs()) {
        if (!folder || doc->GetBoard() != folder)
            continue;
        TThreadItemList *items = doc->Items();
        for (int i = items->Count() - 1; i >= 0; --i) {
            if (items->Get(i)->GetKey() != key)
                continue;
            const int shown = doc->DisplayCount();
            items->Delete(i);
            doc->SetDisplayCount(i < shown ? shown - 1 : shown);
        }
        threadList.ThreadListChanged(doc);
    }
}
