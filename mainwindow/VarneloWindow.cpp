// The main window's life: creation, the deferred start-up, the busy indication, and closing, which
// the shutdown sequence runs (flows/ShutdownSequence.h).

#include "mainwindow/VarneloWindow.h"

#include "flows/ShutdownSequence.h"
#include "flows/StartupSequence.h"
#include "flows/UpdateCheckController.h"

#include "boards/DolibManager.h"
#include "commands/BeCommands.h"
#include "commands/BoardCommands.h"
#include "commands/BookmarkCommands.h"   // bookmarks
#include "commands/BrowserTabCommands.h"
#include "commands/BrowserTabDrag.h"
#include "commands/CommandStates.h"
#include "commands/CustomiseCommands.h"
#include "commands/EraseCommands.h"        // filters, erasing, log search and notices
#include "commands/FavoriteAddCommands.h"
#include "commands/FilterCommands.h"
#include "commands/HoverPopups.h"
#include "commands/LinkCommands.h"
#include "commands/ListSourceCommands.h"
#include "commands/LogCommands.h"        // history, recent threads, export
#include "commands/LogSearchCommands.h"
#include "commands/MemoCommands.h"
#include "commands/NoticeCommands.h"
#include "commands/OutsideServiceCommands.h"   // outside services
#include "commands/PaneCommands.h"
#include "commands/PictureCommands.h"       // pictures, links and memos
#include "commands/PropertyCommands.h"
#include "commands/ResIDCommands.h"
#include "commands/ResSearchCommands.h"
#include "commands/SelectedResCommands.h"
#include "commands/ShortcutAddCommands.h"
#include "commands/ShortcutBarCommands.h"   // shortcut bars
#include "commands/SiteBoardsMenu.h"
#include "commands/SiteCommands.h"
#include "commands/ThreadCommands.h"
#include "commands/ThreadInfoPane.h"
#include "commands/ThreadListCommands.h"
#include "commands/ThreadListTabCommands.h"
#include "commands/ThreadNoteCommands.h"
#include "commands/ToolCommands.h"
#include "commands/TrayIcon.h"
#include "commands/ViewPresetCommands.h" // the 1.0 layout preset
#include "controls/BarsAndMenus.h"
#include "controls/BoardTree.h"
#include "controls/BoardTreeImages.h"
#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
#include "controls/MenuBar.h"
#include "controls/PaneLooks.h"
#include "controls/RuleLists.h"
#include "controls/ShortcutBar.h"
#include "controls/TabMenuItem.h"
#include "controls/UserFiles.h"
#include "controls/WindowEvents.h"
#include "controls/WindowLists.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuActionList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "mainwindow/BoardPane.h"
#include "mainwindow/ListPane.h"
#include "mainwindow/ThreadListDrag.h"
#include "mainwindow/VarneloWindowStatusBar.h"
#include "net/TavuHttp.h"
#include "render/ExifInfo.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "render/TavuListDoc.h"
#include "services/Urls.h"
#include "settings/AboutDialog.h"
#include "settings/BoardListUpdateCommand.h"   // board-list update
#include "settings/FavoriteCommands.h"
#include "settings/ShowOptionDialog.h"   // options
#include "settings/SiteDialogCommands.h"   // site and board dialogs
#include "tools/PreviewBrowser.h"   // preview browser
#include "tools/RuleTools.h"   // rule editor
#include "tools/SendDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QQuickWidget>
#include <QPlainTextEdit>
#include <QThread>
#include <QTimer>
#include <QtDebug>

namespace {

const QString VersionSuffix = QStringLiteral("2 β(vid23 dare60)");

constexpr int FocusInterval = 500;
constexpr int HtmlPopupInterval = 1000;

QString ProfileFile(const QString &name)
{
    return TavuConfig->GetProfileDir() + name;
}

}  // namespace

// ---- creation ----

