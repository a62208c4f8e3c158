#include "commands/ThreadNoteCommands.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "tools/CommentDialog.h"
#include "tools/PriorityDialog.h"

TThreadNoteCommands::TThreadNoteCommands(TWindowFrameServices &frame, TTabServices &tabs, TThreadViewServices &views,
                                         TThreadListServices &threadList, QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), views(views), threadList(threadList)
{
    frame.BindAction(QStringLiteral("actThreadPriority"), this, [this] { actThreadPriorityExecute(false); });
    frame.BindAction(QStringLiteral("actThreadListPriority"), this, [this] { actThreadPriorityExecute(true); });
    frame.BindAction(QStringLiteral("actThreadComment"), this, [this] { actThreadCommentExecute(false); });
    frame.BindAction(QStringLiteral("actThreadListComment"), this, [this] { actThreadCommentExecute(true); });
}

// The selected threads (their .inf read again), or the current tab's thread.
QList<TThreadItem *> TThreadNoteCommands::Targets(bool fromList) const
{
    if (fromList) {
        const QList<TThreadItem *> items = threadList.SelectedThreads();
        for (TThreadItem *item : items)
            item->ReloadInfo();
        return items;
    }
    TTavuBrowser *tab = tabs.CurrentBrowser();
    if (!tab || tab->IsWebPage() || !tab->ThreadItem())
        return {};
    return {tab->ThreadItem()};
}

void TThreadNoteCommands::actThreadPriorityExecute(bool fromList)
{
    const QList<TThreadItem *> targets = Targets(fromList);
    if (targets.isEmpty())
        return;
    TPriorityDialog dialog(frame.Window());
    dialog.SetPriority(targets.first()->PRIORITY);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    for (TThreadItem *item : targets) {
        item->SetPriority(dialog.GetPriority());
        item->SaveInfo();
    }
    threadList.RepaintThreadList();
}

void TThreadNoteCommands::actThreadCommentExecute(bool fromList)
{
    const QList<TThreadItem *> targets = Targets(fromList);
    if (targets.isEmpty())
        return;
    TCommentDialog dialog(frame.Window());
    dialog.SetThreadItem(targets.first());
    Dialogs::ExecDialog(dialog);
    TTavuBrowser *tab = tabs.CurrentBrowser();
    if (tab && tab->ThreadItem() == targets.first())
        views.UpdateStatusCaption(targets.first());
}
