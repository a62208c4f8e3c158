#include "controls/MainMenus.h"

#include "controls/ActionCatalogue.h"
#include "controls/BarsAndMenus.h"
#include "controls/MenuAccessKeys.h"
#include "controls/MenuBar.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>

namespace {

// A top-level menu: where the builder keeps it, its name and caption, and its entries. An entry is an
// action name, "-" for a separator, or "@" and the name of a submenu.
struct TMenuDef {
    QMenu *TMainMenus::*Member;
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

const QList<TMenuDef> &MainMenuDefs()
{
    static const QList<TMenuDef> menus = {
        {&TMainMenus::File1, "File1", "ファイル(&F)",
         Names({"actOnline", "actSaveMode", "-", "actBBSSelect", "actBBSOrder", "actBBSSetup", "actBBSWizard",
                "actRSSWizard", "-", "actAllThreads", "actSendHist", "actShowHist", "actFindLog", "-", "@RecentRead",
                "@RecentWrite", "-", "actDisconnect", "actHide", "-", "actExit"})},
        {&TMainMenus::View1, "View1", "表示(&V)",
         Names({"actShowBoardList2", "actShowThreadList2", "actShowBrowser", "actShowMessage", "actShowThreadInfo",
                "-", "actShowVertical", "actShowExtThreadList", "actShowPaneChange", "actShowDoubleWindow",
                "actShowBoardListRight", "actShowBoardFilter", "actShowToolbars", "actShowChotto", "-",
                "actShowBoardListFocus", "actShowThreadListFocus", "actShowBrowserFocus", "actShowBBSFocus",
                "actShowURLFocus"})},
        {&TMainMenus::BoardMenu, "BoardMenu", "ボード一覧(&B)", {}, {QStringLiteral("ボード一覧")}},
        {&TMainMenus::ThreadListMenu, "ThreadListMenu", "スレッド一覧(&L)", Names({"@ThreadListTabMenu", "-"}),
         {QStringLiteral("スレッド一覧")}},
        {&TMainMenus::ThreadMenu, "ThreadMenu", "スレッド(&T)", {}, {QStringLiteral("スレッド")}},
        {&TMainMenus::BrowserMenu, "BrowserMenu", "ブラウザ(&W)",
         Names({"@BrowserTabMenu", "@BrowserSelectionMenu", "-"}),
         {QStringLiteral("ブラウザ"), QStringLiteral("ブラウザ選択")}},
        {&TMainMenus::FavoriteMenu, "FavoriteMenu", "お気に入り(&A)", {},
         {QStringLiteral("お気に入り"), QStringLiteral("ショートカットバー"), QStringLiteral("しおり")}},
        {&TMainMenus::Tool1, "Tool1", "ツール(&O)", {}, {QStringLiteral("ツール")}},
        {&TMainMenus::BBSFunc, "BBSFunc", "BBS(&S)", {}},
        {&TMainMenus::Help1, "Help1", "ヘルプ(&H)", Names({"actAbout", "actHelpVarneloDirect"})},
    };
    return menus;
}

// The outside pages of the help menu: caption and address.
const QList<std::pair<const char *, const char *>> &HelpPages()
{
    static const QList<std::pair<const char *, const char *>> pages = {
        {"５ちゃんねる案内所", "https://info.5ch.net/"},
        {"はじめての人へ", "https://info.5ch.net/index.php/はじめての人へ"},
        {"よくある質問", "https://info.5ch.net/index.php/よくある質問"},
        {"削除ガイドライン", "https://info.5ch.net/index.php/削除ガイドライン"},
        {"書き込みの規制について", "https://info.5ch.net/index.php/規制"},
        {"Be の使い方", "https://be.5ch.net/"},
        {"したらば掲示板のヘルプ", "https://rentalbbs.shitaraba.com/"},
        {"まちBBS の案内", "https://machi.to/"},
        {"専用ブラウザの取り決め (monazilla)", "http://www.monazilla.org/"},
    };
    return pages;
}

QMenu *NamedMenu(QWidget *parent, const char *name, const char *caption)
{
    auto *menu = new QMenu(QString::fromUtf8(caption), parent);
    menu->setObjectName(QString::fromUtf8(name));
    return menu;
}

QMenu *FilledMenu(QWidget *parent, const TMenuDef &def, const QHash<QString, QMenu *> &submenus,
                  const TActionList &actions)
{
    QMenu *menu = NamedMenu(parent, def.Name, def.Caption);
    for (const QString &entry : def.Entries) {
        if (entry == QLatin1String("-"))
            menu->addSeparator();
        else if (entry.startsWith(QLatin1Char('@')))
            menu->addMenu(submenus.value(entry.mid(1)));
        else if (QAction *action = actions.Action(entry))
            menu->addAction(action);
    }
    for (QAction *action : actions.Actions()) {
        if (def.Categories.contains(TActionList::CategoryOf(action)))
            menu->addAction(action);
    }
    return menu;
}

void RefreshOnShow(QMenu *menu, QObject *context, const std::function<void()> &refresh)
{
    if (refresh)
        QObject::connect(menu, &QMenu::aboutToShow, context, refresh);
}

QToolBar *IconBar(QWidget *parent, const char *name, const char *caption)
{
    auto *toolBar = new QToolBar(QString::fromUtf8(caption), parent);
    toolBar->setObjectName(QString::fromUtf8(name));
    toolBar->setIconSize(QSize(16, 16));
    toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return toolBar;
}

QString ButtonHint(const QAction *action)
{
    const QString hint = action->statusTip().isEmpty() ? action->text().remove(QLatin1Char('&')) : action->statusTip();
    if (action->shortcut().isEmpty())
        return hint;
    return hint + QStringLiteral(":(") + action->shortcut().toString(QKeySequence::PortableText) + QLatin1Char(')');
}

}  // namespace

namespace MainMenus {

void AddHelpPages(QMenu *help, QObject *context, const std::function<void(const QString &url)> &open)
{
    help->addSeparator();
    for (const auto &[caption, url] : HelpPages()) {
        const QString address = QString::fromUtf8(url);
        QObject::connect(help->addAction(QString::fromUtf8(caption)), &QAction::triggered, context,
                         [open, address] { open(address); });
    }
}

TMainMenus BuildMainMenus(QMainWindow *window, const TActionList &actions, const TMenuRefreshes &refreshes)
{
    TMainMenus m;
    m.RecentRead = NamedMenu(window, "RecentRead", "最近読んだスレッド(&R)");
    m.RecentWrite = NamedMenu(window, "RecentWrite", "最近書き込んだスレッド(&W)");
    m.ThreadListTabMenu = NamedMenu(window, "ThreadListTabMenu", "タブ(&T)");
    m.BrowserTabMenu = NamedMenu(window, "BrowserTabMenu", "タブ(&T)");
    m.BrowserSelectionMenu = NamedMenu(window, "BrowserSelectionMenu", "ウェブ検索(&S)");
    m.GaishutuMenu = NamedMenu(window, "GaishutuMenu", "既出");
    const QHash<QString, QMenu *> submenus = {
        {QStringLiteral("RecentRead"), m.RecentRead},
        {QStringLiteral("RecentWrite"), m.RecentWrite},
        {QStringLiteral("ThreadListTabMenu"), m.ThreadListTabMenu},
        {QStringLiteral("BrowserTabMenu"), m.BrowserTabMenu},
        {QStringLiteral("BrowserSelectionMenu"), m.BrowserSelectionMenu},
    };

    m.MainMenu1 = new QMenu(window);
    m.MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    for (const TMenuDef &def : MainMenuDefs()) {
        m.*def.Member = FilledMenu(window, def, submenus, actions);
        m.MainMenu1->addMenu(m.*def.Member);
    }
    m.BBSFunc->menuAction()->setEnabled(false);   // until a site offers functions of its own

    m.BoardListPopup = NamedMenu(window, "BoardListPopup", "");
    m.ThreadListPopup = NamedMenu(window, "ThreadListPopup", "");
    m.ThreadItemPopup = NamedMenu(window, "ThreadItemPopup", "");
    m.BrowserPopup = NamedMenu(window, "BrowserPopup", "");
    m.ResPopup = NamedMenu(window, "ResPopup", "");
    m.ResIDPopup = NamedMenu(window, "ResIDPopup", "");
    m.ShortcutMenu = NamedMenu(window, "ShortcutMenu", "");
    m.BookmarkMenu = NamedMenu(window, "BookmarkMenu", "");
    for (QMenu *menu : {m.ThreadListMenu, m.ThreadListPopup, m.ThreadItemPopup})
        RefreshOnShow(menu, window, refreshes.ThreadList);
    RefreshOnShow(m.BrowserPopup, window, refreshes.Browser);
    RefreshOnShow(m.BoardListPopup, window, refreshes.BoardList);
    // After the refreshes above, which set captions as the menus open. The menus listing tabs,
    // recent threads, search engines and boards leave their names as they are.
    const QList<QMenu *> lists = {m.RecentRead, m.RecentWrite, m.ThreadListTabMenu, m.BrowserTabMenu,
                                  m.BrowserSelectionMenu, m.GaishutuMenu};
    for (QMenu *menu : window->findChildren<QMenu *>())
        MenuAccessKeys::KeepAccessKeysUnique(menu, lists.contains(menu) ? MenuAccessKeys::TKeyless::Keep : MenuAccessKeys::TKeyless::GiveKey);
    return m;
}

TMainBars BuildMainBars(QMainWindow *window, QMenu *mainMenu)
{
    TMainBars b;
    b.MenuBar1 = new TMenuBar(window);
    b.MenuBar1->SetMenu(mainMenu);

    b.ToolBar7 = IconBar(window, "ToolBar7", "アドレスバー");
    b.UrlComboBox = new QComboBox(b.ToolBar7);
    b.UrlComboBox->setObjectName(QStringLiteral("UrlComboBox"));
    b.UrlComboBox->setEditable(true);
    b.UrlComboBox->setInsertPolicy(QComboBox::NoInsert);
    b.UrlComboBox->setMinimumWidth(360);
    b.UrlComboBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    b.ToolBar7->addWidget(b.UrlComboBox);
    b.Animate1 = new QLabel(b.ToolBar7);
    b.Animate1->setObjectName(QStringLiteral("Animate1"));
    b.Animate1->setFixedSize(24, 20);
    b.Animate1->setAlignment(Qt::AlignCenter);
    b.ToolBar7->addWidget(b.Animate1);

    b.GaishutuToolBar = IconBar(window, "GaishutuToolBar", "既出");
    b.MainActToolBar = IconBar(window, "MainActToolBar", "メインツールバー");
    b.AppActToolBar = IconBar(window, "AppActToolBar", "アプリケーション");
    b.BBSToolBar = IconBar(window, "BBSToolBar", "BBSバー");
    b.BBSToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    window->addToolBar(Qt::TopToolBarArea, b.MenuBar1);
    window->addToolBarBreak(Qt::TopToolBarArea);
    window->addToolBar(Qt::TopToolBarArea, b.ToolBar7);
    window->addToolBar(Qt::TopToolBarArea, b.GaishutuToolBar);
    window->addToolBarBreak(Qt::TopToolBarArea);
    window->addToolBar(Qt::TopToolBarArea, b.MainActToolBar);
    window->addToolBar(Qt::TopToolBarArea, b.AppActToolBar);
    window->addToolBar(Qt::BottomToolBarArea, b.BBSToolBar);
    b.BBSToolBar->hide();
    return b;
}

void FillDesignedBarsAndMenus(const QList<QToolBar *> &bars, const QList<QMenu *> &menus, const TActionList &actions,
                              const std::function<void(int page)> &showOptions)
{
    for (QToolBar *bar : bars)
        BarsAndMenus::FillToolBar(bar, BarsAndMenus::DesignedToolBar(bar->objectName()), actions);
    for (QMenu *menu : menus) {
        BarsAndMenus::FillPopupMenu(menu, BarsAndMenus::DesignedPopupMenu(menu->objectName()), actions);
        BarsAndMenus::AddPopupMenuFixedEntries(menu, actions, showOptions);
    }
}

// The tree's right button has selected the node under the mouse already, so the menu acts on it.
void PopUpOver(QAbstractScrollArea *view, QMenu *menu)
{
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(view, &QWidget::customContextMenuRequested, menu,
                     [view, menu](const QPoint &pos) { menu->popup(view->viewport()->mapToGlobal(pos)); });
}

void SetButtonHints(const QList<QAction *> &actions)
{
    for (QAction *action : actions)
        action->setToolTip(ButtonHint(action));
}

}  // namespace MainMenus
