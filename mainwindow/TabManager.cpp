#include "mainwindow/TabManager.h"

#include "commands/ThreadTabController.h"
#include "controls/BarsAndMenus.h"
#include "controls/BoardTree.h"
#include "controls/TabButton.h"
#include "controls/TabMenuItem.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "mainwindow/VarneloWindow.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <QActionGroup>
#include <QMenu>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>

namespace {

constexpr int SeparatorWidth = 3;

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
    item->setText(BarsAndMenus::EscapeMenuCaption(caption));
    item->setActionGroup(TabGroup(menu));
    menu->addAction(item);
}

// The button at the right end of the bar, followed by its thin separator.
void AddTabButton(QToolBar *bar, TTavuToolButton *button, const QString &caption)
{
    button->setText(BarsAndMenus::EscapeMenuCaption(caption));
    bar->addWidget(button);
    auto *separator = new QWidget(bar);
    separator->setFixedWidth(SeparatorWidth);
    bar->addWidget(separator);
    BoardTree::UpdateBarWidth(bar);
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

// The close and reload requests of a tab button run the tab commands; a middle click presses the
// button and then closes (WHEELCLICK 1) or reloads (0) its tab; a right click opens the tab menu.
// Its close mark shows as SHOWCLOSEBTN of its kind says.
void BindTabButtonRequests(TVarneloWindow &window, TTavuToolButton *button, const QString &closeAction,
                           const QString &reloadAction, int TTavuConfig::*wheelClick, bool TTavuConfig::*showClose,
                           QMenu *menu)
{
    button->SetCloseMarkShown(TavuConfig->*showClose);
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(button, &QWidget::customContextMenuRequested, menu,
                     [button, menu](const QPoint &pos) { menu->popup(button->mapToGlobal(pos)); });
    button->OnCloseClick = [&window, closeAction](TTavuToolButton *) { window.Execute(closeAction); };
    button->OnReloadClick = [&window, reloadAction](TTavuToolButton *) { window.Execute(reloadAction); };
    QObject::connect(button, &TTavuToolButton::MiddleClicked, button, [wheelClick](TTavuToolButton *pressed) {
        pressed->click();
        const int choice = TavuConfig->*wheelClick;
        if (choice == 1)
            pressed->DoCloseClick();
        else if (choice == 0)
            pressed->DoReloadClick();
    });
}

}  // namespace

namespace {
// The next tab is made this long after the last one was taken (or the manager made), when the page
// that one fills no longer needs the processor.
constexpr int SpareBrowserDelayMs = 1000;
}  // namespace

TTabManager::TTabManager(TVarneloWindow &window, const TWidgets &widgets) : window(window), widgets(widgets)
{
    QTimer::singleShot(SpareBrowserDelayMs, this, &TTabManager::KeepSpareBrowser);
}

// ---- making ----

void TTabManager::NewListDoc(TTavuListDoc *&doc, TThreadItemList *items, int mode, bool activate, const QString &caption,
                             TBoard *board)
{
    doc = new TTavuListDoc(items, &window);
    doc->BoardID = board ? board->ID : QString();
    doc->Site = board ? board->Site : nullptr;
    doc->Caption = caption;
    doc->Mode = mode;
    doc->Favorites = board && board->BBS && board->BBS->ID == QLatin1String("favoritesscript");
    connect(doc, &TTavuListDoc::Activated, this, &TTabManager::MoveListDocToFront);
    emit ListDocMade(doc);

    auto *button = new TThreadListToolButton(widgets.ThreadListBar);
    button->ListDoc = doc;
    AddTabButton(widgets.ThreadListBar, button, caption);
    connect(button, &QAbstractButton::clicked, this, [this, doc] { ThreadListTabClick(doc); });
    BindTabButtonRequests(window, button, QStringLiteral("actThreadListClose"), QStringLiteral("actThreadListReload"),
                          &TTavuConfig::THREADTAB_WHEELCLICK, &TTavuConfig::THREADLIST_SHOWCLOSEBTN, widgets.ThreadListPopup);
    doc->TabButton = button;
    auto *item = new TThreadListMenuItem(widgets.ThreadListTabMenu);
    item->ListDoc = doc;
    doc->TabMenuItem = item;
    AddTabMenuItem(widgets.ThreadListTabMenu, item, caption);
    doc->UpdateTabImage();
    BoardTree::UpdateBarWidth(widgets.ThreadListBar);

    if (activate) {
        listDocs.prepend(doc);
        doc->Activate();
    } else {
        listDocs.append(doc);
    }
    emit ListDocCountChanged(int(listDocs.size()));
}