TVarneloWindow::TVarneloWindow(TSplashWindow *splash, QWidget *parent)
    : QMainWindow(parent),
      Lists(std::make_unique<TWindowLists>())
{
    setObjectName(QStringLiteral("VarneloWindow"));
    events = new TWindowEvents(this);
    Startup = new TStartupSequence(*this, splash, this);
    Startup->SetSplashMessage(QStringLiteral("初期化処理中"));
    TavuConfig->SetAppStartCount(TavuConfig->VOZADAZOZ_APPSTARTCOUNT + 1);

    CreateActions();
    ApplyCaption();
    ruleLists = std::make_unique<TRuleLists>();
    hintWindow = new TTavuHintWindow(this);
    hintWindow->hide();
    ExifInfo = std::make_unique<TExifInfo>();

    Startup->SetSplashMessage(QStringLiteral("画像データをロード中"));
    CreateMenusAndBars();
    CreatePanes();
    CreateTabManager();
    FillMenusAndBars();
    CreateStatusBars();
    CreateTimers();
    CreatePrivateBrowser();
    // Lines of the log pane from anywhere in the program (workers and dialogs included).
    previousLogSink = EventLog::SetLogSink([pane = QPointer<QPlainTextEdit>(panes->LogPane())](const QString &text) {
        if (pane)
            BarsAndMenus::AddLog(pane, text);
        else
            qInfo().noquote() << text;
    });
    BoardTree::SetBoardHoldersRunning([this] { return ChecksRunning(); });
    commandStates = std::make_unique<TCommandStates>(Frame(), Tabs(), Boards(), ThreadList(), BoardTree());
    BindEvents();
    BindActions();
    Shutdown = new TShutdownSequence(*this, *Startup, *Lists, *UpdateChecks, this);
    connect(Shutdown, &TShutdownSequence::Ended, this, &TVarneloWindow::Closed);
    BindLoginEvents();
    BindPaneLooks();   // log pane and shortcut-bar colours and fonts, the board tree's font, the title panel
    BindStartup();

    Startup->SetSplashMessage(QStringLiteral("画面の状態を復元中"));
    UrlComboBox->addItems(Lists->Load());
    UrlComboBox->setEditText(QString());
    Lists->LoadColumnList(listPane->View());
    LoadCoolBarLayout();
    BarsAndMenus::ApplyShortcutKeys(TavuConfig->Ini, ActionList1->Actions());
    BuildToolBars();

    Startup->Start();
}

TVarneloWindow::~TVarneloWindow()
{
    // Composers still open go with the window: they must not switch its commands any more.
    for (TSendDialog *composer : findChildren<TSendDialog *>())
        composer->SwitchWindowCommands = nullptr;
    Shutdown->Destroy();
    EventLog::SetLogSink(std::move(previousLogSink));
    BoardTree::SetBoardHoldersRunning(nullptr);
}

// ---- services ----

TBoardTreeServices &TVarneloWindow::BoardTree() const
{
    return *boardPane;
}

TThreadListServices &TVarneloWindow::ThreadList() const
{
    return *listPane;
}

TRuleServices &TVarneloWindow::Rules() const
{
    return *ruleLists;
}

TBookmarkServices &TVarneloWindow::Bookmarks() const
{
    return *Lists;
}

// ---- the frame ----

QWidget *TVarneloWindow::Window() const
{
    return const_cast<TVarneloWindow *>(this);
}

QAction *TVarneloWindow::Action(const QString &name) const
{
    return ActionList1 ? ActionList1->Action(name) : nullptr;
}

bool TVarneloWindow::BindAction(const QString &name, QObject *receiver, const std::function<void()> &handler)
{
    return ActionList1->Bind(name, receiver, [handler] { handler(); });
}

void TVarneloWindow::SetActionEnabled(const QString &name, bool enabled)
{
    if (QAction *action = Action(name))
        action->setEnabled(enabled && TActionList::HasHandler(action));
}

QList<QAction *> TVarneloWindow::WindowActions() const
{
    return ActionList1->Actions();
}

QList<QIcon> TVarneloWindow::ActionImages() const
{
    return ActionImage;
}

TWindowEvents &TVarneloWindow::Events() const
{
    return *events;
}

