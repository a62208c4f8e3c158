#include "mainwindow/VarneloWindowServices.h"

#include "mainwindow/VarneloWindow.h"

#include "controls/ExtListView.h"
#include "controls/MenuBar.h"

#include <QToolBar>

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

TWindowServices::TPanes TVarneloWindowServices::Panes() const
{
    TPanes panes;
    panes.TopSplitter = window.TopSplitter;
    panes.BoardListSplitter = window.MainSplitter;
    panes.BoardListPanel = window.BoardListPanel;
    panes.SiteComboBox = window.SiteComboBox;
    panes.BoardFilterCombo = window.BoardFilterCombo;
    panes.BoardListView = window.BoardListView;
    panes.BodyPanel = window.BodyPanel;
    panes.ThreadListSplitter = window.ThreadListSplitter;
    panes.ThreadListPanel = window.ThreadListPanel;
    panes.ThreadListTabPanel = window.ThreadListTabPanel;
    panes.ThreadListBar = window.ThreadListBar;
    panes.ThreadListView = window.ThreadListView;
    panes.BrowserPanel = window.BrowserPanel;
    panes.BrowserTabPanel = window.BrowserTabPanel;
    panes.BrowserBar = window.BrowserToolBar;
    panes.MessagePanel = window.MessagePanel;
    panes.LogPane = window.Memo1;
    panes.UrlComboBox = window.UrlComboBox;
    for (QToolBar *bar : window.CoolBarBands()) {
        if (bar != window.MenuBar1)
            panes.HeaderBars.append(bar);
    }
    panes.HintWindow = window.HintWindow;
    panes.ToolsMenu = window.Tool1;
    panes.VisitedBoardsMenu = window.GaishutuMenu;
    panes.VisitedBoardsBar = window.GaishutuToolBar;
    return panes;
}

TSite *TVarneloWindowServices::CurrentSite() const
{
    return window.CurrentSite();
}

void TVarneloWindowServices::RefillBoardTree()
{
    window.SiteComboBoxChange();
}

void TVarneloWindowServices::ApplyTabBarPositions()
{
    window.ApplyTabBarPositions();
}

QList<QIcon> TVarneloWindowServices::ActionImages() const
{
    return window.ActionImage;
}

void TVarneloWindowServices::CloseBoardTabs(TBoard *board)
{
    window.CloseBoardTabs(board);
}

TTavuListDoc *TVarneloWindowServices::NewResultTab(const QString &caption, TThreadItemList *items, TBoard *board)
{
    return window.NewResultTab(caption, items, board);
}
