#include "mainwindow/VarneloWindowServices.h"

#include "mainwindow/VarneloWindow.h"

#include "commands/ShortcutBarCommands.h"
#include "commands/ThreadTabController.h"
#include "commands/ToolCommands.h"
#include "controls/BarsAndMenus.h"
#include "controls/BoardTree.h"
#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
#include "controls/MenuBar.h"
#include "controls/WindowEvents.h"
#include "controls/WindowLists.h"
#include "core/Exceptions.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/TavuActionList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "flows/PostController.h"
#include "flows/ThreadController.h"
#include "flows/ThreadListController.h"
#include "flows/UpdateCheckController.h"
#include "mainwindow/BoardPane.h"
#include "mainwindow/ListPane.h"
#include "mainwindow/WindowSearch.h"
#include "mainwindow/WindowTabs.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "services/ResSearch.h"
#include "tools/PreviewBrowser.h"
#include "tools/SendDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QCursor>
#include <QItemSelectionModel>
#include <QMenu>
#include <QToolBar>
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
    return window.Tabs().GetActiveBrowser(tab) ? tab : nullptr;
}

TTavuListDoc *TVarneloWindowServices::CurrentListDoc() const
{
    TTavuListDoc *doc = nullptr;
    return window.Tabs().GetActiveListDoc(doc) ? doc : nullptr;
}

QList<TTavuBrowser *> TVarneloWindowServices::Browsers() const
{
    return window.Tabs().Browsers();
}

QList<TTavuListDoc *> TVarneloWindowServices::ListDocs() const
{
    return window.Tabs().ListDocs();
}

void TVarneloWindowServices::OpenThread(TThreadItem *item, bool reload, bool newTab, bool activate, int resNumber)
{
    window.Threads->OpenThread(item, reload, newTab, activate, resNumber, false, QString());
}

void TVarneloWindowServices::OpenBoard(TBoard *board, bool reload)
{
    window.ListPane().StartThreadListDownload(board, reload, false);
}

void TVarneloWindowServices::AddLog(const QString &text)
{
    EventLog::AddLog(text);
}

void TVarneloWindowServices::UpdateBrowserMenu()
{
    window.UpdateBrowserMenu();
}

void TVarneloWindowServices::UpdateStatusCaption(TThreadItem *item)
{
    window.UpdateStatusCaption(item);
}

void TVarneloWindowServices::RepaintThreadList()
{
    window.ListPane().View()->viewport()->update();
}

void TVarneloWindowServices::RefreshResView()
{
    window.Threads->RefreshResView();
}

void TVarneloWindowServices::RenderResList(IResultView *view, TResList *list)
{
    window.Threads->RenderResList(view, list);
}

TTavuHintWindow *TVarneloWindowServices::HintWindow() const
{
    return window.HintWindow;
}

QTimer *TVarneloWindowServices::HtmlPopupTimer() const
{
    return window.HtmlPopupTimer;
}

QMenu *TVarneloWindowServices::BrowserSelectionMenu() const
{
    return window.BrowserSelectionMenu;
}

QMenu *TVarneloWindowServices::BrowserPopupMenu() const
{
    return window.BrowserPopup;
}

void TVarneloWindowServices::PopupResMenu()
{
    window.ResPopup->popup(QCursor::pos());
}

void TVarneloWindowServices::PopupResIDMenu()
{
    window.ResIDPopup->popup(QCursor::pos());
}

TWindowEvents &TVarneloWindowServices::Events() const
{
    return *window.events;
}

void TVarneloWindowServices::TypeAddress(const QString &text)
{
    window.UrlComboBox->setEditText(text);
    window.UrlComboBox->setFocus();
}

void TVarneloWindowServices::WriteReply(TTavuBrowser *tab, const QString &text)
{
    if (TavuEnviron->IsOffline()) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("オフライン状態では実行できません。"));
        return;
    }
    TSendDialog *composer = window.Posts->ShowSendDialog(tab);
    composer->Tab = tab;
    composer->show();
    composer->SenderBody->appendPlainText(text);
}

QList<TTavuBrowser *> TVarneloWindowServices::BrowserTabOrder() const
{
    return window.Tabs().BrowserTabOrder();
}

QList<TTavuListDoc *> TVarneloWindowServices::ListDocTabOrder() const
{
    return window.Tabs().ListDocTabOrder();
}

