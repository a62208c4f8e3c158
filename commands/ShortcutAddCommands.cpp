#include "commands/ShortcutAddCommands.h"

#include "commands/WindowServices.h"
#include "core/Board.h"
#include "core/Site.h"
#include "core/ThreadItem.h"
#include "mainwindow/Dialogs.h"
#include "mainwindow/KpwServices.h"
#include "render/TavuBrowser.h"
#include "settings/ShortcutDialog.h"

TShortcutAddCommands::TShortcutAddCommands(TWindowServices &services, QObject *parent)
    : QObject(parent), services(services)
{
    services.BindAction(QStringLiteral("actThreadAddShortcut"), this, [this] { actThreadAddShortcutExecute(); });
    services.BindAction(QStringLiteral("actBoardAddShortcut"), this, [this] { actBoardAddShortcutExecute(); });
}

void TShortcutAddCommands::actThreadAddShortcutExecute()
{
    TTavuBrowser *browser = services.CurrentBrowser();
    TThreadItem *item = browser ? browser->ThreadItem() : nullptr;
    if (!item || !item->Site)
        return;
    if (item->SHORTCUT) {
        Kpwfunc::RemoveFromShortcutFile(item);
        item->SaveInfo();
    } else {
        TShortcutDialog dialog(services.Window());
        dialog.AddItem(skThread, item->ShownTitle(), item->GetKey(), item->BoardID, item->Site->SITEID);
        dialog.FormShow();
        if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted)
            return;
        item->SHORTCUT = true;
        item->SaveInfo();
    }
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
