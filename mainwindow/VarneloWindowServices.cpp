#include "mainwindow/VarneloWindowServices.h"

#include "mainwindow/VarneloWindow.h"

#include "controls/ExtListView.h"
#include "core/ResList.h"
#include "core/TextList.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"

#include <QItemSelectionModel>
#include <QMenu>
#include <algorithm>

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

// ---- bookmarks, history, export and the view preset ----

TTextList &TVarneloWindowServices::BookmarkIndex() const
{
    return *window.BookmarkList;
}

QString TVarneloWindowServices::BookmarkIndexFile() const
{
    return TVarneloWindow::BookmarkFile();
}

QList<TThreadItem *> TVarneloWindowServices::SelectedThreadItems() const
{
    QList<TThreadItem *> items;
    TTavuListDoc *doc = window.ShownListDoc();
    if (!doc || !window.ThreadListView->selectionModel())
        return items;
    QList<int> rows;
    for (const QModelIndex &index : window.ThreadListView->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    for (int row : rows)
        if (row < doc->Items()->Count())
            items.append(doc->Items()->Get(row));
    return items;
}

void TVarneloWindowServices::RenderResView(IResultView *view, TResList *list)
{
    window.BeginResView(view, list);
    for (int i = 0; i < list->Count(); ++i)
        window.AppendResToView(view, list, list->Get(i));
    window.EndResView(view);
}

QMenu *TVarneloWindowServices::Menu(const QString &name) const
{
    return window.findChild<QMenu *>(name);
}

void TVarneloWindowServices::StoreBarLayout()
{
    window.SaveCoolBarLayout();
}

void TVarneloWindowServices::ReloadBarLayout()
{
    window.ReloadBarLayout();
}