void TVarneloWindowServices::ShowBrowserTab(TTavuBrowser *tab)
{
    window.Tabs().ShowBrowserTab(tab, true);
}

void TVarneloWindowServices::CloseBrowser(TTavuBrowser *tab, bool redraw)
{
    window.Tabs().CloseBrowser(tab, redraw);
}

TTavuBrowser *TVarneloWindowServices::NewPageTab(const QString &caption, bool activate)
{
    TTavuBrowser *tab = nullptr;
    window.Tabs().NewBrowser(tab, nullptr, nullptr, activate, caption);
    return tab;
}

TTavuBrowser *TVarneloWindowServices::NewThreadTab(TThreadItem *item, bool activate)
{
    TTavuBrowser *tab = nullptr;
    window.Tabs().NewBrowser(tab, new TResList(item), item, activate, item->ShownTitle());
    return tab;
}

TTavuActionList *TVarneloWindowServices::ResRules() const
{
    return window.ResRules.get();
}

TTavuActionList *TVarneloWindowServices::ThreadRules() const
{
    return window.ThreadRules.get();
}

QString TVarneloWindowServices::ResRulesFile() const
{
    return TWindowLists::ResRulesFile();
}

QString TVarneloWindowServices::ThreadRulesFile() const
{
    return TWindowLists::ThreadRulesFile();
}

void TVarneloWindowServices::SaveResRules()
{
    try {
        window.ResRules->SaveToFile(TWindowLists::ResRulesFile());
    } catch (const EVarnelo &e) {
        EventLog::AddLog(e.Message);
    }
}

// ---- filters, erasing, log search and notices ----

TSite *TVarneloWindowServices::CurrentSite() const
{
    return window.BoardPane().CurrentSite();
}

void TVarneloWindowServices::ShowSiteBoards(TSite *site)
{
    window.BoardPane().ShowSiteBoards(site);
}

void TVarneloWindowServices::ShowFirstSite()
{
    window.BoardPane().ShowFirstSite();
}

void TVarneloWindowServices::ReloadBBSBar()
{
    window.LoadBBSBar();
}

void TVarneloWindowServices::JumpToBoardInTree(TBoard *board)
{
    window.BoardPane().JumpToBoardInTree(board);
}

bool TVarneloWindowServices::BoardListsBusy()
{
    return BoardTree::BoardListsBusy();
}

TBoard *TVarneloWindowServices::SelectedTreeBoard() const
{
    return window.BoardPane().SelectedBoard();
}

TTavuListDoc *TVarneloWindowServices::ShownListDoc() const
{
    return window.ListPane().ShownListDoc();
}

QList<TThreadItem *> TVarneloWindowServices::SelectedThreads() const
{
    QList<TThreadItem *> items;
    TTavuListDoc *doc = window.ListPane().ShownListDoc();
    if (!doc)
        return items;
    for (int row : window.ListPane().View()->SelectedRows()) {
        if (row < doc->Items()->Count())
            items << doc->Items()->Get(row);
    }
    return items;
}

bool TVarneloWindowServices::SelectThreadRow(TThreadItem *item)
{
    TTavuListDoc *doc = window.ListPane().ShownListDoc();
    const int row = doc ? doc->Items()->IndexOf(item) : -1;
    if (row < 0 || row >= doc->DisplayCount())
        return false;
    TqorExtListView *view = window.ListPane().View();
    view->clearSelection();
    const QModelIndex index = view->model()->index(row, 0);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(index);
    return true;
}

void TVarneloWindowServices::ThreadListChanged(TTavuListDoc *doc)
{
    window.ListPane().ShowRowCountOf(doc, doc->DisplayCount(), true);
    window.UpdateThreadListMenu();
}

void TVarneloWindowServices::SelectedThreadsLeft(TTavuListDoc *doc)
{
    window.ListPane().View()->clearSelection();
    ThreadListChanged(doc);
}

TTavuBrowser *TVarneloWindowServices::FilterResView(const ResSearch::TResSearch &search)
{
    return window.FilterResView(search);
}

void TVarneloWindowServices::ShowResInPreview(TThreadItem *item, const TRes &res)
{
    WindowSearch::ShowResInPreview(window, item, res);
}

void TVarneloWindowServices::ShowResListInPreview(TThreadItem *item, TResList *list)
{
    WindowSearch::ShowResListInPreview(window, item, list);
}

