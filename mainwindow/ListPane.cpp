// The thread-list pane: its view and rows, the board tabs it shows and the thread-list flow that
// fills them. The commands of the tab shown and its rows, sorting by a column among them, are
// TThreadListTabCommands (commands/).

#include "mainwindow/ListPane.h"

#include "controls/ActionCatalogue.h"
#include "controls/ExtListView.h"
#include "controls/ThreadListRowPainter.h"
#include "controls/UserFiles.h"
#include "controls/WindowEvents.h"
#include "controls/WindowLists.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "flows/ThreadListController.h"
#include "mainwindow/TabManager.h"
#include "render/TavuHintWindow.h"
#include "render/TavuListDoc.h"
#include "services/EventLog.h"
#include "services/ThreadListPane.h"

#include <QAction>
#include <QGuiApplication>
#include <QPainter>
#include <QShortcut>

namespace {

// The order of the mark pictures the rows use, taken from resource/marks.png.
const int MarkOrder[] = {0, 1, 2, 3, 8, 4, 5, 9, 6, 7, 10, 11, 12};

}  // namespace

// ---- set-up ----

TListPane::TListPane(TWindowFrameServices &frame, TReadingServices &reading, TBoardServices &boards,
                     TThreadViewServices &views, TRuleServices &rules, TWindowLists &lists,
                     std::function<bool()> windowClosed, QWidget *parent)
    : QObject(parent), frame(frame), reading(reading), boards(boards), views(views), rules(rules), lists(lists),
      windowClosed(std::move(windowClosed))
{
    ThreadListView = new TqorExtListView(parent);
    ThreadListView->setObjectName(QStringLiteral("ThreadListView"));
    LoadRowMarks();
    BindView();
    BindFlow();
}

void TListPane::LoadRowMarks()
{
    const TImageList marks =
        ActionCatalogue::LoadImages(TTavuConfig::AppDir() + QStringLiteral("resource/marks.png"));
    for (int index : MarkOrder)
        rowMarks.append(marks.value(index).pixmap(16, 16));
}

void TListPane::BindView()
{
    TqorExtListView *view = ThreadListView;
    view->SetVirtualMode(true);
    view->SetStyle(lvOwnerDrawFixed);
    view->SetExtendedStyles(lvxFullRowSelect | lvxInfoTip | lvxLabelTip);
    view->SetRowSelect(true);
    view->SetMultiSelect(true);
    view->SetReadOnly(true);
    view->SetAutoColumnSort(acsNoSort);
    view->SetShowSortArrows(true);
    auto painter = std::make_shared<TThreadListRowPainter>(rowMarks, lists.ThreadListColumns, *TavuConfig);
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
                                       frame.Window()->palette().color(QPalette::WindowText));
    };
    view->OnInfoTip = [this, painter](TCustomExtListView *, int row, int, const QString &, QString &additional) {
        additional = painter->Tip(shownListDoc, row);
    };
    view->OnColumnClick = [this](TCustomEnhListView *, int column) {
        emit frame.Events().ThreadListColumnClicked(column);
    };
    connect(view, &QAbstractItemView::clicked, this, [this] { ThreadListViewOpen(false); });
    connect(view, &QAbstractItemView::doubleClicked, this, [this] { ThreadListViewOpen(true); });
    for (const QKeySequence &key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)})
        connect(new QShortcut(key, view, nullptr, nullptr, Qt::WidgetShortcut), &QShortcut::activated, this,
                [this] { OpenSelectedThread(); });
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { boards.UpdateThreadListMenu(); });
    connect(&frame.Events(), &TWindowEvents::OptionsApplied, view->viewport(), qOverload<>(&QWidget::update));

    TTavuListDoc::SetTabImages([&frame = frame](TTavuListDoc::TTabImage image) {
        static const int pictures[] = {imgBoard, imgReload, imgSave, imgFilter, imgInfo, imgLock};
        return frame.ActionImages().value(pictures[image]);
    });

    frame.BindAction(QStringLiteral("actThreadListDownloadThreadNewPage"), this, [this] { OpenSelectedThread(true); });
}

void TListPane::BindTabs(TTabManager &tabManager)
{
    tabs = &tabManager;
    connect(tabs, &TTabManager::ListDocMade, this, &TListPane::BindListDoc);
    connect(tabs, &TTabManager::ListDocClosing, this, &TListPane::ListDocClosing);
}

