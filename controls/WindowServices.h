#pragma once
// TWindowServices: what the command units, dialogs and tool windows may ask of the main window.
//
// The commands of the main window live in command units by family (thread commands, browser-tab
// commands, selected-post commands, hover popups, pane commands, tool commands, ...). A unit never
// includes the main window's header: it is given by its constructor the interfaces below that it
// uses and reaches the window only through them. Each interface is implemented once, by the part of
// the window that owns its subject (the tab manager the tabs, the board pane the board tree, the
// pane layout the panes, ...); tests give a unit small fakes where no window is needed.
//
// The interfaces are small, one per subject; a unit or dialog takes only the subjects it uses, and
// the bundle TWindowServices, which hands out every subject, only when it uses most of them. A
// family adds what it needs to the subject it belongs to, never a copy of a service that is already
// here. Services hand out operations. The few objects of the window they hand out are the window
// itself (the parent of dialogs), the actions, the hint window and its popup timer, some menus, the
// trace pane, the drop target of tab drags and the window's events (controls/WindowEvents.h); the
// panes stay in the window.

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;
class QObject;
class QPoint;
class QTimer;
class QWidget;
class IResultView;
class TBoard;
class TRes;
class TResList;
class TSite;
class TTavuActionList;
class TTavuBrowser;
class TTavuHintWindow;
class TTavuListDoc;
class TTextList;
class TThreadItem;
class TThreadItemList;
class TThreadTab;
class TToolMenuItem;
class TWindowEvents;
namespace ResSearch { struct TResSearch; }

// ---- the window and its commands ----
class TWindowFrameServices {
public:
    virtual ~TWindowFrameServices() = default;
    // The main window, as the parent of dialogs and message boxes.
    virtual QWidget *Window() const = 0;
    // The action of that exact name (nullptr when there is none).
    virtual QAction *Action(const QString &name) const = 0;
    // Connects the action to the handler, marks it as handled and enables it. False when there is
    // no such action.
    virtual bool BindAction(const QString &name, QObject *receiver, const std::function<void()> &handler) = 0;
    // Enables or disables an action that has a handler (one without a handler stays disabled).
    virtual void SetActionEnabled(const QString &name, bool enabled) = 0;
    // Every action of the main window, in catalogue order (the names its files store).
    virtual QList<QAction *> WindowActions() const = 0;
    // The pictures of the actions, by image index.
    virtual QList<QIcon> ActionImages() const = 0;
    // Runs the command as its menu entry does: only when it is enabled.
    virtual void Execute(const QString &name) = 0;
    // The busy indication shared by every request.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
    // What happens in the window, as signals (controls/WindowEvents.h).
    virtual TWindowEvents &Events() const = 0;
};

// ---- tabs ----
class TTabServices {
public:
    virtual ~TTabServices() = default;
    // The current browser tab / thread-list tab (nullptr when none).
    virtual TTavuBrowser *CurrentBrowser() const = 0;
    virtual TTavuListDoc *CurrentListDoc() const = 0;
    // The open tabs, most recently activated first.
    virtual QList<TTavuBrowser *> Browsers() const = 0;
    virtual QList<TTavuListDoc *> ListDocs() const = 0;
    // The tabs in the order of their buttons on the tab bar.
    virtual QList<TTavuBrowser *> BrowserTabOrder() const = 0;
    // The thread-list tabs in the order of their buttons on their tab bar.
    virtual QList<TTavuListDoc *> ListDocTabOrder() const = 0;
    // Makes the tab current.
    virtual void ShowBrowserTab(TTavuBrowser *tab) = 0;
    // Closes the tab as its close button does; redraw: the tab bar is laid out again.
    virtual void CloseBrowser(TTavuBrowser *tab, bool redraw = true) = 0;
    // A new browser tab for a page (no thread), with the caption; activated unless asked not to.
    virtual TTavuBrowser *NewPageTab(const QString &caption, bool activate = true) = 0;
    // A new thread tab for the thread (it takes a reference to it), with an empty response list of
    // its own; activated when asked.
    virtual TTavuBrowser *NewThreadTab(TThreadItem *item, bool activate) = 0;
    // The board tab of the board (same site and board id); nullptr when none is open.
    virtual TTavuListDoc *BoardTab(const TBoard *board) const = 0;
    // Closes the thread-list tab (the first one left is activated); redraw lays the tab bar out.
    virtual void CloseListDoc(TTavuListDoc *doc, bool redraw = true) = 0;
    // The thread-list tab bar is laid out and drawn again (after tabs were closed or locked).
    virtual void RedrawListTabs() = 0;
    // The controller of the current browser tab, to which the tab commands go (nullptr when no tab
    // is current).
    virtual TThreadTab *FocusedTab() const = 0;
    // The board the user is looking at: that of the current thread tab while the browser pane is
    // shown, else that of the current thread-list tab (nullptr when none).
    virtual TBoard *ShownBoard() const = 0;
    // Closes the board's thread-list tab and every browser tab showing a thread of the board.
    virtual void CloseBoardTabs(const TBoard *board) = 0;
};