void TVarneloWindowServices::ShowUrlInDoubleWindow(const QString &url)
{
    WindowSearch::ShowUrlInDoubleWindow(window, url);
}

void TVarneloWindowServices::OpenThreadUrl(const QString &url, bool fromViewer)
{
    WindowTabs::OpenThreadUrl(window, url, fromViewer);
}

void TVarneloWindowServices::OpenWebPage(const QString &url, const QString &caption)
{
    WindowTabs::OpenUrl(window, url, caption);
}

bool TVarneloWindowServices::DoubleWindowShown() const
{
    return WindowSearch::DoubleWindowShown(window);
}

// ---- panes ----

void TVarneloWindowServices::BindEvents()
{
    TWindowEvents *events = window.events;
    QObject::connect(window.panes.get(), &TPaneLayout::BoardPaneToggled, events, &TWindowEvents::BoardPaneToggled);
    QObject::connect(window.panes.get(), &TPaneLayout::BodySplitterMoved, events, &TWindowEvents::BodySplitterMoved);
    if (QLineEdit *filter = window.BoardPane().FilterBox()->lineEdit())
        QObject::connect(filter, &QLineEdit::returnPressed, events, &TWindowEvents::BoardFilterEntered);
    window.panes->SendLogLinesTo(*events);
}

void TVarneloWindowServices::ShowBoardPane(bool shown)
{
    window.panes->ShowBoardPane(shown);
}

void TVarneloWindowServices::PutBoardPaneRight(bool right)
{
    window.panes->PutBoardPaneRight(right);
}

int TVarneloWindowServices::HideBodyPane(TBodyPane pane)
{
    return window.panes->HideBodyPane(pane);
}

void TVarneloWindowServices::ShowBodyPane(TBodyPane pane, int size)
{
    window.panes->ShowBodyPane(pane, size);
}

bool TVarneloWindowServices::BodyPaneShown(TBodyPane pane) const
{
    return window.panes->BodyPaneShown(pane);
}

void TVarneloWindowServices::LayOutBody(bool sideBySide)
{
    window.panes->LayOutBody(sideBySide);
}

void TVarneloWindowServices::SpanThreadList(bool span)
{
    window.panes->SpanThreadList(span);
}

void TVarneloWindowServices::ShowLogPane(bool shown)
{
    window.panes->ShowLogPane(shown);
}

void TVarneloWindowServices::ShowHeaderBars(bool shown)
{
    for (QToolBar *bar : window.CoolBarBands()) {
        if (bar != window.MenuBar1)
            bar->setVisible(shown);
    }
}

void TVarneloWindowServices::ShowBoardFilter(bool shown)
{
    QComboBox *filter = window.BoardPane().FilterBox();
    filter->setVisible(shown);
    if (filter->isVisible())
        filter->setFocus();
}

void TVarneloWindowServices::ExpandBoardTree(bool expand)
{
    QTreeWidget *tree = window.BoardPane().Tree();
    tree->setUpdatesEnabled(false);
    if (expand)
        tree->expandAll();
    else
        tree->collapseAll();
    tree->setUpdatesEnabled(true);
}

void TVarneloWindowServices::LayOutTabBar(TBodyPane pane)
{
    window.panes->LayOutTabBar(pane);
}

void TVarneloWindowServices::FocusControl(TPaneControl control)
{
    QWidget *focus = nullptr;
    switch (control) {
    case pcBoardTree:
        focus = window.BoardPane().Tree();
        break;
    case pcThreadList:
        focus = window.ListPane().View();
        break;
    case pcBrowser:
        focus = CurrentBrowser();
        if (!focus)
            focus = window.panes->BrowserPane();
        break;
    case pcSiteBox:
        focus = window.BoardPane().SiteBox();
        break;
    case pcAddressBox:
        focus = window.UrlComboBox;
        break;
    }
    focus->setFocus(Qt::ShortcutFocusReason);
    if (focus->isVisible())
        QCursor::setPos(focus->mapToGlobal(focus->rect().center()));
}

void TVarneloWindowServices::PlaceThreadInfo(QWidget *tabs, QWidget *imagePane, int imagePanePlace)
{
    window.panes->PlaceThreadInfo(tabs, imagePane, imagePanePlace);
}

