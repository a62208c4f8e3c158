// The thread-list pane: opening a board fills its board tab with the board's thread list,
// downloaded or stored, by the thread-list flow (ThreadLists, flows/ThreadListController.h), whose
// reports the pane shows; the pane draws, sorts, pages and marks the rows of the tab it shows.
//
// A tab that is closed or refilled while its download runs lets go of it (DetachListDoc): what the
// download still reports is dropped, so nothing is ever written into a tab that is gone.

#include "mainwindow/VarneloWindow.h"

#include "boards/DolibManager.h"
#include "controls/BoardTreeImages.h"
#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
#include "controls/KpwBoardTree.h"
#include "controls/KpwServices.h"
#include "controls/KpwUserFiles.h"
#include "controls/TabButton.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/Tavutils.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "core/ThreadListDownloader.h"
#include "flows/ThreadListController.h"
#include "flows/UpdateCheckController.h"
#include "mainwindow/VarneloWindowStatusBar.h"
#include "mainwindow/WindowTabs.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "render/TavuListDoc.h"
#include "services/KpwUrl.h"
#include "services/Ninkinet.h"
#include "services/TavuCheck.h"
#include "services/ThreadListPane.h"

#include <QColorDialog>
#include <QComboBox>
#include <QGuiApplication>
#include <QPainter>
#include <QProgressBar>
#include <QShortcut>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>

namespace {

// The status panels of the request flows.
constexpr int FlowStatusPanel = 0;   // StatusBar2
constexpr int NewThreadsPanel = 3;   // StatusBar1

QColor Color(TColor color)
{
    return QColor::fromRgba(ColorToQColor(color));
}

QString TabStateFile()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("tabthread.txt");
}

}  // namespace

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
    view->OnDrawItem = [this](TCustomEnhListView *, QPainter *canvas, int row, const QRect &rect,
                              TOwnerDrawState state, bool &defaultDrawing, bool &fullRowSelect) {
        DrawThreadListRow(canvas, row, rect, state.testFlag(odSelected));
        defaultDrawing = true;
        fullRowSelect = true;
    };
    view->OnDrawSubItem = [this](TCustomEnhListView *, QPainter *canvas, int row, int column, const QRect &rect,
                                 TOwnerDrawState state, bool &defaultDrawing) {
        DrawThreadListCell(canvas, row, column, rect, state.testFlag(odSelected));
        defaultDrawing = false;
    };
    view->OnAfterDefaultDrawItem = [this](TCustomEnhListView *, QPainter *canvas, int row, const QRect &rect,
                                          TOwnerDrawState) { DrawHeadlineSeparator(canvas, row, rect); };
    view->OnInfoTip = [this](TCustomExtListView *, int row, int, const QString &, QString &additional) {
        additional = ThreadListTip(row);
    };
    view->OnColumnClick = [this](TCustomEnhListView *, int column) { ThreadListViewColumnClick(column); };
    connect(view, &QAbstractItemView::clicked, this, [this] { ThreadListViewOpen(false); });
    connect(view, &QAbstractItemView::doubleClicked, this, [this] { ThreadListViewOpen(true); });
    for (const QKeySequence &key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)})
        connect(new QShortcut(key, view, nullptr, nullptr, Qt::WidgetShortcut), &QShortcut::activated, this,
                [this] { Kpwfunc::OpenSelectedThread(*this); });
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TVarneloWindow::UpdateThreadListMenu);

    TTavuListDoc::SetTabImages([this](TTavuListDoc::TTabImage image) {
        static const int pictures[] = {imgBoard, imgReload, imgSave, imgFilter, imgInfo, imgLock};
        return ActionImage.value(pictures[image]);
    });

    const auto bind = [this](const char *name, auto handler) {
        ActionList1->Bind(QString::fromUtf8(name), this, handler);
    };
    bind("actThreadListLoadNext", &TVarneloWindow::actThreadListLoadNextExecute);
    bind("actThreadListLoadAll", &TVarneloWindow::actThreadListLoadAllExecute);
    bind("actThreadListCancelDownload", &TVarneloWindow::actThreadListCancelDownloadExecute);
    bind("actThreadListReload", &TVarneloWindow::actThreadListReloadExecute);
    bind("actThreadListClose", &TVarneloWindow::actThreadListCloseExecute);
    bind("actThreadListCloseAll", [this] { actThreadListCloseAllExecute(false); });
    bind("actThreadListCloseAll2", [this] { actThreadListCloseAllExecute(true); });
    bind("actThreadListLock", &TVarneloWindow::actThreadListLockExecute);
    for (const char *mark : {"actThreadListBold", "actThreadListReverse", "actThreadListColor", "actThreadListAbone",
                             "actThreadListSetKakoLog"})
        bind(mark, [this, mark] { actThreadListBoldExecute(QString::fromUtf8(mark)); });
    bind("actThreadListFilter", &TVarneloWindow::actThreadListFilterExecute);
    bind("actThreadListSaveTab", &TVarneloWindow::actThreadListSaveTabExecute);
    bind("actThreadListLoadTab", &TVarneloWindow::actThreadListLoadTabExecute);
    bind("actThreadListDownloadThreadNewPage", [this] { Kpwfunc::OpenSelectedThread(*this, true); });
    bind("actOnline", &TVarneloWindow::actOnlineExecute);
}

