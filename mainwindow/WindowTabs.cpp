// The tabs of the main window: board tabs (thread-list documents) and thread tabs (browser tabs),
// each with its button on a tab bar and its item in a tab menu.

#include "mainwindow/WindowTabs.h"

#include "controls/BoardTreeImages.h"
#include "controls/KpwBoardTree.h"
#include "services/KpwUrl.h"
#include "services/ThreadListPane.h"

#include "commands/NoticeCommands.h"
#include "commands/ToolCommands.h"
#include "controls/ExtListView.h"
#include "controls/KpwServices.h"
#include "controls/TabButton.h"
#include "controls/TabMenuItem.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "flows/ThreadController.h"
#include "mainwindow/VarneloWindow.h"
#include "mainwindow/VarneloWindowStatusBar.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <QActionGroup>
#include <QComboBox>
#include <QLayout>
#include <QMenu>
#include <QStyle>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>

namespace Kpwfunc {

namespace {

constexpr int SeparatorWidth = 3;

bool IsPaneShown(const TVarneloWindow &window, const char *action)
{
    const QAction *pane = window.Action(QString::fromUtf8(action));
    return pane && pane->isChecked();
}

void SwitchPaneFromBoardList(TVarneloWindow &window, bool wanted)
{
    if (wanted && TavuConfig->CHANGEPANE_BOARDLIST)
        window.Execute(QStringLiteral("actShowPaneChange"));
}

// The radio group of a tab menu's items.
QActionGroup *TabGroup(QMenu *menu)
{
    auto *group = menu->findChild<QActionGroup *>(QStringLiteral("TabGroup"));
    if (!group) {
        group = new QActionGroup(menu);
        group->setObjectName(QStringLiteral("TabGroup"));
    }
    return group;
}

void AddTabMenuItem(QMenu *menu, QAction *item, const QString &caption)
{
    item->setText(EscapeMenuCaption(caption));
    item->setActionGroup(TabGroup(menu));
    menu->addAction(item);
}

// The button at the right end of the bar, followed by its thin separator.
void AddTabButton(QToolBar *bar, TTavuToolButton *button, const QString &caption)
{
    button->setText(EscapeMenuCaption(caption));
    bar->addWidget(button);
    auto *separator = new QWidget(bar);
    separator->setFixedWidth(SeparatorWidth);
    bar->addWidget(separator);
    UpdateBarWidth(bar);
}

// Takes the button and its separator off the bar and frees them.
void RemoveTabButton(QToolBar *bar, QAbstractButton *button)
{
    if (!button)
        return;
    const QList<QAction *> actions = bar->actions();
    for (int i = 0; i < actions.size(); ++i) {
        if (bar->widgetForAction(actions[i]) != button)
            continue;
        if (i + 1 < actions.size()) {
            QWidget *separator = bar->widgetForAction(actions[i + 1]);
            bar->removeAction(actions[i + 1]);
            delete separator;
        }
        bar->removeAction(actions[i]);
        break;
    }
    delete button;
}

template <typename Button>
QList<Button *> TabButtons(QToolBar *bar)
{
    QList<Button *> buttons;
    for (QAction *action : bar->actions()) {
        if (auto *button = qobject_cast<Button *>(bar->widgetForAction(action)))
            buttons.append(button);
    }
    return buttons;
}

void ApplyThreadListFont(TqorExtListView *view)
{
    QFont font = view->font();
    if (font.family() != TavuConfig->THREADLISTFONTNAME || font.pointSize() != TavuConfig->THREADLISTFONTSIZE) {
        font.setFamily(TavuConfig->THREADLISTFONTNAME);
        if (TavuConfig->THREADLISTFONTSIZE > 0)
            font.setPointSize(TavuConfig->THREADLISTFONTSIZE);
        view->setFont(font);
    }
}

// The close and reload requests of a tab button run the tab commands; a middle click presses the
// button and then closes (WHEELCLICK 1) or reloads (0) its tab; a right click opens the tab menu.
// Its close mark shows as SHOWCLOSEBTN of its kind says.
void BindTabButtonRequests(TVarneloWindow &window, TTavuToolButton *button, const QString &closeAction, const QString &reloadAction,
                           int TTavuConfig::*wheelClick, bool TTavuConfig::*showClose, QMenu *menu)
{
    button->SetCloseMarkShown(TavuConfig->*showClose);
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(button, &QWidget::customContextMenuRequested, menu,
                     [button, menu](const QPoint &pos) { menu->popup(button->mapToGlobal(pos)); });
    button->OnCloseClick = [&window, closeAction](TTavuToolButton *) { window.Execute(closeAction); };
    button->OnReloadClick = [&window, reloadAction](TTavuToolButton *) { window.Execute(reloadAction); };
    QObject::connect(button, &TTavuToolButton::MiddleClicked, &window, [wheelClick](TTavuToolButton *pressed) {
        pressed->click();
        const int choice = TavuConfig->*wheelClick;
        if (choice == 1)
            pressed->DoCloseClick();
        else if (choice == 0)
            pressed->DoReloadClick();
    });
}

TThreadListToolButton *NewListDocButton(TVarneloWindow &window, QToolBar *bar, QMenu *popup, TTavuListDoc *doc,
                                        const QString &caption)
{
    auto *button = new TThreadListToolButton(bar);
    button->ListDoc = doc;
    AddTabButton(bar, button, caption);
    QObject::connect(button, &QAbstractButton::clicked, &window, [&window, doc] { window.ThreadListTabClick(doc); });
    BindTabButtonRequests(window, button, QStringLiteral("actThreadListClose"), QStringLiteral("actThreadListReload"),
                          &TTavuConfig::THREADTAB_WHEELCLICK, &TTavuConfig::THREADLIST_SHOWCLOSEBTN, popup);
    return button;
}

TBrowserToolButton *NewBrowserButton(TVarneloWindow &window, QToolBar *bar, QMenu *popup, TTavuBrowser *browser,
                                     const QString &caption)
{
    auto *button = new TBrowserToolButton(bar);
    button->Browser = browser;
    AddTabButton(bar, button, caption);
    QObject::connect(button, &QAbstractButton::clicked, &window, [&window, browser] { window.ShowBrowserTab(browser, true); });
    BindTabButtonRequests(window, button, QStringLiteral("actBrowserClose"), QStringLiteral("actThreadReload"),
                          &TTavuConfig::BROWSERTAB_WHEELCLICK, &TTavuConfig::BROWSER_SHOWCLOSEBTN, popup);
    return button;
}

TTavuBrowser *NewWebPageTab(TVarneloWindow &window, const QString &url, const QString &caption, bool activate)
{
    TTavuBrowser *browser = nullptr;
    NewBrowser(window, browser, nullptr, nullptr, activate, caption);
    if (browser) {
        browser->SetWebPage(true);
        browser->Title = caption;
        browser->Navigate(url);
    }
    return browser;
}

}  // namespace

void NewListDoc(TVarneloWindow &window, TTavuListDoc *&doc, TThreadItemList *items, int mode, bool activate, const QString &caption,
                TBoard *board)
{
    ApplyThreadListFont(window.ThreadListView);
    doc = new TTavuListDoc(items, &window);
    doc->BoardID = board ? board->ID : QString();
    doc->Site = board ? board->Site : nullptr;
    doc->Caption = caption;
    doc->Mode = mode;
    doc->Favorites = board && board->BBS && board->BBS->ID == QLatin1String("favoritesscript");
    doc->ThreadRules = window.ThreadRules.get();
    doc->OnThreadNotice = [&window](TThreadItem *item, const QString &text) {
        if (window.Notices)
            window.Notices->AddThreadNotice(text, item);
    };
    QObject::connect(doc, &TTavuListDoc::Activated, &window, &TVarneloWindow::ListDocActivated);

    doc->TabButton = NewListDocButton(window, window.ThreadListBar, window.ThreadListPopup, doc, caption);
    auto *item = new TThreadListMenuItem(window.ThreadListTabMenu);
    item->ListDoc = doc;
    doc->TabMenuItem = item;
    AddTabMenuItem(window.ThreadListTabMenu, item, caption);
    doc->UpdateTabImage();
    UpdateBarWidth(window.ThreadListBar);

    if (activate) {
        window.ListDocs.prepend(doc);
        doc->Activate();
    } else {
        window.ListDocs.append(doc);
    }
    window.ShowCount(1, QStringLiteral("板: %1"), int(window.ListDocs.size()));
}

void NewBrowser(TVarneloWindow &window, TTavuBrowser *&browser, TResList *resList, TThreadItem *item, bool activate, const QString &caption)
{
    browser = new TTavuBrowser(window.BrowserViewPanel);
    browser->SetResList(resList);
    browser->Title = caption;
    if (item) {
        browser->SetThreadItem(item);
        browser->SelectSkin(item->GetBoard());
    } else {
        browser->SetWebPage(true);
    }
    window.BindBrowserEvents(browser);

    browser->TabButton = NewBrowserButton(window, window.BrowserToolBar, window.BrowserPopup, browser, caption);
    auto *menuItem = new TBrowserMenuItem(window.BrowserTabMenu);
    menuItem->Browser = browser;
    browser->TabMenuItem = menuItem;
    AddTabMenuItem(window.BrowserTabMenu, menuItem, caption);
    browser->UpdateTabImage();
    UpdateBarWidth(window.BrowserToolBar);

    if (activate) {
        // A thread tab shows up with its first screen: until then, what was shown there stays.
        if (item)
            browser->CoverWith(window.BrowserViewPanel->grab());
        window.Browsers.prepend(browser);
        browser->show();
        browser->Activate();
    } else {
        window.Browsers.append(browser);
        browser->show();
        browser->lower();
    }
    window.ShowCount(2, QStringLiteral("ｽﾚ: %1"), int(window.Browsers.size()));
    window.UpdateBrowserMenu();
}

bool FindBoardTab(TVarneloWindow &window, const TBoard *board, TTavuListDoc *&doc)
{
    doc = nullptr;
    if (!board || !board->Site)
        return false;
    for (TTavuListDoc *candidate : std::as_const(window.ListDocs)) {
        if (candidate->Mode == TTavuListDoc::lmBoard && candidate->Site
            && candidate->Site->SITEID == board->Site->SITEID && candidate->BoardID == board->ID) {
            doc = candidate;
            return true;
        }
    }
    return false;
}

int IndexOfBoardTab(TVarneloWindow &window, const TTavuListDoc *doc)
{
    const QList<TThreadListToolButton *> buttons = TabButtons<TThreadListToolButton>(window.ThreadListBar);
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->ListDoc == doc)
            return i;
    }
    return -1;
}