void TVarneloWindow::CreateActions()
{
    ActionImage = ActionCatalogue::LoadImages(ActionCatalogue::ImageStripFile());
    ActionList1 = new TActionList(this, ActionImage);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    addActions(ActionList1->Actions());   // so their shortcuts work wherever the focus is
}

// The commands and events of each area of the window. Each unit is given the subjects of the
// services it uses; those that use most of them take the whole.
void TVarneloWindow::BindActions()
{
    TWindowFrameServices &frame = Frame();
    TTabServices &tabs = Tabs();
    TReadingServices &reading = Reading();
    TThreadViewServices &views = Views();
    TBoardServices &boards = Boards();
    TThreadListServices &threadList = ThreadList();
    TRuleServices &rules = Rules();
    TBoardTreeServices &boardTree = BoardTree();
    TLayoutServices &layout = Layout();
    TBarServices &bars = Bars();
    ActionList1->Bind(QStringLiteral("actExit"), this, &QWidget::close);
    ActionList1->Bind(QStringLiteral("actAbout"), this, &TVarneloWindow::actAboutExecute);
    ActionList1->Bind(QStringLiteral("actThreadReturn"), this, &TVarneloWindow::actThreadReturnExecute);
    BindBoardTree();
    BindListPane();
    BindThreadFlow();
    BindPosting();       // posting
    BindUpdateCheck();   // update check
    new TResSearchCommands(frame, tabs, SearchViews(), this);   // response search
    SiteDialogCommands::Bind(frame, boards, threadList, boardTree);   // site and board dialogs
    BoardListUpdateCommand::Bind(frame, boardTree);   // board-list update
    RuleTools::Bind(frame, tabs, rules);           // rule editor
    PreviewBrowser::Bind(frame, reading, threadList);  // preview browser
    FavoriteCommands::Bind(frame, boardTree);         // favourites dialogs
    // filters, erasing, log search and notices
    new TFilterCommands(frame, tabs, SearchViews(), this);
    new TEraseCommands(frame, tabs, views, threadList, this);
    new TThreadNoteCommands(frame, tabs, views, threadList, this);
    new TLogSearchCommands(frame, tabs, views, threadList, this);
    Notices = new TNoticeCommands(frame, tabs, reading, SearchViews(), threadList, this);

    new TSiteCommands(frame, boardTree, this);   // sites and boards from outside
    new TFavoriteAddCommands(frame, tabs, reading, boards, threadList, boardTree, this);   // to the favourites
    new TPropertyCommands(frame, tabs, boards, threadList, boardTree, this);   // property window
    new TShortcutAddCommands(frame, tabs, boards, threadList, boardTree, this);   // threads, boards to the shortcut bar
    new TThreadListDrag(boards, threadList, listPane->View(), boardPane->Tree(), this);   // threads to favourites
    new TBrowserTabDrag(tabs, boards, boardTree, layout, this);   // thread tabs dragged to favourites
    new TOutsideServiceCommands(*this, this);   // outside services
    new TThreadListCommands(frame, tabs, boards, threadList, boardTree, this);   // list rows and tabs, board copies
    new TThreadListTabCommands(*this, this);    // the shown thread-list tab and its rows
    // pictures, links and memos
    new TPictureCommands(frame, tabs, this);
    new TMemoCommands(frame, tabs, layout, this);
    new TLinkCommands(frame, tabs, reading, threadList, this);

    new TCustomiseCommands(frame, boards, threadList, bars, this);   // skins, key bindings, tools, columns, toolbars
    ActionList1->Bind(QStringLiteral("actOption"), this, [this] { ShowOptions(0); });   // options
    new TThreadCommands(*this, this);
    new TBrowserTabCommands(*this, this);
    new TSelectedResCommands(frame, tabs, reading, views, this);
    new THoverPopups(frame, tabs, views, this);
    auto *paneCommands = new TPaneCommands(frame, views, boardTree, layout, bars, this);
    toolCommands = new TToolCommands(Services(), this);
    new TBeCommands(frame, tabs, views, this);
    new TBoardCommands(Services(), this);
    new TListSourceCommands(frame, tabs, reading, threadList, boardTree, this);
    TrayIcon = new TTrayIcon(frame, this);
    connect(FocusTimer, &QTimer::timeout, paneCommands, &TPaneCommands::FocusTimerTimer);

    new TBookmarkCommands(Services(), this);     // bookmarks
    new TThreadInfoPane(Services(), this);       // thread information, bookmark pane, image catalog
    new TResIDCommands(Services(), this);        // the menu of a poster ID
    new TSiteBoardsMenu(reading, boardTree, bars, this);   // the shown site's boards as a menu
    new TLogCommands(Services(), this);          // history, recent threads, export
    new TViewPresetCommands(frame, bars, this);   // the 1.0 layout preset
}

