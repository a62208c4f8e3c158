// The main menu, the popup menus and the tool bars of the main window.

#include "mainwindow/VarneloWindow.h"

#include "controls/ExtListView.h"
#include "controls/KpwServices.h"
#include "controls/MenuAccessKeys.h"
#include "controls/MenuBar.h"
#include "settings/KpwOptionDialog.h"   // options

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QTreeWidget>

namespace {

// One entry of a menu: an action name, "-" for a separator, or "@" and the name of a submenu.
struct TMenuDef {
    const char *Name;
    const char *Caption;
    QStringList Entries;
    // Every action of these categories is added after the entries, in action-list order.
    QStringList Categories = {};
};

QStringList Names(std::initializer_list<const char *> names)
{
    QStringList list;
    for (const char *name : names)
        list.append(QString::fromUtf8(name));
    return list;
}

}  // namespace

void TVarneloWindow::CreateMenus()
{
    const QList<TMenuDef> menus = {
        {"File1", "ファイル(&F)",
         Names({"actOnline", "actSaveMode", "-", "actBBSSelect", "actBBSOrder", "actBBSSetup", "actBBSWizard",
                "actRSSWizard", "-", "actAllThreads", "actSendHist", "actShowHist", "actFindLog", "-", "@RecentRead",
                "@RecentWrite", "-", "actDisconnect", "actHide", "-", "actExit"})},
        {"View1", "表示(&V)",
         Names({"actShowBoardList2", "actShowThreadList2", "actShowBrowser", "actShowMessage", "actShowThreadInfo",
                "-", "actShowVertical", "actShowExtThreadList", "actShowPaneChange", "actShowDoubleWindow",
                "actShowBoardListRight", "actShowBoardFilter", "actShowToolbars", "actShowChotto", "-",
                "actShowBoardListFocus", "actShowThreadListFocus", "actShowBrowserFocus", "actShowBBSFocus",
                "actShowURLFocus"})},
        {"BoardMenu", "ボード一覧(&B)", {}, {QStringLiteral("ボード一覧")}},
        {"ThreadListMenu", "スレッド一覧(&L)", Names({"@ThreadListTabMenu", "-"}), {QStringLiteral("スレッド一覧")}},
        {"ThreadMenu", "スレッド(&T)", {}, {QStringLiteral("スレッド")}},
        {"BrowserMenu", "ブラウザ(&W)", Names({"@BrowserTabMenu", "@BrowserSelectionMenu", "-"}),
         {QStringLiteral("ブラウザ"), QStringLiteral("ブラウザ選択")}},
        {"FavoriteMenu", "お気に入り(&A)", {},
         {QStringLiteral("お気に入り"), QStringLiteral("ショートカットバー"), QStringLiteral("しおり")}},
        {"Tool1", "ツール(&O)", {}, {QStringLiteral("ツール")}},
        {"BBSFunc", "BBS(&S)", {}},
        {"Help1", "ヘルプ(&H)", Names({"actAbout", "actHelpVarneloDirect"})},
    };

    auto submenu = [this](const char *name, const char *caption) {
        auto *menu = new QMenu(QString::fromUtf8(caption), this);
        menu->setObjectName(QString::fromUtf8(name));
        return menu;
    };
    RecentRead = submenu("RecentRead", "最近読んだスレッド(&R)");
    RecentWrite = submenu("RecentWrite", "最近書き込んだスレッド(&W)");
    ThreadListTabMenu = submenu("ThreadListTabMenu", "タブ(&T)");
    BrowserTabMenu = submenu("BrowserTabMenu", "タブ(&T)");
    BrowserSelectionMenu = submenu("BrowserSelectionMenu", "ウェブ検索(&S)");
    GaishutuMenu = submenu("GaishutuMenu", "既出");
    const QHash<QString, QMenu *> submenus = {
        {QStringLiteral("RecentRead"), RecentRead},
        {QStringLiteral("RecentWrite"), RecentWrite},
        {QStringLiteral("ThreadListTabMenu"), ThreadListTabMenu},
        {QStringLiteral("BrowserTabMenu"), BrowserTabMenu},
        {QStringLiteral("BrowserSelectionMenu"), BrowserSelectionMenu},
    };

    MainMenu1 = new QMenu(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    QHash<QString, QMenu *> made;
    for (const TMenuDef &def : menus) {
        QMenu *menu = submenu(def.Name, def.Caption);
        for (const QString &entry : def.Entries) {
            if (entry == QLatin1String("-"))
                menu->addSeparator();
            else if (entry.startsWith(QLatin1Char('@')))
                menu->addMenu(submenus.value(entry.mid(1)));
            else if (QAction *action = Action(entry))
                menu->addAction(action);
        }
        for (QAction *action : ActionList1->Actions()) {
            if (def.Categories.contains(TActionList::CategoryOf(action)))
                menu->addAction(action);
        }
        MainMenu1->addMenu(menu);
        made.insert(QString::fromUtf8(def.Name), menu);
    }
    File1 = made.value(QStringLiteral("File1"));
    View1 = made.value(QStringLiteral("View1"));
    BoardMenu = made.value(QStringLiteral("BoardMenu"));
    ThreadListMenu = made.value(QStringLiteral("ThreadListMenu"));
    ThreadMenu = made.value(QStringLiteral("ThreadMenu"));
    BrowserMenu = made.value(QStringLiteral("BrowserMenu"));
    FavoriteMenu = made.value(QStringLiteral("FavoriteMenu"));
    Tool1 = made.value(QStringLiteral("Tool1"));
    BBSFunc = made.value(QStringLiteral("BBSFunc"));
    BBSFunc->menuAction()->setEnabled(false);   // until a site offers functions of its own
    Help1 = made.value(QStringLiteral("Help1"));

    BoardListPopup = submenu("BoardListPopup", "");
    ThreadListPopup = submenu("ThreadListPopup", "");
    ThreadItemPopup = submenu("ThreadItemPopup", "");
    BrowserPopup = submenu("BrowserPopup", "");
    ResPopup = submenu("ResPopup", "");
    ResIDPopup = submenu("ResIDPopup", "");
    ShortcutMenu = submenu("ShortcutMenu", "");
    BookmarkMenu = submenu("BookmarkMenu", "");
    connect(ThreadListMenu, &QMenu::aboutToShow, this, &TVarneloWindow::UpdateThreadListMenu);
    connect(ThreadListPopup, &QMenu::aboutToShow, this, &TVarneloWindow::UpdateThreadListMenu);
    connect(ThreadItemPopup, &QMenu::aboutToShow, this, &TVarneloWindow::UpdateThreadListMenu);
    connect(BrowserPopup, &QMenu::aboutToShow, this, &TVarneloWindow::UpdateBrowserMenu);
    connect(BoardListPopup, &QMenu::aboutToShow, this, &TVarneloWindow::BoardListPopupPopup);
    // After the refreshes above, which set captions as the menus open. The menus listing tabs,
    // recent threads, search engines and boards leave their names as they are.
    const QList<QMenu *> lists = {RecentRead, RecentWrite, ThreadListTabMenu, BrowserTabMenu, BrowserSelectionMenu,
                                  GaishutuMenu};
    for (QMenu *menu : findChildren<QMenu *>())
        Kpwfunc::KeepAccessKeysUnique(menu, lists.contains(menu) ? Kpwfunc::TKeyless::Keep : Kpwfunc::TKeyless::GiveKey);
}

// The top band: the menu bar, the address band, the visited-boards bar and the main tool bar, and
// at the bottom the application tool bar and the board-type bar. Their buttons come from
// toolbar.ini at start-up.
void TVarneloWindow::CreateToolBars()
{
    auto bar = [this](const char *name, const char *caption) {
        auto *toolBar = new QToolBar(QString::fromUtf8(caption), this);
        toolBar->setObjectName(QString::fromUtf8(name));
        toolBar->setIconSize(QSize(16, 16));
        toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        return toolBar;
    };

    MenuBar1 = new TMenuBar(this);
    MenuBar1->SetMenu(MainMenu1);

    ToolBar7 = bar("ToolBar7", "アドレスバー");
    UrlComboBox = new QComboBox(ToolBar7);
    UrlComboBox->setObjectName(QStringLiteral("UrlComboBox"));
    UrlComboBox->setEditable(true);
    UrlComboBox->setInsertPolicy(QComboBox::NoInsert);
    UrlComboBox->setMinimumWidth(360);
    UrlComboBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    ToolBar7->addWidget(UrlComboBox);
    Animate1 = new QLabel(ToolBar7);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    Animate1->setFixedSize(24, 20);
    Animate1->setAlignment(Qt::AlignCenter);
    ToolBar7->addWidget(Animate1);

    GaishutuToolBar = bar("GaishutuToolBar", "既出");
    MainActToolBar = bar("MainActToolBar", "メインツールバー");
    AppActToolBar = bar("AppActToolBar", "アプリケーション");
    BBSToolBar = bar("BBSToolBar", "BBSバー");
    BBSToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    addToolBar(Qt::TopToolBarArea, MenuBar1);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, ToolBar7);
    addToolBar(Qt::TopToolBarArea, GaishutuToolBar);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, MainActToolBar);
    addToolBar(Qt::TopToolBarArea, AppActToolBar);
    addToolBar(Qt::BottomToolBarArea, BBSToolBar);
    BBSToolBar->hide();
}

// The tree's right button has selected the node under the mouse already, so the menu acts on it.
void TVarneloWindow::BindPanePopups()
{
    const auto popUpOver = [this](QAbstractScrollArea *view, QMenu *menu) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, menu,
                [view, menu](const QPoint &pos) { menu->popup(view->viewport()->mapToGlobal(pos)); });
    };
    popUpOver(BoardListView, BoardListPopup);
    popUpOver(ThreadListView, ThreadItemPopup);
}

void TVarneloWindow::FillDesignedBarsAndMenus()
{
    for (QToolBar *bar : {MainActToolBar, ThreadListActToolBar, BrowserActToolBar, AppActToolBar, GaishutuToolBar})
        Kpwfunc::FillToolBar(bar, Kpwfunc::DesignedToolBar(bar->objectName()), *ActionList1);
    for (QMenu *menu : {BoardListPopup, ThreadListPopup, ThreadItemPopup, BrowserPopup, ResPopup}) {
        Kpwfunc::FillPopupMenu(menu, Kpwfunc::DesignedPopupMenu(menu->objectName()), *ActionList1);
        Kpwfunc::AddPopupMenuFixedEntries(menu, *ActionList1, ShowOptionsAt());
    }
}