// The tab kept aside when its page is loaded, else a new one.
TTavuBrowser *TTabManager::TakeSpareBrowser()
{
    TTavuBrowser *browser = spareBrowser;
    if (browser && browser->IsReady()) {
        spareBrowser.clear();
        browser->KeepAside(false);
    } else {
        browser = new TTavuBrowser(widgets.BrowserViewPanel);
    }
    if (!spareBrowser)
        QTimer::singleShot(SpareBrowserDelayMs, this, &TTabManager::KeepSpareBrowser);
    return browser;
}

void TTabManager::KeepSpareBrowser()
{
    if (spareBrowser || !widgets.BrowserViewPanel)
        return;
    spareBrowser = new TTavuBrowser(widgets.BrowserViewPanel);
    spareBrowser->SelectSkin(browsers.isEmpty() ? nullptr : browsers.first()->GetBoard());   // the next thread's likely skin
    spareBrowser->KeepAside(true);
    spareBrowser->show();
}

// What the panel of the tabs shows now: its background alone while it holds no tab (a grab would
// draw it all the same, at the cost of a first drawing of the window's parts).
QPixmap TTabManager::PanelPicture() const
{
    QWidget *panel = widgets.BrowserViewPanel;
    if (!browsers.isEmpty())
        return panel->grab();
    QPixmap picture(panel->size() * panel->devicePixelRatioF());
    picture.setDevicePixelRatio(panel->devicePixelRatioF());
    picture.fill(panel->palette().color(panel->backgroundRole()));
    return picture;
}

void TTabManager::NewBrowser(TTavuBrowser *&browser, TResList *resList, TThreadItem *item, bool activate, const QString &caption)
{
    // A thread tab shows up with its first screen: until then, what was shown there stays.
    const QPixmap shown = activate && item ? PanelPicture() : QPixmap();
    browser = TakeSpareBrowser();
    browser->SetResList(resList);
    browser->Title = caption;
    if (item) {
        browser->SetThreadItem(item);
        browser->SelectSkin(item->GetBoard());
    } else {
        browser->SetWebPage(true);
    }
    auto *controller = new TThreadTabController(*browser, window.Services());
    controllers.insert(browser, controller);
    connect(controller, &TThreadTabController::CaptionChanged, this, [this, browser] { SetBrowserTabCaption(browser); });
    emit BrowserMade(browser);

    auto *button = new TBrowserToolButton(widgets.BrowserToolBar);
    button->Browser = browser;
    AddTabButton(widgets.BrowserToolBar, button, caption);
    connect(button, &QAbstractButton::clicked, this, [this, browser] { ShowBrowserTab(browser, true); });
    BindTabButtonRequests(window, button, QStringLiteral("actBrowserClose"), QStringLiteral("actThreadReload"),
                          &TTavuConfig::BROWSERTAB_WHEELCLICK, &TTavuConfig::BROWSER_SHOWCLOSEBTN, widgets.BrowserPopup);
    browser->TabButton = button;
    auto *menuItem = new TBrowserMenuItem(widgets.BrowserTabMenu);
    menuItem->Browser = browser;
    browser->TabMenuItem = menuItem;
    AddTabMenuItem(widgets.BrowserTabMenu, menuItem, caption);
    browser->UpdateTabImage();
    BoardTree::UpdateBarWidth(widgets.BrowserToolBar);

    if (activate) {
        if (item)
            browser->CoverWith(shown);
        browsers.prepend(browser);
        browser->show();
        browser->Activate();
    } else {
        browsers.append(browser);
        browser->show();
        browser->lower();
    }
    emit BrowserCountChanged(int(browsers.size()));
    window.UpdateBrowserMenu();
}

