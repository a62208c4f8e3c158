#pragma once
// TTabManager: the tabs of the main window. A board tab is a thread-list document shown in the
// window's thread-list view; a thread tab is a browser tab in the browser pane. Each has a
// check-style button on its tab bar (ThreadListBar, BrowserToolBar) followed by a thin separator,
// and a radio item in its tab menu. The manager owns the lists of open tabs, the most recently
// activated first, and is the one place that makes, finds, orders, captions and closes them.
//
// Each browser tab gets its controller (TThreadTabController), to which the tab commands go.
//
// The manager is what the units ask about tabs (TTabServices, controls/WindowServices.h).
//
// A browser tab is made in advance and kept aside (TTavuBrowser::KeepAside), its page loaded and
// warmed up in the skin of the thread tab shown last: the next tab made is that one, so that a
// thread shows its first screen without waiting for a page to load. The next one is made a while
// after, once the page the last one fills is done.
//
// The window builds the bars, menus and the panel the browser tabs fill and hands them over; it
// binds its own parts to a tab the manager made (ListDocMade, BrowserMade) and lets go of them
// when the manager closes it (ListDocClosing, BrowserClosing).

#include "controls/WindowServices.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QMenu;
class QToolBar;
class QWidget;
class TBoard;
class TResList;
class TTavuBrowser;
class TTavuListDoc;
class TThreadItem;
class TThreadItemList;
class TThreadTabController;
class TVarneloWindow;

class TTabManager : public QObject, public TTabServices {
    Q_OBJECT
public:
    // The widgets of the tabs that the window builds.
    struct TWidgets {
        QToolBar *ThreadListBar = nullptr;    // the thread-list tab buttons
        QToolBar *BrowserToolBar = nullptr;   // the browser tab buttons
        QMenu *ThreadListTabMenu = nullptr;   // a radio item per thread-list tab
        QMenu *BrowserTabMenu = nullptr;      // a radio item per browser tab
        QMenu *ThreadListPopup = nullptr;     // a thread-list tab button's right click
        QMenu *BrowserPopup = nullptr;        // a browser tab button's right click
        QWidget *BrowserViewPanel = nullptr;  // the browser tabs fill it; the current one on top
    };

    TTabManager(TVarneloWindow &window, const TWidgets &widgets);

    // The open tabs, the most recently activated first.
    QList<TTavuListDoc *> ListDocs() const override { return listDocs; }
    QList<TTavuBrowser *> Browsers() const override { return browsers; }
    // The tabs of the pressed buttons (nullptr when none).
    TTavuBrowser *CurrentBrowser() const override;
    TTavuListDoc *CurrentListDoc() const override;

    // ---- making ----

    // A new board tab for the board (nullptr: a list of no board) holding items (taken over; a new
    // list when nullptr), with the document mode, activated or appended behind the others.
    void NewListDoc(TTavuListDoc *&doc, TThreadItemList *items, int mode, bool activate, const QString &caption,
                    TBoard *board);
    // A new thread tab, for the thread (one reference taken) or, without one, as a web page. The tab
    // owns resList.
    void NewBrowser(TTavuBrowser *&browser, TResList *resList, TThreadItem *item, bool activate, const QString &caption);
    // A new page tab (no thread), and a new thread tab with an empty response list of its own.
    TTavuBrowser *NewPageTab(const QString &caption, bool activate = true) override;
    TTavuBrowser *NewThreadTab(TThreadItem *item, bool activate) override;
    // A new tab showing the web page at the URL.
    TTavuBrowser *NewWebPageTab(const QString &url, const QString &caption, bool activate);
    // A new thread tab in extract mode for the thread (caption: its title), owning list.
    TTavuBrowser *NewExtractTab(TThreadItem *item, TResList *list, bool activate, const QString &url);

    // ---- finding ----

    // The controller of the browser tab (commands/ThreadTabController.h), made with it and freed
    // with it; the focused one is the current tab's (nullptr when no tab is current).
    TThreadTabController *Controller(const TTavuBrowser *tab) const { return controllers.value(tab); }
    TThreadTabController *FocusedController() const;
    TThreadTab *FocusedTab() const override;
    // The board of the current thread tab while the browser pane is shown, else of the current
    // thread-list tab.
    TBoard *ShownBoard() const override;