// ---- reading: opening threads, boards and pages ----
class TReadingServices {
public:
    virtual ~TReadingServices() = default;
    // Shows the thread in a browser tab (see the thread request flow): reload asks for the new
    // responses also when the thread is open; resNumber is the response to show (0: none).
    virtual void OpenThread(TThreadItem *item, bool reload, bool newTab, bool activate, int resNumber) = 0;
    // Shows the board's thread list in its tab.
    virtual void OpenBoard(TBoard *board, bool reload) = 0;
    // Opens the URL: a thread of a known board as a thread tab, a board of a known site as its
    // thread list, anything else as a web page (OpenWebPage). fromViewer: the preview browser asks.
    virtual void OpenThreadUrl(const QString &url, bool fromViewer = false) = 0;
    // Opens a web page as URL OPENINVARNELO says: a new browser tab or the outside browser.
    virtual void OpenWebPage(const QString &url, const QString &caption) = 0;
    // Navigates the browser panel's picture view to the URL: the view hands it on to a new,
    // activated browser tab titled with the URL, where a ".jpg" gets its Exif display.
    virtual void ShowPictureView(const QString &url) = 0;
    // Opens the URL in the preview browser and shows it.
    virtual void OpenInPreviewBrowser(const QString &url) = 0;
    // Opens the reply composer for the tab's thread with the text in its body.
    virtual void WriteReply(TTavuBrowser *tab, const QString &text) = 0;
};

// ---- the search views: extract tabs and the window's second browser ----
class TSearchViewServices {
public:
    virtual ~TSearchViewServices() = default;
    // Shows one response of the thread alone in the window's second browser.
    virtual void ShowResInPreview(TThreadItem *item, const TRes &res) = 0;
    // The same for the responses of the list marked visible (the list is taken over).
    virtual void ShowResListInPreview(TThreadItem *item, TResList *list) = 0;
    // Shows the page at the URL in the window's second browser.
    virtual void ShowUrlInDoubleWindow(const QString &url) = 0;
    // True while the window's second browser (the "double window") shows.
    virtual bool DoubleWindowShown() const = 0;
    // Shows or hides the window's second browser (hidden, it lets go of its thread).
    virtual void ShowDoubleWindow(bool show) = 0;
    // A new tab with the responses of the current thread tab that match (nullptr, with a warning,
    // when none does).
    virtual TTavuBrowser *FilterResView(const ResSearch::TResSearch &search) = 0;
    // A new, activated thread tab in extract mode for the thread showing the list (taken over).
    virtual void ShowExtractTab(TThreadItem *item, TResList *list, const QString &url) = 0;
    // Searches the stored logs of the threads of the board tab: one extract tab per thread with a
    // match, the first one activated.
    virtual void SearchBoardLogs(TTavuListDoc *doc, const ResSearch::TResSearch &search) = 0;
};

// ---- thread views ----
class TThreadViewServices {
public:
    virtual ~TThreadViewServices() = default;
    // A line in the log pane.
    virtual void AddLog(const QString &text) = 0;
    // Refreshes the commands of the categories "スレッド" and "ブラウザ" for the current tab.
    virtual void UpdateBrowserMenu() = 0;
    // The caption and the title panel for the thread (nullptr clears them).
    virtual void UpdateStatusCaption(TThreadItem *item) = 0;
    // Renders the current browser tab again, keeping the response at the top of the view.
    virtual void RefreshResView() = 0;
    // Renders the responses of the list into the view through the response rules (the rendering
    // trio: begin, each response, end).
    virtual void RenderResList(IResultView *view, TResList *list) = 0;
    // The popup of link hovers, and the one-shot timer of the delayed web-page popup.
    virtual TTavuHintWindow *HintWindow() const = 0;
    virtual QTimer *HtmlPopupTimer() const = 0;
    // The menu of the web searches for a text selected in a thread view.
    virtual QMenu *BrowserSelectionMenu() const = 0;
    // The menu of a thread view or web page ("ブラウザポップアップメニュー", from popup.ini).
    virtual QMenu *BrowserPopupMenu() const = 0;
    // Pops up at the mouse the menu of a clicked response number, or that of a clicked poster ID
    // (the tab's ClickedResNumber or ClickedID says which).
    virtual void PopupResMenu() = 0;
    virtual void PopupResIDMenu() = 0;
    // The address box shows the text and takes the focus (actBrowserNavigate opens what it shows).
    virtual void TypeAddress(const QString &text) = 0;
};