TTavuBrowser *TTabManager::NewPageTab(const QString &caption, bool activate)
{
    TTavuBrowser *tab = nullptr;
    NewBrowser(tab, nullptr, nullptr, activate, caption);
    return tab;
}

TTavuBrowser *TTabManager::NewThreadTab(TThreadItem *item, bool activate)
{
    TTavuBrowser *tab = nullptr;
    NewBrowser(tab, new TResList(item), item, activate, item->ShownTitle());
    return tab;
}

TTavuBrowser *TTabManager::NewWebPageTab(const QString &url, const QString &caption, bool activate)
{
    TTavuBrowser *browser = nullptr;
    NewBrowser(browser, nullptr, nullptr, activate, caption);
    browser->SetWebPage(true);
    browser->Title = caption;
    browser->Navigate(url);
    return browser;
}

TTavuBrowser *TTabManager::NewExtractTab(TThreadItem *item, TResList *list, bool activate, const QString &url)
{
    TTavuBrowser *tab = nullptr;
    NewBrowser(tab, list, item, activate, item ? item->ShownTitle() : QString());
    tab->SetExtractMode(true);
    tab->URL = url;
    return tab;
}

// ---- finding ----

bool TTabManager::GetActiveListDoc(TTavuListDoc *&doc) const
{
    doc = nullptr;
    for (auto *button : widgets.ThreadListBar->findChildren<TThreadListToolButton *>()) {
        if (button->isChecked() && button->ListDoc) {
            doc = button->ListDoc;
            return true;
        }
    }
    return false;
}

bool TTabManager::GetActiveBrowser(TTavuBrowser *&tab) const
{
    tab = nullptr;
    for (auto *button : widgets.BrowserToolBar->findChildren<TBrowserToolButton *>()) {
        if (button->isChecked() && button->Browser) {
            tab = button->Browser;
            return true;
        }
    }
    return false;
}

TTavuBrowser *TTabManager::CurrentBrowser() const
{
    TTavuBrowser *tab = nullptr;
    return GetActiveBrowser(tab) ? tab : nullptr;
}

TTavuListDoc *TTabManager::CurrentListDoc() const
{
    TTavuListDoc *doc = nullptr;
    return GetActiveListDoc(doc) ? doc : nullptr;
}

TThreadTabController *TTabManager::FocusedController() const
{
    TTavuBrowser *tab = nullptr;
    return GetActiveBrowser(tab) ? Controller(tab) : nullptr;
}

TThreadTab *TTabManager::FocusedTab() const
{
    return FocusedController();
}

TBoard *TTabManager::ShownBoard() const
{
    const QAction *browserShown = window.Action(QStringLiteral("actShowBrowser"));
    TTavuBrowser *tab = CurrentBrowser();
    if (tab && browserShown && browserShown->isChecked())
        return tab->GetBoard();
    TTavuListDoc *doc = CurrentListDoc();
    return doc ? doc->GetBoard() : nullptr;
}

TTavuListDoc *TTabManager::BoardTab(const TBoard *board) const
{
    TTavuListDoc *doc = nullptr;
    return FindBoardTab(board, doc) ? doc : nullptr;
}

bool TTabManager::FindBoardTab(const TBoard *board, TTavuListDoc *&doc) const
{
    doc = nullptr;
    if (!board || !board->Site)
        return false;
    for (TTavuListDoc *candidate : listDocs) {
        if (candidate->Mode == TTavuListDoc::lmBoard && candidate->Site
            && candidate->Site->SITEID == board->Site->SITEID && candidate->BoardID == board->ID) {
            doc = candidate;
            return true;
        }
    }
    return false;
}

int TTabManager::IndexOfBoardTab(const TTavuListDoc *doc) const
{
    const QList<TThreadListToolButton *> buttons = TabButtons<TThreadListToolButton>(widgets.ThreadListBar);
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->ListDoc == doc)
            return i;
    }
    return -1;
}

int TTabManager::IndexOfActiveBrowserButton() const
{
    const QList<TBrowserToolButton *> buttons = TabButtons<TBrowserToolButton>(widgets.BrowserToolBar);
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked() && buttons[i]->Browser)
            return i;
    }
    return -1;
}

