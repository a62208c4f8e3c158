// The main window's life: creation, the deferred start-up, stop-all, the busy indication and the
// three steps of shutdown.

#include "mainwindow/VarneloWindow.h"

#include "flows/StartupSequence.h"
#include "flows/UpdateCheckController.h"

#include "boards/Be2chManager.h"
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
#include "controls/BoardTreeImages.h"
#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
#include "controls/KpwPaneLooks.h"
#include "controls/KpwBoardTree.h"
#include "controls/KpwServices.h"
#include "controls/KpwUserFiles.h"
#include "controls/MenuBar.h"
#include "controls/ShortcutBar.h"
#include "controls/TabMenuItem.h"
#include "controls/TavuSplitter.h"
#include "core/DataRoot.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/SaveQueue.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuActionList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/Tavutils.h"
#include "core/TextList.h"
#include "mainwindow/ThreadListDrag.h"
#include "mainwindow/VarneloWindowServices.h"
#include "mainwindow/WindowTabs.h"
#include "net/TavuHttp.h"
#include "net/TavuHttpList.h"
#include "render/ExifInfo.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "render/TavuListDoc.h"
#include "services/KpwUrl.h"
#include "settings/AboutDialog.h"
#include "settings/BoardListUpdateCommand.h"   // board-list update
#include "settings/FavoriteCommands.h"
#include "settings/KpwOptionDialog.h"   // options
#include "settings/SiteDialogCommands.h"   // site and board dialogs
#include "tools/PreviewBrowser.h"   // preview browser
#include "tools/RuleTools.h"   // rule editor
#include "tools/SendDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMovie>
#include <QQuickWidget>
#include <QPlainTextEdit>
#include <QThread>
#include <QTimer>
#include <QtDebug>