// ---- the board pane: the sites and the board tree ----
class TBoardTreeServices {
public:
    virtual ~TBoardTreeServices() = default;
    // The site the board tree shows (nullptr when none).
    virtual TSite *CurrentSite() const = 0;
    // Shows the site in the board tree, its boards read anew from the site's board list.
    virtual void ShowSiteBoards(TSite *site) = 0;
    // The site list is read again from bbs.txt and its first site shown.
    virtual void ShowFirstSite() = 0;
    // True (after telling the user) while requests, update checks or patrols may hold boards:
    // board lists must not be rebuilt meanwhile.
    virtual bool BoardListsBusy() = 0;
    // The board of the board tree's current node (nullptr when it is no board).
    virtual TBoard *SelectedTreeBoard() const = 0;
    // Fills the board tree again with the shown site's boards, filtered by the filter text.
    virtual void RefillBoardTree() = 0;
    // After the site's boards were read anew: when the board tree shows the site it is filled with
    // them again (filtered by the filter text when asked), its stored state restored.
    virtual void ShowNewBoardsOf(TSite *site, bool filtered) = 0;
    // A board opened from a shortcut bar or the visited-boards menu: shown in the board tree when
    // the option JUMPSHORTCUT is on.
    virtual void JumpToBoardInTree(const TBoard *board) = 0;
    // True while the board tree has a current node (a board, a category or a folder).
    virtual bool HasCurrentTreeNode() const = 0;
    // The sites the site box offers, in its order.
    virtual QList<TSite *> OfferedSites() const = 0;
    // Selects the next node of the board tree whose text contains the text, ignoring case (after
    // the current node when fromNext is set, else from the first), and scrolls to it; false when
    // none does.
    virtual bool FindTreeNode(const QString &text, bool fromNext) = 0;
    // The current node of the board tree shows its board's picture again (its logs went).
    virtual void RefreshTreeNodeIcon() = 0;
    // Shows the filter box of the board tree (focused) or hides it.
    virtual void ShowBoardFilter(bool shown) = 0;
    virtual void ExpandBoardTree(bool expand) = 0;
    // The widget a tab button is dropped on: the board tree's viewport, accepting drops.
    virtual QWidget *TabDropTarget() const = 0;
    // True when a node of the board tree is at the point of the drop target; board is that node's
    // board (nullptr for a category).
    virtual bool TreeNodeAt(const QPoint &point, TBoard *&board) const = 0;
    // Stores which folders of the board tree are open, for the site it shows.
    virtual void SaveBoardTreeState() = 0;
};

// ---- boards ----
class TBoardServices {
public:
    virtual ~TBoardServices() = default;
    // The BBS bar is built again from bbsbar.txt.
    virtual void ReloadBBSBar() = 0;
    // A thread's marks changed (favourite, past log ...): its rows and the commands show it.
    virtual void ThreadStateChanged(TThreadItem *item) = 0;
    // shortcut.txt changed: both shortcut bars load it again.
    virtual void ShortcutsChanged() = 0;
    // Refreshes the commands of the categories "ボード一覧" and "スレッド一覧".
    virtual void UpdateBoardListMenu() = 0;
    virtual void UpdateThreadListMenu() = 0;
    // The status panel of the new threads in the shown list.
    virtual void ShowNewThreadCount(int count) = 0;
    // Stops the update check or patrol running on the tab; false when none runs.
    virtual bool StopCheckOf(TTavuListDoc *doc) = 0;
    // True while an update check or patrol of a thread-list tab runs.
    virtual bool UpdateCheckRunning() const = 0;
};