int IndexOfActiveBrowserButton(TVarneloWindow &window)
{
    const QList<TBrowserToolButton *> buttons = TabButtons<TBrowserToolButton>(window.BrowserToolBar);
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked() && buttons[i]->Browser)
            return i;
    }
    return -1;
}

QList<TTavuBrowser *> BrowserTabOrder(TVarneloWindow &window)
{
    QList<TTavuBrowser *> tabs;
    for (const TBrowserToolButton *button : TabButtons<TBrowserToolButton>(window.BrowserToolBar)) {
        if (button->Browser)
            tabs.append(button->Browser);
    }
    return tabs;
}

QList<TTavuListDoc *> ListDocTabOrder(TVarneloWindow &window)
{
    QList<TTavuListDoc *> docs;
    for (const TThreadListToolButton *button : TabButtons<TThreadListToolButton>(window.ThreadListBar)) {
        if (button->ListDoc)
            docs.append(button->ListDoc);
    }
    return docs;
}

void CloseListDoc(TVarneloWindow &window, TTavuListDoc *doc, bool redraw)
{
    if (!doc || !window.ListDocs.contains(doc))
        return;
    if (window.ShownListDoc() == doc)
        window.ShowListDoc(nullptr, false);
    window.DetachListDoc(doc);
    window.ListDocs.removeOne(doc);
    RemoveTabButton(window.ThreadListBar, doc->TabButton);
    delete doc->TabMenuItem;
    doc->deleteLater();

    if (!window.ListDocs.isEmpty())
        window.ListDocs.first()->Activate();
    if (redraw)
        UpdateBarWidth(window.ThreadListBar);
    window.UpdateThreadListMenu();
    window.ShowCount(1, QStringLiteral("板: %1"), int(window.ListDocs.size()));
}