    // The document of the pressed button of ThreadListBar; false when none is pressed or it has no
    // document.
    bool GetActiveListDoc(TTavuListDoc *&doc) const;
    // The same for BrowserToolBar and its browser tab.
    bool GetActiveBrowser(TTavuBrowser *&tab) const;
    // The board tab showing the board (same site and board id).
    bool FindBoardTab(const TBoard *board, TTavuListDoc *&doc) const;
    TTavuListDoc *BoardTab(const TBoard *board) const override;
    // The index of a board tab's button among the buttons of ThreadListBar; -1 when none.
    int IndexOfBoardTab(const TTavuListDoc *doc) const;
    // The index of the pressed button of BrowserToolBar that has a tab; -1 when none.
    int IndexOfActiveBrowserButton() const;
    // The tabs in the order of their buttons on their tab bar.
    QList<TTavuBrowser *> BrowserTabOrder() const override;
    QList<TTavuListDoc *> ListDocTabOrder() const override;

    // ---- showing and ordering ----

    // A pressed tab may bring its pane into view first (TABCLICKCHANGEPANE); the tab is then
    // activated, which moves it to the front of its list.
    void ThreadListTabClick(TTavuListDoc *doc);
    void ShowBrowserTab(TTavuBrowser *tab, bool switchPane);
    void ShowBrowserTab(TTavuBrowser *tab) override { ShowBrowserTab(tab, true); }
    void MoveListDocToFront(TTavuListDoc *doc);
    void MoveBrowserToFront(TTavuBrowser *tab);
    // Only the thread tabs shown last keep a live page: the ones further back hide and give theirs
    // up, which frees what the engine keeps for it.
    void GiveUpBackgroundPages();

    // ---- closing ----

    // Closing a tab stops what it loads; what arrives for it afterwards is dropped. The first tab
    // left of its list is activated; redraw lays the tab bar out again.
    void CloseListDoc(TTavuListDoc *doc, bool redraw = true) override;
    void CloseActiveListDoc(bool redraw = true);
    void CloseBrowser(TTavuBrowser *browser, bool redraw = true) override;
    void CloseActiveBrowser(bool redraw = true);
    // Closes the board's thread-list tab and the browser tabs of its threads.
    void CloseBoardTabs(const TBoard *board) override;
    // The thread-list tab bar is laid out and drawn again.
    void RedrawListTabs() override;
    // At the window's end: frees the thread-list tabs and lets every browser tab go of its thread.
    void ReleaseTabs();

    // ---- captions and marks ----

    // The tab's caption from its thread's title (shortened to TITLELEN with SHORTTITLE on, the full
    // title then in the hint).
    void SetBrowserTabCaption(TTavuBrowser *browser);
    // The thread-list tab's button from its board's name (a board's tab), else its caption
    // (shortened to BOARDTITLELEN with BOARDSHORTTITLE on, the full name then in the hint).
    void SetListDocCaption(TTavuListDoc *doc);
    // Every tab's button follows the title settings at once.
    void RefreshTabCaptions();
    // Every tab button shows its close mark or not, as THREADLIST_SHOWCLOSEBTN and
    // BROWSER_SHOWCLOSEBTN say.
    void ShowTabCloseMarks();

signals:
    // A tab was made, before it is activated: the window binds its parts to it.
    void ListDocMade(TTavuListDoc *doc);
    void BrowserMade(TTavuBrowser *tab);
    // A tab is about to close: the window lets go of it.
    void ListDocClosing(TTavuListDoc *doc);
    void BrowserClosing(TTavuBrowser *tab);
    // A browser tab has closed; left tabs are still open.
    void BrowserClosed(int left);
    // The number of open tabs changed.
    void ListDocCountChanged(int count);
    void BrowserCountChanged(int count);

private:
    TVarneloWindow &window;
    TWidgets widgets;
    QList<TTavuListDoc *> listDocs;
    QList<TTavuBrowser *> browsers;
    QHash<const TTavuBrowser *, TThreadTabController *> controllers;
    QPointer<TTavuBrowser> spareBrowser;   // kept aside for the next tab

    TTavuBrowser *TakeSpareBrowser();
    void KeepSpareBrowser();
    QPixmap PanelPicture() const;

    void SwitchPaneOnClick(const char *paneAction);
};