void TVarneloWindow::BindPaneLooks()
{
    PaneLooks::TPaneLookParts parts;
    parts.LogPane = panes->LogPane();
    parts.ShortcutBars = {ShortcutBar1, ShortcutBar3};
    parts.BoardTree = boardPane->Tree();
    parts.TitlePanel = ThreadTitlePanel;
    parts.BrowserPane = panes->BrowserPane();
    parts.Browser = panes->BrowserArea();
    PaneLooks::BindPaneLooks(*this, parts);
}

void TVarneloWindow::BindEvents()
{
    connect(panes.get(), &TPaneLayout::BoardPaneToggled, events, &TWindowEvents::BoardPaneToggled);
    connect(panes.get(), &TPaneLayout::BodySplitterMoved, events, &TWindowEvents::BodySplitterMoved);
    if (QLineEdit *filter = boardPane->FilterBox()->lineEdit())
        connect(filter, &QLineEdit::returnPressed, events, &TWindowEvents::BoardFilterEntered);
    panes->SendLogLinesTo(*events);
}

// The deferred start-up: the window's own steps, and the registry's trace into Memo3.
void TVarneloWindow::BindStartup()
{
    Startup->FillSiteBox = [this] { FillSiteBox(); };
    Startup->ApplyColumnWidths = [this] { Lists->ApplyColumnWidths(listPane->View()); };
    Startup->StartFocusTimer = [this] { FocusTimer->start(); };
    QPlainTextEdit *trace = panes->TracePane();
    connect(Startup, &TStartupSequence::TraceLines, trace, [trace](const QStringList &lines) {
        if (!lines.isEmpty())
            trace->appendPlainText(lines.join(QLatin1Char('\n')));
    });
}

// act2chLogin shows whether the past-log service is logged in; a failed login is told in the log pane.
void TVarneloWindow::BindLoginEvents()
{
    if (!DolibManager)
        return;
    const auto showLogin = [this](bool loggedIn) {
        if (QAction *login = Action(QStringLiteral("act2chLogin")))
            login->setChecked(loggedIn);
    };
    connect(DolibManager, &TDolibManager::LoggedIn, this, [showLogin] { showLogin(true); });
    connect(DolibManager, &TDolibManager::LoggedOut, this, [showLogin] { showLogin(false); });
    connect(DolibManager, &TDolibManager::LoginFailed, this, [](const QString &message) { EventLog::AddLog(message); });
}

// Window caption and application title: APPNAME, a blank and the version; the exit command names
// the program too.
void TVarneloWindow::ApplyCaption()
{
    const QString title = TavuConfig->APPNAME + QLatin1Char(' ') + VersionSuffix;
    Dialogs::SetMessageCaption(title);
    setWindowTitle(title);
    ShowAppIcon(TavuConfig->APPICON, true);
    if (QAction *exit = Action(QStringLiteral("actExit")))
        exit->setText(TavuConfig->APPNAME + QStringLiteral("の終了(&X)"));
}

// The window's icon from the file, and with program the icon of the program's other windows too
// (the busy icon marks this window only: telling every window of it costs each request a round of
// events through all of them). An icon is read from its file once. A missing or unreadable file
// leaves the icon shown.
void TVarneloWindow::ShowAppIcon(const QString &file, bool program)
{
    QIcon icon = appIcons.value(file);
    if (icon.isNull()) {
        if (file.isEmpty() || !QFile::exists(file))
            return;
        icon = QIcon(file);
        if (icon.isNull())
            return;
        appIcons.insert(file, icon);
    }
    if (program)
        QApplication::setWindowIcon(icon);
    setWindowIcon(icon);
}

