// The main window's frame: its menus, bars and panes, the lookups of the current tabs, the command
// states and the window and tool-bar layout.

#include "mainwindow/VarneloWindow.h"

#include "commands/CommandStates.h"
#include "commands/ShortcutBarCommands.h"
#include "controls/CoolBarLayout.h"
#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
#include "controls/KpwBoardTree.h"
#include "controls/KpwServices.h"
#include "controls/MenuBar.h"
#include "controls/PageScroller.h"
#include "controls/ShortcutBar.h"
#include "controls/TavuSplitter.h"
#include "controls/WindowLists.h"
#include "controls/WindowServices.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "mainwindow/BoardPane.h"
#include "mainwindow/VarneloWindowStatusBar.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "settings/KpwOptionDialog.h"   // options

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMovie>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int FlowStatusWidth = 260;   // the least width of the flows' status field

QVBoxLayout *TightColumn(QWidget *widget)
{
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

QWidget *Panel(const char *name, QWidget *parent)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(QString::fromUtf8(name));
    return panel;
}

QToolBar *TabBar(const char *name, QWidget *parent)
{
    auto *bar = new QToolBar(parent);
    bar->setObjectName(QString::fromUtf8(name));
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setMovable(false);
    return bar;
}

QToolBar *ActionBar(const char *name, QWidget *parent)
{
    QToolBar *bar = TabBar(name, parent);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return bar;
}

// The row above a tab pane: its tab buttons, stretched, and its command bar beside them.
void LayTabRow(QWidget *row, QWidget *tabs, QToolBar *commands)
{
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs, 1);
    layout->addWidget(commands);
}

}  // namespace

// ---- menus and bars ----

void TVarneloWindow::CreateMenusAndBars()
{
    const Kpwfunc::TMenuRefreshes refreshes = {[this] { UpdateThreadListMenu(); }, [this] { UpdateBrowserMenu(); },
                                               [this] { BoardListPopupPopup(); }};
    static_cast<TMainMenus &>(*this) = Kpwfunc::BuildMainMenus(this, *ActionList1, refreshes);
    static_cast<TMainBars &>(*this) = Kpwfunc::BuildMainBars(this, MainMenu1);
    Kpwfunc::AddHelpPages(Help1, this, [this](const QString &url) { Services().OpenThreadUrl(url); });
    shortcutBars = new TShortcutBarCommands(Services(), Services(), Services(), Services(), this, *this, ShortcutMenu);
    ShortcutBar1 = shortcutBars->ShortcutBar1;
    ShortcutBar3 = shortcutBars->ShortcutBar3;
    ShortcutBar1->setObjectName(QStringLiteral("ShortcutBar1"));
    ShortcutBar3->setObjectName(QStringLiteral("ShortcutBar3"));
}

// After the panes, whose tool bars are among the designed ones.
void TVarneloWindow::FillMenusAndBars()
{
    Kpwfunc::FillDesignedBarsAndMenus({MainActToolBar, ThreadListActToolBar, BrowserActToolBar, AppActToolBar, GaishutuToolBar},
                                      {BoardListPopup, ThreadListPopup, ThreadItemPopup, BrowserPopup, ResPopup},
                                      *ActionList1, ShowOptionsAt());
    Kpwfunc::PopUpOver(boardPane->Tree(), BoardListPopup);
    Kpwfunc::PopUpOver(ThreadListView, ThreadItemPopup);
}

// ---- panes ----

// Board pane | body (thread-list pane above or beside the browser pane) above the log pane. The
// top splitter takes the thread-list pane above all of it while the extended thread list is on.
void TVarneloWindow::CreatePanes()
{
    TopSplitter = new QSplitter(Qt::Vertical, this);
    TopSplitter->setObjectName(QStringLiteral("TopSplitter"));
    MainSplitter = new TTavuSplitter(Qt::Horizontal, TopSplitter);
    MainSplitter->setObjectName(QStringLiteral("BoardListSplitter"));
    MainSplitter->addWidget(CreateBoardPane());

    MessageSplitter = new QSplitter(Qt::Vertical, MainSplitter);
    MessageSplitter->setObjectName(QStringLiteral("MessageSplitter"));
    BodyPanel = Panel("BodyPanel", MessageSplitter);
    ThreadListSplitter = new QSplitter(Qt::Vertical, BodyPanel);
    ThreadListSplitter->setObjectName(QStringLiteral("ThreadListSplitter"));
    ThreadListSplitter->addWidget(CreateThreadListPane());
    ThreadListSplitter->addWidget(CreateBrowserPane());
    ThreadListSplitter->setStretchFactor(1, 1);
    TightColumn(BodyPanel)->addWidget(ThreadListSplitter);
    MessageSplitter->addWidget(BodyPanel);
    MessageSplitter->addWidget(CreateMessagePane());
    MessageSplitter->setStretchFactor(0, 1);
    MainSplitter->addWidget(MessageSplitter);
    MainSplitter->setStretchFactor(1, 1);
    MainSplitter->setSizes({200, 800});
    MessageSplitter->setSizes({600, 100});
    ThreadListSplitter->setSizes({220, 380});
    TopSplitter->addWidget(MainSplitter);
    setCentralWidget(TopSplitter);
}