// ---- the thread list: the thread-list pane ----
class TThreadListServices {
public:
    virtual ~TThreadListServices() = default;
    // The thread-list tab the thread-list view shows (nullptr when none).
    virtual TTavuListDoc *ShownListDoc() const = 0;
    // A new, activated thread-list tab holding the items (taken over), all of them shown; board is
    // the board whose key the tab carries (may be nullptr).
    virtual TTavuListDoc *NewResultTab(const QString &caption, TThreadItemList *items, TBoard *board) = 0;
    // The thread-list view shows the tab's document (nullptr: none); the document it showed keeps
    // its scroll position and selected row.
    virtual void ShowListDoc(TTavuListDoc *doc) = 0;
    // The threads of the selected rows of the shown thread list, in row order.
    virtual QList<TThreadItem *> SelectedThreads() const = 0;
    // Selects the thread's row in the thread list and scrolls it into view; false when the shown
    // list does not hold it.
    virtual bool SelectThreadRow(TThreadItem *item) = 0;
    // The thread-list view draws its rows again (new counts, marks).
    virtual void RepaintThreadList() = 0;
    // The thread list shows the document's rows again (after threads left its list).
    virtual void ThreadListChanged(TTavuListDoc *doc) = 0;
    // The selected threads left the shown document's list: the selection goes and the list shows
    // the document's rows again.
    virtual void SelectedThreadsLeft(TTavuListDoc *doc) = 0;
    // The number of rows the thread-list view shows now.
    virtual int ThreadListRowCount() const = 0;
    // The next page of a paged board's thread list into the tab (the thread-list flow).
    virtual void DownloadNextPage(TTavuListDoc *doc) = 0;
    // The columns of column.txt the thread list shows after the number column.
    virtual QStringList ThreadListColumns() const = 0;
    // The thread-list view shows that many rows of the shown document, scrolled to the top unless
    // keepScroll.
    virtual void SetThreadListRowCount(int count, bool keepScroll) = 0;
    // The thread of the thread list's focused row in the current thread-list tab (nullptr when the
    // row holds none).
    virtual TThreadItem *FocusedThread() const = 0;
    // column.txt changed: the thread list shows its columns in the file's order, each keeping the
    // width it had.
    virtual void ReloadThreadListColumns() = 0;
};

// ---- rules ----
class TRuleServices {
public:
    virtual ~TRuleServices() = default;
    virtual TTavuActionList *ResRules() const = 0;      // ngres.txt
    virtual TTavuActionList *ThreadRules() const = 0;   // ngthread.txt
    // Writes the response rules to ngres.txt (a failure is reported in the log pane).
    virtual void SaveResRules() = 0;
    // The files of the two lists.
    virtual QString ResRulesFile() const = 0;
    virtual QString ThreadRulesFile() const = 0;
};

// ---- layout: the panes ----
class TLayoutServices {
public:
    virtual ~TLayoutServices() = default;
    // ---- the panes, which the pane commands arrange ----
    // The board pane collapses into its splitter, on the left of the rest or on its right. The
    // thread-list pane and the browser pane share the body, one above the other or side by side;
    // the thread-list pane may instead span the whole width above the rest (the extended thread
    // list). The log pane lies under the body, the header bars above everything.
    enum TBodyPane { bpThreadList, bpBrowser };
    // Opens or collapses the board pane (TWindowEvents::BoardPaneToggled tells each time it does).
    virtual void ShowBoardPane(bool shown) = 0;
    // The board pane goes to the right of the rest, or back to its left, keeping its width.
    virtual void PutBoardPaneRight(bool right) = 0;
    // Hides a pane of the body; the size it had along the body, 0 when it was hidden or had none.
    virtual int HideBodyPane(TBodyPane pane) = 0;
    // Shows a pane of the body with the size (half of the body when it has none or too much); the
    // other pane takes the rest.
    virtual void ShowBodyPane(TBodyPane pane, int size) = 0;
    // Whether the pane shows now: visible and more than its tab bar.
    virtual bool BodyPaneShown(TBodyPane pane) const = 0;
    // The body lays its panes side by side or one above the other, half and half (only the
    // orientation while the thread-list pane spans the window).
    virtual void LayOutBody(bool sideBySide) = 0;
    // The thread-list pane spans the whole width above the rest, taking a third of the height, or
    // goes back to the top of the body.
    virtual void SpanThreadList(bool span) = 0;
    virtual void ShowLogPane(bool shown) = 0;
    // The tab bar of the pane lays its buttons out again.
    virtual void LayOutTabBar(TBodyPane pane) = 0;
    // The thread-information pane places what it makes: its tabs into the panel beside the browser
    // tabs, and the image pane under the browser tabs and the panel (imagePane 0) or under the tabs
    // in the panel (2); as a tab of theirs (1) it places it itself. The panel's width and the image
    // pane's height come from the configuration (DESKTOP THREADINFOWIDTH, IMAGEPANE_HEIGHT) and go
    // back into it when a splitter closes.
    virtual void PlaceThreadInfo(QWidget *tabs, QWidget *imagePane, int imagePanePlace) = 0;
    // The width of the thread-information panel.
    virtual int ThreadInfoWidth() const = 0;