int TVarneloWindowServices::ThreadInfoWidth() const
{
    return window.panes->ThreadInfoWidth();
}

void TVarneloWindowServices::WatchBrowserTabBar(QObject *filter)
{
    window.panes->WatchBrowserTabBar(filter);
}

QWidget *TVarneloWindowServices::TabDropTarget() const
{
    QTreeWidget *tree = window.BoardPane().Tree();
    tree->setAcceptDrops(true);
    tree->viewport()->setAcceptDrops(true);
    return tree->viewport();
}

bool TVarneloWindowServices::TreeNodeAt(const QPoint &point, TBoard *&board) const
{
    const QTreeWidgetItem *node = window.BoardPane().Tree()->itemAt(point);
    board = BoardTree::NodeBoard(node);
    return node != nullptr;
}

void TVarneloWindowServices::RefillBoardTree()
{
    window.BoardPane().SiteComboBoxChange();
}

void TVarneloWindowServices::ShowNewBoardsOf(TSite *site, bool filtered)
{
    window.BoardPane().ShowNewBoardsOf(site, filtered);
}

void TVarneloWindowServices::ApplyTabBarPositions()
{
    window.panes->ApplyTabBarPositions();
}

QList<QIcon> TVarneloWindowServices::ActionImages() const
{
    return window.ActionImage;
}

void TVarneloWindowServices::CloseBoardTabs(TBoard *board)
{
    window.Tabs().CloseBoardTabs(board);
}

TTavuListDoc *TVarneloWindowServices::NewResultTab(const QString &caption, TThreadItemList *items, TBoard *board)
{
    return window.ListPane().NewResultTab(caption, items, board);
}

// ---- bookmarks, history, export and the view preset ----

TTextList &TVarneloWindowServices::BookmarkIndex() const
{
    return window.Lists->BookmarkList;
}

