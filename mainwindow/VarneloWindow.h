#pragma once
// TVarneloWindow: the one main window of the program. The other parts of the program reach it only
// through the services it hands them (controls/WindowServices.h), each from the part that owns it.
//
// It holds the board pane (TBoardPane, mainwindow/BoardPane.h: the site box and the board tree,
// the site shown), the thread-list pane (TListPane, mainwindow/ListPane.h: the thread-list view,
// the board tabs it shows and the thread-list flow), the status bars, the tool bars in the top
// band, and every command as an action of ActionList1, found by name with Action().
// Its pane layout (panes, mainwindow/PaneLayout.h) arranges the panes: the splitters and panels
// between them, the tab rows, the browser tabs' place and the log pane are the layout's own.
// Beyond its widgets it owns the tab manager (Tabs(), mainwindow/TabManager.h: the open
// thread-list documents and browser tabs, their bars and menus, given to it by the window),
// the busy count, a hidden private browser tab, the two rule lists (controls/RuleLists.h) and
// its stored lists (Lists: bookmarks, recent boards and threads, thread-list columns). The
// thread, posting and update-check flows run in controllers of their own (flows/), which the
// window builds and connects to its widgets.
//
// Life: the constructor builds the window (FormCreate); a one-shot timer then runs the deferred
// start-up (Startup, flows/StartupSequence.h), whose steps run in a fixed order. Closing and the
// destructor run the close and shutdown steps (Shutdown, flows/ShutdownSequence.h).
//
// Every rendering of responses into a view goes through the rendering trio of the thread flow
// (TThreadController::BeginResView, AppendResToView, EndResView).
//
// The methods are split over several files by subject: VarneloWindow.cpp (creation and life),
// VarneloWindowFrame.cpp (menus and bars, panes, lookups, command states, layout); other areas add
// their own files.

#include "controls/ActionCatalogue.h"
#include "controls/MainMenus.h"
#include "controls/WindowServices.h"
#include "core/Colors.h"   // thread lists
#include "mainwindow/PaneLayout.h"
#include "mainwindow/SearchViews.h"
#include "mainwindow/TabManager.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QThread>
#include <functional>
#include <memory>

class QLabel;
class QMovie;
class QStackedWidget;
class QTimer;
class QToolBar;
class TBoardPane;
class TListPane;
class TEmbeddedWB;
class TExifInfo;
class TResList;
class TSplashWindow;
class TStatusBar;
class TStatusProgress;
class TToolCommands;
class TTrayIcon;
class TTavuBrowser;
class TTavuHintWindow;
class TTavuListDoc;
class TThreadItem;
class TToolMenuItem;
class TTavuShortcutBar;   // shortcut bars
class TShortcutBarCommands;   // shortcut bars
class TStartupSequence;   // flows
class TShutdownSequence;  // flows
class TPostController;           // flows
class TUpdateCheckController;    // flows
class TLinkNavigation;           // flows
class TThreadController;         // flows
class TWindowEvents;
class TWindowLists;
class TRuleLists;
class TCommandStates;
class TNoticeCommands;   // notices

