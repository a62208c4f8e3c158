#include "commands/ShortcutAddCommands.h"

#include "commands/WindowServices.h"
#include "core/Board.h"
#include "core/Site.h"
#include "core/ThreadItem.h"
#include "mainwindow/Dialogs.h"
#include "mainwindow/KpwServices.h"
#include "render/TavuBrowser.h"
#include "settings/ShortcutDialog.h"

#include <algorithm>

TShortcutAddCommands::TShortcutAddCommands(TWindowServices &services, QObject *parent)
    : QObject(parent), services(services)
{
    services.BindAction(QStringLiteral("actThreadAddShortcut"), this, [this] { actThreadAddShortcutExecute(); });
    services.BindAction(QStringLiteral("actThreadListAddShortcut"), this, [this] { actThreadListAddShortcutExecute(); });
    services.BindAction(QStringLiteral("actBoardAddShortcut"), this, [this] { actBoardAddShortcutExecute(); });
}

void TShortcutAddCommands::actThreadAddShortcutExecute()
{
    TTavuBrowser *browser = services.CurrentBrowser();
    if (browser && browser->ThreadItem())
        AddOrRemove({browser->ThreadItem()});
}

void TShortcutAddCommands::actThreadListAddShortcutExecute()
{
    AddOrRemove(services.SelectedThreads());
}

// Threads all on the bar already leave it; otherwise the others join the tab the user picks.
void TShortcutAddCommands::AddOrRemove(const QList<TThreadItem *> &items)
{
    if (items.isEmpty())
        return;
    if (std::all_of(items.begin(), items.end(), [](const TThreadItem *item) { return item->SHORTCUT; })) {
        for (TThreadItem *item : items) {
            Kpwfunc::RemoveFromShortcutFile(item);
            item->SaveInfo();
        }
    } else {
        TShortcutDialog dialog(services.Window());
        QList<TThreadItem *> added;
        for (TThreadItem *item : items) {
            if (item->SHORTCUT || !item->Site)
                continue;
            dialog.AddItem(skThread, item->ShownTitle(), item->GetKey(), item->BoardID, item->Site->SITEID);
            added << item;
        }
        dialog.FormShow();
        if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted)
            return;
        for (TThreadItem *item : added) {
            item->SHORTCUT = true;
            item->SaveInfo();
        }
    }
    for (TThreadItem *item : items)
        services.ThreadStateChanged(item);
    services.ShortcutsChanged();
}

void TShortcutAddCommands::actBoardAddShortcutExecute()
{
    const TBoard *board = services.SelectedTreeBoard();
    if (!board || !board->Site)
        return;
    TShortcutDialog dialog(services.Window());
    dialog.AddItem(skBoard, board->Name, board->ID, board->Site->SITEID);
    dialog.FormShow();
    if (Kpwfunc::ExecDialog(dialog) == QDialog::Accepted)
        services.ShortcutsChanged();
}