void CloseActiveListDoc(TVarneloWindow &window, bool redraw)
{
    TTavuListDoc *doc = nullptr;
    if (window.GetActiveListDoc(doc))
        CloseListDoc(window, doc, redraw);
}

void CloseBrowser(TVarneloWindow &window, TTavuBrowser *browser, bool redraw)
{
    if (!browser || !window.Browsers.contains(browser))
        return;
    window.Threads->DetachBrowser(browser);
    window.Browsers.removeOne(browser);
    browser->Closing = true;
    browser->CloseThread();
    RemoveTabButton(window.BrowserToolBar, browser->TabButton);
    delete browser->TabMenuItem;
    browser->hide();
    browser->deleteLater();

    if (window.Browsers.isEmpty()) {
        window.UrlComboBox->setEditText(QString());
        window.UpdateStatusCaption(nullptr);
    } else {
        window.Browsers.first()->Activate();
    }
    if (redraw)
        UpdateBarWidth(window.BrowserToolBar);
    window.UpdateBrowserMenu();
    window.ShowCount(2, QStringLiteral("ｽﾚ: %1"), int(window.Browsers.size()));
    window.ProgressBar->Reset();
}

void CloseActiveBrowser(TVarneloWindow &window, bool redraw)
{
    TTavuBrowser *browser = nullptr;
    if (window.GetActiveBrowser(browser))
        CloseBrowser(window, browser, redraw);
}