// A board opens with a single or a double click, as BOARDLISTSETTING says; with a single click a
// category opens and closes with it too.
void TVarneloWindow::BindBoardTree()
{
    connect(BoardListView, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *node) {
        if (TavuConfig->BOARDLISTSETTING != 0)
            return;
        if (Kpwfunc::NodeBoard(node) || Kpwfunc::NodeSite(node))
            Kpwfunc::BoardTreeChange(*this, BoardListView);
        else if (node->childCount() > 0)
            node->setExpanded(!node->isExpanded());
    });
    connect(BoardListView, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *node) {
        if (TavuConfig->BOARDLISTSETTING == 1 && (Kpwfunc::NodeBoard(node) || Kpwfunc::NodeSite(node)))
            Kpwfunc::BoardTreeChange(*this, BoardListView);
    });
    connect(BoardListView, &QTreeWidget::currentItemChanged, this, &TVarneloWindow::UpdateBoardListMenu);
    ActionList1->Bind(QStringLiteral("actBoardAddBoard"), this, &TVarneloWindow::actBoardAddBoardExecute);
    ActionList1->Bind(QStringLiteral("actBoardEditBoard"), this, &TVarneloWindow::actBoardEditBoardExecute);
    ActionList1->Bind(QStringLiteral("actBoardDeleteBoard"), this, &TVarneloWindow::actBoardDeleteBoardExecute);
    for (auto signal : {&QTreeWidget::itemExpanded, &QTreeWidget::itemCollapsed}) {
        connect(BoardListView, signal, this, [](QTreeWidgetItem *node) {
            if (!Kpwfunc::NodeBoard(node) && !Kpwfunc::NodeSite(node))
                node->setIcon(0, BoardTreeImages::CategoryIcon(node->isExpanded()));
        });
    }
}

void TVarneloWindow::RefillBoardTree(TSite *site)
{
    Kpwfunc::SaveTreeState(BoardListView, site);
    Kpwfunc::FillBoardTree(BoardListView, site, BoardFilterCombo->currentText());
}

void TVarneloWindow::actBoardAddBoardExecute()
{
    TSite *site = CurrentSite();
    if (!site)
        return;
    if (site->Kind == TSite::KIND_USER) {
        Execute(QStringLiteral("actBBSWizard"));
        return;
    }
    const TBoard *selected = Kpwfunc::NodeBoard(BoardListView->currentItem());
    if (Kpwfunc::AddSiteBoard(site, selected ? selected->Category : QString(), selected ? selected->Name : QString(),
                              selected ? selected->URL : QString()))
        RefillBoardTree(site);
}

