// The thread-list pane: opening a board fills its board tab with the board's thread list,
// downloaded or stored, by the thread-list flow (ThreadLists, flows/ThreadListController.h), whose
// reports the pane shows; the pane binds its view to the tab it shows and draws its rows through
// TThreadListRowPainter. The commands of that tab and its rows, sorting by a column among them,
// are TThreadListTabCommands (commands/).
//
// A tab that is closed or refilled while its download runs lets go of it (DetachListDoc): what the
// download still reports is dropped, so nothing is ever written into a tab that is gone.

#include "mainwindow/VarneloWindow.h"

#include "commands/NoticeCommands.h"
#include "controls/BarsAndMenus.h"
#include "controls/BoardTree.h"
#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
#include "controls/TabButton.h"
#include "controls/ThreadListRowPainter.h"
#include "controls/UserFiles.h"
#include "controls/WindowEvents.h"
#include "controls/WindowLists.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "core/ThreadListDownloader.h"
#include "flows/ShutdownSequence.h"
#include "flows/ThreadListController.h"
#include "flows/UpdateCheckController.h"
#include "mainwindow/BoardPane.h"
#include "mainwindow/VarneloWindowStatusBar.h"
#include "mainwindow/WindowTabs.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "render/TavuListDoc.h"
#include "services/TavuCheck.h"
#include "services/ThreadListPane.h"
#include "services/Urls.h"

#include <QGuiApplication>
#include <QPainter>
#include <QShortcut>
#include <QTextDocument>
#include <QToolBar>

// ---- set-up ----

void TVarneloWindow::BindThreadListPane()
{
    BindThreadListFlow();
    TqorExtListView *view = ThreadListView;
    view->SetVirtualMode(true);
    view->SetStyle(lvOwnerDrawFixed);
    view->SetExtendedStyles(lvxFullRowSelect | lvxInfoTip | lvxLabelTip);
    view->SetRowSelect(true);
    view->SetMultiSelect(true);
    view->SetReadOnly(true);
    view->SetAutoColumnSort(acsNoSort);
    view->SetShowSortArrows(true);
    auto painter = std::make_shared<TThreadListRowPainter>(RowGlyphs, Lists->ThreadListColumns, *TavuConfig);
    view->OnDrawItem = [this, painter](TCustomEnhListView *, QPainter *canvas, int row, const QRect &,
                                       TOwnerDrawState state, bool &defaultDrawing, bool &fullRowSelect) {
        painter->PrepareRow(*canvas, shownListDoc, row, state.testFlag(odSelected));
        defaultDrawing = true;
        fullRowSelect = true;
    };
    view->OnDrawSubItem = [this, painter](TCustomEnhListView *, QPainter *canvas, int row, int column,
                                          const QRect &rect, TOwnerDrawState state, bool &defaultDrawing) {
        painter->DrawCell(*canvas, shownListDoc, row, column, rect, state.testFlag(odSelected));
        defaultDrawing = false;
    };
    view->OnAfterDefaultDrawItem = [this, painter](TCustomEnhListView *, QPainter *canvas, int row, const QRect &rect,
                                                   TOwnerDrawState) {
        painter->DrawHeadlineSeparator(*canvas, shownListDoc, row, rect, ThreadListView->viewport()->width(),
                                       palette().color(QPalette::WindowText));
    };
    view->OnInfoTip = [this, painter](TCustomExtListView *, int row, int, const QString &, QString &additional) {
        additional = painter->Tip(shownListDoc, row);
    };
    view->OnColumnClick = [this](TCustomEnhListView *, int column) { emit events->ThreadListColumnClicked(column); };
    connect(view, &QAbstractItemView::clicked, this, [this] { ThreadListViewOpen(false); });
    connect(view, &QAbstractItemView::doubleClicked, this, [this] { ThreadListViewOpen(true); });
    for (const QKeySequence &key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)})
        connect(new QShortcut(key, view, nullptr, nullptr, Qt::WidgetShortcut), &QShortcut::activated, this,
                [this] { WindowTabs::OpenSelectedThread(*this); });
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TVarneloWindow::UpdateThreadListMenu);

    TTavuListDoc::SetTabImages([this](TTavuListDoc::TTabImage image) {
        static const int pictures[] = {imgBoard, imgReload, imgSave, imgFilter, imgInfo, imgLock};
        return ActionImage.value(pictures[image]);
    });

    ActionList1->Bind(QStringLiteral("actThreadListDownloadThreadNewPage"), this,
                      [this] { WindowTabs::OpenSelectedThread(*this, true); });
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

