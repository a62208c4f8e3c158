// The main window's frame: its menus, bars and panes, the lookups of the current tabs, the command
// states and the window and tool-bar layout.

#include "mainwindow/VarneloWindow.h"

#include "commands/CommandStates.h"
#include "commands/ShortcutBarCommands.h"
#include "controls/BarsAndMenus.h"
#include "controls/BoardTree.h"
#include "controls/CoolBarLayout.h"
#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
#include "controls/MenuBar.h"
#include "controls/ShortcutBar.h"
#include "controls/WindowLists.h"
#include "controls/WindowServices.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "flows/ShutdownSequence.h"
#include "mainwindow/BoardPane.h"
#include "mainwindow/ListPane.h"
#include "mainwindow/PaneWidgets.h"
#include "mainwindow/VarneloWindowStatusBar.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "settings/ShowOptionDialog.h"   // options

#include <QComboBox>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QMovie>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

using PaneWidgets::TightColumn;

namespace {

constexpr int FlowStatusWidth = 260;   // the least width of the flows' status field

}  // namespace

// ---- menus and bars ----

void TVarneloWindow::CreateMenusAndBars()
{
    const MainMenus::TMenuRefreshes refreshes = {[this] { UpdateThreadListMenu(); }, [this] { UpdateBrowserMenu(); },
                                               [this] { BoardListPopupPopup(); }};
    static_cast<TMainMenus &>(*this) = MainMenus::BuildMainMenus(this, *ActionList1, refreshes);
    static_cast<TMainBars &>(*this) = MainMenus::BuildMainBars(this, MainMenu1);
    MainMenus::AddHelpPages(Help1, this, [this](const QString &url) { Reading().OpenThreadUrl(url); });
    shortcutBars = new TShortcutBarCommands(*this, this, *this, ShortcutMenu);
    ShortcutBar1 = shortcutBars->ShortcutBar1;
    ShortcutBar3 = shortcutBars->ShortcutBar3;
    ShortcutBar1->setObjectName(QStringLiteral("ShortcutBar1"));
    ShortcutBar3->setObjectName(QStringLiteral("ShortcutBar3"));
}

// After the panes, whose tool bars are among the designed ones.
void TVarneloWindow::FillMenusAndBars()
{
    MainMenus::FillDesignedBarsAndMenus({MainActToolBar, panes->ThreadListTools(), panes->BrowserTools(), AppActToolBar,
                                       GaishutuToolBar},
                                      {BoardListPopup, ThreadListPopup, ThreadItemPopup, BrowserPopup, ResPopup},
                                      *ActionList1, ShowOptionsAt());
    MainMenus::PopUpOver(boardPane->Tree(), BoardListPopup);
    MainMenus::PopUpOver(listPane->View(), ThreadItemPopup);
}

// ---- panes ----

// The board pane and the thread-list pane, arranged with the other panes (mainwindow/PaneLayout.h).
void TVarneloWindow::CreatePanes()
{
    QWidget *boardPane = CreateBoardPane();
    listPane = new TListPane(Frame(), Reading(), Boards(), Views(), Rules(), *Lists,
                             [this] { return Shutdown->Closed(); }, this);
    panes = std::make_unique<TPaneLayout>(*this, boardPane, listPane->View());
}

QWidget *TVarneloWindow::CreateBoardPane()
{
    boardPane = new TBoardPane(*this, Reading(), this);
    return boardPane;
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
    panes->LoadSizes(CoolBarBands(), TavuConfig->Ini);
}

void TVarneloWindow::StoreBarLayout()
{
    panes->SaveSizes(CoolBarBands(), *ActionList1, TavuConfig->Ini);
    Lists->StoreColumnWidths(listPane->View());
}

void TVarneloWindow::ShowHeaderBars(bool shown)
{
    for (QToolBar *bar : CoolBarBands()) {
        if (bar != MenuBar1)
            bar->setVisible(shown);
    }
}

void TVarneloWindow::FocusControl(TPaneControl control)
{
    QWidget *focus = nullptr;
    switch (control) {
    case pcBoardTree:
        focus = boardPane->Tree();
        break;
    case pcThreadList:
        focus = listPane->View();
        break;
    case pcBrowser:
        focus = tabs->CurrentBrowser();
        if (!focus)
            focus = panes->BrowserPane();
        break;
    case pcSiteBox:
        focus = boardPane->SiteBox();
        break;
    case pcAddressBox:
        focus = UrlComboBox;
        break;
    }
    focus->setFocus(Qt::ShortcutFocusReason);
    if (focus->isVisible())
        QCursor::setPos(focus->mapToGlobal(focus->rect().center()));
}

QMenu *TVarneloWindow::Menu(const QString &name) const
{
    return findChild<QMenu *>(name);
}

QPoint TVarneloWindow::VisitedBoardsMenuPlace() const
{
    QWidget *button = GaishutuToolBar->widgetForAction(Action(QStringLiteral("actBoardGaishutu")));
    return button && button->isVisible() ? button->mapToGlobal(QPoint(0, button->height())) : QCursor::pos();
}

// Hints with shortcuts on every tool-bar button, the busy animation, the band layout.
void TVarneloWindow::BuildToolBars()
{
    MainMenus::SetButtonHints(ActionList1->Actions());
    const QString clip = TTavuConfig::AppDir() + QStringLiteral("resource/anime.gif");
    if (!busyMovie && QFile::exists(clip)) {
        busyMovie = new QMovie(clip, QByteArray(), this);
        busyMovie->setScaledSize(QSize(16, 16));
        Animate1->setMovie(busyMovie);
        busyMovie->jumpToFrame(0);
    }
    CoolBarLayout::LoadCoolBarBandOrder(this, CoolBarBands(), TavuConfig->Ini);
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
    if (!Dialogs::AskYesNo(QStringLiteral("スレッドを復元しますか？\n(通常このコマンドは「再取得」に失敗した場合に使います。)")))
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
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return;
    }
    item->LoadInfo();
    // The tab shows the item already: a fresh item of the same thread makes it render the log anew.
    auto *restored = new TThreadItem;
    restored->CopyLocation(*item);
    OpenThread(restored, false, false, true, 0, true, QString());
    restored->Release();
}