void TVarneloWindow::CreateTimers()
{
    auto timer = [this](const char *name, int interval, bool once) {
        auto *t = new QTimer(this);
        t->setObjectName(QString::fromUtf8(name));
        t->setInterval(interval);
        t->setSingleShot(once);
        return t;
    };
    FocusTimer = timer("FocusTimer", FocusInterval, false);
    htmlPopupTimer = timer("HtmlPopupTimer", HtmlPopupInterval, true);
}

// A one-pixel browser tab that never shows, for renderings outside the tabs.
void TVarneloWindow::CreatePrivateBrowser()
{
    Panel10 = new QWidget(this);
    Panel10->setObjectName(QStringLiteral("Panel10"));
    Panel10->setGeometry(0, 0, 1, 1);
    Panel10->hide();
    PrivateBrowser = new TTavuBrowser(Panel10);
    PrivateBrowser->setObjectName(QStringLiteral("PrivateBrowser"));
    PrivateBrowser->hide();
    connect(PrivateBrowser, &TTavuBrowser::Progress, this, &TVarneloWindow::OnBrowserProgress);
    // A web view draws through a Qt Quick widget, made once its page has a renderer; when that
    // widget needs another kind of surface (OpenGL) the window would be made anew for the first
    // browser tab (a flicker, and a close request lost). A hidden one of the same kind, there from
    // the start, gives the window the surface the web views need before it is first shown.
    auto *surface = new QQuickWidget(Panel10);
    surface->setObjectName(QStringLiteral("WebSurface"));
    surface->hide();
}

void TVarneloWindow::OnBrowserProgress(int position, int maximum)
{
    ProgressBar->SetProgress(maximum, position);
}

void TVarneloWindow::FillSiteBox()
{
    boardPane->FillSiteBox();
    ReloadToolsMenu();
    UserFiles::LoadSearchMenu(TMainMenus::BrowserSelectionMenu, ProfileFile(QStringLiteral("search.txt")), *ActionList1,
                            [this](TSearchEngineMenuItem *entry) { toolCommands->WebSearch(entry); });
}

void TVarneloWindow::ReloadToolsMenu()
{
    BarsAndMenus::LoadToolsMenu(Tool1, ProfileFile(QStringLiteral("tool.txt")),
                           [this](TToolMenuItem *tool) { toolCommands->LaunchTool(tool); });
}

// toolbar.ini for the five tool bars, popup.ini (when there is one) for the five popup menus.
void TVarneloWindow::ReloadToolBarsAndMenus()
{
    const QString toolbarIni = ProfileFile(QStringLiteral("toolbar.ini"));
    for (QToolBar *bar : {MainActToolBar, panes->ThreadListTools(), panes->BrowserTools(), AppActToolBar, GaishutuToolBar})
        BarsAndMenus::LoadToolBars(toolbarIni, bar, *ActionList1);
    const QString popupIni = ProfileFile(QStringLiteral("popup.ini"));
    if (QFile::exists(popupIni)) {
        for (QMenu *menu : {BoardListPopup, ThreadListPopup, ThreadItemPopup, BrowserPopup, ResPopup})
            BarsAndMenus::LoadPopupMenus(popupIni, menu, *ActionList1, ShowOptionsAt());
    }
    BuildToolBars();
}

std::function<void(int page)> TVarneloWindow::ShowOptionsAt()
{
    return [this](int page) { ShowOptions(page); };
}

bool TVarneloWindow::ShowOptions(int page)
{
    hintWindow->hide();
    if (!OptionDialog::ShowOptionDialog(page, this))
        return false;
    ApplyOptions();
    return true;
}

void TVarneloWindow::LoadBBSBar()
{
    UserFiles::LoadBBSBar(BBSToolBar, ProfileFile(QStringLiteral("bbsbar.txt")), *TavuEnviron->SiteList(),
                        BoardTreeImages::SiteImages(), [this](TSite *site) { boardPane->SelectSite(site); });
}