void TVarneloWindow::actBoardEditBoardExecute()
{
    TSite *site = CurrentSite();
    QTreeWidgetItem *node = BoardListView->currentItem();
    if (!site || !node)
        return;
    TBoard *board = Kpwfunc::NodeBoard(node);
    if (site->Kind == TSite::KIND_FAVORITES && (!board || board->Kind != TBoard::KIND_FAVORITES)) {
        Kpwfunc::ShowMessage(Kpwfunc::mkError, QStringLiteral("それは修正できません。"));
        return;
    }
    if (board && Kpwfunc::ModifySiteBoard(site, board))
        RefillBoardTree(site);
}

void TVarneloWindow::actBoardDeleteBoardExecute()
{
    TBoard *board = Kpwfunc::NodeBoard(BoardListView->currentItem());
    TSite *site = CurrentSite();
    if (!board || !site)
        return;
    CloseBoardTabs(board);
    if (Kpwfunc::DeleteSiteBoard(site, board))
        RefillBoardTree(site);
}

void TVarneloWindow::CloseBoardTabs(TBoard *board)
{
    TTavuListDoc *doc = nullptr;
    if (Kpwfunc::FindBoardTab(*this, board, doc))
        Kpwfunc::CloseListDoc(*this, doc);
    for (TTavuBrowser *tab : QList<TTavuBrowser *>(Browsers)) {
        const TThreadItem *item = tab->IsWebPage() ? nullptr : tab->ThreadItem();
        if (item && item->Site == board->Site && item->BoardID == board->ID)
            Kpwfunc::CloseBrowser(*this, tab);
    }
}

// ---- the thread-list request flow ----

// The flow runs in ThreadLists; the window finds or makes the board's tab, shows what the flow
// reports and keeps the recent boards.
void TVarneloWindow::BindThreadListFlow()
{
    ThreadLists = new TThreadListController(this);
    connect(ThreadLists, &TThreadListController::Started, this, &TVarneloWindow::BeginBusy);
    connect(ThreadLists, &TThreadListController::Ended, this, &TVarneloWindow::ThreadListEnded);
    connect(ThreadLists, &TThreadListController::RowCountChanged, this,
            [this](TTavuListDoc *doc, int count, bool keepScroll) {
                if (doc == shownListDoc)
                    SetThreadListRowCount(count, keepScroll);
            });
    connect(ThreadLists, &TThreadListController::Progress, this, [this](int maximum, int position) {
        ProgressBar->setRange(0, maximum);
        ProgressBar->setValue(position);
    });
    connect(ThreadLists, &TThreadListController::StatusText, this,
            [this](const QString &text) { StatusBar2->SetText(FlowStatusPanel, text); });
    connect(ThreadLists, &TThreadListController::NewThreadCount, this,
            [this](int count) { StatusBar1->SetText(NewThreadsPanel, QStringLiteral("新ｽﾚ: %1").arg(count)); });
    connect(ThreadLists, &TThreadListController::LogLine, this, [](const QString &text) { Kpwfunc::AddLog(text); });
    connect(ThreadLists, &TThreadListController::FallenThreadsWanted, this, &Kpwfunc::AddFallenThreads);
    connect(ThreadLists, &TThreadListController::BlockPageFound, this, &TVarneloWindow::ShowBlockPage);
}

void TVarneloWindow::StartThreadListDownload(TBoard *board, bool reload, bool cacheOnly)
{
    if (!board)
        return;
    UpdateThreadListMenu();
    TTavuListDoc *doc = nullptr;
    if (Kpwfunc::FindBoardTab(*this, board, doc)) {
        if (doc->DownloadState != TTavuListDoc::dsIdle)
            return;
        doc->Activate();
        if (!TavuConfig->THREADLISTEXISTSRELOAD && !reload)
            return;
        doc->ClearItems();
    } else {
        Kpwfunc::NewListDoc(*this, doc, nullptr, TTavuListDoc::lmBoard, true, board->Name, board);
    }
    ThreadLists->StartThreadListDownload(doc, board, reload, cacheOnly);

    UpdateThreadListMenu();
    const QString siteId = board->Site ? board->Site->SITEID : QString();
    const QString prefix = siteId + QLatin1Char('\t') + board->ID + QLatin1Char('\t');
    RecentBoards->Lines.removeIf([&prefix](const QString &line) { return line.startsWith(prefix); });
    RecentBoards->Lines.prepend(prefix + TThreadListController::BoardTarget(board));
}

