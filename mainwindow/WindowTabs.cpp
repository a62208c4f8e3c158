// Opening URLs and the threads of the board tabs.

#include "mainwindow/WindowTabs.h"

#include "services/ThreadListPane.h"
#include "services/Urls.h"

#include "controls/BarsAndMenus.h"
#include "controls/ExtListView.h"
#include "core/BBS.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "mainwindow/ListPane.h"
#include "mainwindow/VarneloWindow.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

namespace WindowTabs {

void OpenSelectedThread(TVarneloWindow &window, bool newTab)
{
    TTavuListDoc *doc = nullptr;
    const int row = window.ListPane().View()->currentIndex().row();
    if (row < 0 || !window.Tabs().GetActiveListDoc(doc) || row >= doc->Items()->Count())
        return;
    if (!window.ListPane().View()->selectionModel()->isRowSelected(row, QModelIndex()))
        return;
    TThreadItem *item = doc->Items()->Get(row);
    if (!item->BBS)
        return;
    const QAction *browserPane = window.Action(QStringLiteral("actShowBrowser"));
    if (browserPane && !browserPane->isChecked() && TavuConfig->CHANGEPANE_BROWSER)
        window.Execute(QStringLiteral("actShowPaneChange"));
    item->DownloadRequest = true;
    window.OpenThread(item, false, newTab, true, 0, false, QString());
}

void RefreshThreadListItem(TVarneloWindow &window, TThreadItem *item)
{
    if (!item)
        return;
    for (TTavuListDoc *doc : window.Tabs().ListDocs()) {
        TThreadItemList *items = doc->Items();
        for (int row : ThreadListPane::RowsOfThread(*items, *item)) {
            TThreadItem *other = items->Get(row);
            if (other == item)
                continue;
            const int listed = other->AGECOUNT;
            other->TakeInfoOf(*item);
            other->AGECOUNT = listed;
            other->RaiseListedCount();
        }
    }
    RepaintThreadListRows(window, item);
}

void RepaintThreadListRows(TVarneloWindow &window, const TThreadItem *item)
{
    TTavuListDoc *active = nullptr;
    if (!item || !window.Tabs().GetActiveListDoc(active))
        return;
    TqorExtListView *view = window.ListPane().View();
    const TThreadItemList &items = *active->Items();
    const int bottom = view->viewport()->height();
    for (QModelIndex index = view->indexAt(QPoint(0, 0)); index.isValid() && view->visualRect(index).top() < bottom;
         index = view->indexBelow(index)) {
        const TThreadItem *listed = index.row() < items.Count() ? items.Peek(index.row()) : nullptr;
        if (listed && listed->IsSameThread(*item))
            view->Items()->UpdateItems(index.row(), index.row());
    }
}

// ---- opening URLs ----

void OpenUrl(TVarneloWindow &window, const QString &url, const QString &caption, bool activate, bool fromViewer)
{
    switch (TavuConfig->URL_OPENINVARNELO) {
    case 0:
    case 2:
        window.Tabs().NewWebPageTab(url, caption, activate)->FromViewer = fromViewer;
        break;
    case 1:
        Urls::OpenUrlExternal(url);
        break;
    default:
        break;
    }
}

}  // namespace WindowTabs