void CloseBoardTabs(TVarneloWindow &window, const TBoard *board)
{
    TTavuListDoc *doc = nullptr;
    if (FindBoardTab(window, board, doc))
        CloseListDoc(window, doc);
    for (TTavuBrowser *tab : QList<TTavuBrowser *>(window.Browsers)) {
        const TThreadItem *item = tab->IsWebPage() ? nullptr : tab->ThreadItem();
        if (item && item->Site == board->Site && item->BoardID == board->ID)
            CloseBrowser(window, tab);
    }
}

void ShowTabCloseMarks(TVarneloWindow &window)
{
    for (TTavuListDoc *doc : window.ListDocs) {
        if (auto *button = qobject_cast<TTavuToolButton *>(doc->TabButton))
            button->SetCloseMarkShown(TavuConfig->THREADLIST_SHOWCLOSEBTN);
    }
    for (TTavuBrowser *browser : window.Browsers) {
        if (auto *button = qobject_cast<TTavuToolButton *>(browser->TabButton))
            button->SetCloseMarkShown(TavuConfig->BROWSER_SHOWCLOSEBTN);
    }
    UpdateBarWidth(window.ThreadListBar);
    UpdateBarWidth(window.BrowserToolBar);
}

void SetBrowserTabCaption(TVarneloWindow &window, TTavuBrowser *browser)
{
    const TThreadItem *item = browser->ThreadItem();
    const QString title = item ? item->ShownTitle() : browser->Title;
    if (auto *button = browser->TabButton) {
        // A web page's tab is shortened by settings of its own.
        const bool webPage = browser->IsWebPage();
        const bool shorten = webPage ? TavuConfig->WEBSHORTTITLE : TavuConfig->SHORTTITLE;
        if (shorten) {
            const int length = webPage ? TavuConfig->WEBTITLELEN : TavuConfig->TITLELEN;
            button->setText(EscapeMenuCaption(Tavutils::MakeShortCaption(title, length)));
            button->setToolTip(Qt::convertFromPlainText(title, Qt::WhiteSpaceNormal));   // never read as markup
        } else {
            button->setText(EscapeMenuCaption(title));
        }
        UpdateBarWidth(window.BrowserToolBar);
    }
    if (browser->TabMenuItem)
        browser->TabMenuItem->setText(EscapeMenuCaption(title));
    browser->UpdateTabImage();
}

