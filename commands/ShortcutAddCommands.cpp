#include "commands/ShortcutAddCommands.h"

#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "settings/ShortcutDialog.h"

#include <QAction>
#include <algorithm>

TShortcutAddCommands::TShortcutAddCommands(TWindowFrameServices &frame, TTabServices &tabs, TBoardServices &boards,
                                           TThreadListServices &threadList,
                                           TBoardTreeServices &boardTree,
                                           QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), boards(boards), threadList(threadList), boardTree(boardTree)
{
    frame.BindAction(QStringLiteral("actThreadAddShortcut"), this, [this] { actThreadAddShortcutExecute(); });
    frame.BindAction(QStringLiteral("actThreadListAddShortcut"), this, [this] { actThreadListAddShortcutExecute(); });
    frame.BindAction(QStringLiteral("actBoardAddShortcut"), this, [this] { actBoardAddShortcutExecute(); });
    frame.BindAction(QStringLiteral("actThreadListBoardAddToShortcut"), this,
                        [this] { actThreadListBoardAddToShortcutExecute(); });
}

void TShortcutAddCommands::actThreadAddShortcutExecute()
{
    TTavuBrowser *browser = tabs.CurrentBrowser();
    if (browser && browser->ThreadItem())
        AddOrRemove({browser->ThreadItem()});
}

void TShortcutAddCommands::actThreadListAddShortcutExecute()
{
    AddOrRemove(threadList.SelectedThreads());
}

// Threads all on the bar already leave it; otherwise the others join the tab the user picks.
void TShortcutAddCommands::AddOrRemove(const QList<TThreadItem *> &items)
{
    if (items.isEmpty())
        return;
    if (std::all_of(items.begin(), items.end(), [](const TThreadItem *item) { return item->SHORTCUT; })) {
        for (TThreadItem *item : items) {
            BarsAndMenus::RemoveFromShortcutFile(item);
            item->SaveInfo();
        }
    } else {
        TShortcutDialog dialog(frame.Window());
        QList<TThreadItem *> added;
        for (TThreadItem *item : items) {
            if (item->SHORTCUT || !item->Site)
                continue;
            dialog.AddItem(skThread, item->ShownTitle(), item->GetKey(), item->BoardID, item->Site->SITEID);
            added << item;
        }
        dialog.FormShow();
        if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
            return;
        for (TThreadItem *item : added) {
            item->SHORTCUT = true;
            item->SaveInfo();
        }
    }
    for (TThreadItem *item : items)
        boards.ThreadStateChanged(item);
    boards.ShortcutsChanged();
}

void TShortcutAddCommands::actBoardAddShortcutExecute()
{
    AddBoard(boardTree.SelectedTreeBoard());
}

// With SHORTCUTBAR_ADDEDIT on, the shortcut-bar editor follows.
void TShortcutAddCommands::actThreadListBoardAddToShortcutExecute()
{
    const TTavuListDoc *doc = tabs.CurrentListDoc();
    if (!doc || !AddBoard(doc->GetBoard()) || !TavuConfig->SHORTCUTBAR_ADDEDIT)
        return;
    if (QAction *editor = frame.Action(QStringLiteral("actShortcutEdit")); editor && editor->isEnabled())
        editor->trigger();
}

// The shortcut dialog preset with the board; true when the user confirmed it.
bool TShortcutAddCommands::AddBoard(const TBoard *board)
{
    if (!board || !board->Site)
        return false;
    TShortcutDialog dialog(frame.Window());
    dialog.AddItem(skBoard, board->Name, board->ID, board->Site->SITEID);
    dialog.FormShow();
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return false;
    boards.ShortcutsChanged();
    return true;
}