void TVarneloWindow::BindListDoc(TTavuListDoc *doc)
{
    QFont font = ThreadListView->font();
    if (font.family() != TavuConfig->THREADLISTFONTNAME || font.pointSize() != TavuConfig->THREADLISTFONTSIZE) {
        font.setFamily(TavuConfig->THREADLISTFONTNAME);
        if (TavuConfig->THREADLISTFONTSIZE > 0)
            font.setPointSize(TavuConfig->THREADLISTFONTSIZE);
        ThreadListView->setFont(font);
    }
    doc->ThreadRules = ThreadRules.get();
    doc->OnThreadNotice = [this](TThreadItem *item, const QString &text) {
        if (Notices)
            Notices->AddThreadNotice(text, item);
    };
    connect(doc, &TTavuListDoc::Activated, this, [this, doc] { ShowListDoc(doc, false); });
}

void TVarneloWindow::ListDocClosing(TTavuListDoc *doc)
{
    if (shownListDoc == doc)
        ShowListDoc(nullptr, false);
    DetachListDoc(doc);
}

// ---- the thread-list request flow ----

// The flow runs in ThreadLists, which keeps the recent boards; the window finds or makes the
// board's tab and shows what the flow reports.
void TVarneloWindow::BindThreadListFlow()
{
    ThreadLists = new TThreadListController(this);
    ThreadLists->RecentBoards = &Lists->RecentBoards;
    connect(ThreadLists, &TThreadListController::WorkerStarted, this, &TVarneloWindow::TrackWorker);
    connect(ThreadLists, &TThreadListController::Started, this, &TVarneloWindow::BeginBusy);
    connect(ThreadLists, &TThreadListController::Ended, this, &TVarneloWindow::ThreadListEnded);
    connect(ThreadLists, &TThreadListController::RowCountChanged, this,
            [this](TTavuListDoc *doc, int count, bool keepScroll) {
                if (doc == shownListDoc)
                    SetThreadListRowCount(count, keepScroll);
            });
    connect(ThreadLists, &TThreadListController::Progress, this, &TVarneloWindow::ShowFlowProgress);
    connect(ThreadLists, &TThreadListController::StatusText, this, &TVarneloWindow::ShowFlowStatus);
    connect(ThreadLists, &TThreadListController::NewThreadCount, this, &TVarneloWindow::ShowNewThreadCount);
    connect(ThreadLists, &TThreadListController::LogLine, this, [](const QString &text) { EventLog::AddLog(text); });
    connect(ThreadLists, &TThreadListController::FallenThreadsWanted, this, &UserFiles::AddFallenThreads);
    connect(ThreadLists, &TThreadListController::BlockPageFound, this, &TVarneloWindow::ShowBlockPage);
}

void TVarneloWindow::StartThreadListDownload(TBoard *board, bool reload, bool cacheOnly)
{
    if (!board)
        return;
    UpdateThreadListMenu();
    TTavuListDoc *doc = nullptr;
    if (tabs->FindBoardTab(board, doc)) {
        if (doc->DownloadState != TTavuListDoc::dsIdle)
            return;
        doc->Activate();
        if (!TavuConfig->THREADLISTEXISTSRELOAD && !reload)
            return;
        doc->ClearItems();
    } else {
        tabs->NewListDoc(doc, nullptr, TTavuListDoc::lmBoard, true, board->Name, board);
    }
    ThreadLists->StartThreadListDownload(doc, board, reload, cacheOnly);
    UpdateThreadListMenu();
}