void SetListDocCaption(TVarneloWindow &window, TTavuListDoc *doc)
{
    if (!doc->TabButton)
        return;
    const TBoard *board = doc->Mode == TTavuListDoc::lmBoard ? doc->GetBoard() : nullptr;
    const QString name = board ? board->Name : doc->Caption;
    if (TavuConfig->BOARDSHORTTITLE) {
        doc->TabButton->setText(EscapeMenuCaption(Tavutils::MakeShortCaption(name, TavuConfig->BOARDTITLELEN)));
        doc->TabButton->setToolTip(Qt::convertFromPlainText(name, Qt::WhiteSpaceNormal));
    } else {
        doc->TabButton->setText(EscapeMenuCaption(name));
    }
    UpdateBarWidth(window.ThreadListBar);
}

void RefreshTabCaptions(TVarneloWindow &window)
{
    for (TTavuBrowser *browser : window.Browsers)
        SetBrowserTabCaption(window, browser);
    for (TTavuListDoc *doc : window.ListDocs)
        SetListDocCaption(window, doc);
}

void OpenSelectedThread(TVarneloWindow &window, bool newTab)
{
    TTavuListDoc *doc = nullptr;
    const int row = window.ThreadListView->currentIndex().row();
    if (row < 0 || !window.GetActiveListDoc(doc) || row >= doc->Items()->Count())
        return;
    if (!window.ThreadListView->selectionModel()->isRowSelected(row, QModelIndex()))
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
    for (TTavuListDoc *doc : std::as_const(window.ListDocs)) {
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
    if (!item || !window.GetActiveListDoc(active))
        return;
    TqorExtListView *view = window.ThreadListView;
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

void OpenThreadUrl(TVarneloWindow &window, const QString &url, bool fromViewer)
{
    auto *item = new TThreadItem;
    TResList responses;
    int resNo = 0;
    TSite *site = nullptr;
    TBoard *board = nullptr;
    if (MatchBoardUrl(url, responses, *item, resNo, site, board)) {
        item->BoardID = board->ID;
        if (board->BBS)
            item->BBS = board->BBS;
        item->Site = site;
        item->DownloadRequest = true;
        window.OpenThread(item, false, false, true, resNo, false, item->BBS->GetThreadUrl(item));
    } else if (IsBoardUrl(url, board)) {
        window.StartThreadListDownload(board, false, false);
    } else {
        OpenUrl(window, url, url, true, fromViewer);
    }
    item->Release();
}

void OpenUrl(TVarneloWindow &window, const QString &url, const QString &caption, bool activate, bool fromViewer)
{
    switch (TavuConfig->URL_OPENINVARNELO) {
    case 0:
    case 2:
        if (TTavuBrowser *browser = NewWebPageTab(window, url, caption, activate))
            browser->FromViewer = fromViewer;
        break;
    case 1:
        OpenUrlExternal(url);
        break;
    default:
        break;
    }
}

// ---- board tree ----

void BoardTreeChange(TVarneloWindow &window, QTreeWidget *tree)
{
    QTreeWidgetItem *node = tree->currentItem();
    if (TBoard *board = NodeBoard(node)) {
        if (board->Kind == TBoard::KIND_WWW) {
            OpenUrl(window, board->URL, board->Name, true);
            SwitchPaneFromBoardList(window, IsPaneShown(window, "actShowThreadList2") && !IsPaneShown(window, "actShowBrowser"));
            return;
        }
        window.StartThreadListDownload(board, false, false);
        if ((board->Kind == TBoard::KIND_NORMAL || board->Kind == TBoard::KIND_RSS) && TavuConfig->CACHED) {
            board->Opened = true;
            node->setIcon(0, BoardTreeImages::BoardIcon(*board));
        }
        SwitchPaneFromBoardList(window, !IsPaneShown(window, "actShowThreadList2"));
        return;
    }
    if (NodeSite(node) && node->childCount() == 0) {
        FillSiteBoards(tree, node);
        if (TavuConfig->BOARDLISTSETTING == 1)
            node->setExpanded(true);
    }
}

void SelectBoardInTree(TVarneloWindow &window, const TBoard *board)
{
    if (!board)
        return;
    if (board->Site != window.CurrentSite())
        window.SelectSite(board->Site);
    SelectBoardNode(window.BoardListView, board);
}

void JumpToBoardInTree(TVarneloWindow &window, const TBoard *board)
{
    if (TavuConfig->JUMPSHORTCUT)
        SelectBoardInTree(window, board);
}

}  // namespace Kpwfunc