QWidget *TVarneloWindow::CreateBoardPane()
{
    boardPane = new TBoardPane(Services(), Services(), this);
    return boardPane;
}

QWidget *TVarneloWindow::CreateThreadListPane()
{
    ThreadListPanel = Panel("ThreadListPanel", this);
    ThreadListTabPanel = Panel("ThreadListTabPanel", ThreadListPanel);
    ThreadListBar = TabBar("ThreadListBar", ThreadListTabPanel);
    PageScroller2 = new TPageScroller(ThreadListTabPanel);
    PageScroller2->setObjectName(QStringLiteral("PageScroller2"));
    PageScroller2->SetChild(ThreadListBar);
    ThreadListActToolBar = ActionBar("ThreadListActToolBar", ThreadListTabPanel);
    LayTabRow(ThreadListTabPanel, PageScroller2, ThreadListActToolBar);

    ThreadListView = new TqorExtListView(ThreadListPanel);
    ThreadListView->setObjectName(QStringLiteral("ThreadListView"));
    QVBoxLayout *layout = TightColumn(ThreadListPanel);
    layout->addWidget(ThreadListTabPanel);
    layout->addWidget(ThreadListView, 1);
    return ThreadListPanel;
}

QWidget *TVarneloWindow::CreateBrowserPane()
{
    BrowserPanel = Panel("BrowserPanel", this);
    BrowserTabPanel = Panel("BrowserTabPanel", BrowserPanel);
    BrowserToolBar = TabBar("BrowserToolBar", BrowserTabPanel);
    BrowserActToolBar = ActionBar("BrowserActToolBar", BrowserTabPanel);
    LayTabRow(BrowserTabPanel, BrowserToolBar, BrowserActToolBar);

    BrowserViewPanel = Panel("BrowserViewPanel", BrowserPanel);
    BrowserViewPanel->setAutoFillBackground(true);
    BrowserViewPanel->setBackgroundRole(QPalette::Base);
    // Beside the tabs the thread information panel, under both the image pane (filled by the
    // thread information unit, commands/ThreadInfoPane.h).
    ThreadInfoSplitter = new TTavuSplitter(Qt::Horizontal, BrowserPanel);
    ThreadInfoSplitter->setObjectName(QStringLiteral("ThreadInfoSplitter"));
    ThreadInfoSplitter->PaneIndex = 1;
    ThreadInfoSplitter->addWidget(BrowserViewPanel);
    ThreadInfoPanel = Panel("ThreadInfoPanel", ThreadInfoSplitter);
    ThreadInfoSplitter->addWidget(ThreadInfoPanel);
    ThreadInfoSplitter->setStretchFactor(0, 1);
    ImagePaneSplitter = new TTavuSplitter(Qt::Vertical, BrowserPanel);
    ImagePaneSplitter->setObjectName(QStringLiteral("TavuSplitter2"));
    ImagePaneSplitter->PaneIndex = 1;
    ImagePaneSplitter->addWidget(ThreadInfoSplitter);
    ImagePaneSplitter->setStretchFactor(0, 1);
    QVBoxLayout *layout = TightColumn(BrowserPanel);
    layout->addWidget(BrowserTabPanel);
    layout->addWidget(ImagePaneSplitter, 1);
    return BrowserPanel;
}

// The log pane (Memo1) and, beside it, the trace of requests and replies (Memo3).
QWidget *TVarneloWindow::CreateMessagePane()
{
    MessagePanel = new QTabWidget(this);
    MessagePanel->setObjectName(QStringLiteral("MessagePanel"));
    MessagePanel->setTabPosition(QTabWidget::South);
    MessagePanel->setDocumentMode(true);
    auto memo = [this](const char *name) {
        auto *edit = new QPlainTextEdit(MessagePanel);
        edit->setObjectName(QString::fromUtf8(name));
        edit->setReadOnly(true);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        return edit;
    };
    Memo1 = memo("Memo1");
    Memo3 = memo("Memo3");
    Memo3->setMaximumBlockCount(5000);
    MessagePanel->addTab(Memo1, QStringLiteral("ログ"));
    MessagePanel->addTab(Memo3, QStringLiteral("トレース"));
    return MessagePanel;
}