// The end of a download: the tab's caption, the site's counter, the sound, the commands and the
// busy state.
void TVarneloWindow::ThreadListEnded(TTavuListDoc *doc, TSite *site)
{
    if (doc)
        tabs->SetListDocCaption(doc);
    ProgressBar->Reset();
    if (site && !Shutdown->Closed())
        ThreadLists->StartCounter(site->CounterID);
    if (doc)
        EventLog::PlayEventSound(EventLog::esThreadList);
    UpdateThreadListMenu();
    EndBusy();
}

void TVarneloWindow::DetachListDoc(TTavuListDoc *doc)
{
    ThreadLists->Detach(doc);
}

// ---- binding the view to a document ----

void TVarneloWindow::ShowListDoc(TTavuListDoc *doc, bool switchPane)
{
    if (switchPane && doc) {
        tabs->ThreadListTabClick(doc);   // activates the document, which binds it
        return;
    }
    if (doc == shownListDoc)
        return;

    TqorExtListView *view = ThreadListView;
    if (shownListDoc) {
        shownListDoc->TopRow = std::max(view->indexAt(QPoint(0, 0)).row(), 0);
        shownListDoc->SelectedRow = std::max(view->currentIndex().row(), 0);
    }
    view->clearSelection();
    shownListDoc = doc;
    if (!doc) {
        SetThreadListRowCount(0, false);
        view->viewport()->update();
        return;
    }
    SetThreadListRowCount(doc->DisplayCount(), false);
    if (doc->SelectedRow < doc->DisplayCount()) {
        view->scrollTo(view->model()->index(doc->TopRow, 0), QAbstractItemView::PositionAtTop);
        view->selectionModel()->setCurrentIndex(view->model()->index(doc->SelectedRow, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    UpdateThreadListMenu();
    view->viewport()->update();
    doc->DoSelect();
    if (doc->TabMenuItem)
        doc->TabMenuItem->setChecked(true);
}

void TVarneloWindow::SetThreadListRowCount(int count, bool keepScroll)
{
    ThreadListView->SetItemCountEx(std::max(count, 0));
    if (!keepScroll)
        ThreadListView->scrollToTop();
    ThreadListView->viewport()->update();
}

// ---- opening ----

void TVarneloWindow::ThreadListViewOpen(bool doubleClick)
{
    HintWindow->hide();
    const int setting = TavuConfig->THREADLISTSETTING;
    if (doubleClick ? setting != 1 : setting != 0)
        return;
    // Shift and Control only extend the selection.
    if (!doubleClick && (QGuiApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
        return;
    WindowTabs::OpenSelectedThread(*this);
}

// ---- tabs ----

TTavuListDoc *TVarneloWindow::NewResultTab(const QString &caption, TThreadItemList *items, TBoard *board)
{
    TTavuListDoc *doc = nullptr;
    tabs->NewListDoc(doc, items, TTavuListDoc::lmFilter, true, caption, board);
    doc->DownloadState = TTavuListDoc::dsIdle;
    doc->PageStep = 0;
    doc->UpdateTabImage();
    for (int i = 0; i < items->Count(); ++i)
        doc->ArrivalItems()->Add(items->Get(i));
    doc->SetDisplayCount(items->Count());
    if (doc == shownListDoc)
        SetThreadListRowCount(doc->DisplayCount(), false);
    UpdateThreadListMenu();
    return doc;
}

// The block page shows in a tab, the browser pane in view.
void TVarneloWindow::ShowBlockPage(const QString &url)
{
    WindowTabs::OpenUrl(*this, url, QStringLiteral("ようこそバーボンハウスへ"));
    const QAction *browserPane = Action(QStringLiteral("actShowBrowser"));
    if (browserPane && !browserPane->isChecked())
        Execute(QStringLiteral("actShowPaneChange"));
}