QList<TTavuBrowser *> TTabManager::BrowserTabOrder() const
{
    QList<TTavuBrowser *> tabs;
    for (const TBrowserToolButton *button : TabButtons<TBrowserToolButton>(widgets.BrowserToolBar)) {
        if (button->Browser)
            tabs.append(button->Browser);
    }
    return tabs;
}

QList<TTavuListDoc *> TTabManager::ListDocTabOrder() const
{
    QList<TTavuListDoc *> docs;
    for (const TThreadListToolButton *button : TabButtons<TThreadListToolButton>(widgets.ThreadListBar)) {
        if (button->ListDoc)
            docs.append(button->ListDoc);
    }
    return docs;
}

// ---- showing and ordering ----

void TTabManager::SwitchPaneOnClick(const char *paneAction)
{
    const QAction *pane = window.Action(QString::fromLatin1(paneAction));
    if (TavuConfig->TABCLICKCHANGEPANE && pane && !pane->isChecked())
        window.Execute(QStringLiteral("actShowPaneChange"));
}

void TTabManager::ThreadListTabClick(TTavuListDoc *doc)
{
    SwitchPaneOnClick("actShowThreadList2");
    doc->Activate();
}

void TTabManager::ShowBrowserTab(TTavuBrowser *tab, bool switchPane)
{
    if (switchPane)
        SwitchPaneOnClick("actShowBrowser");
    tab->Activate();
    tab->DoSelect();
}

void TTabManager::MoveListDocToFront(TTavuListDoc *doc)
{
    const qsizetype index = listDocs.indexOf(doc);
    if (index > 0)
        listDocs.move(index, 0);
}

void TTabManager::MoveBrowserToFront(TTavuBrowser *tab)
{
    const qsizetype index = browsers.indexOf(tab);
    if (index > 0)
        browsers.move(index, 0);
}

void TTabManager::GiveUpBackgroundPages()
{
    constexpr qsizetype LivePages = 2;
    for (qsizetype i = LivePages; i < browsers.size(); ++i) {
        TTavuBrowser *tab = browsers[i];
        if (tab->PageGivenUp() || tab->IsWebPage())
            continue;
        tab->KeepLastFrame();
        tab->hide();
        tab->GiveUpPage();
    }
}

// ---- closing ----

void TTabManager::CloseListDoc(TTavuListDoc *doc, bool redraw)
{
    if (!doc || !listDocs.contains(doc))
        return;
    emit ListDocClosing(doc);
    listDocs.removeOne(doc);
    RemoveTabButton(widgets.ThreadListBar, doc->TabButton);
    delete doc->TabMenuItem;
    doc->deleteLater();

    if (!listDocs.isEmpty())
        listDocs.first()->Activate();
    if (redraw)
        BoardTree::UpdateBarWidth(widgets.ThreadListBar);
    window.UpdateThreadListMenu();
    emit ListDocCountChanged(int(listDocs.size()));
}

void TTabManager::CloseActiveListDoc(bool redraw)
{
    TTavuListDoc *doc = nullptr;
    if (GetActiveListDoc(doc))
        CloseListDoc(doc, redraw);
}

void TTabManager::CloseBrowser(TTavuBrowser *browser, bool redraw)
{
    if (!browser || !browsers.contains(browser))
        return;
    emit BrowserClosing(browser);
    browsers.removeOne(browser);
    controllers.remove(browser);   // freed with the tab
    browser->Closing = true;
    browser->CloseThread();
    RemoveTabButton(widgets.BrowserToolBar, browser->TabButton);
    delete browser->TabMenuItem;
    browser->hide();
    browser->deleteLater();

    if (!browsers.isEmpty())
        browsers.first()->Activate();
    if (redraw)
        BoardTree::UpdateBarWidth(widgets.BrowserToolBar);
    window.UpdateBrowserMenu();
    emit BrowserCountChanged(int(browsers.size()));
    emit BrowserClosed(int(browsers.size()));
}

