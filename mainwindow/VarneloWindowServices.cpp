#include "mainwindow/VarneloWindowServices.h"

#include "mainwindow/VarneloWindow.h"

#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
#include "controls/KpwBoardTree.h"
#include "controls/KpwServices.h"
#include "controls/MenuBar.h"
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
#include "mainwindow/WindowSearch.h"
#include "mainwindow/WindowTabs.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "services/KpwSearch.h"
#include "tools/PreviewBrowser.h"
#include "tools/SendDialog.h"

#include <QComboBox>
#include <QCursor>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
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

void TVarneloWindowServices::SetCommandsEnabled(bool enabled)
{
    window.SetCommandsEnabled(enabled);
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
    window.Threads->OpenThread(item, reload, newTab, activate, resNumber, false, QString());
}

void TVarneloWindowServices::OpenBoard(TBoard *board, bool reload)
{
    window.StartThreadListDownload(board, reload, false);
}

void TVarneloWindowServices::AddLog(const QString &text)
{
    Kpwfunc::AddLog(text);
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
    window.ThreadListView->viewport()->update();
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

void TVarneloWindowServices::OnOptionsApplied(QObject *receiver, const std::function<void()> &handler)
{
    QObject::connect(&window, &TVarneloWindow::OptionsApplied, receiver, handler);
}

void TVarneloWindowServices::OnBrowserTabCreated(QObject *receiver, const std::function<void(TTavuBrowser *)> &handler)
{
    QObject::connect(&window, &TVarneloWindow::BrowserTabCreated, receiver, handler);
}

void TVarneloWindowServices::OnThreadShown(QObject *receiver, const std::function<void()> &handler)
{
    QObject::connect(&window, &TVarneloWindow::ThreadShown, receiver, handler);
}

void TVarneloWindowServices::WriteReply(TTavuBrowser *tab, const QString &text)
{
    if (TavuEnviron->IsOffline()) {
        Kpwfunc::ShowMessage(Kpwfunc::mkError, QStringLiteral("オフライン状態では実行できません。"));
        return;
    }
    TSendDialog *composer = window.Posts->ShowSendDialog(tab);
    composer->Tab = tab;
    composer->show();
    composer->SenderBody->appendPlainText(text);
}

QList<TTavuBrowser *> TVarneloWindowServices::BrowserTabOrder() const
{
    return Kpwfunc::BrowserTabOrder(window);
}

QList<TTavuListDoc *> TVarneloWindowServices::ListDocTabOrder() const
{
    return Kpwfunc::ListDocTabOrder(window);
}

void TVarneloWindowServices::ShowBrowserTab(TTavuBrowser *tab)
{
    window.ShowBrowserTab(tab, true);
}

void TVarneloWindowServices::CloseBrowser(TTavuBrowser *tab)
{
    Kpwfunc::CloseBrowser(window, tab);
}

TTavuBrowser *TVarneloWindowServices::NewPageTab(const QString &caption, bool activate)
{
    TTavuBrowser *tab = nullptr;
    Kpwfunc::NewBrowser(window, tab, nullptr, nullptr, activate, caption);
    return tab;
}

TTavuBrowser *TVarneloWindowServices::NewThreadTab(TThreadItem *item, bool activate)
{
    TTavuBrowser *tab = nullptr;
    Kpwfunc::NewBrowser(window, tab, new TResList(item), item, activate, item->ShownTitle());
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
    return TVarneloWindow::ResRulesFile();
}

QString TVarneloWindowServices::ThreadRulesFile() const
{
    return TVarneloWindow::ThreadRulesFile();
}

void TVarneloWindowServices::SaveResRules()
{
    try {
        window.ResRules->SaveToFile(TVarneloWindow::ResRulesFile());
    } catch (const EVarnelo &e) {
        Kpwfunc::AddLog(e.Message);
    }
}

// ---- filters, erasing, log search and notices ----

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

void TVarneloWindowServices::ShowFirstSite()
{
    window.ShowFirstSite();
}

void TVarneloWindowServices::ReloadBBSBar()
{
    window.LoadBBSBar();
}

void TVarneloWindowServices::JumpToBoardInTree(TBoard *board)
{
    Kpwfunc::JumpToBoardInTree(window, board);
}

bool TVarneloWindowServices::BoardListsBusy()
{
    return Kpwfunc::BoardListsBusy();
}

TBoard *TVarneloWindowServices::SelectedTreeBoard() const
{
    return Kpwfunc::NodeBoard(window.BoardListView->currentItem());
}

TTavuListDoc *TVarneloWindowServices::ShownListDoc() const
{
    return window.ShownListDoc();
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

void TVarneloWindowServices::SelectedThreadsLeft(TTavuListDoc *doc)
{
    window.ThreadListView->clearSelection();
    ThreadListChanged(doc);
}

TTavuBrowser *TVarneloWindowServices::FilterResView(const Kpwfunc::TResSearch &search)
{
    return window.FilterResView(search);
}

void TVarneloWindowServices::ShowResInPreview(TThreadItem *item, const TRes &res)
{
    Kpwfunc::ShowResInPreview(window, item, res);
}

void TVarneloWindowServices::ShowResListInPreview(TThreadItem *item, TResList *list)
{
    Kpwfunc::ShowResListInPreview(window, item, list);
}

void TVarneloWindowServices::ShowUrlInDoubleWindow(const QString &url)
{
    Kpwfunc::ShowUrlInDoubleWindow(window, url);
}

void TVarneloWindowServices::OpenThreadUrl(const QString &url, bool fromViewer)
{
    Kpwfunc::OpenThreadUrl(window, url, fromViewer);
}

void TVarneloWindowServices::OpenWebPage(const QString &url, const QString &caption)
{
    Kpwfunc::OpenUrl(window, url, caption);
}

bool TVarneloWindowServices::DoubleWindowShown() const
{
    return Kpwfunc::DoubleWindowShown(window);
}

// ---- panes ----

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
    panes.ToolsMenu = window.Tool1;
    panes.VisitedBoardsMenu = window.GaishutuMenu;
    panes.VisitedBoardsBar = window.GaishutuToolBar;
    panes.ThreadInfoSplitter = window.ThreadInfoSplitter;
    panes.ThreadInfoPanel = window.ThreadInfoPanel;
    panes.ImagePaneSplitter = window.ImagePaneSplitter;
    return panes;
}

void TVarneloWindowServices::RefillBoardTree()
{
    window.SiteComboBoxChange();
}

void TVarneloWindowServices::ShowNewBoardsOf(TSite *site, bool filtered)
{
    if (site && window.CurrentSite() == site)
        Kpwfunc::FillBoardTree(window.BoardListView, site, filtered ? window.BoardFilterCombo->currentText() : QString());
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

// ---- bookmarks, history, export and the view preset ----

TTextList &TVarneloWindowServices::BookmarkIndex() const
{
    return *window.BookmarkList;
}

QString TVarneloWindowServices::BookmarkIndexFile() const
{
    return TVarneloWindow::BookmarkFile();
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
    Kpwfunc::RefreshThreadListItem(window, item);
    window.UpdateThreadListMenu();
    window.UpdateBrowserMenu();
}

void TVarneloWindowServices::ShortcutsChanged()
{
    window.LoadShortcutBars();
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

void TVarneloWindowServices::OpenInPreviewBrowser(const QString &url)
{
    PreviewBrowser::ShowUrl(window.Services(), url);
}

QWidget *TVarneloWindowServices::TracePane() const
{
    return window.Memo3;
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
    window.ReloadThreadListColumns();
}

void TVarneloWindowServices::ReloadToolBarsAndMenus()
{
    window.RestoreToolBarsAndMenus();
}