void TListPane::BindListDoc(TTavuListDoc *doc)
{
    QFont font = ThreadListView->font();
    if (font.family() != TavuConfig->THREADLISTFONTNAME || font.pointSize() != TavuConfig->THREADLISTFONTSIZE) {
        font.setFamily(TavuConfig->THREADLISTFONTNAME);
        if (TavuConfig->THREADLISTFONTSIZE > 0)
            font.setPointSize(TavuConfig->THREADLISTFONTSIZE);
        ThreadListView->setFont(font);
    }
    doc->ThreadRules = rules.ThreadRules();
    doc->OnThreadNotice = [this](TThreadItem *item, const QString &text) { emit ThreadNoticed(text, item); };
    connect(doc, &TTavuListDoc::Activated, this, [this, doc] { ShowListDoc(doc, false); });
}

void TListPane::ListDocClosing(TTavuListDoc *doc)
{
    if (shownListDoc == doc)
        ShowListDoc(nullptr, false);
    flow->Detach(doc);
}

// ---- the thread-list request flow ----

// The flow keeps the recent boards; the pane finds or makes the board's tab and shows what the flow
// reports of it.
void TListPane::BindFlow()
{
    flow = new TThreadListController(this);
    flow->RecentBoards = &lists.RecentBoards;
    connect(flow, &TThreadListController::Started, this, [this] { frame.BeginBusy(); });
    connect(flow, &TThreadListController::Ended, this, &TListPane::ThreadListEnded);
    connect(flow, &TThreadListController::RowCountChanged, this, &TListPane::ShowRowCountOf);
    connect(flow, &TThreadListController::NewThreadCount, this, [this](int count) { boards.ShowNewThreadCount(count); });
    connect(flow, &TThreadListController::LogLine, this, [](const QString &text) { EventLog::AddLog(text); });
    connect(flow, &TThreadListController::FallenThreadsWanted, this, &UserFiles::AddFallenThreads);
}

void TListPane::StartThreadListDownload(TBoard *board, bool reload, bool cacheOnly)
{
    if (!board)
        return;
    boards.UpdateThreadListMenu();
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
    flow->StartThreadListDownload(doc, board, reload, cacheOnly);
    boards.UpdateThreadListMenu();
}

// The end of a download: the tab's caption, the site's counter, the sound, the commands and the
// busy state.
void TListPane::ThreadListEnded(TTavuListDoc *doc, TSite *site)
{
    if (doc)
        tabs->SetListDocCaption(doc);
    emit ProgressEnded();
    if (site && !windowClosed())
        flow->StartCounter(site->CounterID);
    if (doc)
        EventLog::PlayEventSound(EventLog::esThreadList);
    boards.UpdateThreadListMenu();
    frame.EndBusy();
}

// ---- binding the view to a document ----

void TListPane::ShowListDoc(TTavuListDoc *doc, bool switchPane)
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
    boards.UpdateThreadListMenu();
    view->viewport()->update();
    doc->DoSelect();
    if (doc->TabMenuItem)
        doc->TabMenuItem->setChecked(true);
}

void TListPane::SetThreadListRowCount(int count, bool keepScroll)
{
    ThreadListView->SetItemCountEx(std::max(count, 0));
    if (!keepScroll)
        ThreadListView->scrollToTop();
    ThreadListView->viewport()->update();
}

void TListPane::ShowRowCountOf(TTavuListDoc *doc, int count, bool keepScroll)
{
    if (doc == shownListDoc)
        SetThreadListRowCount(count, keepScroll);
}

// ---- opening ----