void TTabManager::CloseActiveBrowser(bool redraw)
{
    TTavuBrowser *browser = nullptr;
    if (GetActiveBrowser(browser))
        CloseBrowser(browser, redraw);
}

void TTabManager::RedrawListTabs()
{
    BoardTree::UpdateBarWidth(widgets.ThreadListBar);
    widgets.ThreadListBar->update();
}

void TTabManager::CloseBoardTabs(const TBoard *board)
{
    TTavuListDoc *doc = nullptr;
    if (FindBoardTab(board, doc))
        CloseListDoc(doc);
    for (TTavuBrowser *tab : QList<TTavuBrowser *>(browsers)) {
        const TThreadItem *item = tab->IsWebPage() ? nullptr : tab->ThreadItem();
        if (item && item->Site == board->Site && item->BoardID == board->ID)
            CloseBrowser(tab);
    }
}

void TTabManager::ReleaseTabs()
{
    qDeleteAll(listDocs);
    listDocs.clear();
    for (TTavuBrowser *tab : std::as_const(browsers))
        tab->CloseThread();
    browsers.clear();
    controllers.clear();
}

// ---- captions and marks ----

void TTabManager::SetBrowserTabCaption(TTavuBrowser *browser)
{
    const TThreadItem *item = browser->ThreadItem();
    const QString title = item ? item->ShownTitle() : browser->Title;
    if (auto *button = browser->TabButton) {
        // A web page's tab is shortened by settings of its own.
        const bool webPage = browser->IsWebPage();
        const bool shorten = webPage ? TavuConfig->WEBSHORTTITLE : TavuConfig->SHORTTITLE;
        if (shorten) {
            const int length = webPage ? TavuConfig->WEBTITLELEN : TavuConfig->TITLELEN;
            button->setText(BarsAndMenus::EscapeMenuCaption(Tavutils::MakeShortCaption(title, length)));
            button->setToolTip(Qt::convertFromPlainText(title, Qt::WhiteSpaceNormal));   // never read as markup
        } else {
            button->setText(BarsAndMenus::EscapeMenuCaption(title));
        }
        BoardTree::UpdateBarWidth(widgets.BrowserToolBar);
    }
    if (browser->TabMenuItem)
        browser->TabMenuItem->setText(BarsAndMenus::EscapeMenuCaption(title));
    browser->UpdateTabImage();
}

void TTabManager::SetListDocCaption(TTavuListDoc *doc)
{
    if (!doc->TabButton)
        return;
    const TBoard *board = doc->Mode == TTavuListDoc::lmBoard ? doc->GetBoard() : nullptr;
    const QString name = board ? board->Name : doc->Caption;
    if (TavuConfig->BOARDSHORTTITLE) {
        doc->TabButton->setText(BarsAndMenus::EscapeMenuCaption(Tavutils::MakeShortCaption(name, TavuConfig->BOARDTITLELEN)));
        doc->TabButton->setToolTip(Qt::convertFromPlainText(name, Qt::WhiteSpaceNormal));
    } else {
        doc->TabButton->setText(BarsAndMenus::EscapeMenuCaption(name));
    }
    BoardTree::UpdateBarWidth(widgets.ThreadListBar);
}

void TTabManager::RefreshTabCaptions()
{
    for (TTavuBrowser *browser : browsers)
        SetBrowserTabCaption(browser);
    for (TTavuListDoc *doc : listDocs)
        SetListDocCaption(doc);
}

void TTabManager::ShowTabCloseMarks()
{
    for (TTavuListDoc *doc : listDocs) {
        if (auto *button = qobject_cast<TTavuToolButton *>(doc->TabButton))
            button->SetCloseMarkShown(TavuConfig->THREADLIST_SHOWCLOSEBTN);
    }
    for (TTavuBrowser *browser : browsers) {
        if (auto *button = qobject_cast<TTavuToolButton *>(browser->TabButton))
            button->SetCloseMarkShown(TavuConfig->BROWSER_SHOWCLOSEBTN);
    }
    BoardTree::UpdateBarWidth(widgets.ThreadListBar);
    BoardTree::UpdateBarWidth(widgets.BrowserToolBar);
}