    // A drag of a browser tab's button onto the board tree. The filter sees the events of the
    // browser tab bar (a button added later comes as its child) and of each of its buttons.
    virtual void WatchBrowserTabBar(QObject *filter) = 0;

    // Places the tab bars as THREADTAB and BROWSERTAB POSITION and TOOLBARPOS say.
    virtual void ApplyTabBarPositions() = 0;
    // The pane that shows the trace of requests and replies.
    virtual QWidget *TracePane() const = 0;
};

// ---- the window's bars, menus, focus and looks ----
class TBarServices {
public:
    virtual ~TBarServices() = default;
    enum TPaneControl { pcBoardTree, pcThreadList, pcBrowser, pcSiteBox, pcAddressBox };
    // Shows or hides the tool-bar bands of the header but the menu bar.
    virtual void ShowHeaderBars(bool shown) = 0;
    // Focuses the control (for the browser pane its current tab) and moves the mouse pointer into
    // it when it shows.
    virtual void FocusControl(TPaneControl control) = 0;
    // A menu of the window by its object name ("RecentRead", "RecentWrite", "Tool1",
    // "GaishutuMenu"); nullptr if none.
    virtual QMenu *Menu(const QString &name) const = 0;
    // Where the menu of the visited boards pops up: under the button of its command on the
    // visited-boards bar while that shows, else at the mouse pointer.
    virtual QPoint VisitedBoardsMenuPlace() const = 0;
    // Writes the tool-bar band layout into the configuration (COOLBAR1) as it is now.
    virtual void StoreBarLayout() = 0;
    // Reloads the tool bars and popup menus from toolbar.ini and popup.ini, the band layout from
    // COOLBAR1, and places the tab bars and shortcut bars as the configuration says.
    virtual void ReloadBarLayout() = 0;
    // skin.ini changed: every open thread tab takes its skin again and is rendered in it.
    virtual void ApplySkinChange() = 0;
    // Builds the external tools at the end of the tools menu from tool.txt again.
    virtual void ReloadToolsMenu() = 0;
    // toolbar.ini or popup.ini changed: the action toolbars and the popup menus are built again.
    virtual void ReloadToolBarsAndMenus() = 0;
};

// ---- bookmarks ----
class TBookmarkServices {
public:
    virtual ~TBookmarkServices() = default;
    // The bookmark index ("SITEID/board id/thread key=title" lines) and the file it is saved to.
    virtual TTextList &BookmarkIndex() = 0;
    virtual QString BookmarkIndexFile() const = 0;
};

// ---- the window's life: stop-all and shutdown ----
class TSessionServices {
public:
    virtual ~TSessionServices() = default;
    virtual void HideWindow() = 0;
    // Stop-all (actDisconnect), also while the command is disabled.
    virtual void StopAll() = 0;
    // The busy indication ends, whatever the count of running requests says.
    virtual void ClearBusy() = 0;
    virtual void StopFocusTimer() = 0;
    // Frees the thread-list documents still held and closes the threads of the browser tabs still
    // held and of the private browser; the window holds no tab afterwards.
    virtual void ReleaseTabs() = 0;
    // Frees the rule lists and lets go of the hint window (the window is going).
    virtual void ReleaseSessionParts() = 0;
};

// Everything the window offers, one subject at a time, for the units that use most of the subjects.
// The window hands out each subject from the part of it that owns the subject.
class TWindowServices {
public:
    virtual ~TWindowServices() = default;
    virtual TWindowFrameServices &Frame() const = 0;
    virtual TTabServices &Tabs() const = 0;
    virtual TReadingServices &Reading() const = 0;
    virtual TSearchViewServices &SearchViews() const = 0;
    virtual TThreadViewServices &Views() const = 0;
    virtual TBoardTreeServices &BoardTree() const = 0;
    virtual TBoardServices &Boards() const = 0;
    virtual TThreadListServices &ThreadList() const = 0;
    virtual TRuleServices &Rules() const = 0;
    virtual TLayoutServices &Layout() const = 0;
    virtual TBarServices &Bars() const = 0;
    virtual TBookmarkServices &Bookmarks() const = 0;
    virtual TSessionServices &Session() const = 0;
};