// StatusBar1: progress, board tabs, thread tabs, new threads, new responses, the status text.
// StatusBar2: the status text of the browser and the request flows.
void TVarneloWindow::CreateStatusBars()
{
    auto *bars = new QWidget(this);
    QVBoxLayout *layout = TightColumn(bars);
    StatusBar1 = new TStatusBar({120, 60, 60, 70, 70, 0}, bars);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar2 = new TStatusBar({FlowStatusWidth, 0}, bars);
    StatusBar2->setObjectName(QStringLiteral("StatusBar2"));
    layout->addWidget(StatusBar1);
    layout->addWidget(StatusBar2);
    statusBar()->addWidget(bars, 1);
    statusBar()->setSizeGripEnabled(true);

    ProgressBar = new TStatusProgress(StatusBar1);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setMaximumHeight(fontMetrics().height());
    StatusBar1->PutWidget(0, ProgressBar);
    ShowCount(1, QStringLiteral("板: %1"), 0);
    ShowCount(2, QStringLiteral("ｽﾚ: %1"), 0);
    ShowNewThreadCount(0);
    ShowNewResCount(0);
}

void TVarneloWindow::ShowCount(int panel, const QString &format, int count)
{
    StatusBar1->SetText(panel, format.arg(count));
}

void TVarneloWindow::ShowNewThreadCount(int count)
{
    ShowCount(3, QStringLiteral("新ｽﾚ: %1"), count);
}

void TVarneloWindow::ShowNewResCount(int count)
{
    ShowCount(4, QStringLiteral("新ﾚｽ: %1"), count);
}

// What a request flow reports: its status text and how far it got.
// The field widens to a longer text (up to half the bar) and keeps its first width for shorter ones.
void TVarneloWindow::ShowFlowStatus(const QString &text)
{
    const int needed = StatusBar2->fontMetrics().horizontalAdvance(text) + 8;
    StatusBar2->SetWidth(0, std::clamp(needed, FlowStatusWidth, std::max(FlowStatusWidth, StatusBar2->width() / 2)));
    StatusBar2->SetText(0, text);
}