// The end of a download: the tab's caption, the site's counter, the sound, the commands and the
// busy state.
void TVarneloWindow::ThreadListEnded(TTavuListDoc *doc, TSite *site)
{
    const TBoard *board = doc ? doc->GetBoard() : nullptr;
    if (TavuConfig->BOARDSHORTTITLE && board && doc->TabButton) {
        doc->TabButton->setText(Tavutils::MakeShortCaption(board->Name, TavuConfig->BOARDTITLELEN));
        doc->TabButton->setToolTip(Qt::convertFromPlainText(board->Name, Qt::WhiteSpaceNormal));
        Kpwfunc::UpdateBarWidth(ThreadListBar);
    }
    ProgressBar->reset();
    if (site)
        StartCounter(site->CounterID);
    if (doc)
        Kpwfunc::PlayEventSound(Kpwfunc::esThreadList);
    UpdateThreadListMenu();
    EndBusy();
}

// The site's outside access counter is called once per thread list, on a worker thread; the cookie
// it sets is kept in the configuration (written here, on the GUI thread).
void TVarneloWindow::StartCounter(const QString &counterId)
{
    if (counterId.isEmpty() || !TavuConfig->NINKINET_CHECK || closed)
        return;
    const QString cookie = TavuConfig->Ini.ReadString(QStringLiteral("NINKINET"), counterId);
    auto *counter = new TNinkinet(counterId, TavuConfig->NINKINET_URL, cookie, ConfiguredProxy(false), this);
    connect(counter, &TNinkinet::CookieReceived, this, [](const QString &id, const QString &value) {
        TavuConfig->Ini.WriteString(QStringLiteral("NINKINET"), id, value);
    });
    connect(counter, &QThread::finished, counter, &QObject::deleteLater);
    TrackWorker(counter);
    counter->start();
}

void TVarneloWindow::DetachListDoc(TTavuListDoc *doc)
{
    ThreadLists->Detach(doc);
}

// ---- binding the view to a document ----

