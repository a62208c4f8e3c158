#include "commands/EraseCommands.h"

#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/Exceptions.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "services/EraseRestore.h"
#include "tools/AboneDialog.h"
#include "tools/ReboneDialog.h"

namespace {

bool SaveModeOn()
{
    if (TavuEnviron->GetCached())
        return true;
    Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("保存モードの場合のみ実行可能です。"));
    return false;
}

// A thread tab whose posts are all in hand (not while it is being opened or fetched).
TTavuBrowser *IdleThreadTab(const TTabServices &tabs)
{
    TTavuBrowser *tab = tabs.CurrentBrowser();
    if (!tab || tab->IsWebPage() || !tab->ThreadItem() || !tab->ResList())
        return nullptr;
    if (tab->DownloadState != TTavuBrowser::dsIdle) {
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("ダウンロードが完了していません。"));
        return nullptr;
    }
    return tab;
}

}  // namespace

TEraseCommands::TEraseCommands(TWindowFrameServices &frame, TTabServices &tabs, TThreadViewServices &views,
                               TThreadListServices &threadList, QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), views(views), threadList(threadList)
{
    frame.BindAction(QStringLiteral("actThreadQueryAbone"), this, [this] { actThreadQueryAboneExecute(); });
    frame.BindAction(QStringLiteral("actThreadListQueryAbone"), this, [this] { actThreadListQueryAboneExecute(); });
    frame.BindAction(QStringLiteral("actThreadRebone"), this, [this] { actThreadReboneExecute(); });
    frame.BindAction(QStringLiteral("actThreadListRebone"), this, [this] { actThreadListReboneExecute(); });
}

void TEraseCommands::actThreadQueryAboneExecute()
{
    if (!SaveModeOn())
        return;
    TTavuBrowser *tab = IdleThreadTab(tabs);
    if (!tab)
        return;
    TAboneDialog dialog(frame.Window());
    dialog.OnLog = [this](TAboneDialog *, const QString &line) { views.AddLog(line); };
    dialog.SetResList(tab->ResList());
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    TThreadItem *item = tab->ThreadItem();
    try {
        EraseRestore::StoreEraseMarks(item, *tab->ResList());
    } catch (const EFileError &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
    item->SaveInfo();
    views.RefreshResView();
}

// The selected threads; those erased leave the thread list.
void TEraseCommands::actThreadListQueryAboneExecute()
{
    if (!SaveModeOn())
        return;
    TTavuListDoc *doc = tabs.CurrentListDoc();
    if (!doc)
        return;
    TThreadItemList selected;
    for (TThreadItem *item : threadList.SelectedThreads())
        selected.Add(item);
    TAboneDialog dialog(frame.Window());
    dialog.OnLog = [this](TAboneDialog *, const QString &line) { views.AddLog(line); };
    dialog.SetThreadList(&selected);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted || dialog.ErasedCount() == 0)
        return;
    TThreadItemList *items = doc->Items();
    for (int i = items->Count() - 1; i >= 0; --i) {
        if (items->Get(i)->ABONE)
            items->Delete(i);
    }
    doc->SetDisplayCount(std::min(doc->DisplayCount(), items->Count()));
    threadList.ThreadListChanged(doc);
}

void TEraseCommands::actThreadReboneExecute()
{
    TTavuBrowser *tab = IdleThreadTab(tabs);
    if (!tab)
        return;
    TReboneDialog dialog(frame.Window());
    dialog.SetResList(tab->ThreadItem(), tab->ResList());
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted)
        views.RefreshResView();
}

void TEraseCommands::actThreadListReboneExecute()
{
    TTavuListDoc *doc = tabs.CurrentListDoc();
    if (!doc || !doc->GetBoard())
        return;
    TReboneDialog dialog(frame.Window());
    for (TThreadItem *item : EraseRestore::ErasedThreads(doc->GetBoard(), doc->ArrivalItems())) {
        dialog.AddThread(item);
        item->Release();
    }
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted)
        Dialogs::ShowMessage(Dialogs::mkInformation, QStringLiteral("次回リロード時に復元スレッドが表示されます。"));
}