// The hints of menu items and toolbar buttons go to the last field of the upper bar; the bars
// themselves stay.
bool TVarneloWindow::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        StatusBar1->SetText(StatusBar1->PanelCount() - 1, static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TVarneloWindow::ShowFlowProgress(int maximum, int position)
{
    ProgressBar->SetProgress(maximum, position);
}

// ---- command states ----

void TVarneloWindow::UpdateBoardListMenu()
{
    commandStates->UpdateBoardListMenu();
}

// The commands, and the count of new threads of the current thread-list tab.
void TVarneloWindow::UpdateThreadListMenu()
{
    UpdateThreadListCommands();
    TTavuListDoc *doc = nullptr;
    ShowNewThreadCount(tabs->GetActiveListDoc(doc) ? doc->CountNewThreads() : 0);
}

void TVarneloWindow::UpdateThreadListCommands()
{
    commandStates->UpdateThreadListMenu();
}

// The commands, and the count of new responses of the current thread tab.
void TVarneloWindow::UpdateBrowserMenu()
{
    commandStates->UpdateBrowserMenu();
    TTavuBrowser *tab = nullptr;
    const TThreadItem *item = tabs->GetActiveBrowser(tab) && !tab->IsWebPage() ? tab->ThreadItem() : nullptr;
    ShowNewResCount(item ? std::max(item->NewCount, 0) : 0);
}

// The board commands, and the thread-list commands while a thread-list tab is shown.
void TVarneloWindow::BoardListPopupPopup()
{
    UpdateBoardListMenu();
    TTavuListDoc *doc = nullptr;
    if (tabs->GetActiveListDoc(doc))
        UpdateThreadListMenu();
}

// ---- window and tool-bar layout ----

QList<QToolBar *> TVarneloWindow::CoolBarBands() const
{
    return {MenuBar1, ToolBar7, GaishutuToolBar, MainActToolBar, AppActToolBar, shortcutBars->ShortcutBand1};
}

void TVarneloWindow::LoadCoolBarLayout()
{
    Kpwfunc::LoadCoolBarLayout({this, MainSplitter, ThreadListSplitter, MessageSplitter, CoolBarBands()}, TavuConfig->Ini);
}

void TVarneloWindow::SaveCoolBarLayout()
{
    Kpwfunc::SaveCoolBarLayout({this, MainSplitter, ThreadListSplitter, MessageSplitter, CoolBarBands()}, *ActionList1,
                               TavuConfig->Ini);
    Lists->StoreColumnWidths(ThreadListView);
}

// Hints with shortcuts on every tool-bar button, the busy animation, the band layout.
void TVarneloWindow::BuildToolBars()
{
    Kpwfunc::SetButtonHints(ActionList1->Actions());
    const QString clip = TTavuConfig::AppDir() + QStringLiteral("resource/anime.gif");
    if (!busyMovie && QFile::exists(clip)) {
        busyMovie = new QMovie(clip, QByteArray(), this);
        busyMovie->setScaledSize(QSize(16, 16));
        Animate1->setMovie(busyMovie);
        busyMovie->jumpToFrame(0);
    }
    Kpwfunc::LoadCoolBarBandOrder(this, CoolBarBands(), TavuConfig->Ini);
}

// Each tab bar above or below its pane (POSITION 0 above, 1 below), and its tool bar beside it
// (TOOLBARPOS 1 above, 2 below, 3 left, 4 right of the tabs). The thread-list tabs sit in their
// page scroller, whose buttons are SCROLLERSIZE wide.
void TVarneloWindow::ApplyTabBarPositions()
{
    auto place = [](QWidget *pane, QWidget *tabPanel, QWidget *tabs, QToolBar *tools, int position, int toolBarPos) {
        auto *paneLayout = static_cast<QBoxLayout *>(pane->layout());
        paneLayout->removeWidget(tabPanel);
        paneLayout->insertWidget(position == 1 ? paneLayout->count() : 0, tabPanel);

        auto *tabLayout = static_cast<QBoxLayout *>(tabPanel->layout());
        tabLayout->removeWidget(tabs);
        tabLayout->removeWidget(tools);
        const bool beside = toolBarPos != 1 && toolBarPos != 2;
        tabLayout->setDirection(beside ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
        const bool toolsFirst = toolBarPos == 1 || toolBarPos == 3;
        // The tab bar is as wide as its buttons; the space left over stays beside it.
        if (toolsFirst)
            tabLayout->addWidget(tools, 0, Qt::AlignLeft);
        tabLayout->addWidget(tabs, 1, Qt::AlignLeft);
        if (!toolsFirst)
            tabLayout->addWidget(tools, 0, Qt::AlignRight);
    };
    PageScroller2->SetButtonSize(TavuConfig->SCROLLERSIZE);
    place(ThreadListPanel, ThreadListTabPanel, PageScroller2, ThreadListActToolBar, TavuConfig->THREADTAB_POSITION,
          TavuConfig->THREADTAB_TOOLBARPOS);
    place(BrowserPanel, BrowserTabPanel, BrowserToolBar, BrowserActToolBar, TavuConfig->BROWSERTAB_POSITION,
          TavuConfig->BROWSERTAB_TOOLBARPOS);
}

// ---- small handlers ----

// Puts back the copy of the log kept before the thread was fetched anew ("再取得"), with the
// validators and counts it had, and shows the thread again. The log is replaced only once the
// copy has been read, so a failure leaves it as it was.
void TVarneloWindow::actThreadReturnExecute()
{
    TTavuBrowser *tab = nullptr;
    if (!tabs->GetActiveBrowser(tab) || tab->IsWebPage() || !tab->ThreadItem() || tab->DownloadState != TTavuBrowser::dsIdle)
        return;
    TThreadItem *item = tab->ThreadItem();
    const QString bak = item->GetBakFile();
    if (!QFile::exists(bak))
        return;
    if (!Kpwfunc::AskYesNo(QStringLiteral("スレッドを復元しますか？\n(通常このコマンドは「再取得」に失敗した場合に使います。)")))
        return;
    try {
        QFile copy(bak);
        if (!copy.open(QIODevice::ReadOnly))
            throw EFileError(QStringLiteral("%1 を読めません。").arg(bak));
        FileUtil::WriteFileAtomic(item->GetLogFile(), copy.readAll());
        TIniFile inf(item->GetInfFile());
        for (const QString &key : {QStringLiteral("LAST_MODIFIED"), QStringLiteral("SIZE"), QStringLiteral("COUNT"),
                                   QStringLiteral("READ")})
            inf.WriteString(QStringLiteral("LOG"), key, inf.ReadString(QStringLiteral("BAK"), key));
        inf.UpdateFile();
    } catch (const EVarnelo &e) {
        Kpwfunc::ShowMessage(Kpwfunc::mkError, e.Message);
        return;
    }
    item->LoadInfo();
    // The tab shows the item already: a fresh item of the same thread makes it render the log anew.
    auto *restored = new TThreadItem;
    restored->CopyLocation(*item);
    OpenThread(restored, false, false, true, 0, true, QString());
    restored->Release();
}