QString TVarneloWindowServices::BookmarkIndexFile() const
{
    return TWindowLists::BookmarkFile();
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

// ---- sites and boards ----

void TVarneloWindowServices::ThreadStateChanged(TThreadItem *item)
{
    WindowTabs::RefreshThreadListItem(window, item);
    window.UpdateThreadListMenu();
    window.UpdateBrowserMenu();
}

void TVarneloWindowServices::ShortcutsChanged()
{
    window.shortcutBars->LoadShortcutBars();
}

// ---- outside services ----

TBoard *TVarneloWindowServices::ShownBoard() const
{
    const QAction *browserShown = window.Action(QStringLiteral("actShowBrowser"));
    TTavuBrowser *tab = CurrentBrowser();
    if (tab && browserShown && browserShown->isChecked())
        return tab->GetBoard();
    TTavuListDoc *doc = CurrentListDoc();
    return doc ? doc->GetBoard() : nullptr;
}

// ---- pictures, links and memos ----

void TVarneloWindowServices::ShowPictureView(const QString &url)
{
    window.ShowPictureView(url);
}

void TVarneloWindowServices::OpenInPreviewBrowser(const QString &url)
{
    PreviewBrowser::ShowUrl(*this, *this, url);
}

QWidget *TVarneloWindowServices::TracePane() const
{
    return window.panes->TracePane();
}

void TVarneloWindowServices::ApplySkinChange()
{
    window.Threads->ApplySkinChange();
}

QList<QAction *> TVarneloWindowServices::WindowActions() const
{
    return window.ActionList1->Actions();
}

void TVarneloWindowServices::ReloadToolsMenu()
{
    window.LoadToolsMenu();
}

void TVarneloWindowServices::ReloadThreadListColumns()
{
    window.Lists->ReloadThreadListColumns(window.ListPane().View());
}

void TVarneloWindowServices::ReloadToolBarsAndMenus()
{
    window.RestoreToolBarsAndMenus();
}

// ---- thread-list tabs and rows ----

void TVarneloWindowServices::ShowListDoc(TTavuListDoc *doc)
{
    window.ListPane().ShowListDoc(doc, false);
}

TTavuListDoc *TVarneloWindowServices::BoardTab(const TBoard *board) const
{
    TTavuListDoc *doc = nullptr;
    return window.Tabs().FindBoardTab(board, doc) ? doc : nullptr;
}

void TVarneloWindowServices::CloseListDoc(TTavuListDoc *doc, bool redraw)
{
    window.Tabs().CloseListDoc(doc, redraw);
}

void TVarneloWindowServices::RedrawListTabs()
{
    QToolBar *bar = window.panes->ThreadListTabBar();
    BoardTree::UpdateBarWidth(bar);
    bar->update();
}

TThreadTab *TVarneloWindowServices::FocusedTab() const
{
    return window.Tabs().FocusedController();
}

int TVarneloWindowServices::ThreadListRowCount() const
{
    return window.ListPane().View()->Items()->OwnerDataCount();
}

void TVarneloWindowServices::UpdateBoardListMenu()
{
    window.UpdateBoardListMenu();
}

void TVarneloWindowServices::UpdateThreadListMenu()
{
    window.UpdateThreadListMenu();
}

// ---- command states ----

bool TVarneloWindowServices::HasCurrentTreeNode() const
{
    return window.BoardPane().HasCurrentNode();
}

TThreadItem *TVarneloWindowServices::FocusedThread() const
{
    TTavuListDoc *doc = CurrentListDoc();
    const int row = window.ListPane().View()->currentIndex().row();
    if (!doc || row < 0 || row >= doc->Items()->Count())
        return nullptr;
    return doc->Items()->Get(row);
}

bool TVarneloWindowServices::UpdateCheckRunning() const
{
    return window.UpdateChecks && window.UpdateChecks->CheckRunning;
}

void TVarneloWindowServices::ShowNewThreadCount(int count)
{
    window.ShowNewThreadCount(count);
}

void TVarneloWindowServices::DownloadNextPage(TTavuListDoc *doc)
{
    window.ListPane().Flow().DownloadNextPage(doc);
}

bool TVarneloWindowServices::StopCheckOf(TTavuListDoc *doc)
{
    return window.UpdateChecks->StopCheckOf(doc);
}

QStringList TVarneloWindowServices::ThreadListColumns() const
{
    return window.Lists->ThreadListColumns;
}

void TVarneloWindowServices::SetThreadListRowCount(int count, bool keepScroll)
{
    window.ListPane().SetThreadListRowCount(count, keepScroll);
}

// ---- response search ----

void TVarneloWindowServices::ShowExtractTab(TThreadItem *item, TResList *list, const QString &url)
{
    TTavuBrowser *tab = window.Tabs().NewExtractTab(item, list, true, url);
    WindowSearch::WriteExtractView(window, tab, nullptr);
}

void TVarneloWindowServices::SearchBoardLogs(TTavuListDoc *doc, const ResSearch::TResSearch &search)
{
    WindowSearch::SearchBoardLogs(window, doc, search);
}

void TVarneloWindowServices::ShowDoubleWindow(bool show)
{
    WindowSearch::ShowDoubleWindow(window, show);
}

QList<TSite *> TVarneloWindowServices::OfferedSites() const
{
    return window.BoardPane().OfferedSites();
}

bool TVarneloWindowServices::FindTreeNode(const QString &text, bool fromNext)
{
    return window.BoardPane().FindTreeNode(text, fromNext);
}

void TVarneloWindowServices::RefreshTreeNodeIcon()
{
    window.BoardPane().RefreshTreeNodeIcon();
}

QPoint TVarneloWindowServices::VisitedBoardsMenuPlace() const
{
    QWidget *button = window.GaishutuToolBar->widgetForAction(window.Action(QStringLiteral("actBoardGaishutu")));
    return button && button->isVisible() ? button->mapToGlobal(QPoint(0, button->height())) : QCursor::pos();
}

// ---- stop-all and shutdown ----

void TVarneloWindowServices::HideWindow()
{
    window.hide();
}

void TVarneloWindowServices::StopAll()
{
    window.toolCommands->actDisconnectExecute();
}

void TVarneloWindowServices::ClearBusy()
{
    window.ClearBusy();
}

void TVarneloWindowServices::StopFocusTimer()
{
    window.FocusTimer->stop();
}

void TVarneloWindowServices::SaveBoardTreeState()
{
    window.BoardPane().SaveTreeState();
}

void TVarneloWindowServices::ReleaseTabs()
{
    window.Tabs().ReleaseTabs();
    if (window.PrivateBrowser)
        window.PrivateBrowser->CloseThread();
}

void TVarneloWindowServices::ReleaseSessionParts()
{
    window.HintWindow = nullptr;
    window.ResRules.reset();
    window.ThreadRules.reset();
}
