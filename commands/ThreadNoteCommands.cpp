#include "commands/ThreadNoteCommands.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "tools/CommentDialog.h"
#include "tools/PriorityDialog.h"

TThreadNoteCommands::TThreadNoteCommands(TWindowServices &services, QObject *parent)
    : QObject(parent), services(services)
{
    services.BindAction(QStringLiteral("actThreadPriority"), this, [this] { actThreadPriorityExecute(false); });
    services.BindAction(QStringLiteral("actThreadListPriority"), this, [this] { actThreadPriorityExecute(true); });
    services.BindAction(QStringLiteral("actThreadComment"), this, [this] { actThreadCommentExecute(false); });
    services.BindAction(QStringLiteral("actThreadListComment"), this, [this] { actThreadCommentExecute(true); });
}

// The selected threads (their .inf read again), or the current tab's thread.
QList<TThreadItem *> TThreadNoteCommands::Targets(bool fromList) const
{
    if (fromList) {
        const QList<TThreadItem *> items = services.SelectedThreads();
        for (TThreadItem *item : items)
            item->ReloadInfo();
        return items;
    }
    TTavuBrowser *tab = services.CurrentBrowser();
    if (!tab || tab->IsWebPage() || !tab->ThreadItem())
        return {};
    return {tab->ThreadItem()};
}

void TThreadNoteCommands::actThreadPriorityExecute(bool fromList)
{
    const QList<TThreadItem *> targets = Targets(fromList);
    if (targets.isEmpty())
        return;
    TPriorityDialog dialog(services.Window());
    dialog.SetPriority(targets.first()->PRIORITY);
    if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted)
        return;
    for (TThreadItem *item : targets) {
        item->SetPriority(dialog.GetPriority());
        item->SaveInfo();
    }
    services.RepaintThreadList();
}

void TThreadNoteCommands::actThreadCommentExecute(bool fromList)
{
    const QList<TThreadItem *> targets = Targets(fromList);
    if (targets.isEmpty())
        return;
    TCommentDialog dialog(services.Window());
    dialog.SetThreadItem(targets.first());
    Kpwfunc::ExecDialog(dialog);
    TTavuBrowser *tab = services.CurrentBrowser();
    if (tab && tab->ThreadItem() == targets.first())
        services.UpdateStatusCaption(targets.first());
}