void TVarneloWindow::SetCommandsEnabled(bool enabled)
{
    BarsAndMenus::SetActionsEnabled(this, MenuBar1, ActionList1->Actions(), enabled);
}

void TVarneloWindow::ApplyOptions()
{
    BuildToolBars();
    panes->ApplyTabBarPositions();
    tabs->ShowTabCloseMarks();
    shortcutBars->ApplyShortcutBarPosition();
    if (TavuEnviron && TavuEnviron->SiteList())
        LoadBBSBar();
    tabs->RefreshTabCaptions();
    if (TavuConfig->AUTOACTIVE)
        FocusTimer->start();
    else
        FocusTimer->stop();
    emit events->OptionsApplied();
}

bool TVarneloWindow::ChecksRunning() const
{
    for (const QPointer<QThread> &check : UpdateChecks->RunningChecks) {
        if (check && !check->isFinished())
            return true;
    }
    return false;
}

void TVarneloWindow::ReloadBarLayout()
{
    ReloadToolBarsAndMenus();
    panes->ApplyTabBarPositions();
    shortcutBars->ApplyShortcutBarPosition();
}

void TVarneloWindow::SetCommandLine(const QStringList &arguments)
{
    Startup->SetCommandLine(arguments);
}

// A later copy of the program handed its arguments over: the window comes to the front first.
void TVarneloWindow::ReceiveHandOver(const QStringList &arguments)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    Startup->HandOver(arguments);
}

// Runs a command the way its menu entry does: only when it is enabled (a command whose area is
// not there yet stays disabled and does nothing).
void TVarneloWindow::Execute(const QString &name)
{
    QAction *action = Action(name);
    if (action && action->isEnabled())
        action->trigger();
}

void TVarneloWindow::actAboutExecute()
{
    TAboutDialog dialog(this);
    Dialogs::ExecDialog(dialog);
}

// ---- busy indication ----

void TVarneloWindow::BeginBusy()
{
    if (++busyCount > 1)
        return;
    if (!busyCursorShown) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        busyCursorShown = true;
    }
    if (busyMovie && busyMovie->isValid())
        busyMovie->start();
    ShowAppIcon(TavuConfig->BUSYICON, false);
}

void TVarneloWindow::EndBusy()
{
    if (--busyCount >= 1)
        return;
    busyCount = 0;
    if (busyCursorShown) {
        QApplication::restoreOverrideCursor();
        busyCursorShown = false;
    }
    if (busyMovie && busyMovie->state() == QMovie::Running) {
        busyMovie->stop();
        busyMovie->jumpToFrame(0);
    }
    ShowAppIcon(TavuConfig->APPICON, false);
}

void TVarneloWindow::ClearBusy()
{
    busyCount = 1;
    EndBusy();
}

void TVarneloWindow::TrackWorker(QThread *thread)
{
    Shutdown->TrackWorker(thread);
}

// ---- shutdown ----

void TVarneloWindow::HideWindow()
{
    hide();
}

void TVarneloWindow::StopAll()
{
    toolCommands->actDisconnectExecute();
}

void TVarneloWindow::StopFocusTimer()
{
    FocusTimer->stop();
}

void TVarneloWindow::ReleaseTabs()
{
    tabs->ReleaseTabs();
    if (PrivateBrowser)
        PrivateBrowser->CloseThread();
}

void TVarneloWindow::ReleaseSessionParts()
{
    hintWindow = nullptr;
    ruleLists->Release();
}

// The session may end while the exit question is open: the close steps have run by the time it is
// answered, and run only once.
void TVarneloWindow::closeEvent(QCloseEvent *event)
{
    if (!Shutdown->Closed() && !Shutdown->CloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    EndSession();
}

void TVarneloWindow::EndSession()
{
    Shutdown->EndSession();
}

void TVarneloWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !TrayIcon)
        return;
    // Hiding the window inside its own state change is left to the event loop.
    if (isMinimized())
        QTimer::singleShot(0, TrayIcon, &TTrayIcon::WindowMinimized);
    else
        TrayIcon->WindowRestored();
}