// The menus and bars (TMainMenus, TMainBars) are the window's own members, made by the builder.
// Its data members, but for the two tab lists (ListDocs, Browsers), are its own: the rest of the
// program reaches it through its operations and its services, and tests find its widgets by their
// object names.
class TVarneloWindow : public QMainWindow,
                       public TWindowServices,
                       public TWindowFrameServices,
                       public TReadingServices,
                       public TThreadViewServices,
                       public TBoardServices,
                       public TBarServices,
                       public TSessionServices,
                       private TMainMenus,
                       private TMainBars {
    Q_OBJECT
public:
    // Builds the window (FormCreate). The splash, when given, shows the progress of the start-up
    // and is closed by it.
    explicit TVarneloWindow(TSplashWindow *splash = nullptr, QWidget *parent = nullptr);
    // Saves and frees what the window holds (FormDestroy).
    ~TVarneloWindow() override;

    // ---- services ----
    // The window hands out what the units may ask of it (controls/WindowServices.h), each subject
    // from the part that owns it: its frame, the reading, the thread views, the boards, its bars and
    // its life are the window's own, the tabs the tab manager's, the board tree the board pane's, the
    // thread list the thread-list pane's, the panes the pane layout's, the search views
    // TSearchViews', the bookmark index the stored lists', the rules the rule lists'.
    TWindowServices &Services() const { return Self(); }
    TWindowFrameServices &Frame() const override { return Self(); }
    TReadingServices &Reading() const override { return Self(); }
    TSearchViews &SearchViews() const override { return *searchViews; }
    TThreadViewServices &Views() const override { return Self(); }
    TBoardTreeServices &BoardTree() const override;
    TBoardServices &Boards() const override { return Self(); }
    TThreadListServices &ThreadList() const override;
    TRuleServices &Rules() const override;
    TLayoutServices &Layout() const override { return *panes; }
    TBarServices &Bars() const override { return Self(); }
    TBookmarkServices &Bookmarks() const override;
    TSessionServices &Session() const override { return Self(); }

    // ---- the frame: the window, its commands and the busy indication (TWindowFrameServices) ----
    QWidget *Window() const override;
    // The action of that exact name (nullptr when there is none).
    QAction *Action(const QString &name) const override;
    bool BindAction(const QString &name, QObject *receiver, const std::function<void()> &handler) override;
    void SetActionEnabled(const QString &name, bool enabled) override;
    QList<QAction *> WindowActions() const override;
    QList<QIcon> ActionImages() const override;
    TWindowEvents &Events() const override;

    // ---- life ----
    // The command line the deferred start-up applies as its last step.
    void SetCommandLine(const QStringList &arguments);
private:
    // The deferred start-up: its steps, the command line and the hand-overs that wait for it.
    TStartupSequence *Startup = nullptr;
    // The close and shutdown steps (flows/ShutdownSequence.h).
    TShutdownSequence *Shutdown = nullptr;
public:
    // A later copy of the program handed its arguments over: the window comes to the front
    // (restored when minimised) and applies them like its own command line (right after it, when
    // they come during the start-up).
    void ReceiveHandOver(const QStringList &arguments);

    // The desktop session ends or the process was told to end: the close steps run as when the
    // window is closed, without the exit question (once; later calls do nothing).
    void EndSession();

    // Runs a command as its menu entry does: only when it is enabled.
    void Execute(const QString &name) override;

    // The busy indication shared by every request: the cursor, the animation and the icon.
    void BeginBusy() override;
    void EndBusy() override;
    int BusyCount() const { return busyCount; }

    // ---- reading: the window routes a thread, a board or a page to its flow (TReadingServices) ----
    void OpenThread(TThreadItem *item, bool reload, bool newTab, bool activate, int resNumber) override;
    void OpenBoard(TBoard *board, bool reload) override;
    void OpenThreadUrl(const QString &url, bool fromViewer = false) override;
    void OpenWebPage(const QString &url, const QString &caption) override;
    void ShowPictureView(const QString &url) override;
    void OpenInPreviewBrowser(const QString &url) override;
    void WriteReply(TTavuBrowser *tab, const QString &text) override;

    // ---- thread views: the log pane, the hint window, the browser menus, the address box ----
    // (TThreadViewServices; the commands, the caption and the rendering are below)
    void AddLog(const QString &text) override;
    void RenderResList(IResultView *view, TResList *list) override;
    TTavuHintWindow *HintWindow() const override { return hintWindow; }
    QTimer *HtmlPopupTimer() const override { return htmlPopupTimer; }
    QMenu *BrowserSelectionMenu() const override { return TMainMenus::BrowserSelectionMenu; }
    QMenu *BrowserPopupMenu() const override { return BrowserPopup; }
    void PopupResMenu() override;
    void PopupResIDMenu() override;
    void TypeAddress(const QString &text) override;

    // ---- boards (TBoardServices; the commands and the count of new threads are below) ----
    void ReloadBBSBar() override;
    void ThreadStateChanged(TThreadItem *item) override;
    void ShortcutsChanged() override;
    bool UpdateCheckRunning() const override;
    bool StopCheckOf(TTavuListDoc *doc) override;

    // ---- the window's bars, menus, focus and looks (TBarServices) ----
    void ShowHeaderBars(bool shown) override;
    void FocusControl(TPaneControl control) override;
    QMenu *Menu(const QString &name) const override;
    QPoint VisitedBoardsMenuPlace() const override;
    // The band layout into COOLBAR1 (with the window's place and the pane sizes, section DESKTOP).
    void StoreBarLayout() override;
    // Reloads the tool bars and popup menus from the profile, the band layout from COOLBAR1, and
    // places the tab bars and shortcut bars again (after a layout preset was switched).
    void ReloadBarLayout() override;
    void ApplySkinChange() override;
    // The external tools of tool.txt at the end of the tools menu, each started when clicked.
    void ReloadToolsMenu() override;
    void ReloadToolBarsAndMenus() override;

    // ---- the window's life: stop-all and shutdown (TSessionServices) ----
    void HideWindow() override;
    void StopAll() override;
    void ClearBusy() override;   // ends every busy state at once
    void StopFocusTimer() override;
    void ReleaseTabs() override;
    void ReleaseSessionParts() override;

    // Worker threads of the window's tabs (cache loaders, counters): shutdown waits for those still
    // running before it frees anything they use.
    void TrackWorker(QThread *thread);

    // ---- frame ----
    // The tabs: their lists, bars and menus (mainwindow/TabManager.h).
    TTabManager &Tabs() const override { return *tabs; }

    // Command states of the categories "ボード一覧", "スレッド一覧" and "スレッド"/"ブラウザ"
    // (decided by TCommandStates), with the counts of new threads and responses.
    void UpdateBoardListMenu() override;
    void UpdateThreadListMenu() override;
    void UpdateBrowserMenu() override;
    // The thread-list commands alone, as a thread's download or a post changes them: the count of
    // new threads, which only the listing changes, is not counted again over the whole list.
    void UpdateThreadListCommands();

    // Window and pane layout, kept in kpw.ini (section DESKTOP and the tool-bar band section
    // COOLBAR1).
    void LoadCoolBarLayout();
    // Tool-bar button hints, the busy animation and the band order.
    void BuildToolBars();
    // Refreshes the board commands, and the thread-list commands while a thread-list tab is shown
    // (before the board tree's popup menu opens).
    void BoardListPopupPopup();

    // The board pane: the site shown and its board tree (mainwindow/BoardPane.h).
    TBoardPane &BoardPane() const { return *boardPane; }
    // The thread-list pane: its view, the board tabs it shows and the thread-list flow
    // (mainwindow/ListPane.h).
    TListPane &ListPane() const { return *listPane; }
    // Builds the BBS bar from bbsbar.txt.
    void LoadBBSBar();
    // Switches the menu bar and every command off (while a composer is active) or back on.
    void SetCommandsEnabled(bool enabled);
    // Shows the option dialog at the page; when it is confirmed the window takes the new settings
    // (thread-list repaint, tool bars, tab-bar positions, BBS bar, focus timer) and emits
    // TWindowEvents::OptionsApplied. True when the dialog ended with OK.
    bool ShowOptions(int page);

    // The tool-bar bands of the top band area (CoolBar1), in band order: id and tool bar.
    QList<QToolBar *> CoolBarBands() const;

    // ---- designed components ----
private:
    TActionList *ActionList1 = nullptr;
    TImageList ActionImage;           // the actions' pictures, by image index

    // The splitters and panels between the panes, the tab rows and the log pane (PaneLayout.h).
    std::unique_ptr<TPaneLayout> panes;

    TBoardPane *boardPane = nullptr;   // site box, board filter and board tree
    TListPane *listPane = nullptr;     // the thread-list view, its board tabs and the thread-list flow
    QWidget *Panel10 = nullptr;                // the private browser's hidden place
    TStatusBar *StatusBar1 = nullptr;          // board and thread tab counts, new threads and responses
    TStatusBar *StatusBar2 = nullptr;          // progress, status text
    TStatusProgress *ProgressBar = nullptr;

    QTimer *FocusTimer = nullptr;
    QTimer *htmlPopupTimer = nullptr;

    // ---- what the window holds ----
    TTavuHintWindow *hintWindow = nullptr;
    TTavuBrowser *PrivateBrowser = nullptr;   // renders outside the tabs; never counts as a tab
    std::unique_ptr<TRuleLists> ruleLists;   // ngres.txt and ngthread.txt
    // The bookmark list, the recent boards and threads and the thread-list columns.
    std::unique_ptr<TWindowLists> Lists;
    TThreadItem *LastThreadShown = nullptr;     // for the caption (not a reference)
    std::unique_ptr<TExifInfo> ExifInfo;
public:
    // The bookmark list, the recent boards and threads and the thread-list columns, kept in the
    // profile.
    TWindowLists &StoredLists() const { return *Lists; }
private:
    // The notice window's unit: the rendering trio and the thread lists report notice-rule hits
    // to it, opening a thread clears it.
    TNoticeCommands *Notices = nullptr;

    // The notification-area icon (commands/TrayIcon.h).
    TTrayIcon *TrayIcon = nullptr;

    // The request flows, each run by its controller (flows/); the window shows what they report.
    TPostController *Posts = nullptr;
    TUpdateCheckController *UpdateChecks = nullptr;
    // The navigation filter of every browser tab and of the private browser.
    TLinkNavigation *LinkNavigation = nullptr;

    // The picture view of the browser panel (VarneloWindowPicture.cpp, ShowPictureView): a hidden
    // browser made at its first use. Every navigation of it goes on in it and opens an activated
    // browser tab titled with the URL: a ".jpg" gets its Exif display written there, any other page
    // is navigated to.
    TEmbeddedWB *WebBrowser1 = nullptr;

signals:
    // The window has closed (the close steps have run); the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    // Minimising and restoring move the window to and from the notification area.
    void changeEvent(QEvent *event) override;

private:
    // The window as the services it is itself (its frame, reading, thread views, boards, bars and life).
    TVarneloWindow &Self() const { return const_cast<TVarneloWindow &>(*this); }
    QMovie *busyMovie = nullptr;
    int busyCount = 0;
    bool busyCursorShown = false;
    QHash<QString, QIcon> appIcons;   // ShowAppIcon's icons by file
    TWindowEvents *events = nullptr;   // what happens in the window, for the units (a child)
    std::unique_ptr<TTabManager> tabs;
    std::unique_ptr<TSearchViews> searchViews;   // extract tabs and the second browser
    std::unique_ptr<TCommandStates> commandStates;   // the states of the commands (commands/)
    TShortcutBarCommands *shortcutBars = nullptr;    // the shortcut bars (commands/)
    std::function<void(const QString &)> previousLogSink;   // given back when the window goes
    // True while an update check or patrol runs (their workers hold boards).
    bool ChecksRunning() const;
    // Shows the option dialog at a page (the fixed entries of the popup menus).
    std::function<void(int page)> ShowOptionsAt();
    void ApplyOptions();
    void BindPaneLooks();
    // The board pane's splitter, the body's splitter, the board filter and the log pane report to
    // the window's events (the log pane becomes editable for its typed commands).
    void BindEvents();
    // The command units are built in BindActions, as children of the window; the tools and
    // web-search menus built from user files call this one.
    TToolCommands *toolCommands = nullptr;

    // creation
    void CreateActions();
    // The menus and bars (controls/MainMenus.h), the designed items of the five action tool bars
    // and the five popup menus, and the popup menus of the board tree and the thread list.
    void CreateMenusAndBars();
    void FillMenusAndBars();
    void CreatePanes();
    QWidget *CreateBoardPane();
    void CreateStatusBars();
    void CreateTimers();
    void CreatePrivateBrowser();
    // The private browser's progress fills the status bar's progress bar.
    void OnBrowserProgress(int position, int maximum);
    void BindActions();
    void BindLoginEvents();
    void ApplyCaption();
    void ShowAppIcon(const QString &file, bool program);

    // the window's own start-up steps
    void BindStartup();
    void FillSiteBox();

    // frame
    void ShowCount(int panel, const QString &format, int count);
    void ShowNewThreadCount(int count) override;
    void ShowNewResCount(int count);
    void ShowFlowStatus(const QString &text);
    void ShowFlowProgress(int maximum, int position);
    void actAboutExecute();
    void actThreadReturnExecute();

    // thread lists
    // The window's side of the thread-list pane and of the board pane (VarneloWindowThreadList.cpp).
private:
    void BindListPane();
    void BindBoardTree();
    void ShowBlockPage(const QString &url);

    // threads
    // The thread tabs (VarneloWindowThread.cpp); the thread request flow and the rendering trio run
    // in Threads.
private:
    TThreadController *Threads = nullptr;
    // Opens a web page as URL OPENINVARNELO says: 0 and 2 a new, activated browser tab showing the
    // page, 1 the outside browser, anything else nothing. fromViewer: the preview browser asks.
    void OpenUrl(const QString &url, const QString &caption, bool fromViewer);
public:
    // Threads->OpenThread (flows/ThreadController.h).
    void OpenThread(TThreadItem *item, bool reload, bool newTab, bool activate, int resNumber, bool keepTab,
                    const QString &url);
    // Renders the current browser tab again, keeping the response at the top of the view.
    void RefreshResView() override;
    // The caption, the title and count labels for the current tab's thread (nullptr clears them).
    void UpdateStatusCaption(TThreadItem *item) override;
    // actBrowserNavigate (and Enter in the address box): the typed URL opens as a thread or board of
    // a known site, or as a page, and joins the URL history.
    void actBrowserNavigateExecute();

private:
    QWidget *ThreadTitlePanel = nullptr;   // above the browser tabs: the thread's title and counts
    QLabel *ThreadTitleLabel = nullptr;
    QLabel *ThreadCountLabel = nullptr;

private:
    void BindThreadFlow();
    void BindThreadFlowReports();
    // The tab manager, built over the tab bars and menus; the window shows what it reports.
    void CreateTabManager();
    // Connects a new browser tab to the window and announces it (TWindowEvents::BrowserTabCreated).
    void BindBrowserEvents(TTavuBrowser *tab);
    void BrowserTabClosed(int left);
    void BrowserTabActivated(TTavuBrowser *tab);
    void BrowserTabUncovered(TTavuBrowser *tab);

    // posting
    // The reply and new-thread flows run in Posts (VarneloWindowPost.cpp binds them).
private:
    void BindPosting();

    // update check
    // The update check and the patrol run in UpdateChecks; the window binds them and the link
    // navigation of the browser tabs (VarneloWindowCheck.cpp).
private:
    void BindUpdateCheck();

    // picture view
    void WebBrowser1BeforeNavigate2X(const QString &url);
    void WebBrowser1NavigateComplete2(TTavuBrowser *tab, const QString &url);

    // shortcut bars
    // The top and the bottom one, made and run by shortcutBars (commands/ShortcutBarCommands.h).
private:
    TTavuShortcutBar *ShortcutBar1 = nullptr;
    TTavuShortcutBar *ShortcutBar3 = nullptr;
};

