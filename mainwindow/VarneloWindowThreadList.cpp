// The window's side of the thread-list pane (TListPane, mainwindow/ListPane.h), which owns the view,
// its board tabs and the thread-list flow: a row opens its thread through the window, a notice-rule
// hit goes to the notice window, and the window shows the flow's progress, status text and block
// page and tracks its workers. Also the window's side of the board pane.

#include "mainwindow/VarneloWindow.h"

#include "commands/NoticeCommands.h"
#include "commands/ShortcutBarCommands.h"
#include "controls/BarsAndMenus.h"
#include "core/Site.h"
#include "core/ThreadItem.h"
#include "flows/ThreadListController.h"
#include "flows/UpdateCheckController.h"
#include "mainwindow/BoardPane.h"
#include "mainwindow/ListPane.h"
#include "mainwindow/VarneloWindowStatusBar.h"

#include <QAction>

// ---- set-up ----

void TVarneloWindow::BindListPane()
{
    connect(listPane, &TListPane::ThreadNoticed, this, [this](const QString &text, TThreadItem *item) {
        if (Notices)
            Notices->AddThreadNotice(text, item);
    });
    connect(listPane, &TListPane::ProgressEnded, ProgressBar, &TStatusProgress::Reset);
    TThreadListController *flow = &listPane->Flow();
    connect(flow, &TThreadListController::WorkerStarted, this, &TVarneloWindow::TrackWorker);
    connect(flow, &TThreadListController::Progress, this, &TVarneloWindow::ShowFlowProgress);
    connect(flow, &TThreadListController::StatusText, this, &TVarneloWindow::ShowFlowStatus);
    connect(flow, &TThreadListController::BlockPageFound, this, &TVarneloWindow::ShowBlockPage);
}

// The board pane's site changes the BBS menu; its site and its current node change the board
// commands.
void TVarneloWindow::BindBoardTree()
{
    connect(boardPane, &TBoardPane::SiteShown, this, [this](TSite *site) {
        BarsAndMenus::LoadSiteFunctionMenu(BBSFunc, site, *ActionList1, ShowOptionsAt());
        UpdateBoardListMenu();
    });
    connect(boardPane, &TBoardPane::CurrentNodeChanged, this, &TVarneloWindow::UpdateBoardListMenu);
}

// ---- boards ----

void TVarneloWindow::ReloadBBSBar()
{
    LoadBBSBar();
}

void TVarneloWindow::ThreadStateChanged(TThreadItem *item)
{
    listPane->RefreshThreadListItem(item);
    UpdateThreadListMenu();
    UpdateBrowserMenu();
}

void TVarneloWindow::ShortcutsChanged()
{
    shortcutBars->LoadShortcutBars();
}

bool TVarneloWindow::UpdateCheckRunning() const
{
    return UpdateChecks && UpdateChecks->CheckRunning;
}

bool TVarneloWindow::StopCheckOf(TTavuListDoc *doc)
{
    return UpdateChecks->StopCheckOf(doc);
}

// The block page shows in a tab, the browser pane in view.
void TVarneloWindow::ShowBlockPage(const QString &url)
{
    OpenWebPage(url, QStringLiteral("ようこそバーボンハウスへ"));
    const QAction *browserPane = Action(QStringLiteral("actShowBrowser"));
    if (browserPane && !browserPane->isChecked())
        Execute(QStringLiteral("actShowPaneChange"));
}