void TVarneloWindow::ShowListDoc(TTavuListDoc *doc, bool switchPane)
{
    if (switchPane && doc) {
        ThreadListTabClick(doc);   // activates the document, which binds it
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

void TVarneloWindow::MoveListDocToFront(TTavuListDoc *doc)
{
    const qsizetype index = ListDocs.indexOf(doc);
    if (index > 0)
        ListDocs.move(index, 0);
}

void TVarneloWindow::ListDocActivated(TTavuListDoc *doc)
{
    MoveListDocToFront(doc);
    ShowListDoc(doc, false);
}

// A pressed tab may bring the thread-list pane into view first; the document's activation then
// binds it to the view.
void TVarneloWindow::ThreadListTabClick(TTavuListDoc *doc)
{
    const QAction *listPane = Action(QStringLiteral("actShowThreadList2"));
    if (TavuConfig->TABCLICKCHANGEPANE && listPane && !listPane->isChecked())
        Execute(QStringLiteral("actShowPaneChange"));
    doc->Activate();
}

void TVarneloWindow::SetThreadListRowCount(int count, bool keepScroll)
{
    ThreadListView->SetItemCountEx(std::max(count, 0));
    if (!keepScroll)
        ThreadListView->scrollToTop();
    ThreadListView->viewport()->update();
}

// ---- drawing ----

void TVarneloWindow::DrawThreadListRow(QPainter *canvas, int row, const QRect &, bool selected)
{
    const TThreadItem *item = nullptr;
    if (shownListDoc && row < shownListDoc->Items()->Count())
        item = shownListDoc->Items()->Get(row);
    const ThreadListPane::TRowStyle style = ThreadListPane::RowStyle(item, row, selected, *TavuConfig);
    canvas->setBrush(Color(style.Background));
    canvas->setPen(Color(style.Text));
    QFont font = canvas->font();
    font.setBold(style.Bold);
    canvas->setFont(font);
}

void TVarneloWindow::DrawThreadListCell(QPainter *canvas, int row, int column, const QRect &rect, bool selected)
{
    canvas->fillRect(rect, canvas->brush());
    if (!shownListDoc || row >= shownListDoc->Items()->Count())
        return;
    const TThreadItem &item = *shownListDoc->Items()->Get(row);
    const QRect textRect = rect.adjusted(2, 0, -2, 0);
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    if (column == 0) {
        if (!selected)
            canvas->setPen(Color(ThreadListPane::RowStyle(&item, row, false, *TavuConfig).NumberText));
        canvas->drawText(textRect, flags | Qt::AlignLeft, ThreadListPane::NumberText(item));
        return;
    }
    const QString id = ThreadListColumns.value(column - 1);
    const ThreadListPane::TColumnInfo info = ThreadListPane::ColumnInfo(id);
    if (info.Kind == ThreadListPane::ckIcon) {
        const int mark = ThreadListPane::CellMark(item, id);
        if (mark >= 0 && mark < RowGlyphs.size())
            canvas->drawPixmap(rect.topLeft(), RowGlyphs.at(mark));
        return;
    }
    const QString text = ThreadListPane::CellText(item, id, TavuConfig->SHOWCOUNTGAP);
    const Qt::Alignment alignment = info.Kind == ThreadListPane::ckRight ? Qt::AlignRight : Qt::AlignLeft;
    canvas->drawText(textRect, flags | alignment, canvas->fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
}

// In a headline the rows of each source list start with a line across the view.
void TVarneloWindow::DrawHeadlineSeparator(QPainter *canvas, int row, const QRect &rect)
{
    if (!shownListDoc || shownListDoc->Mode != TTavuListDoc::lmHeadline || row < 1
        || row >= shownListDoc->Items()->Count())
        return;
    const TThreadItemList *items = shownListDoc->Items();
    if (items->Get(row)->Number < items->Get(row - 1)->Number) {
        canvas->setPen(palette().color(QPalette::WindowText));
        canvas->drawLine(0, rect.top(), ThreadListView->viewport()->width(), rect.top());
    }
}

QString TVarneloWindow::ThreadListTip(int row) const
{
    if (!TavuConfig->THREADLISTSHOWTOOLTIP || !shownListDoc || row < 0 || row >= shownListDoc->Items()->Count())
        return QString();
    return ThreadListPane::InfoTip(*shownListDoc->Items()->Get(row));
}

// ---- sorting and opening ----

void TVarneloWindow::ThreadListViewColumnClick(int column)
{
    HintWindow->hide();
    TTavuListDoc *doc = shownListDoc;
    if (!doc)
        return;
    if (doc->Mode == TTavuListDoc::lmHeadline) {
        Kpwfunc::ShowMessage(Kpwfunc::mkWarning, QStringLiteral("ヘッドラインは並べ替えできません。"));
        return;
    }
    // Sorting always shows the whole list.
    doc->PrepareRows(doc->DisplayCount(), doc->Items()->Count());
    doc->SetDisplayCount(doc->Items()->Count());
    ThreadListPane::ClickSortColumn(column, doc->SortColumn, doc->SortFlag);
    doc->Items()->SortColumn = doc->SortColumn;
    doc->Items()->SortAscending = doc->SortFlag;
    const int key = ThreadListPane::ColumnInfo(column == 0 ? QString() : ThreadListColumns.value(column - 1)).SortKey;
    if (key > 0)
        doc->Items()->Sort(key, doc->SortFlag);
    SetThreadListRowCount(doc->DisplayCount(), !TavuConfig->SCROLLTOP);
    if (TavuConfig->SCROLLTOP && doc->DisplayCount() > 0)
        ThreadListView->SelectItem(0);
}

void TVarneloWindow::ThreadListViewOpen(bool doubleClick)
{
    HintWindow->hide();
    const int setting = TavuConfig->THREADLISTSETTING;
    if (doubleClick ? setting != 1 : setting != 0)
        return;
    // Shift and Control only extend the selection.
    if (!doubleClick && (QGuiApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
        return;
    Kpwfunc::OpenSelectedThread(*this);
}

// ---- paging ----

void TVarneloWindow::actThreadListLoadNextExecute()
{
    HintWindow->hide();
    TTavuListDoc *doc = shownListDoc;
    if (!doc)
        return;
    TBoard *board = doc->GetBoard();
    if (!TThreadListController::IsPaged(board)) {
        const int shown = ThreadListView->Items()->OwnerDataCount();
        const int next = std::min(doc->DisplayCount() + std::max(doc->PageStep, 1), doc->Items()->Count());
        doc->PrepareRows(shown, next);
        doc->SetDisplayCount(next);
        SetThreadListRowCount(doc->DisplayCount(), true);
        StatusBar1->SetText(NewThreadsPanel, QStringLiteral("新ｽﾚ: %1").arg(doc->CountNewThreads()));
        Kpwfunc::PlayEventSound(Kpwfunc::esThreadList);
        UpdateThreadListMenu();
        return;
    }
    ThreadLists->DownloadNextPage(doc);
}

void TVarneloWindow::actThreadListLoadAllExecute()
{
    HintWindow->hide();
    TTavuListDoc *doc = shownListDoc;
    if (!doc)
        return;
    if (doc->DownloadState == TTavuListDoc::dsDownloading) {
        Kpwfunc::ShowMessage(Kpwfunc::mkError, QStringLiteral("ダウンロードが完了していません。"));
        return;
    }
    if (TThreadListController::IsPaged(doc->GetBoard())) {
        Kpwfunc::ShowMessage(Kpwfunc::mkError, QStringLiteral("このBBSには適用できないコマンドです。"));
        return;
    }
    BeginBusy();
    ThreadListView->BeginUpdate();
    doc->PrepareRows(ThreadListView->Items()->OwnerDataCount(), doc->Items()->Count());
    if (TavuConfig->DATOCHIMODE == 2)
        Kpwfunc::AddFallenThreads(doc);
    doc->SetDisplayCount(doc->Items()->Count());
    SetThreadListRowCount(doc->DisplayCount(), true);
    ThreadListView->EndUpdate();
    StatusBar1->SetText(NewThreadsPanel, QStringLiteral("新ｽﾚ: %1").arg(doc->CountNewThreads()));
    UpdateThreadListMenu();
    EndBusy();
    Kpwfunc::PlayEventSound(Kpwfunc::esThreadList);
}

// ---- marks on threads ----

bool TVarneloWindow::NeedsSaveMode()
{
    if (TavuEnviron->GetCached())
        return true;
    Kpwfunc::ShowMessage(Kpwfunc::mkWarning,
                         QStringLiteral("保存モードになっていません。[ファイル|保存モード]をオンにしてください。"));
    return false;
}

void TVarneloWindow::actThreadListBoldExecute(const QString &actionName)
{
    HintWindow->hide();
    if (!NeedsSaveMode())
        return;
    TTavuListDoc *doc = shownListDoc;
    if (!doc)
        return;
    TColor color = clWindowText;
    if (actionName == QLatin1String("actThreadListColor")) {
        QColorDialog dialog(this);
        if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted)
            return;
        const QColor chosen = dialog.selectedColor();
        color = TColor(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16));
    }
    QList<int> rows = ThreadListView->SelectedRows();
    std::reverse(rows.begin(), rows.end());   // the last row first: an erased row leaves the list
    for (int row : rows) {
        SetThreadMark(doc, row, actionName, color);
        UpdateThreadListMenu();
    }
}

void TVarneloWindow::SetThreadMark(TTavuListDoc *doc, int row, const QString &actionName, TColor color)
{
    TThreadItemList *items = doc->Items();
    if (row < 0 || row >= items->Count())
        return;
    TThreadItem *item = items->Get(row);
    const int listed = item->AGECOUNT;
    item->LoadInfo();
    item->AGECOUNT = listed;
    if (actionName == QLatin1String("actThreadListBold"))
        item->BOLD = !item->BOLD;
    else if (actionName == QLatin1String("actThreadListReverse"))
        item->REVERSE = !item->REVERSE;
    else if (actionName == QLatin1String("actThreadListColor"))
        item->COLOR = color;
    else if (actionName == QLatin1String("actThreadListSetKakoLog"))
        item->SetKakolog(!item->KAKOLOG);
    else if (actionName == QLatin1String("actThreadListAbone"))
        item->ABONE = true;
    item->SaveInfo();

    if (actionName != QLatin1String("actThreadListAbone")) {
        ThreadListView->Items()->UpdateItems(row, row);
        return;
    }
    items->Move(row, items->Count() - 1);
    items->Delete(items->Count() - 1);
    doc->SetDisplayCount(std::min(doc->DisplayCount() - 1, items->Count()));
    SetThreadListRowCount(doc->DisplayCount(), true);
}

// ---- filter ----

// The threads the filter dialog asks for, in a tab of their own; the list keeps the sort of the
// list it was made from.
void TVarneloWindow::actThreadListFilterExecute()
{
    HintWindow->hide();
    TTavuListDoc *doc = shownListDoc;
    const ThreadListPane::TFilterDialogHandler &dialog = ThreadListPane::FilterDialog();
    ThreadListPane::TThreadFilter filter;
    if (!doc || !dialog || !dialog(*doc->Items(), filter))
        return;

    auto *result = new TThreadItemList;
    result->SortColumn = doc->Items()->SortColumn;
    result->SortAscending = doc->Items()->SortAscending;
    TTavuListDoc *found = nullptr;
    Kpwfunc::NewListDoc(*this, found, result, TTavuListDoc::lmFilter, true, doc->Caption, doc->GetBoard());
    found->BoardID = doc->BoardID;
    found->Site = doc->Site;
    found->DownloadState = TTavuListDoc::dsIdle;
    found->PageStep = 0;
    found->UpdateTabImage();
    const TThreadItemList *items = doc->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TThreadItem *item = items->Get(i);
        if (item->ABONE)
            continue;
        if (ThreadListPane::FilterMatches(*item, filter))
            result->Add(item);
        found->ArrivalItems()->Add(item);
    }
    Kpwfunc::AddLog(QStringLiteral("  →該当件数:%1").arg(result->Count()));
    if (result->Count() == 0) {
        Kpwfunc::ShowMessage(Kpwfunc::mkWarning, QStringLiteral("該当スレッドが見つかりませんでした。"));
        Kpwfunc::CloseListDoc(*this, found);
        return;
    }
    found->SetDisplayCount(result->Count());
    SetThreadListRowCount(found->DisplayCount(), false);
    UpdateThreadListMenu();
    Kpwfunc::PlayEventSound(Kpwfunc::esThreadList);
}

// ---- tabs ----

TTavuListDoc *TVarneloWindow::NewResultTab(const QString &caption, TThreadItemList *items, TBoard *board)
{
    TTavuListDoc *doc = nullptr;
    Kpwfunc::NewListDoc(*this, doc, items, TTavuListDoc::lmFilter, true, caption, board);
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

void TVarneloWindow::actThreadListCancelDownloadExecute()
{
    TTavuListDoc *doc = shownListDoc;
    if (!doc)
        return;
    if (!UpdateChecks->StopCheckOf(doc))
        doc->CancelDownload();
}

void TVarneloWindow::actThreadListReloadExecute()
{
    TTavuListDoc *doc = shownListDoc;
    TBoard *board = doc ? doc->GetBoard() : nullptr;
    if (!board || doc->DownloadState != TTavuListDoc::dsIdle)
        return;
    doc->SortFlag = false;
    StartThreadListDownload(board, true, false);
}

void TVarneloWindow::actThreadListCloseExecute()
{
    HintWindow->hide();
    TTavuListDoc *doc = shownListDoc;
    if (doc && doc->IsLocked() && TavuConfig->THREADTAB_CHECKLOCKCLOSE
        && Kpwfunc::ShowMessage(Kpwfunc::mkInformation, QStringLiteral("このタブはロックされています。閉じてもいいですか？"),
                                Kpwfunc::mbYesNo)
               != Kpwfunc::mrYes)
        return;
    ShowListDoc(nullptr, false);
    Kpwfunc::CloseActiveListDoc(*this, true);
}

// Closes the other tabs (allTabs: every tab), except those locked, those still loading and those
// whose last download failed.
void TVarneloWindow::actThreadListCloseAllExecute(bool allTabs)
{
    HintWindow->hide();
    if (ListDocs.isEmpty())
        return;
    ShowListDoc(nullptr, false);
    const QList<TTavuListDoc *> docs = ListDocs;
    for (qsizetype i = docs.size() - 1; i >= (allTabs ? 0 : 1); --i) {
        TTavuListDoc *doc = docs.at(i);
        if (!doc->IsLocked() && doc->IsSettled())
            Kpwfunc::CloseListDoc(*this, doc, false);
    }
    Kpwfunc::UpdateBarWidth(ThreadListBar);
    if (!ListDocs.isEmpty())
        ListDocs.first()->Activate();
}

void TVarneloWindow::actThreadListLockExecute()
{
    TTavuListDoc *doc = shownListDoc;
    if (!doc)
        return;
    doc->SetLocked(!doc->IsLocked());
    SetActionChecked(QStringLiteral("actThreadListLock"), doc->IsLocked());
    ThreadListBar->update();
}

void TVarneloWindow::actThreadListSaveTabExecute()
{
    TTextList lines;
    for (QAction *action : ThreadListBar->actions()) {
        const auto *button = qobject_cast<TThreadListToolButton *>(ThreadListBar->widgetForAction(action));
        const TTavuListDoc *doc = button ? button->ListDoc : nullptr;
        if (!doc || doc->Mode != TTavuListDoc::lmBoard || !doc->Site || doc->BoardID.isEmpty())
            continue;
        lines.Add(ThreadListPane::TabLineText({doc->Site->SITEID, doc->BoardID, doc == shownListDoc}));
    }
    try {
        lines.SaveToFile(TabStateFile());
    } catch (const EVarnelo &e) {
        Kpwfunc::ShowMessage(Kpwfunc::mkError, e.Message);
    }
}

// Opens the boards of tabthread.txt in file order (boards gone since are skipped) and shows the
// tab that was shown when the file was written.
void TVarneloWindow::actThreadListLoadTabExecute()
{
    TTextList lines;
    if (!lines.LoadFromFile(TabStateFile()))
        return;
    TBoard *shown = nullptr;
    for (const QString &text : lines.Lines) {
        ThreadListPane::TTabLine line;
        if (!ThreadListPane::ParseTabLine(text, line))
            continue;
        TSite *site = TavuEnviron->SiteList()->FindBySiteID(line.SiteID);
        TBoard *board = site ? site->Boards->FindByID(line.BoardID) : nullptr;
        if (!board)
            continue;
        StartThreadListDownload(board, false, false);
        if (line.Shown)
            shown = board;
    }
    TTavuListDoc *doc = nullptr;
    if (shown && Kpwfunc::FindBoardTab(*this, shown, doc))
        doc->Activate();
}

// The switch shows its picture while online and the same picture greyed while offline.
void TVarneloWindow::actOnlineExecute()
{
    QAction *online = Action(QStringLiteral("actOnline"));
    const bool on = online && online->isChecked();
    TavuEnviron->SetOffline(!on);
    if (!on && DolibManager)
        DolibManager->Logout();
    if (online) {
        const QIcon picture = ActionImage.value(imgOnline);
        online->setIcon(on ? picture : QIcon(picture.pixmap(16, 16, QIcon::Disabled)));
    }
    UpdateBoardListMenu();
    UpdateThreadListMenu();
    UpdateBrowserMenu();
}

// The block page shows in a tab, the browser pane in view.
void TVarneloWindow::ShowBlockPage(const QString &url)
{
    Kpwfunc::OpenUrl(*this, url, QStringLiteral("ようこそバーボンハウスへ"));
    const QAction *browserPane = Action(QStringLiteral("actShowBrowser"));
    if (browserPane && !browserPane->isChecked())
        Execute(QStringLiteral("actShowPaneChange"));
}
