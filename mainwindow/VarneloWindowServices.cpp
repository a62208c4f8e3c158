#include "mainwindow/VarneloWindowServices.h"

#include "mainwindow/VarneloWindow.h"

#include "controls/ExtListView.h"
#include "core/TavuConfig.h"
#include "core/ThreadItemList.h"
#include "mainwindow/KpwBoardTree.h"
#include "mainwindow/KpwSearch.h"
#include "mainwindow/KpwServices.h"
#include "render/TavuListDoc.h"

#include <QItemSelectionModel>

QWidget *TVarneloWindowServices::Window() const
{
    return &window;
}

QAction *TVarneloWindowServices::Action(const QString &name) const
{
    return window.Action(name);
}

bool TVarneloWindowServices::BindAction(const QString &name, QObject *receiver, const std::function<void()> &handler)
{
    return window.ActionList1->Bind(name, receiver, [handler] { handler(); });
}

void TVarneloWindowServices::SetActionEnabled(const QString &name, bool enabled)
{
    if (QAction *action = window.Action(name))
        action->setEnabled(enabled && TActionList::HasHandler(action));
}

void TVarneloWindowServices::BeginBusy()
{
    window.BeginBusy();
}

void TVarneloWindowServices::EndBusy()
{
    window.EndBusy();
}

TTavuBrowser *TVarneloWindowServices::CurrentBrowser() const
{
    TTavuBrowser *tab = nullptr;
    return window.GetActiveBrowser(tab) ? tab : nullptr;
}

TTavuListDoc *TVarneloWindowServices::CurrentListDoc() const
{
    TTavuListDoc *doc = nullptr;
    return window.GetActiveListDoc(doc) ? doc : nullptr;
}

QList<TTavuBrowser *> TVarneloWindowServices::Browsers() const
{
    return window.Browsers;
}

QList<TTavuListDoc *> TVarneloWindowServices::ListDocs() const
{
    return window.ListDocs;
}

void TVarneloWindowServices::OpenThread(TThreadItem *item, bool reload, bool newTab, bool activate, int resNumber)
{
    window.OpenThread(item, reload, newTab, activate, resNumber, false, QString());
}

void TVarneloWindowServices::OpenBoard(TBoard *board, bool reload)
{
    window.StartThreadListDownload(board, reload, false);
}

TTavuActionList *TVarneloWindowServices::ResRules() const
{
    return window.ResRules.get();
}

TTavuActionList *TVarneloWindowServices::ThreadRules() const
{
    return window.ThreadRules.get();
}

// ---- filters, erasing, log search and notices ----

QList<TThreadItem *> TVarneloWindowServices::SelectedThreads() const
{
    QList<TThreadItem *> items;
    TTavuListDoc *doc = window.ShownListDoc();
    if (!doc)
        return items;
    for (int row : window.ThreadListView->SelectedRows()) {
        if (row < doc->Items()->Count())
            items << doc->Items()->Get(row);
    }
    return items;
}

bool TVarneloWindowServices::SelectThreadRow(TThreadItem *item)
{
    TTavuListDoc *doc = window.ShownListDoc();
    const int row = doc ? doc->Items()->IndexOf(item) : -1;
    if (row < 0 || row >= doc->DisplayCount())
        return false;
    TqorExtListView *view = window.ThreadListView;
    view->clearSelection();
    const QModelIndex index = view->model()->index(row, 0);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(index);
    return true;
}

void TVarneloWindowServices::ThreadListChanged(TTavuListDoc *doc)
{
    if (doc == window.ShownListDoc())
        window.SetThreadListRowCount(doc->DisplayCount(), true);
    window.UpdateThreadListMenu();
}

TTavuListDoc *TVarneloWindowServices::NewResultListDoc(const QString &caption, TThreadItemList *items)
{
    TTavuListDoc *doc = nullptr;
    Kpwfunc::NewListDoc(doc, items, TTavuListDoc::lmFilter, true, caption, nullptr);
    for (int i = 0; i < items->Count(); ++i)
        doc->ArrivalItems()->Add(items->Get(i));
    doc->DownloadState = TTavuListDoc::dsIdle;
    doc->UpdateTabImage();
    doc->SetDisplayCount(items->Count());
    window.SetThreadListRowCount(doc->DisplayCount(), false);
    window.UpdateThreadListMenu();
    return doc;
}

TTavuBrowser *TVarneloWindowServices::FilterResView(const Kpwfunc::TResSearch &search)
{
    return window.FilterResView(search);
}

void TVarneloWindowServices::RefreshResView()
{
    window.RefreshResView();
}

void TVarneloWindowServices::UpdateStatusCaption(TThreadItem *item)
{
    window.UpdateStatusCaption(item);
}

void TVarneloWindowServices::ShowResInPreview(TThreadItem *item, const TRes &res)
{
    Kpwfunc::ShowResInPreview(item, res);
}

void TVarneloWindowServices::ApplySkinChange()
{
    window.ApplySkinChange();
}

QList<QAction *> TVarneloWindowServices::WindowActions() const
{
    return window.ActionList1->Actions();
}

void TVarneloWindowServices::LoadToolsMenu(const std::function<void(TToolMenuItem *)> &launch)
{
    window.ToolLauncher = launch;
    Kpwfunc::LoadToolsMenu(window.Tool1, TavuConfig->GetProfileDir() + QStringLiteral("tool.txt"), launch);
}

void TVarneloWindowServices::ReloadThreadListColumns()
{
    window.ReloadThreadListColumns();
}

void TVarneloWindowServices::ReloadToolBarsAndMenus()
{
    window.RestoreToolBarsAndMenus();
}

void TVarneloWindowServices::ReloadShortcutBars()
{
    window.LoadShortcutBars();
}