void TListPane::ThreadListViewOpen(bool doubleClick)
{
    views.HintWindow()->hide();
    const int setting = TavuConfig->THREADLISTSETTING;
    if (doubleClick ? setting != 1 : setting != 0)
        return;
    // Shift and Control only extend the selection.
    if (!doubleClick && (QGuiApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
        return;
    OpenSelectedThread();
}

void TListPane::OpenSelectedThread(bool newTab)
{
    TTavuListDoc *doc = nullptr;
    const int row = ThreadListView->currentIndex().row();
    if (row < 0 || !tabs->GetActiveListDoc(doc) || row >= doc->Items()->Count())
        return;
    if (!ThreadListView->selectionModel()->isRowSelected(row, QModelIndex()))
        return;
    TThreadItem *item = doc->Items()->Get(row);
    if (!item->BBS)
        return;
    const QAction *browserPane = frame.Action(QStringLiteral("actShowBrowser"));
    if (browserPane && !browserPane->isChecked() && TavuConfig->CHANGEPANE_BROWSER)
        frame.Execute(QStringLiteral("actShowPaneChange"));
    item->DownloadRequest = true;
    reading.OpenThread(item, false, newTab, true, 0);
}

// ---- tabs ----

TTavuListDoc *TListPane::NewResultTab(const QString &caption, TThreadItemList *items, TBoard *board)
{
    TTavuListDoc *doc = nullptr;
    tabs->NewListDoc(doc, items, TTavuListDoc::lmFilter, true, caption, board);
    doc->DownloadState = TTavuListDoc::dsIdle;
    doc->PageStep = 0;
    doc->UpdateTabImage();
    for (int i = 0; i < items->Count(); ++i)
        doc->ArrivalItems()->Add(items->Get(i));
    doc->SetDisplayCount(items->Count());
    ShowRowCountOf(doc, doc->DisplayCount(), false);
    boards.UpdateThreadListMenu();
    return doc;
}

// ---- the rows of a thread ----

void TListPane::RefreshThreadListItem(TThreadItem *item)
{
    if (!item)
        return;
    for (TTavuListDoc *doc : tabs->ListDocs()) {
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
    RepaintThreadListRows(item);
}

void TListPane::RepaintThreadListRows(const TThreadItem *item)
{
    TTavuListDoc *active = nullptr;
    if (!item || !tabs->GetActiveListDoc(active))
        return;
    TqorExtListView *view = ThreadListView;
    const TThreadItemList &items = *active->Items();
    const int bottom = view->viewport()->height();
    for (QModelIndex index = view->indexAt(QPoint(0, 0)); index.isValid() && view->visualRect(index).top() < bottom;
         index = view->indexBelow(index)) {
        const TThreadItem *listed = index.row() < items.Count() ? items.Peek(index.row()) : nullptr;
        if (listed && listed->IsSameThread(*item))
            view->Items()->UpdateItems(index.row(), index.row());
    }
}

// ---- the rows, for the units ----

QList<TThreadItem *> TListPane::SelectedThreads() const
{
    QList<TThreadItem *> items;
    if (!shownListDoc)
        return items;
    for (int row : ThreadListView->SelectedRows()) {
        if (row < shownListDoc->Items()->Count())
            items << shownListDoc->Items()->Get(row);
    }
    return items;
}

bool TListPane::SelectThreadRow(TThreadItem *item)
{
    TTavuListDoc *doc = shownListDoc;
    const int row = doc ? doc->Items()->IndexOf(item) : -1;
    if (row < 0 || row >= doc->DisplayCount())
        return false;
    TqorExtListView *view = ThreadListView;
    view->clearSelection();
    const QModelIndex index = view->model()->index(row, 0);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(index);
    return true;
}

void TListPane::RepaintThreadList()
{
    ThreadListView->viewport()->update();
}

void TListPane::ThreadListChanged(TTavuListDoc *doc)
{
    ShowRowCountOf(doc, doc->DisplayCount(), true);
    boards.UpdateThreadListMenu();
}

void TListPane::SelectedThreadsLeft(TTavuListDoc *doc)
{
    ThreadListView->clearSelection();
    ThreadListChanged(doc);
}

int TListPane::ThreadListRowCount() const
{
    return ThreadListView->Items()->OwnerDataCount();
}

void TListPane::DownloadNextPage(TTavuListDoc *doc)
{
    flow->DownloadNextPage(doc);
}

QStringList TListPane::ThreadListColumns() const
{
    return lists.ThreadListColumns;
}

TThreadItem *TListPane::FocusedThread() const
{
    TTavuListDoc *doc = tabs->CurrentListDoc();
    const int row = ThreadListView->currentIndex().row();
    if (!doc || row < 0 || row >= doc->Items()->Count())
        return nullptr;
    return doc->Items()->Get(row);
}

void TListPane::ReloadThreadListColumns()
{
    lists.ReloadThreadListColumns(ThreadListView);
}