namespace {

const QString VersionSuffix = QStringLiteral("2 β(vid23 dare60)");

// The order of the mark pictures the thread-list rows use, taken from DrawImage.
const int GlyphOrder[] = {0, 1, 2, 3, 8, 4, 5, 9, 6, 7, 10, 11, 12};

constexpr int FocusInterval = 500;
constexpr int DisconnectInterval = 2000;
constexpr int CollectInterval = 1000;
constexpr int HtmlPopupInterval = 1000;

QString ProfileFile(const QString &name)
{
    return TavuConfig->GetProfileDir() + name;
}

// Lets the event loop run for the given time (timers, replies and worker threads' calls go on).
void PumpFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

// ---- creation ----

TVarneloWindow::TVarneloWindow(TSplashWindow *splash, QWidget *parent)
    : QMainWindow(parent),
      BookmarkList(std::make_unique<TTextList>()),
      RecentBoards(std::make_unique<TTextList>()),
      RecentThreads(std::make_unique<TTextList>()),
      services(std::make_unique<TVarneloWindowServices>(*this))
{
    setObjectName(QStringLiteral("VarneloWindow"));
    Startup = new TStartupSequence(*services, splash, this);
    Startup->SetSplashMessage(QStringLiteral("初期化処理中"));
    TavuConfig->SetAppStartCount(TavuConfig->VOZADAZOZ_APPSTARTCOUNT + 1);

    CreateActions();
    ApplyCaption();
    ResRules = std::make_unique<TTavuActionList>();
    ThreadRules = std::make_unique<TTavuActionList>();
    HintWindow = new TTavuHintWindow(this);
    HintWindow->hide();
    ExifInfo = std::make_unique<TExifInfo>();

    Startup->SetSplashMessage(QStringLiteral("画像データをロード中"));
    LoadRowGlyphs();
    CreateMenusAndBars();
    CreatePanes();
    FillMenusAndBars();
    CreateStatusBars();
    CreateTimers();
    CreatePrivateBrowser();
    // Lines of the log pane from anywhere in the program (workers and dialogs included).
    previousLogSink = Kpwfunc::SetLogSink([pane = QPointer<QPlainTextEdit>(Memo1)](const QString &text) {
        if (pane)
            Kpwfunc::AddLog(pane, text);
        else
            qInfo().noquote() << text;
    });
    Kpwfunc::SetBoardHoldersRunning([this] { return ChecksRunning(); });
    commandStates = std::make_unique<TCommandStates>(*services);
    BindActions();
    BindLoginEvents();
    BindPaneLooks();   // log pane and shortcut-bar colours and fonts, the board tree's font, the title panel
    BindStartup();

    Startup->SetSplashMessage(QStringLiteral("画面の状態を復元中"));
    LoadWindowLists();
    LoadColumnList();
    LoadCoolBarLayout();
    Kpwfunc::ApplyShortcutKeys(TavuConfig->Ini, ActionList1->Actions());
    BuildToolBars();

    Startup->Start();
}

TVarneloWindow::~TVarneloWindow()
{
    // Composers still open go with the window: they must not switch its commands any more.
    for (TSendDialog *composer : findChildren<TSendDialog *>())
        composer->SwitchWindowCommands = nullptr;
    FormDestroy();
    Kpwfunc::SetLogSink(std::move(previousLogSink));
    Kpwfunc::SetBoardHoldersRunning(nullptr);
}

TWindowServices &TVarneloWindow::Services() const
{
    return *services;
}

QAction *TVarneloWindow::Action(const QString &name) const
{
    return ActionList1 ? ActionList1->Action(name) : nullptr;
}

void TVarneloWindow::CreateActions()
{
    ActionImage = ActionCatalogue::LoadImages(ActionCatalogue::ImageStripFile());
    ActionList1 = new TActionList(this, ActionImage);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    addActions(ActionList1->Actions());   // so their shortcuts work wherever the focus is
}

// The commands and events of each area of the window.
void TVarneloWindow::BindActions()
{
    ActionList1->Bind(QStringLiteral("actDisconnect"), this, &TVarneloWindow::actDisconnectExecute);
    ActionList1->Bind(QStringLiteral("actExit"), this, &QWidget::close);
    ActionList1->Bind(QStringLiteral("actAbout"), this, &TVarneloWindow::actAboutExecute);
    ActionList1->Bind(QStringLiteral("actThreadReturn"), this, &TVarneloWindow::actThreadReturnExecute);
    BindBoardTree();
    BindThreadListPane();
    BindThreadFlow();
    BindPosting();       // posting
    BindUpdateCheck();   // update check
    new TResSearchCommands(*services, this);   // response search
    SiteDialogCommands::Bind(*services);       // site and board dialogs
    BoardListUpdateCommand::Bind(*services);   // board-list update
    RuleTools::Bind(*services);                // rule editor
    PreviewBrowser::Bind(*services);           // preview browser
    FavoriteCommands::Bind(*services);         // favourites dialogs
    // filters, erasing, log search and notices
    new TFilterCommands(*services, this);
    new TEraseCommands(*services, this);
    new TThreadNoteCommands(*services, this);
    new TLogSearchCommands(*services, this);
    Notices = new TNoticeCommands(*services, this);

    new TSiteCommands(Services(), this);   // sites and boards from outside
    new TFavoriteAddCommands(Services(), this);   // threads and pages into the favourites
    new TPropertyCommands(Services(), this);      // property window
    new TShortcutAddCommands(Services(), this);   // threads and boards onto the shortcut bar
    new TThreadListDrag(Services(), ThreadListView, BoardListView, this);   // threads dragged to favourites
    new TBrowserTabDrag(Services(), this);        // thread tabs dragged to favourites
    new TOutsideServiceCommands(*services, this);   // outside services
    new TThreadListCommands(*services, this);       // thread-list rows and tabs, board copies
    new TThreadListTabCommands(*services, this);    // the shown thread-list tab and its rows
    // pictures, links and memos
    new TPictureCommands(*services, this);
    new TMemoCommands(*services, this);
    new TLinkCommands(*services, this);

    new TCustomiseCommands(*services, this);   // skins, key bindings, tools, columns, toolbars
    ActionList1->Bind(QStringLiteral("actOption"), this, [this] { ShowOptions(0); });   // options
    new TThreadCommands(*services, this);
    new TBrowserTabCommands(*services, this);
    new TSelectedResCommands(*services, this);
    new THoverPopups(*services, this);
    auto *paneCommands = new TPaneCommands(Services(), this);
    toolCommands = new TToolCommands(Services(), this);
    new TBeCommands(Services(), this);
    new TBoardCommands(Services(), this);
    new TListSourceCommands(Services(), this);
    TrayIcon = new TTrayIcon(Services(), this);
    connect(FocusTimer, &QTimer::timeout, paneCommands, &TPaneCommands::FocusTimerTimer);

    new TBookmarkCommands(Services(), this);     // bookmarks
    new TThreadInfoPane(Services(), this);       // thread information, bookmark pane, image catalog
    new TResIDCommands(Services(), this);        // the menu of a poster ID
    new TSiteBoardsMenu(Services(), this);       // the shown site's boards as a menu
    new TLogCommands(Services(), this);          // history, recent threads, export
    new TViewPresetCommands(Services(), this);   // the 1.0 layout preset
}

void TVarneloWindow::BindPaneLooks()
{
    Kpwfunc::TPaneLookParts parts;
    parts.LogPane = Memo1;
    parts.ShortcutBars = {ShortcutBar1, ShortcutBar3};
    parts.BoardTree = BoardListView;
    parts.TitlePanel = ThreadTitlePanel;
    parts.BrowserPane = BrowserPanel;
    parts.Browser = ImagePaneSplitter;
    Kpwfunc::BindPaneLooks(*services, parts);
}

// The deferred start-up: the window's own steps, and the registry's trace into Memo3.
void TVarneloWindow::BindStartup()
{
    Startup->FillSiteBox = [this] { FillSiteBox(); };
    Startup->ApplyColumnWidths = [this] { ApplyColumnWidths(); };
    Startup->StartFocusTimer = [this] { FocusTimer->start(); };
    connect(Startup, &TStartupSequence::TraceLine, Memo3, &QPlainTextEdit::appendPlainText);
}

// act2chLogin shows whether the past-log service is logged in; a failed login is told in the log pane.
void TVarneloWindow::BindLoginEvents()
{
    if (!DolibManager)
        return;
    connect(DolibManager, &TDolibManager::LoggedIn, this, [this] { SetActionChecked(QStringLiteral("act2chLogin"), true); });
    connect(DolibManager, &TDolibManager::LoggedOut, this, [this] { SetActionChecked(QStringLiteral("act2chLogin"), false); });
    connect(DolibManager, &TDolibManager::LoginFailed, this, [](const QString &message) { Kpwfunc::AddLog(message); });
}

// Window caption and application title: APPNAME, a blank and the version; the exit command names
// the program too.
void TVarneloWindow::ApplyCaption()
{
    const QString title = TavuConfig->APPNAME + QLatin1Char(' ') + VersionSuffix;
    Kpwfunc::SetMessageCaption(title);
    setWindowTitle(title);
    ShowAppIcon(TavuConfig->APPICON);
    if (QAction *exit = Action(QStringLiteral("actExit")))
        exit->setText(TavuConfig->APPNAME + QStringLiteral("の終了(&X)"));
}

void TVarneloWindow::ShowAppIcon(const QString &file)
{
    if (file.isEmpty() || !QFile::exists(file))
        return;
    const QIcon icon(file);
    if (icon.isNull())
        return;
    QApplication::setWindowIcon(icon);
    setWindowIcon(icon);
}

void TVarneloWindow::LoadRowGlyphs()
{
    DrawImage = ActionCatalogue::LoadImages(TTavuConfig::AppDir() + QStringLiteral("resource/marks.png"));
    RowGlyphs.clear();
    for (int index : GlyphOrder)
        RowGlyphs.append(DrawImage.value(index).pixmap(16, 16));
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
    DisconnectTimer = timer("DisconnectTimer", DisconnectInterval, true);
    BrowserCollectTimer = timer("BrowserCollectTimer", CollectInterval, false);
    HtmlPopupTimer = timer("HtmlPopupTimer", HtmlPopupInterval, true);
    connect(DisconnectTimer, &QTimer::timeout, this, &TVarneloWindow::DisconnectTimerTimer);
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
    // A web view draws through a Qt Quick widget, made once its page has a renderer; when that
    // widget needs another kind of surface (OpenGL) the window would be made anew for the first
    // browser tab (a flicker, and a close request lost). A hidden one of the same kind, there from
    // the start, gives the window the surface the web views need before it is first shown.
    auto *surface = new QQuickWidget(Panel10);
    surface->setObjectName(QStringLiteral("WebSurface"));
    surface->hide();
}

// The recent boards and threads, the URL history and the bookmark list (each only when its file
// exists). The bookmark list is copied to bookmark.bak once it has been read. A file that exists
// but cannot be read is told; the list keeps it from being written over.
void TVarneloWindow::LoadWindowLists()
{
    LoadWindowList(*RecentBoards, ProfileFile(QStringLiteral("recbrd.txt")));
    LoadWindowList(*RecentThreads, ProfileFile(QStringLiteral("recthrd.txt")));
    TTextList urlLog;
    if (LoadWindowList(urlLog, ProfileFile(QStringLiteral("urllog.txt"))))
        UrlComboBox->addItems(urlLog.Lines);
    UrlComboBox->setEditText(QString());
    if (LoadWindowList(*BookmarkList, BookmarkFile()))
        FileUtil::MakeBackup(BookmarkFile(), ProfileFile(QStringLiteral("bookmark.bak")));
}

bool TVarneloWindow::LoadWindowList(TTextList &list, const QString &fileName)
{
    const bool loaded = list.LoadFromFile(fileName);
    if (list.ReadFailed())
        Kpwfunc::AddLog(QStringLiteral("ファイルを読めませんでした（ファイルは上書きせずそのまま残します）：%1").arg(fileName));
    return loaded;
}

// column.txt, copied from the def folder when the profile has none.
void TVarneloWindow::LoadColumnList()
{
    const QString file = ProfileFile(QStringLiteral("column.txt"));
    if (!QFile::exists(file))
        DataRoot::CopyIfMissing(TTavuConfig::AppDir() + QStringLiteral("def/column.txt"), file);
    ThreadListColumns = Kpwfunc::LoadColumnKeys(file);
    Kpwfunc::LoadThreadListColumns(ThreadListView, file);
}

QString TVarneloWindow::ResRulesFile()
{
    return ProfileFile(QStringLiteral("ngres.txt"));
}

QString TVarneloWindow::ThreadRulesFile()
{
    return ProfileFile(QStringLiteral("ngthread.txt"));
}

QString TVarneloWindow::BookmarkFile()
{
    return ProfileFile(QStringLiteral("bookmark.txt"));
}

void TVarneloWindow::SaveBookmarkList()
{
    SaveWindowList(*BookmarkList, BookmarkFile());
}

void TVarneloWindow::SaveWindowList(const TTextList &list, const QString &fileName)
{
    try {
        list.SaveToFile(fileName);
    } catch (const EVarnelo &e) {
        Kpwfunc::AddLog(e.Message);
    }
}

void TVarneloWindow::FillSiteBox()
{
    Kpwfunc::LoadBBSTree(SiteComboBox);
    LoadToolsMenu();
    Kpwfunc::LoadSearchMenu(BrowserSelectionMenu, ProfileFile(QStringLiteral("search.txt")), *ActionList1,
                            [this](TSearchEngineMenuItem *entry) { toolCommands->WebSearch(entry); });
}

void TVarneloWindow::LoadToolsMenu()
{
    Kpwfunc::LoadToolsMenu(Tool1, ProfileFile(QStringLiteral("tool.txt")),
                           [this](TToolMenuItem *tool) { toolCommands->LaunchTool(tool); });
}

// Each thread-list column takes the width stored under its key ("NO" for the first column) when
// one is stored (-1: none, the column keeps its width).
void TVarneloWindow::ApplyColumnWidths()
{
    const QStringList keys = QStringList(QStringLiteral("NO")) + ThreadListColumns;
    for (int column = 0; column < keys.size(); ++column) {
        const int width = TavuConfig->GetColumnSize(keys[column]);
        if (width > -1)
            ThreadListView->setColumnWidth(column, width);
    }
}

// column.txt changed: the columns are built again in its order, each with the width it had.
void TVarneloWindow::ReloadThreadListColumns()
{
    StoreColumnWidths();
    LoadColumnList();
    ApplyColumnWidths();
    ThreadListView->viewport()->update();
}

// The width of each thread-list column, under its key.
void TVarneloWindow::StoreColumnWidths()
{
    const QStringList keys = QStringList(QStringLiteral("NO")) + ThreadListColumns;
    for (int column = 0; column < keys.size(); ++column)
        TavuConfig->SetColumnSize(keys[column], ThreadListView->columnWidth(column));
}

// toolbar.ini for the five tool bars, popup.ini (when there is one) for the five popup menus.
void TVarneloWindow::RestoreToolBarsAndMenus()
{
    const QString toolbarIni = ProfileFile(QStringLiteral("toolbar.ini"));
    for (QToolBar *bar : {MainActToolBar, ThreadListActToolBar, BrowserActToolBar, AppActToolBar, GaishutuToolBar})
        Kpwfunc::LoadToolBars(toolbarIni, bar, *ActionList1);
    const QString popupIni = ProfileFile(QStringLiteral("popup.ini"));
    if (QFile::exists(popupIni)) {
        for (QMenu *menu : {BoardListPopup, ThreadListPopup, ThreadItemPopup, BrowserPopup, ResPopup})
            Kpwfunc::LoadPopupMenus(popupIni, menu, *ActionList1, ShowOptionsAt());
    }
    BuildToolBars();
}

std::function<void(int page)> TVarneloWindow::ShowOptionsAt()
{
    return [this](int page) { ShowOptions(page); };
}

bool TVarneloWindow::ShowOptions(int page)
{
    HintWindow->hide();
    if (!Kpwfunc::ShowOptionDialog(page, this))
        return false;
    ApplyOptions();
    return true;
}

void TVarneloWindow::LoadBBSBar()
{
    Kpwfunc::LoadBBSBar(BBSToolBar, ProfileFile(QStringLiteral("bbsbar.txt")), *TavuEnviron->SiteList(),
                        BoardTreeImages::SiteImages(), [this](TSite *site) { SelectSite(site); });
}

void TVarneloWindow::ShowFirstSite()
{
    Kpwfunc::LoadBBSTree(SiteComboBox);
    if (SiteComboBox->count() == 0)
        return;
    {
        const QSignalBlocker blocker(SiteComboBox);
        SiteComboBox->setCurrentIndex(0);
    }
    SiteComboBoxChange();
}

void TVarneloWindow::SetCommandsEnabled(bool enabled)
{
    Kpwfunc::SetActionsEnabled(this, MenuBar1, ActionList1->Actions(), enabled);
}

void TVarneloWindow::ApplyOptions()
{
    if (ThreadListView)
        ThreadListView->viewport()->update();
    BuildToolBars();
    ApplyTabBarPositions();
    if (TavuEnviron && TavuEnviron->SiteList())
        LoadBBSBar();
    if (TavuConfig->AUTOACTIVE)
        FocusTimer->start();
    else
        FocusTimer->stop();
    emit OptionsApplied();
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
    RestoreToolBarsAndMenus();
    ApplyTabBarPositions();
    shortcutBars->ApplyShortcutBarPosition();
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
    Kpwfunc::ExecDialog(dialog);
}

// ---- stop-all ----

void TVarneloWindow::actDisconnectExecute()
{
    Kpwfunc::AddLog(QStringLiteral("すべての処理を中止します。"));
    TavuHttpList->AbortAll();
    for (TTavuListDoc *doc : ListDocs)
        doc->UpdateTabImage();
    for (TTavuBrowser *tab : Browsers)
        tab->UpdateTabImage();
    TavuEnviron->SetStopped(true);
    DisconnectTimer->start();
}

void TVarneloWindow::DisconnectTimerTimer()
{
    DisconnectTimer->stop();
    TavuEnviron->SetStopped(false);
    for (TTavuBrowser *tab : Browsers) {
        tab->DownloadState = TTavuBrowser::dsIdle;
        tab->UpdateTabImage();
    }
    for (TTavuListDoc *doc : ListDocs) {
        doc->DownloadState = TTavuListDoc::dsIdle;
        doc->DownloadFailed = false;
        doc->UpdateTabImage();
    }
    busyCount = 1;
    EndBusy();
    Kpwfunc::AddLog(QStringLiteral("すべての処理を中止しました。"));
}

// ---- busy indication ----

void TVarneloWindow::BeginBusy()
{
    ++busyCount;
    if (!busyCursorShown) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        busyCursorShown = true;
    }
    if (busyMovie && busyMovie->isValid())
        busyMovie->start();
    ShowAppIcon(TavuConfig->BUSYICON);
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
    ShowAppIcon(TavuConfig->APPICON);
}

