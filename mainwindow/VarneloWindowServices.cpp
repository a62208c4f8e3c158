#include "mainwindow/VarneloWindowServices.h"

#include "mainwindow/KpwBoardTree.h"
#include "mainwindow/VarneloWindow.h"
#include "controls/ExtListView.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

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

TSite *TVarneloWindowServices::CurrentSite() const
{
    return window.CurrentSite();
}

void TVarneloWindowServices::ShowSiteBoards(TSite *site)
{
    if (site == window.CurrentSite())
        window.RefillBoardTree(site);
    else
        window.SelectSite(site);
}

bool TVarneloWindowServices::BoardListsBusy()
{
    return Kpwfunc::BoardListsBusy();
}

bool TVarneloWindowServices::FindInBoardTree(const QString &text, bool fromNext)
{
    QList<QTreeWidgetItem *> nodes;
    for (QTreeWidgetItemIterator it(window.BoardListView); *it; ++it)
        nodes << *it;
    const qsizetype start = fromNext ? nodes.indexOf(window.BoardListView->currentItem()) + 1 : 0;
    for (qsizetype i = start; i < nodes.size(); ++i) {
        if (nodes.at(i)->text(0).toLower().contains(text.toLower())) {
            window.BoardListView->setCurrentItem(nodes.at(i));
            window.BoardListView->scrollToItem(nodes.at(i));
            return true;
        }
    }
    return false;
}

TBoard *TVarneloWindowServices::SelectedTreeBoard() const
{
    return Kpwfunc::NodeBoard(window.BoardListView->currentItem());
}

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

void TVarneloWindowServices::ThreadStateChanged(TThreadItem *item)
{
    Kpwfunc::RefreshThreadListItem(item);
    window.UpdateThreadListMenu();
    window.UpdateBrowserMenu();
}

void TVarneloWindowServices::ShortcutsChanged()
{
    window.LoadShortcutBars();
}