void TVarneloWindow::TrackWorker(QThread *thread)
{
    workers.append(thread);
}

// ---- shutdown ----

// The session may end while the exit question is open: the close steps have run by the time it is
// answered, and run only once.
void TVarneloWindow::closeEvent(QCloseEvent *event)
{
    if (!closed && !FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    EndSession();
}

void TVarneloWindow::EndSession()
{
    if (closed)
        return;
    FormClose();
    emit Closed();
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

bool TVarneloWindow::FormCloseQuery()
{
    return !TavuConfig->EXIT_WARNING || Kpwfunc::AskYesNo(QStringLiteral("ヴァルネロを終了しますか？"), Kpwfunc::mkWarning);
}

void TVarneloWindow::FormClose()
{
    closed = true;
    hide();
    if (DolibManager && DolibManager->IsLoggedIn())
        DolibManager->Logout();
    if (Be2chManager && Be2chManager->IsLoggedIn())
        Be2chManager->Logout();
    UpdateChecks->StopChecks();
    SaveRuleLists();
    if (TavuHttpList->Count() > 0) {
        actDisconnectExecute();
        DrainJobs(3, 1000);
    }
}

void TVarneloWindow::SaveRuleLists()
{
    if (!Startup->RulesLoaded())
        return;   // never read: writing them would empty the user's files
    try {
        ResRules->SaveToFile(ResRulesFile());
        ThreadRules->SaveToFile(ThreadRulesFile());
    } catch (const EVarnelo &e) {
        qWarning() << "rule lists not saved:" << e.Message;
    }
}

// Waits, letting the event loop run, until the job list is empty; after the given number of
// rounds the list is cleared.
void TVarneloWindow::DrainJobs(int rounds, int stepMs)
{
    for (int round = 1; TavuHttpList->Count() > 0; ++round) {
        PumpFor(stepMs);
        TavuHttpList->DeleteFinished();
        if (round > rounds)
            TavuHttpList->Clear();
    }
}

// Saves what the window holds and frees it. Nothing here gives up half-way: after a stop-all the
// rule lists, the bookmarks, the recent lists and the board tree's state are saved all the same.
void TVarneloWindow::FormDestroy()
{
    if (!closed)
        FormClose();
    TavuConfig->APPSTATE = TavuEnviron->IsOffline();
    SaveCoolBarLayout();   // the layout goes into kpw.ini with everything else
    try {
        TavuConfig->Save();
    } catch (const EVarnelo &e) {
        qWarning() << "configuration not saved:" << e.Message;
    }
    Tavutils::ShellDeleteFiles(TavuConfig->GetTempDir() + QStringLiteral("KPW*.tmp"), false);

    FocusTimer->stop();
    Kpwfunc::SaveTreeState(BoardListView, currentSite);
    hide();
    if (DolibManager)
        DolibManager->disconnect(this);

    TavuHttpList->AbortAll(true);
    DrainJobs(10, 100);

    CloseAllTabs();
    WaitForWorkers();
    TSaveQueue::Instance().WaitAll();   // the logs, .inf files and histories still being written

    HintWindow = nullptr;
    SaveBookmarkList();
    // The recent boards and threads are read at the next start.
    SaveWindowList(*RecentBoards, ProfileFile(QStringLiteral("recbrd.txt")));
    SaveWindowList(*RecentThreads, ProfileFile(QStringLiteral("recthrd.txt")));
    ResRules.reset();
    ThreadRules.reset();
}

// Closes every tab through the tab-closing procedures. Closing waits for a tab's download to end
// and gives up while the stop flag is set (right after a stop-all): the documents that remain are
// freed and the threads of the browser tabs that remain closed all the same.
void TVarneloWindow::CloseAllTabs()
{
    for (TTavuListDoc *doc : QList<TTavuListDoc *>(ListDocs)) {
        try {
            Kpwfunc::CloseListDoc(*this, doc, false);
        } catch (const EVarnelo &) {
            doc->CancelDownload();
        }
    }
    for (TTavuBrowser *tab : QList<TTavuBrowser *>(Browsers)) {
        try {
            Kpwfunc::CloseBrowser(*this, tab, false);
        } catch (const EVarnelo &) {
            tab->CancelDownload();
        }
    }
    qDeleteAll(ListDocs);
    ListDocs.clear();
    for (TTavuBrowser *tab : std::as_const(Browsers))
        tab->CloseThread();
    Browsers.clear();
    if (PrivateBrowser)
        PrivateBrowser->CloseThread();
}

// Worker threads (update checks, patrols, cache loaders) call into the GUI thread and use the
// registry, the configuration and the rule lists: shutdown waits until every one has ended,
// letting the event loop run meanwhile so that their calls are answered.
void TVarneloWindow::WaitForWorkers()
{
    QList<QPointer<QThread>> threads = UpdateChecks->RunningChecks + workers;
    for (const QPointer<QThread> &thread : threads) {
        if (thread)
            thread->requestInterruption();
    }
    for (const QPointer<QThread> &thread : threads) {
        while (thread && !thread->isFinished())
            PumpFor(20);
        // What the thread handed to the GUI thread before it ended (a cache loader's last chunk
        // and its end report) is taken now, while the window it reports to still exists.
        if (thread)
            QCoreApplication::sendPostedEvents(thread);
    }
    UpdateChecks->RunningChecks.clear();
    workers.clear();
}
